#pragma once

#include "editor/text_encoding.h"
#include "files/grob_picture.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace scrivlet {

class EditorBuffer;
class UserPrompts;

// The File menu's commands, the command-line file and files dropped onto the editor, on one
// editor buffer and one main window.
//
// Source files are read and written byte for byte: a file read into the editor gets CR LF for
// every lone LF, and Save As writes every CR LF as LF, so opening and saving changes nothing
// on disk but CR LF into LF. Save As goes through a temporary file and never leaves a
// half-written file. The window caption names the file last opened or saved; drops never
// change it. Text that changed since it was last started, opened or saved is never discarded
// without asking. A failure says which file and why, and changes nothing.
class FileCommands final : public QObject {
    Q_OBJECT

  public:
    // The window gets the caption and parents the dialogs. The editor buffer's current text
    // counts as unchanged from here on.
    FileCommands(QWidget& window, EditorBuffer& buffer, UserPrompts& prompts);
    ~FileCommands() override;

    FileCommands(const FileCommands&) = delete;
    FileCommands& operator=(const FileCommands&) = delete;

    // File > New: after asking about changed text, the new-file skeleton with the caret at the
    // start of its empty second line, and the caption without a file.
    void newFile();
    // File > Open: after asking about changed text, the chosen file with the caret at its start.
    // A cancelled dialog or an unreadable file changes nothing (the latter says why).
    void openFile();
    // File > Save As: writes the text with LF line ends to the chosen file (".rpl" added to a
    // name without an extension). The editor text and the caret are left as they are. Returns
    // whether the file was written.
    bool saveAs();
    // File > Save: as Save As, to the file last opened or saved without asking; Save As when
    // there is none.
    bool save();
    // Before the text is replaced or the window closes: true when that may go ahead, either
    // because the text is unchanged or because the user saved it or chose to discard it.
    bool confirmDiscard();
    // File > Open of a file already chosen: after asking about changed text, `path` with the
    // caret at its start and the focus. Returns whether it was opened.
    bool openPath(const QString& path);
    // The file named on the command line, opened as File > Open would, without asking.
    // An empty path does nothing.
    void openCommandLineFile(const QString& path);
    // Dropped files in drop order: text files inserted at the caret, GROB files converted and
    // inserted, pictures turned into a GROB line, others skipped. Only files the extension
    // rules skip can be pictures: by their content, or by a picture extension (then a file
    // that cannot be read as one is refused rather than skipped). With the object converters
    // set, a *.hp file is inserted as its decompiled text without the transfer header line, as
    // every dropped file is inserted (opening it is File > Open). If any file to insert cannot
    // be read, nothing is inserted and one message names each such file with the reason. One
    // undo step.
    void dropFiles(const QStringList& paths);
    // The encoding a new file, and an opened one that is neither UTF-8 nor a calculator
    // transfer text, is shown in. An opened file that is valid UTF-8 with bytes above 127 is
    // shown as UTF-8, one with a "%%HP:" header in the calculator's character set; a dropped
    // UTF-8 file turns the view to UTF-8.
    void setUsualEncoding(TextEncoding encoding) { m_usualEncoding = encoding; }
    // How dropped and imported pictures become GROB pixels (off: the plain threshold).
    void setDitherPictures(bool on);
    DarkRule pictureRule() const { return m_pictureRule; }

    // Whether the text changed since it was last started, opened or saved.
    bool isModified() const;
    // Makes the current text count as unchanged (for example after the window set it).
    void markUnmodified();

    // The window caption for a file (empty: no file).
    static QString caption(const QString& path);

    // The file last opened or saved; empty when there is none.
    QString path() const { return m_path; }

    // Calculator objects. A binary transfer file (known by its header, whatever its name) opens
    // as the text `decompile` gives for its bytes, marked "(decompiled)" in the caption; it
    // gives nothing and says why in `problem` when the file is damaged. Save As then offers the
    // object type "*.hp", whose file bytes `compile` gives for the editor's text (it tells the
    // user itself when the text does not compile). Without them both kinds are plain files.
    using ObjectDecompiler =
        std::function<std::optional<std::string>(std::string_view fileBytes, QString& problem)>;
    using ObjectCompiler = std::function<std::optional<std::string>(std::string_view text)>;
    void setObjectConverters(ObjectDecompiler decompile, ObjectCompiler compile);

  protected:
    // File drops on the editor's viewport; every other event goes on to the editor.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool loadFile(const QString& path, const QString& title);
    // A dropped binary transfer file's text to insert; nothing, and why, when it cannot be read.
    std::optional<std::string> droppedObjectText(const QString& path, QString& problem);
    bool writeTo(const QString& path);
    void replaceText(std::string_view text, std::int64_t caret);
    void tell(const QString& title, const QString& text);

    QWidget& m_window;
    EditorBuffer& m_buffer;
    UserPrompts& m_prompts;
    DarkRule m_pictureRule = DarkRule::Threshold;
    TextEncoding m_usualEncoding = TextEncoding::Windows1252;
    QString m_path; // the file last opened or saved; empty after New
    ObjectDecompiler m_decompile;
    ObjectCompiler m_compile;
};

} // namespace scrivlet
