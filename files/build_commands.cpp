#include "files/build_commands.h"

#include "calculator/transfer_file.h"
#include "common/file_io.h"
#include "editor/editor_buffer.h"
#include "editor/source_editor.h"
#include "files/file_commands.h"
#include "files/line_ends.h"
#include "files/problem_pane.h"
#include "reference/rom_names_reader.h"
#include "rpl/project_build.h"
#include "rpl/rpl_decompiler.h"
#include "rpl/source_dialect.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
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
const char* const kProjectFilter = QT_TRANSLATE_NOOP("BuildCommands", "Library Project|*.hpp");

// The object's size as BYTES gives it: bytes, with .5 for an odd number of nibbles.
QString sizeInBytes(std::size_t nibbles)
{
    return QString::number(nibbles / 2) + (nibbles % 2 != 0 ? QStringLiteral(".5") : QString());
}

// "N bytes, checksum # XXXXh" as BYTES gives them for the object.
QString sizeAndChecksum(const RplObject& object)
{
    const Nibbles nibbles = objectNibbles(object);
    return QCoreApplication::translate("BuildCommands", "%1 bytes, checksum # %2h")
        .arg(sizeInBytes(nibbles.size()),
             QString::number(nibbleCrc(nibbles), 16).toUpper().rightJustified(4, QLatin1Char('0')));
}

std::string localPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString fromLocalPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

bool isProjectFile(const QString& path)
{
    return path.endsWith(QStringLiteral(".hpp"), Qt::CaseInsensitive);
}

} // namespace

BuildCommands::BuildCommands(QWidget& window, EditorBuffer& buffer, UserPrompts& prompts,
                             FileCommands& files, ProblemPane& pane, std::string databasePath)
    : QObject(&window), m_window(window), m_buffer(buffer), m_prompts(prompts), m_files(files),
      m_pane(pane), m_databasePath(std::move(databasePath))
{
    connect(&m_pane, &ProblemPane::problemChosen, this, &BuildCommands::goToFile);
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
    action = menu->addAction(tr("Build Library"));
    action->setObjectName(QStringLiteral("buildLibrary"));
    action->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F9));
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, &BuildCommands::buildLibrary);

    action = menu->addAction(tr("Include Folder..."));
    action->setObjectName(QStringLiteral("includeFolder"));
    connect(action, &QAction::triggered, this, [this] {
        const QString folder = m_prompts.folderName(&m_window, tr("Include Folder"), m_includeFolder);
        if (folder.isEmpty())
            return;
        m_includeFolder = folder;
        emit includeFolderChosen(folder);
    });

    QMenu* dialects = menu->addMenu(tr("Dialect"));
    dialects->setObjectName(QStringLiteral("dialect"));
    m_dialects = new QActionGroup(menu);
    const struct {
        const char* text;
        const char* name;
        RplDialect dialect;
    } kDialects[] = {
        {QT_TR_NOOP("Automatic"), "dialectAutomatic", RplDialect::Unknown},
        {QT_TR_NOOP("User RPL"), "dialectUser", RplDialect::User},
        {QT_TR_NOOP("System RPL"), "dialectSystem", RplDialect::System},
    };
    for (const auto& entry : kDialects) {
        action = dialects->addAction(tr(entry.text));
        action->setObjectName(QLatin1String(entry.name));
        action->setCheckable(true);
        action->setChecked(entry.dialect == m_dialect);
        action->setData(static_cast<int>(entry.dialect));
        m_dialects->addAction(action);
        const RplDialect dialect = entry.dialect;
        connect(action, &QAction::triggered, this, [this, dialect] {
            m_dialect = dialect;
            emit dialectChosen(dialect);
        });
    }
}

void BuildCommands::setDialect(RplDialect dialect)
{
    m_dialect = dialect;
    if (m_dialects == nullptr)
        return;
    for (QAction* action : m_dialects->actions())
        action->setChecked(action->data().toInt() == static_cast<int>(dialect));
}

