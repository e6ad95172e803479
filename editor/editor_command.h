#pragma once

namespace scrivlet {

// What a key press asks of the editor: a caret move (with or without extending the selection),
// an edit, a clipboard or undo command, or a scroll.
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

} // namespace scrivlet
