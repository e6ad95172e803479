#pragma once

#include "common/user_prompts.h"

#include <QStringList>
#include <deque>
#include <memory>

namespace scrivlet::fixtures {

// What the program told the user and asked of them in a widget test, and the answers the test
// gives: a question with no answer left is cancelled. The window owns the prompts; the test
// keeps the shared log.
struct PromptLog {
    struct Message {
        QString title, text;
        UserPrompts::Icon icon;
    };
    std::vector<Message> messages;
    int beeps = 0, saveQuestions = 0;
    std::deque<UserPrompts::SaveChoice> saveAnswers;
    std::deque<QString> openAnswers, saveAsAnswers, folderAnswers;
    QStringList filtersShown;
};

class RecordingPrompts final : public UserPrompts {
  public:
    explicit RecordingPrompts(std::shared_ptr<PromptLog> log) : m_log(std::move(log)) {}

    void message(QWidget*, const QString& title, const QString& text, Icon icon) override
    {
        m_log->messages.push_back({title, text, icon});
    }
    SaveChoice askSaveChanges(QWidget*, const QString&, const QString&) override
    {
        ++m_log->saveQuestions;
        return take(m_log->saveAnswers, SaveChoice::Cancel);
    }
    QString openFileName(QWidget*, const QString& filter) override
    {
        m_log->filtersShown << filter;
        return take(m_log->openAnswers, QString());
    }
    QString saveFileName(QWidget*, const QString& filter) override
    {
        m_log->filtersShown << filter;
        return take(m_log->saveAsAnswers, QString());
    }
    QString folderName(QWidget*, const QString&, const QString&) override
    {
        return take(m_log->folderAnswers, QString());
    }
    void beep() override { ++m_log->beeps; }

  private:
    template <typename T> static T take(std::deque<T>& answers, T otherwise)
    {
        if (!answers.empty()) {
            otherwise = answers.front();
            answers.pop_front();
        }
        return otherwise;
    }

    std::shared_ptr<PromptLog> m_log;
};

} // namespace scrivlet::fixtures
