#include "editor/editor_input.h"

#include "editor/caret_moves.h"
#include "editor/document_text.h"
#include "editor/source_editor.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

namespace scrivlet {
namespace {

constexpr std::int64_t kImeReach = 512; // bytes around the caret an input method sees
constexpr int kDragScrollMs = 50;

bool isVertical(EditorCommand command)
{
    return command == EditorCommand::LineUp || command == EditorCommand::LineDown ||
           command == EditorCommand::PageUp || command == EditorCommand::PageDown;
}

} // namespace

EditorInput::EditorInput(SourceEditor& editor) : m_editor(editor)
{
    m_dragScroll.setInterval(kDragScrollMs);
    QObject::connect(&m_dragScroll, &QTimer::timeout, &m_editor, [this] {
        if (m_selecting)
            m_editor.moveCaret(m_editor.caretOffsetAt(m_dragPoint), true);
    });
}

bool EditorInput::keyPress(const QKeyEvent& event)
{
    const KeyCommand command = keyCommand(event);
    if (command.command == EditorCommand::None)
        return false;
    run(command, event.text());
    return true;
}

void EditorInput::run(KeyCommand command, const QString& text)
{
    const TextModel& model = m_editor.model();
    const EditorCommand what = command.command;
    const std::int64_t from = m_editor.selectionStart();
    const std::int64_t to = m_editor.selectionEnd();
    const std::int64_t at = m_editor.caret();
    if (!isVertical(what) || at != m_columnCaret)
        m_preferredColumn = -1;
    // Left or Right with a selection goes to its start or end.
    if (from != to && !command.select &&
        (what == EditorCommand::NextChar || what == EditorCommand::PreviousChar)) {
        m_editor.moveCaret(what == EditorCommand::NextChar ? to : from, false);
        return;
    }
    QScrollBar& vertical = *m_editor.verticalScrollBar();
    const int page = m_editor.visibleLines();
    if (what == EditorCommand::PageUp || what == EditorCommand::PageDown)
        vertical.setValue(vertical.value() + (what == EditorCommand::PageUp ? -page : page));
    if (const auto target =
            moveTarget(model, what, at, m_preferredColumn, page, m_editor.textEncoding())) {
        m_editor.moveCaret(*target, command.select);
        m_columnCaret = m_editor.caret();
        if (command.select)
            offerSelection();
        return;
    }
    switch (what) {
    case EditorCommand::ScrollUp:
    case EditorCommand::ScrollDown:
        vertical.setValue(vertical.value() + (what == EditorCommand::ScrollUp ? -1 : 1));
        break;
    case EditorCommand::SelectAll:
        m_editor.selectAll();
        offerSelection();
        break;
    case EditorCommand::Undo:
        m_editor.undo();
        break;
    case EditorCommand::Redo:
        m_editor.redo();
        break;
    case EditorCommand::Cut:
        m_editor.cut();
        break;
    case EditorCommand::Copy:
        m_editor.copy();
        break;
    case EditorCommand::Paste:
        m_editor.paste();
        break;
    case EditorCommand::DeletePreviousChar:
        erase(previousCharOffset(model, at, m_editor.textEncoding()), at, EditKind::Backspace);
        break;
    case EditorCommand::DeleteNextChar:
        erase(at, nextCharOffset(model, at, m_editor.textEncoding()), EditKind::DeleteForward);
        break;
    case EditorCommand::DeletePreviousWord:
        erase(previousWordOffset(model, at), at, EditKind::Other);
        break;
    case EditorCommand::DeleteNextWord:
        erase(at, nextWordOffset(model, at), EditKind::Other);
        break;
    case EditorCommand::DeleteToLineEnd: {
        const std::int64_t end = model.lineEnd(model.lineOf(at));
        erase(at, end == at ? nextCharOffset(model, at) : end, EditKind::Other);
        break;
    }
    case EditorCommand::BreakLine:
        m_editor.replaceRange(from, to, "\r\n", EditKind::Other);
        break;
    case EditorCommand::InsertTab:
        m_editor.replaceRange(from, to, "\t", EditKind::Typing);
        break;
    case EditorCommand::InsertText:
        m_editor.replaceRange(from, to,
                              typedBytes(text, m_editor.codePage(), m_editor.textEncoding()),
                              EditKind::Typing);
        break;
    default:
        break;
    }
}

void EditorInput::erase(std::int64_t from, std::int64_t to, EditKind kind)
{
    if (m_editor.selectionStart() != m_editor.selectionEnd())
        m_editor.replaceRange(m_editor.selectionStart(), m_editor.selectionEnd(), {},
                              EditKind::Other);
    else if (from != to)
        m_editor.replaceRange(from, to, {}, kind);
}

void EditorInput::offerSelection() const
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection() && m_editor.selectionStart() != m_editor.selectionEnd())
        clipboard->setText(clipboardText(m_editor.model().slice(m_editor.selectionStart(),
                                                                m_editor.selectionEnd()),
                                         m_editor.codePage(), m_editor.textEncoding()),
                           QClipboard::Selection);
}

void EditorInput::mousePress(const QMouseEvent& event)
{
    const std::int64_t at = m_editor.caretOffsetAt(event.position());
    if (event.button() == Qt::LeftButton) {
        m_editor.moveCaret(at, event.modifiers().testFlag(Qt::ShiftModifier));
        m_selecting = true;
        m_dragPoint = event.position();
    } else if (event.button() == Qt::MiddleButton &&
               QGuiApplication::clipboard()->supportsSelection()) {
        m_editor.setSelection(at, at);
        m_editor.pasteFrom(QClipboard::Selection);
    }
}

