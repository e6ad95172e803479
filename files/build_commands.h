#pragma once

#include "common/user_prompts.h"
#include "rpl/lexer.h"
#include "rpl/rom_names.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QAction;
class QActionGroup;
class QMenuBar;
class QWidget;

namespace scrivlet {

class EditorBuffer;
class FileCommands;
class ProblemPane;

// The Build menu and calculator objects in the window.
//
// Build > Compile (F9) compiles the editor's text and writes the object as a binary transfer
// file NAME.hp beside the open file (asking where when the text has no file yet), through a
// temporary file: a failed compile or write leaves an old NAME.hp as it was. The text is User
// RPL or a System RPL source file as Build > Dialect says (Automatic: as its first words say,
// see sourceDialect); a System RPL source INCLUDEs files beside the open file. The problem pane
// shows where the source is wrong as "line:column: message" ("file:line:column: message" in an
// INCLUDEd file), and a click there puts the caret at that place (opening the other file as
// File > Open does); after a good compile it shows the object's size and checksum as the
// calculator's BYTES shows them (bytes = nibbles / 2, CRC-16 over the object's nibbles).
//
// Build > Build Library (Shift+F9) builds the library of the open project: the open file when
// it is a .hpp, else the one .hpp in the open file's folder (the file dialog asks when there is
// none or several). Changed text is offered for saving first. The library (and the header the
// project asks for) is written whole or not at all; the pane shows a problem as
// "file:line:column: message" and a good build's size and checksum.
//
// It also gives File > Open its decompiler (a binary transfer file opens as its decompiled
// text) and File > Save As its compiler (the *.hp type). The ROM names come from the entry
// database, read again only when its file changed; without one, pointers are written by number
// and commands cannot be compiled.
class BuildCommands final : public QObject {
    Q_OBJECT

  public:
    BuildCommands(QWidget& window, EditorBuffer& buffer, UserPrompts& prompts, FileCommands& files,
                  ProblemPane& pane, std::string databasePath);

    // Puts the Build menu into the bar before `before` (at the end when null), its items named
    // "compile", "buildLibrary" and "dialectAutomatic", "dialectUser", "dialectSystem".
    void addMenu(QMenuBar& bar, QAction* before);

    // Build > Compile. Returns whether the object was written.
    bool compile();
    // Build > Build Library. Returns whether the library was written.
    bool buildLibrary();
    // The caret to a 1-based line and column of the editor (clamped to the text), with the focus.
    void goTo(std::size_t line, std::size_t column);
    // The caret to a place in a file: the editor's text when `path` is empty or the open file,
    // else the file opened as File > Open does first.
    void goToFile(const QString& path, std::size_t line, std::size_t column);

    // Build > Dialect: Unknown is Automatic.
    RplDialect dialect() const { return m_dialect; }
    void setDialect(RplDialect dialect);
    // Build > Include Folder: where headers a source INCLUDEs are looked for when they are not
    // beside it (after a project's RPL_INCLUDE= folders); empty for none.
    QString includeFolder() const { return m_includeFolder; }
    void setIncludeFolder(const QString& folder) { m_includeFolder = folder; }

    // The editor text for a binary transfer file; nothing, with the reason, for a damaged one.
    std::optional<std::string> decompiledText(std::string_view fileBytes, QString& problem);
    // The transfer file bytes for a source (LF line ends); nothing when it does not compile,
    // whose problem the pane then shows.
    std::optional<std::string> compiledFile(std::string_view source);

  signals:
    // The user chose another Build > Dialect.
    void dialectChosen(RplDialect dialect);
    // The user chose another Build > Include Folder.
    void includeFolderChosen(const QString& folder);

  private:
    // The project Build Library builds; empty when the user cancelled.
    QString projectToBuild();
    std::vector<std::string> includeFolders() const;
    // The names of the entry database; when it cannot be read, none, and why in `problem`.
    std::shared_ptr<const RomNames> romNames(QString* problem);

    QWidget& m_window;
    EditorBuffer& m_buffer;
    UserPrompts& m_prompts;
    FileCommands& m_files;
    ProblemPane& m_pane;
    std::string m_databasePath;
    RplDialect m_dialect = RplDialect::Unknown;
    QString m_includeFolder;
    QActionGroup* m_dialects = nullptr;

    std::shared_ptr<const RomNames> m_names;
    std::filesystem::file_time_type m_namesTime{};
    std::uintmax_t m_namesSize = 0;
};

} // namespace scrivlet
