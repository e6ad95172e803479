#include "files/build_commands.h"

#include "calculator/transfer_file.h"
#include "common/file_io.h"
#include "editor/editor_buffer.h"
#include "editor/source_editor.h"
#include "files/file_commands.h"
#include "files/line_ends.h"
#include "files/problem_pane.h"
#include "reference/rom_names_reader.h"
#include "rpl/rpl_compiler.h"
#include "rpl/rpl_decompiler.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>
#include <algorithm>
#include <system_error>

namespace scrivlet {
namespace {

const char* const kObjectFilter = QT_TRANSLATE_NOOP("BuildCommands", "Calculator Object|*.hp");

// The object's size as BYTES gives it: bytes, with .5 for an odd number of nibbles.
QString sizeInBytes(std::size_t nibbles)
{
    return QString::number(nibbles / 2) + (nibbles % 2 != 0 ? QStringLiteral(".5") : QString());
}

} // namespace

BuildCommands::BuildCommands(QWidget& window, EditorBuffer& buffer, UserPrompts& prompts,
                             FileCommands& files, ProblemPane& pane, std::string databasePath)
    : QObject(&window), m_window(window), m_buffer(buffer), m_prompts(prompts), m_files(files),
      m_pane(pane), m_databasePath(std::move(databasePath))
{
    connect(&m_pane, &ProblemPane::problemChosen, this, &BuildCommands::goTo);
    m_files.setObjectConverters(
        [this](std::string_view bytes, QString& problem) { return decompiledText(bytes, problem); },
        [this](std::string_view source) { return compiledFile(source); });
}

void BuildCommands::addMenu(QMenuBar& bar, QAction* before)
{
    auto* menu = new QMenu(tr("Build"), &bar);
    bar.insertMenu(before, menu);
    menu->setObjectName(QStringLiteral("build"));
    QAction* action = menu->addAction(tr("Compile"));
    action->setObjectName(QStringLiteral("compile"));
    action->setShortcut(Qt::Key_F9);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, &BuildCommands::compile);
}

std::shared_ptr<const RomNames> BuildCommands::romNames(QString* problem)
{
    std::error_code error;
    const auto time = std::filesystem::last_write_time(m_databasePath, error);
    const auto size = error ? 0 : std::filesystem::file_size(m_databasePath, error);
    if (m_names && !error && time == m_namesTime && size == m_namesSize)
        return m_names;
    RunResult<RomNames> read = readRomNames(m_databasePath);
    if (!read.ok()) {
        m_names.reset();
        if (problem != nullptr)
            *problem = QString::fromStdString(read.error);
        return nullptr;
    }
    m_names = std::make_shared<const RomNames>(std::move(*read.value));
    m_namesTime = time;
    m_namesSize = size;
    return m_names;
}

std::optional<std::string> BuildCommands::decompiledText(std::string_view fileBytes,
                                                         QString& problem)
{
    const TransferFileRead read = readTransferFile(fileBytes);
    if (!read.ok) {
        problem = tr("Byte %1: %2").arg(read.byteOffset).arg(QString::fromStdString(read.message));
        return std::nullopt;
    }
    // A valid object always opens: without the book its pointers are written by number.
    static const RomNames noNames;
    const std::shared_ptr<const RomNames> names = romNames(nullptr);
    DecompileOptions options;
    options.namePointers = read.file.family == CalculatorFamily::Hp49;
    return decompiledTransferText(read.file.object, names ? *names : noNames, options);
}

std::optional<std::string> BuildCommands::compiledFile(std::string_view source)
{
    QString problem;
    const std::shared_ptr<const RomNames> names = romNames(&problem);
    if (!names) {
        m_pane.showNote(
            tr("Nothing was compiled: the entry database could not be read.\n%1").arg(problem));
        return std::nullopt;
    }
    const CompileResult compiled = compileRpl(source, *names);
    if (!compiled.ok) {
        m_pane.showProblems({{compiled.error.line, compiled.error.column,
                              QString::fromStdString(compiled.error.message)}});
        return std::nullopt;
    }
    const Nibbles nibbles = objectNibbles(compiled.object);
    m_pane.showNote(
        tr("Compiled: %1 bytes, checksum # %2h")
            .arg(sizeInBytes(nibbles.size()), QString::number(nibbleCrc(nibbles), 16)
                                                  .toUpper()
                                                  .rightJustified(4, QLatin1Char('0'))));
    return transferFileBytes(compiled.object);
}

bool BuildCommands::compile()
{
    // The text is compiled first: a source with a problem asks for no file.
    const std::optional<std::string> bytes = compiledFile(toDiskLineEnds(m_buffer.text()));
    if (!bytes)
        return false;
    const QString note = m_pane.count() > 0 ? m_pane.item(0)->text() : QString();
    QString target = m_files.path();
    if (target.isEmpty()) {
        target = m_prompts.saveFileName(&m_window, tr(kObjectFilter));
        if (target.isEmpty())
            return false;
    } else {
        const QFileInfo source(target);
        target = source.dir().filePath(source.completeBaseName() + QStringLiteral(".hp"));
    }
    const FileWriteResult written =
        writeFileAtomically(QFile::encodeName(target).toStdString(), *bytes);
    if (!written.ok) {
        m_pane.showNote(tr("The object could not be written: %1\n%2")
                            .arg(target, QString::fromStdString(written.reason)));
        return false;
    }
    m_pane.showNote(note + QStringLiteral(" - ") + target);
    return true;
}

void BuildCommands::goTo(std::size_t line, std::size_t column)
{
    const TextModel& model = m_buffer.widget().model();
    const auto index = static_cast<std::int64_t>(std::max<std::size_t>(line, 1) - 1);
    if (index >= model.lineCount())
        return;
    const std::int64_t start = model.lineStart(index);
    const std::int64_t at =
        std::min(start + static_cast<std::int64_t>(std::max<std::size_t>(column, 1) - 1),
                 model.lineEnd(index));
    m_buffer.setSelStart(at);
    m_buffer.setSelLength(0);
    m_buffer.setFocus();
}

} // namespace scrivlet
