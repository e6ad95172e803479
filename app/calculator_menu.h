#pragma once

#include "link/link_engine.h"
#include "app/options_store.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QAction;
class QMenuBar;
class QWidget;

namespace scrivlet {

class BuildCommands;
class EditorBuffer;
class FileCommands;
class UserPrompts;

// The Calculator menu: transfers over the serial cable to a calculator in Kermit server mode
// (or, with XModem, one file each way), with the port, speed, protocol and block check kept in
// the remembered options.
//
// Send to Calculator (F6) compiles the editor's text and sends the object as a binary transfer
// file, or, asked to, sends the text as the calculator reads it in translation mode 3 (as Save
// for Calculator writes it). Get from Calculator asks the server for a variable, writes it to
// the file the user chose through a temporary file and opens it as File > Open would. Every
// transfer shows its progress and can be cancelled; every outcome is one line naming the port.
class CalculatorMenu final : public QObject {
    Q_OBJECT

  public:
    CalculatorMenu(QWidget& window, EditorBuffer& buffer, UserPrompts& prompts, FileCommands& files,
                   BuildCommands& build, OptionsStore& options);

    // Puts the Calculator menu into the bar before `before` (at the end when null); its items
    // are named sendToCalculator, sendFiles, getFromCalculator, finishServer and
    // connectionSettings.
    void addMenu(QMenuBar& bar, QAction* before);

    // The editor's text to the calculator as `name`: its compiled object, or the text. Returns
    // whether it arrived.
    bool sendText(const QString& name, bool asText);
    // Files as they are on disk, each under its own name.
    bool sendFiles(const QStringList& paths);
    // The variable `name` from the server (with XModem: what the calculator sends) into
    // `target`, then opened in the editor.
    bool getVariable(const QString& name, const QString& target);
    bool finishServer();

    // How long to wait for an answer and how often to ask again (5 s, 10 times at first).
    void setTiming(LinkTiming timing) { m_timing = timing; }

  private:
    void askAndSend();
    void askAndSendFiles();
    void askAndGet();
    void editConnection();
    bool transfer(const QString& title, std::unique_ptr<LinkEngine> engine,
                  std::vector<ReceivedFile>* received = nullptr);
    void tell(const QString& text, bool failure);

    QWidget& m_window;
    EditorBuffer& m_buffer;
    UserPrompts& m_prompts;
    FileCommands& m_files;
    BuildCommands& m_build;
    OptionsStore& m_options;
    LinkTiming m_timing{5000, 10};
};

} // namespace scrivlet
