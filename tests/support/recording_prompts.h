#pragma once

#include "common/user_prompts.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <memory>

namespace scrivlet::fixtures {

// Answers for the user in widget tests and records what the program told them.
// The test keeps a pointer to the shared log; the window owns the prompts.
struct PromptLog {
    struct Message {
        QString title;
        QString text;
        UserPrompts::Icon icon;
    };
    std::vector<Message> messages;
    int beeps = 0;
    int saveQuestions = 0;
    std::deque<UserPrompts::SaveChoice> saveAnswers; // default: Cancel
    std::deque<QString> openAnswers;                 // default: cancelled
    std::deque<QString> saveAsAnswers;               // default: cancelled
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
    void beep() override { ++m_log->beeps; }

private:
    template <typename T>
    static T take(std::deque<T>& answers, T otherwise)
    {
        if (answers.empty())
            return otherwise;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::shared_ptr<PromptLog> m_log;
};

} // namespace scrivlet::fixtures
