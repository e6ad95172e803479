#pragma once

class QKeyEvent;

namespace scrivlet {

// What a key press asks of the editor, by the platform's key bindings (QKeySequence's standard
// keys) and a few keys of its own: Ctrl+Y redoes, Shift+Enter breaks the line like Enter, Tab
// inserts a tab, Ctrl+Up and Ctrl+Down scroll by a line.
enum class EditorCommand {
    None,
    NextChar,
    PreviousChar,
    NextWord,
    PreviousWord,
    LineUp,
    LineDown,
    LineStart,
    LineEnd,
    DocumentStart,
    DocumentEnd,
    PageUp,
    PageDown,
    ScrollUp,
    ScrollDown,
    SelectAll,
    Undo,
    Redo,
    Cut,
    Copy,
    Paste,
    DeletePreviousChar,
    DeleteNextChar,
    DeletePreviousWord,
    DeleteNextWord,
    DeleteToLineEnd,
    BreakLine,
    InsertTab,
    InsertText,
};

struct KeyCommand {
    EditorCommand command = EditorCommand::None;
    bool select = false; // a move that extends the selection
};

KeyCommand keyCommand(const QKeyEvent& event);

} // namespace scrivlet
