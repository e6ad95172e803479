#pragma once

#include "common/user_prompts.h"
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
class QMenuBar;
class QWidget;

namespace scrivlet {

class EditorBuffer;
class FileCommands;
class ProblemPane;

// The Build menu and calculator objects in the window.
//
// Build > Compile (F9) compiles the editor's User RPL text and writes the object as a binary
// transfer file NAME.hp beside the open file (asking where when the text has no file yet),
// through a temporary file: a failed compile or write leaves an old NAME.hp as it was. The
// problem pane shows where the source is wrong as "line:column: message", and a click there
// puts the caret at that place in the editor; after a good compile it shows the object's size
// and checksum as the calculator's BYTES shows them (bytes = nibbles / 2, CRC-16 over the
// object's nibbles).
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

    // Puts the Build menu into the bar before `before` (at the end when null), its item named
    // "compile".
    void addMenu(QMenuBar& bar, QAction* before);

    // Build > Compile. Returns whether the object was written.
    bool compile();
    // The caret to a 1-based line and column of the editor (clamped to the text), with the focus.
    void goTo(std::size_t line, std::size_t column);

    // The editor text for a binary transfer file; nothing, with the reason, for a damaged one.
    std::optional<std::string> decompiledText(std::string_view fileBytes, QString& problem);
    // The transfer file bytes for a source (LF line ends); nothing when it does not compile,
    // whose problem the pane then shows.
    std::optional<std::string> compiledFile(std::string_view source);

  private:
    // The names of the entry database; when it cannot be read, none, and why in `problem`.
    std::shared_ptr<const RomNames> romNames(QString* problem);

    QWidget& m_window;
    EditorBuffer& m_buffer;
    UserPrompts& m_prompts;
    FileCommands& m_files;
    ProblemPane& m_pane;
    std::string m_databasePath;

    std::shared_ptr<const RomNames> m_names;
    std::filesystem::file_time_type m_namesTime{};
    std::uintmax_t m_namesSize = 0;
};

} // namespace scrivlet
