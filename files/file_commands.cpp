#include "files/file_commands.h"

#include "common/file_io.h"
#include "common/source_extension.h"
#include "common/user_prompts.h"
#include "editor/editor_buffer.h"
#include "editor/source_editor.h"
#include "files/busy_cursor.h"
#include "calculator/grob.h"
#include "calculator/transfer_file.h"
#include "files/line_ends.h"
#include "files/picture_file.h"
#include "common/version.h"
#include "files/source_texts.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <vector>

namespace scrivlet {

namespace {

// Texts the user sees, marked for translation and translated where they are used.
const char* const kOpenFilter = QT_TRANSLATE_NOOP("FileCommands", "Source Files|*.txt;*.asm;*.rpl;*.s;*.a;*.");
const char* const kSaveFilter = QT_TRANSLATE_NOOP("FileCommands", "Source File|*.rpl");
const char* const kObjectFilter = QT_TRANSLATE_NOOP("FileCommands", "Calculator Object|*.hp");
const char* const kOpenTitle = QT_TRANSLATE_NOOP("FileCommands", "Vantor Scrivlet Open");
const char* const kSaveTitle = QT_TRANSLATE_NOOP("FileCommands", "Vantor Scrivlet Save As");
const char* const kDropTitle = QT_TRANSLATE_NOOP("FileCommands", "Vantor Scrivlet Drop");
const char* const kChangesTitle = QT_TRANSLATE_NOOP("FileCommands", "Vantor Scrivlet Save Changes");

// The name the file system knows the path by.
std::string localBytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString fromBytes(const std::string& text)
{
    return QString::fromStdString(text);
}

// The local files a drag carries, in drag order; empty when it carries none.
QStringList localFiles(const QMimeData* mime)
{
    QStringList paths;
    if (mime == nullptr || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

// Whether a file the extension rules skip goes in as a picture: its content is one, or its name
// says it is one (then it is refused with the reason rather than skipped without a word).
bool isDroppedPicture(const QString& path)
{
    return isPictureFile(path) || QImageReader::supportedImageFormats().contains(
                                      QFileInfo(path).suffix().toLower().toLatin1());
}

// A calculator object's file name: *.hp, any letter case.
bool isObjectFileName(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("hp"), Qt::CaseInsensitive) == 0;
}

} // namespace

FileCommands::FileCommands(QWidget& window, EditorBuffer& buffer, UserPrompts& prompts)
    : QObject(&window), m_window(window), m_buffer(buffer), m_prompts(prompts)
{
    QWidget* viewport = m_buffer.widget().viewport();
    viewport->setAcceptDrops(true);
    viewport->installEventFilter(this);
    markUnmodified();
}

FileCommands::~FileCommands() = default;

QString FileCommands::caption(const QString& path)
{
    const QString program =
        QString::fromLatin1(kProgramCaption.data(), static_cast<qsizetype>(kProgramCaption.size()));
    return path.isEmpty() ? program : program + QStringLiteral(" - ") + path;
}

bool FileCommands::isModified() const
{
    return m_buffer.isModified();
}

void FileCommands::markUnmodified()
{
    m_buffer.setModified(false);
}

void FileCommands::tell(const QString& title, const QString& text)
{
    m_prompts.message(&m_window, title, text, UserPrompts::Icon::Warning);
}

void FileCommands::replaceText(std::string_view text, std::int64_t caret)
{
    m_buffer.setText(text);
    m_buffer.setSelStart(caret);
    m_buffer.setSelLength(0);
    markUnmodified();
}

void FileCommands::newFile()
{
    if (!confirmDiscard())
        return;
    // The caret stands at the start of the empty line meant for the program's body.
    replaceText(kNewFileSkeleton, 4);
    m_path.clear();
    m_buffer.widget().setTextEncoding(m_usualEncoding);
    m_window.setWindowTitle(caption({}));
    m_buffer.setFocus();
}

void FileCommands::openFile()
{
    if (!confirmDiscard())
        return;
    const QString path = m_prompts.openFileName(&m_window, tr(kOpenFilter));
    if (path.isEmpty())
        return;
    if (loadFile(path, tr(kOpenTitle)))
        m_buffer.setFocus();
}

bool FileCommands::openPath(const QString& path)
{
    if (!confirmDiscard() || !loadFile(path, tr(kOpenTitle)))
        return false;
    m_buffer.setFocus();
    return true;
}

void FileCommands::openCommandLineFile(const QString& path)
{
    if (path.isEmpty())
        return;
    loadFile(path, tr(kOpenTitle));
}

bool FileCommands::loadFile(const QString& path, const QString& title)
{
    FileReadResult read = readWholeFile(localBytes(path));
    if (!read.ok) {
        tell(title, tr("The file could not be opened:\n%1\n%2")
                        .arg(path, fromBytes(read.reason)));
        return false;
    }
    QString shownCaption = caption(path);
    if (m_decompile && isTransferFile(read.bytes)) {
        QString problem;
        std::optional<std::string> source = m_decompile(read.bytes, problem);
        if (!source) {
            tell(title, tr("The file could not be opened:\n%1\n%2").arg(path, problem));
            return false;
        }
        read.bytes = std::move(*source);
        shownCaption += tr(" (decompiled)");
    }
    const std::string text = toEditorLineEnds(read.bytes);
    read.bytes = std::string(); // the file's bytes are not needed twice
    replaceText(text, 0);
    m_buffer.widget().setTextEncoding(encodingForFile(text, m_usualEncoding));
    m_path = path;
    m_window.setWindowTitle(shownCaption);
    return true;
}

bool FileCommands::saveAs()
{
    const QString filter =
        m_compile ? tr(kSaveFilter) + QLatin1Char('|') + tr(kObjectFilter) : tr(kSaveFilter);
    QString path = m_prompts.saveFileName(&m_window, filter);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += path.endsWith(QLatin1Char('.')) ? QStringLiteral("rpl") : QStringLiteral(".rpl");
    return writeTo(path);
}

bool FileCommands::save()
{
    return m_path.isEmpty() ? saveAs() : writeTo(m_path);
}

// A .hp name gets the text compiled to its object (nothing is written when it does not
// compile); every other name the text itself.
bool FileCommands::writeTo(const QString& path)
{
    std::string bytes = toDiskLineEnds(m_buffer.text());
    if (m_compile && isObjectFileName(path)) {
        std::optional<std::string> object = m_compile(bytes);
        if (!object)
            return false;
        bytes = std::move(*object);
    }
    const FileWriteResult written = writeFileAtomically(localBytes(path), bytes);
    if (!written.ok) {
        tell(tr(kSaveTitle), tr("The file could not be saved:\n%1\n%2")
                             .arg(path, fromBytes(written.reason)));
        return false;
    }
    markUnmodified();
    m_path = path;
    m_window.setWindowTitle(caption(path));
    return true;
}

void FileCommands::setObjectConverters(ObjectDecompiler decompile, ObjectCompiler compile)
{
    m_decompile = std::move(decompile);
    m_compile = std::move(compile);
}

bool FileCommands::confirmDiscard()
{
    if (!isModified())
        return true;
    switch (m_prompts.askSaveChanges(&m_window, tr(kChangesTitle),
                                     tr("The text has changed since it was last "
                                                    "opened or saved.\nSave it first?"))) {
    case UserPrompts::SaveChoice::Save:
        return saveAs();
    case UserPrompts::SaveChoice::Discard:
        return true;
    case UserPrompts::SaveChoice::Cancel:
        return false;
    }
    return false;
}

void FileCommands::dropFiles(const QStringList& paths)
{
    // Everything is read and converted first, so that a file that cannot be read stops the
    // whole drop before anything is inserted.
    std::vector<std::string> pieces;
    QStringList problems;
    {
        BusyCursor busy;
        for (const QString& path : paths) {
            const SourceFileKind kind = sourceFileKind(path.toStdString());
            if (kind == SourceFileKind::Other && m_decompile && isObjectFileName(path)) {
                QString problem;
                std::optional<std::string> source = droppedObjectText(path, problem);
                if (source)
                    pieces.push_back(std::move(*source));
                else
                    problems << path + QLatin1Char('\n') + problem;
                continue;
            }
            if (kind == SourceFileKind::Other) {
                if (!isDroppedPicture(path))
                    continue;
                PictureLine picture = pictureFileLine(path, m_pictureRule);
                if (picture.ok())
                    pieces.push_back(std::move(picture.line));
                else
                    problems << picture.problem;
                continue;
            }
            FileReadResult read = readWholeFile(localBytes(path));
            if (!read.ok) {
                problems << path + QLatin1Char('\n') + fromBytes(read.reason);
                continue;
            }
            if (kind == SourceFileKind::Text) {
                pieces.push_back(toEditorLineEnds(read.bytes));
                continue;
            }
            GrobConversion grob = convertGrob(read.bytes);
            if (!grob.ok()) {
                problems << path + QLatin1Char('\n') + fromBytes(grobProblemText(grob));
                continue;
            }
            pieces.push_back(std::move(grob.line));
        }
    }
    if (!problems.isEmpty()) {
        tell(tr(kDropTitle),
             tr("Nothing was inserted.\n") + problems.join(QLatin1Char('\n')));
        return;
    }
    if (pieces.empty())
        return;
    BusyCursor busy;
    const EditorBuffer::UndoGroup oneDrop(m_buffer);
    for (const std::string& piece : pieces) {
        m_buffer.setSelText(piece);
        if (isUtf8WithHighBytes(piece))
            m_buffer.widget().setTextEncoding(TextEncoding::Utf8);
    }
}

std::optional<std::string> FileCommands::droppedObjectText(const QString& path, QString& problem)
{
    const FileReadResult read = readWholeFile(localBytes(path));
    problem = fromBytes(read.reason);
    if (read.ok && !isTransferFile(read.bytes))
        problem = tr("It is no binary transfer file.");
    std::optional<std::string> text;
    if (read.ok && problem.isEmpty())
        text = m_decompile(read.bytes, problem);
    if (!text)
        return std::nullopt;
    // Inserted into other text, the object goes in without the transfer header line.
    if (text->rfind("%%HP:", 0) == 0)
        text->erase(0, text->find('\n') + 1);
    return toEditorLineEnds(*text);
}

void FileCommands::setDitherPictures(bool on)
{
    m_pictureRule = on ? DarkRule::Dither : DarkRule::Threshold;
}

bool FileCommands::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (localFiles(drag->mimeData()).isEmpty())
            break;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = localFiles(drop->mimeData());
        if (paths.isEmpty())
            break;
        drop->acceptProposedAction();
        dropFiles(paths);
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace scrivlet