std::vector<std::string> BuildCommands::includeFolders() const
{
    if (m_includeFolder.isEmpty())
        return {};
    return {localPath(m_includeFolder)};
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
    // A System RPL source INCLUDEs files beside the open file.
    const QString path = m_files.path();
    const std::filesystem::path folder =
        path.isEmpty() ? std::filesystem::path() : std::filesystem::path(localPath(path)).parent_path();
    const SourceCompile compiled = compileSource(
        source, m_dialect,
        path.isEmpty() ? ProjectFileReader([](const std::string&) { return std::nullopt; })
                       : folderFileReader(folder, includeFolders()),
        *names);
    if (!compiled.ok) {
        const ProjectError& e = compiled.error;
        m_pane.showProblems({{e.line, e.column, QString::fromStdString(e.message),
                              e.file.empty()
                                  ? QString()
                                  : fromLocalPath(
                                        projectFilePath(folder, e.file, includeFolders()).string()),
                              QString::fromStdString(e.file)}});
        return std::nullopt;
    }
    m_pane.showNote(tr("Compiled: %1").arg(sizeAndChecksum(compiled.object)));
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

QString BuildCommands::projectToBuild()
{
    const QString open = m_files.path();
    if (isProjectFile(open))
        return open;
    if (!open.isEmpty()) {
        const QFileInfo source(open);
        QStringList projects;
        for (const QFileInfo& file : source.dir().entryInfoList(QDir::Files))
            if (isProjectFile(file.fileName()))
                projects << file.filePath();
        if (projects.size() == 1)
            return projects.front();
    }
    return m_prompts.openFileName(&m_window, tr(kProjectFilter));
}

bool BuildCommands::buildLibrary()
{
    const QString project = projectToBuild();
    if (project.isEmpty())
        return false;
    // The sources are read from their files: changed text is saved first when the user wants.
    if (m_files.isModified() && !m_files.path().isEmpty()) {
        switch (m_prompts.askSaveChanges(
            &m_window, tr("Build Library"),
            tr("The text of %1 has changed since it was last opened or saved.\n"
               "Save it before the library is built?")
                .arg(QFileInfo(m_files.path()).fileName()))) {
        case UserPrompts::SaveChoice::Save:
            if (!m_files.save())
                return false;
            break;
        case UserPrompts::SaveChoice::Discard:
            break;
        case UserPrompts::SaveChoice::Cancel:
            return false;
        }
    }
    QString problem;
    const std::shared_ptr<const RomNames> names = romNames(&problem);
    if (!names) {
        m_pane.showNote(
            tr("Nothing was built: the entry database could not be read.\n%1").arg(problem));
        return false;
    }
    const LibraryFileBuild built = buildLibraryFiles(localPath(project), {}, *names, includeFolders());
    if (!built.ok && (built.file == built.libraryPath || built.file == built.headerPath)) {
        m_pane.showNote(tr("The file could not be written: %1\n%2")
                            .arg(fromLocalPath(built.file), QString::fromStdString(built.message)));
        return false;
    }
    if (!built.ok) {
        const QString path = fromLocalPath(built.file);
        m_pane.showProblems({{built.line, built.column, QString::fromStdString(built.message), path,
                              QFileInfo(project).dir().relativeFilePath(path)}});
        return false;
    }
    QString note = tr("Library built: %1 - %2")
                       .arg(sizeAndChecksum(built.library), fromLocalPath(built.libraryPath));
    if (!built.headerPath.empty())
        note += tr(" (header %1)").arg(QFileInfo(fromLocalPath(built.headerPath)).fileName());
    m_pane.showNote(note);
    return true;
}

void BuildCommands::goToFile(const QString& path, std::size_t line, std::size_t column)
{
    if (!path.isEmpty()) {
        const QString file = QFileInfo(path).canonicalFilePath();
        const bool isOpen = !file.isEmpty() && file == QFileInfo(m_files.path()).canonicalFilePath();
        if (!isOpen && !m_files.openPath(path))
            return;
    }
    goTo(line, column);
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
