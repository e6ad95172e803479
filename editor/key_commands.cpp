#include "editor/key_commands.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace scrivlet {
namespace {

struct Binding {
    QKeySequence::StandardKey key;
    EditorCommand command;
    bool select;
};

constexpr Binding kBindings[] = {
    {QKeySequence::MoveToNextChar, EditorCommand::NextChar, false},
    {QKeySequence::MoveToPreviousChar, EditorCommand::PreviousChar, false},
    {QKeySequence::MoveToNextWord, EditorCommand::NextWord, false},
    {QKeySequence::MoveToPreviousWord, EditorCommand::PreviousWord, false},
    {QKeySequence::MoveToPreviousLine, EditorCommand::LineUp, false},
    {QKeySequence::MoveToNextLine, EditorCommand::LineDown, false},
    {QKeySequence::MoveToStartOfLine, EditorCommand::LineStart, false},
    {QKeySequence::MoveToEndOfLine, EditorCommand::LineEnd, false},
    {QKeySequence::MoveToStartOfBlock, EditorCommand::LineStart, false},
    {QKeySequence::MoveToEndOfBlock, EditorCommand::LineEnd, false},
    {QKeySequence::MoveToStartOfDocument, EditorCommand::DocumentStart, false},
    {QKeySequence::MoveToEndOfDocument, EditorCommand::DocumentEnd, false},
    {QKeySequence::MoveToPreviousPage, EditorCommand::PageUp, false},
    {QKeySequence::MoveToNextPage, EditorCommand::PageDown, false},
    {QKeySequence::SelectNextChar, EditorCommand::NextChar, true},
    {QKeySequence::SelectPreviousChar, EditorCommand::PreviousChar, true},
    {QKeySequence::SelectNextWord, EditorCommand::NextWord, true},
    {QKeySequence::SelectPreviousWord, EditorCommand::PreviousWord, true},
    {QKeySequence::SelectPreviousLine, EditorCommand::LineUp, true},
    {QKeySequence::SelectNextLine, EditorCommand::LineDown, true},
    {QKeySequence::SelectStartOfLine, EditorCommand::LineStart, true},
    {QKeySequence::SelectEndOfLine, EditorCommand::LineEnd, true},
    {QKeySequence::SelectStartOfBlock, EditorCommand::LineStart, true},
    {QKeySequence::SelectEndOfBlock, EditorCommand::LineEnd, true},
    {QKeySequence::SelectStartOfDocument, EditorCommand::DocumentStart, true},
    {QKeySequence::SelectEndOfDocument, EditorCommand::DocumentEnd, true},
    {QKeySequence::SelectPreviousPage, EditorCommand::PageUp, true},
    {QKeySequence::SelectNextPage, EditorCommand::PageDown, true},
    {QKeySequence::SelectAll, EditorCommand::SelectAll, false},
    {QKeySequence::Undo, EditorCommand::Undo, false},
    {QKeySequence::Redo, EditorCommand::Redo, false},
    {QKeySequence::Cut, EditorCommand::Cut, false},
    {QKeySequence::Copy, EditorCommand::Copy, false},
    {QKeySequence::Paste, EditorCommand::Paste, false},
    {QKeySequence::Delete, EditorCommand::DeleteNextChar, false},
    {QKeySequence::DeleteStartOfWord, EditorCommand::DeletePreviousWord, false},
    {QKeySequence::DeleteEndOfWord, EditorCommand::DeleteNextWord, false},
    {QKeySequence::DeleteEndOfLine, EditorCommand::DeleteToLineEnd, false},
};

bool isPrintable(const QString& text)
{
    if (text.isEmpty())
        return false;
    const char32_t first = text.size() > 1 && text[0].isHighSurrogate() && text[1].isLowSurrogate()
                               ? QChar::surrogateToUcs4(text[0], text[1])
                               : text[0].unicode();
    return QChar::isPrint(first);
}

} // namespace

KeyCommand keyCommand(const QKeyEvent& event)
{
    for (const Binding& binding : kBindings) {
        if (event.matches(binding.key))
            return {binding.command, binding.select};
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const bool plain = (modifiers & ~Qt::ShiftModifier) == Qt::NoModifier;
    switch (event.key()) {
    case Qt::Key_Y:
        if (modifiers == Qt::ControlModifier)
            return {EditorCommand::Redo};
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (modifiers == Qt::ControlModifier)
            return {event.key() == Qt::Key_Up ? EditorCommand::ScrollUp
                                              : EditorCommand::ScrollDown};
        break;
    case Qt::Key_Backspace:
        if (plain)
            return {EditorCommand::DeletePreviousChar};
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (plain)
            return {EditorCommand::BreakLine};
        break;
    case Qt::Key_Tab:
        if (modifiers == Qt::NoModifier)
            return {EditorCommand::InsertTab};
        break;
    default:
        break;
    }
    // Text that Ctrl or Alt alone produced is a shortcut; Ctrl+Alt is AltGr on some systems.
    const bool chord =
        modifiers.testFlag(Qt::ControlModifier) != modifiers.testFlag(Qt::AltModifier);
    if (!chord && !modifiers.testFlag(Qt::MetaModifier) && isPrintable(event.text()))
        return {EditorCommand::InsertText};
    return {};
}

} // namespace scrivlet
