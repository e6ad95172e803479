#include "app/calculator_menu.h"

#include "app/connection_dialog.h"
#include "app/transfer_dialog.h"
#include "calculator/transfer_escapes.h"
#include "common/file_io.h"
#include "common/user_prompts.h"
#include "editor/editor_buffer.h"
#include "files/build_commands.h"
#include "files/file_commands.h"
#include "files/line_ends.h"
#include "link/kermit_session.h"
#include "link/xmodem.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

namespace scrivlet {
namespace {

const char* const kTitle = QT_TRANSLATE_NOOP("CalculatorMenu", "Vantor Scrivlet Calculator");

std::string localBytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

CalculatorMenu::CalculatorMenu(QWidget& window, EditorBuffer& buffer, UserPrompts& prompts,
                               FileCommands& files, BuildCommands& build, OptionsStore& options)
    : QObject(&window), m_window(window), m_buffer(buffer), m_prompts(prompts), m_files(files),
      m_build(build), m_options(options)
{
}

void CalculatorMenu::addMenu(QMenuBar& bar, QAction* before)
{
    auto* menu = new QMenu(tr("Calculator"), &bar);
    bar.insertMenu(before, menu);
    menu->setObjectName(QStringLiteral("calculator"));
    const auto add = [&](const QString& text, const char* name, auto slot) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    QAction* send = add(tr("Send to Calculator"), "sendToCalculator", &CalculatorMenu::askAndSend);
    send->setShortcut(Qt::Key_F6);
    send->setShortcutContext(Qt::WindowShortcut);
    add(tr("Send Files..."), "sendFiles", &CalculatorMenu::askAndSendFiles);
    add(tr("Get from Calculator..."), "getFromCalculator", &CalculatorMenu::askAndGet);
    add(tr("Finish Server"), "finishServer", [this] { finishServer(); });
    menu->addSeparator();
    add(tr("Connection Settings..."), "connectionSettings", &CalculatorMenu::editConnection);
}

bool CalculatorMenu::transfer(const QString& title, std::unique_ptr<LinkEngine> engine,
                              std::vector<ReceivedFile>* received)
{
    TransferOutcome outcome =
        TransferDialog::run(&m_window, title, m_options.connection(), m_timing, std::move(engine));
    if (!outcome.ok) {
        tell(outcome.failure, true);
        return false;
    }
    if (received != nullptr)
        *received = std::move(outcome.files);
    return true;
}

void CalculatorMenu::tell(const QString& text, bool failure)
{
    m_prompts.message(&m_window, tr(kTitle), text,
                      failure ? UserPrompts::Icon::Warning : UserPrompts::Icon::Information);
}

void CalculatorMenu::askAndSend()
{
    QDialog dialog(&m_window);
    dialog.setWindowTitle(tr("Send to Calculator"));
    auto* form = new QFormLayout(&dialog);
    auto* name = new QLineEdit(&dialog);
    const QString base = QFileInfo(m_files.path()).completeBaseName();
    name->setText(base.isEmpty() ? QStringLiteral("PRG") : base);
    form->addRow(tr("Name on the calculator:"), name);
    auto* asText = new QCheckBox(tr("Send as text"), &dialog);
    form->addRow(asText);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() == QDialog::Accepted && !name->text().trimmed().isEmpty())
        sendText(name->text().trimmed(), asText->isChecked());
}

bool CalculatorMenu::sendText(const QString& name, bool asText)
{
    const std::string source = toDiskLineEnds(m_buffer.text());
    std::string bytes;
    if (asText) {
        bytes = toDiskLineEnds(calculatorFileText(m_buffer.text()).text);
    } else {
        std::optional<std::string> object = m_build.compiledFile(source);
        if (!object) {
            tell(tr("Nothing was sent: the text does not compile (the problem is shown below "
                    "the editor)."),
                 true);
            return false;
        }
        bytes = std::move(*object);
    }
    const ConnectionSettings connection = m_options.connection();
    const std::size_t size = bytes.size();
    std::vector<OutgoingFile> files{{name.toStdString(), std::move(bytes)}};
    std::unique_ptr<LinkEngine> engine =
        connection.xmodem
            ? std::unique_ptr<LinkEngine>(std::make_unique<XModemSender>(files[0].bytes, m_timing))
            : std::make_unique<KermitSession>(KermitSession::sender(
                  std::move(files), KermitOptions{m_timing, connection.checkType, 90, false}));
    if (!transfer(tr("Send to Calculator"), std::move(engine)))
        return false;
    tell(tr("Sent %1 (%2 bytes) to %3").arg(name).arg(size).arg(connection.port), false);
    return true;
}

void CalculatorMenu::askAndSendFiles()
{
    const QStringList paths =
        m_prompts.openFileNames(&m_window, tr("Calculator Files|*.hp;*.txt;*.rpl;*.|All Files|*"));
    if (!paths.isEmpty())
        sendFiles(paths);
}

bool CalculatorMenu::sendFiles(const QStringList& paths)
{
    const ConnectionSettings connection = m_options.connection();
    if (connection.xmodem && paths.size() > 1) {
        tell(tr("XModem sends one file at a time; choose one file or Kermit."), true);
        return false;
    }
    std::vector<OutgoingFile> files;
    for (const QString& path : paths) {
        FileReadResult read = readWholeFile(localBytes(path));
        if (!read.ok) {
            tell(tr("%1: %2").arg(path, QString::fromStdString(read.reason)), true);
            return false;
        }
        files.push_back({localBytes(QFileInfo(path).fileName()), std::move(read.bytes)});
    }
    std::unique_ptr<LinkEngine> engine =
        connection.xmodem
            ? std::unique_ptr<LinkEngine>(std::make_unique<XModemSender>(files[0].bytes, m_timing))
            : std::make_unique<KermitSession>(KermitSession::sender(
                  std::move(files), KermitOptions{m_timing, connection.checkType, 90, false}));
    if (!transfer(tr("Send Files"), std::move(engine)))
        return false;
    tell(paths.size() == 1
             ? tr("Sent %1 to %2").arg(QFileInfo(paths[0]).fileName(), connection.port)
             : tr("Sent %1 files to %2").arg(paths.size()).arg(connection.port),
         false);
    return true;
}

void CalculatorMenu::askAndGet()
{
    // The editor's text is asked about first: nothing arrives that then cannot be shown.
    if (!m_files.confirmDiscard())
        return;
    // With XModem the calculator chooses what it sends (XSEND); Kermit asks its server by name.
    QString name;
    if (!m_options.connection().xmodem) {
        bool ok = false;
        name = QInputDialog::getText(&m_window, tr("Get from Calculator"),
                                     tr("Variable on the calculator:"), QLineEdit::Normal, {}, &ok)
                   .trimmed();
        if (!ok || name.isEmpty())
            return;
    }
    const QString target = m_prompts.saveFileNameTitled(
        &m_window, tr("Calculator Object|*.hp|All Files|*"), tr("Save the Variable As"));
    if (!target.isEmpty())
        getVariable(name, target);
}

bool CalculatorMenu::getVariable(const QString& name, const QString& target)
{
    const ConnectionSettings connection = m_options.connection();
    std::unique_ptr<LinkEngine> engine =
        connection.xmodem
            ? std::unique_ptr<LinkEngine>(std::make_unique<XModemReceiver>(m_timing))
            : std::make_unique<KermitSession>(KermitSession::getter(
                  name.toStdString(), KermitOptions{m_timing, connection.checkType, 90, false}));
    std::vector<ReceivedFile> files;
    if (!transfer(tr("Get from Calculator"), std::move(engine), &files))
        return false;
    if (files.empty()) {
        tell(tr("%1: the calculator sent nothing for %2").arg(connection.port, name), true);
        return false;
    }
    const FileWriteResult written = writeFileAtomically(localBytes(target), files.front().bytes);
    if (!written.ok) {
        tell(tr("%1: %2").arg(target, QString::fromStdString(written.reason)), true);
        return false;
    }
    m_files.openCommandLineFile(target);
    return true;
}

bool CalculatorMenu::finishServer()
{
    const ConnectionSettings connection = m_options.connection();
    if (connection.xmodem) {
        tell(tr("Finish Server needs the Kermit protocol (Connection Settings)."), true);
        return false;
    }
    if (!transfer(tr("Finish Server"),
                  std::make_unique<KermitSession>(KermitSession::finisher(
                      KermitOptions{m_timing, connection.checkType, 90, false}))))
        return false;
    tell(tr("The server on %1 has finished").arg(connection.port), false);
    return true;
}

void CalculatorMenu::editConnection()
{
    ConnectionDialog dialog(&m_window, m_options.connection());
    if (dialog.exec() == QDialog::Accepted)
        m_options.setConnection(dialog.settings());
}

} // namespace scrivlet