void EditorInput::mouseMove(const QMouseEvent& event)
{
    if (!m_selecting || !event.buttons().testFlag(Qt::LeftButton))
        return;
    m_dragPoint = event.position();
    m_editor.moveCaret(m_editor.caretOffsetAt(m_dragPoint), true);
    if (QRectF(m_editor.viewport()->rect()).contains(m_dragPoint))
        m_dragScroll.stop();
    else if (!m_dragScroll.isActive())
        m_dragScroll.start();
}

void EditorInput::mouseRelease(const QMouseEvent& event)
{
    if (event.button() == Qt::LeftButton && m_selecting) {
        m_selecting = false;
        m_dragScroll.stop();
        offerSelection();
    }
}

void EditorInput::mouseDoubleClick(const QMouseEvent& event)
{
    if (event.button() != Qt::LeftButton)
        return;
    const ByteRange word = wordAt(m_editor.model(), m_editor.caretOffsetAt(event.position()));
    m_editor.setSelection(word.start, word.end());
    m_selecting = true;
}

void EditorInput::contextMenu(const QContextMenuEvent& event)
{
    QMenu menu(&m_editor);
    const bool selected = m_editor.selectionStart() != m_editor.selectionEnd();
    const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
    const struct {
        QString text;
        QKeySequence::StandardKey key;
        void (SourceEditor::*action)();
        bool enabled;
    } items[] = {
        {SourceEditor::tr("&Undo"), QKeySequence::Undo, &SourceEditor::undo,
         m_editor.isUndoAvailable()},
        {SourceEditor::tr("&Redo"), QKeySequence::Redo, &SourceEditor::redo,
         m_editor.isRedoAvailable()},
        {SourceEditor::tr("Cu&t"), QKeySequence::Cut, &SourceEditor::cut, selected},
        {SourceEditor::tr("&Copy"), QKeySequence::Copy, &SourceEditor::copy, selected},
        {SourceEditor::tr("&Paste"), QKeySequence::Paste, &SourceEditor::paste,
         clipboard != nullptr && clipboard->hasText()},
        {SourceEditor::tr("Select All"), QKeySequence::SelectAll, &SourceEditor::selectAll,
         m_editor.model().length() > 0},
    };
    for (const auto& item : items) {
        if (item.key == QKeySequence::Cut || item.key == QKeySequence::SelectAll)
            menu.addSeparator();
        QAction* action = menu.addAction(item.text);
        action->setShortcut(item.key);
        action->setEnabled(item.enabled);
        QObject::connect(action, &QAction::triggered, &m_editor, item.action);
    }
    menu.exec(event.globalPos());
}

bool EditorInput::accepts(const QMimeData* mime)
{
    return mime != nullptr && mime->hasText();
}

void EditorInput::drop(QDropEvent& event)
{
    if (!accepts(event.mimeData())) {
        event.ignore();
        return;
    }
    const std::int64_t at = m_editor.caretOffsetAt(event.position());
    m_editor.setSelection(at, at);
    m_editor.replaceRange(
        at, at, pastedBytes(event.mimeData()->text(), m_editor.codePage(), m_editor.textEncoding()),
        EditKind::Other);
    event.acceptProposedAction();
    m_editor.setFocus();
}

void EditorInput::inputMethod(const QInputMethodEvent& event)
{
    const QString commit = event.commitString();
    if (!commit.isEmpty() || event.replacementLength() > 0) {
        const TextModel& model = m_editor.model();
        std::int64_t from = m_editor.selectionStart();
        std::int64_t to = m_editor.selectionEnd();
        if (from == to) {
            const std::int64_t line = model.lineOf(from);
            from = std::clamp<std::int64_t>(from + event.replacementStart(), model.lineStart(line),
                                            model.lineEnd(line));
            to = std::clamp<std::int64_t>(from + event.replacementLength(), from,
                                          model.lineEnd(line));
        }
        m_editor.replaceRange(from, to,
                              typedBytes(commit, m_editor.codePage(), m_editor.textEncoding()),
                              EditKind::Typing);
    }
    m_preedit = event.preeditString();
}

QVariant EditorInput::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // An input method sees the caret's line near the caret.
    const TextModel& model = m_editor.model();
    const std::int64_t caret = m_editor.caret();
    const std::int64_t line = model.lineOf(caret);
    const std::int64_t from = std::max(model.lineStart(line), caret - kImeReach);
    const std::int64_t to = std::min(model.lineEnd(line), caret + kImeReach);
    const QPoint viewportAt = m_editor.viewport()->pos();
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return QRectF(m_editor.cursorRect().translated(viewportAt));
    case Qt::ImAnchorRectangle:
        return QRectF(m_editor.rectForOffset(m_editor.anchor()).translated(viewportAt));
    case Qt::ImFont:
        return m_editor.font();
    case Qt::ImCursorPosition:
        return static_cast<int>(caret - from);
    case Qt::ImAnchorPosition:
        return static_cast<int>(std::clamp(m_editor.anchor(), from, to) - from);
    case Qt::ImSurroundingText:
        return clipboardText(model.slice(from, to), m_editor.codePage(), m_editor.textEncoding());
    case Qt::ImCurrentSelection:
        return clipboardText(model.slice(std::max(m_editor.selectionStart(), from),
                                         std::min(m_editor.selectionEnd(), to)),
                             m_editor.codePage(), m_editor.textEncoding());
    case Qt::ImHints:
        return static_cast<int>(Qt::ImhMultiLine);
    default:
        return {};
    }
}

} // namespace scrivlet
