#include "editor/source_editor.h"

#include "editor/code_page.h"
#include "editor/document_text.h"
#include "editor/key_codes.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace scrivlet {
namespace {

bool isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Keys with which the editor deletes text.
bool isDeletion(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Backspace || event.key() == Qt::Key_Delete ||
           event.matches(QKeySequence::Delete) || event.matches(QKeySequence::DeleteStartOfWord) ||
           event.matches(QKeySequence::DeleteEndOfWord) ||
           event.matches(QKeySequence::DeleteEndOfLine) ||
           event.matches(QKeySequence::DeleteCompleteLine) || event.matches(QKeySequence::Cut);
}

// True when a stand-in lies on the line of `position` within a short reach of it: what a
// deletion there could bring next to another stand-in. (A deletion reaching further, of a long
// word, still gets its join, as an undo step of its own.)
bool standInNear(const QTextDocument& doc, int position)
{
    constexpr int kReach = 64;
    const QTextBlock block = doc.findBlock(position);
    const int first = std::max(block.position(), position - kReach);
    const int last = std::min(block.position() + block.length() - 1, position + kReach);
    for (int at = first; at < last; ++at) {
        const QChar ch = doc.characterAt(at);
        if (ch == QChar(kCrStandIn) || ch == QChar(kLfStandIn))
            return true;
    }
    return false;
}

} // namespace

SourceEditor::SourceEditor(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
}

void SourceEditor::keyPressEvent(QKeyEvent* event)
{
    // A deletion between a stand-in CR and a stand-in LF brings them together, and they are
    // then joined into a line break: the deletion and the join make one undo step. Only such
    // deletions are grouped, so that Qt still merges consecutive deletions elsewhere.
    const QTextCursor before = textCursor();
    const bool group = isDeletion(*event) && (standInNear(*document(), before.selectionStart()) ||
                                              standInNear(*document(), before.selectionEnd()));
    QTextCursor grouping(document());
    if (group)
        grouping.beginEditBlock();
    forwardKeyPress(event);
    joinStandInPair(textCursor().position());
    if (group)
        grouping.endEditBlock();
}

void SourceEditor::forwardKeyPress(QKeyEvent* event)
{
    const bool shiftEnter =
        isEnterKey(event->key()) && event->modifiers().testFlag(Qt::ShiftModifier);
    const bool unstorable = !isTypedTextStorable(event->text());
    if (shiftEnter || unstorable) {
        // Shift+Enter would insert a line separator inside the line; a character without a
        // byte would be saved as something else. Hand on the key the editor should see.
        const Qt::KeyboardModifiers modifiers =
            shiftEnter ? event->modifiers() & ~Qt::ShiftModifier : event->modifiers();
        QKeyEvent replacement(event->type(), event->key(), modifiers, event->nativeScanCode(),
                              event->nativeVirtualKey(), event->nativeModifiers(),
                              typedDocumentText(event->text()), event->isAutoRepeat(),
                              static_cast<quint16>(event->count()));
        QPlainTextEdit::keyPressEvent(&replacement);
        event->setAccepted(replacement.isAccepted());
    } else {
        QPlainTextEdit::keyPressEvent(event);
    }
}

void SourceEditor::keyReleaseEvent(QKeyEvent* event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    if (event->isAutoRepeat())
        return;
    emit keyUp(virtualKeyCode(event->key(), event->modifiers().testFlag(Qt::KeypadModifier)));
}

void SourceEditor::mouseReleaseEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    emit mouseUp();
}

void SourceEditor::inputMethodEvent(QInputMethodEvent* event)
{
    QTextCursor grouping(document());
    grouping.beginEditBlock();
    if (isTypedTextStorable(event->commitString())) {
        QPlainTextEdit::inputMethodEvent(event);
    } else {
        QInputMethodEvent replacement(event->preeditString(), event->attributes());
        replacement.setCommitString(typedDocumentText(event->commitString()),
                                    event->replacementStart(), event->replacementLength());
        QPlainTextEdit::inputMethodEvent(&replacement);
        event->setAccepted(replacement.isAccepted());
    }
    joinStandInPair(textCursor().position());
    grouping.endEditBlock();
}

QMimeData* SourceEditor::createMimeDataFromSelection() const
{
    // The selection's own characters, not QTextDocumentFragment's plain text (which turns a
    // non-breaking space into a space): copy and paste inside the editor changes nothing.
    QString text = textCursor().selectedText();
    text.replace(QChar(kBlockBreak), QLatin1Char('\n'));
    auto* data = new QMimeData;
    data->setText(text);
    return data;
}

bool SourceEditor::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText();
}

void SourceEditor::insertFromMimeData(const QMimeData* source)
{
    if (!source->hasText())
        return;
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    const int start = cursor.selectionStart();
    cursor.insertText(pastedDocumentText(source->text()));
    const int end = cursor.position();
    setTextCursor(cursor);
    joinStandInPair(end);
    joinStandInPair(start);
    cursor.endEditBlock();
    ensureCursorVisible();
}

void SourceEditor::joinStandInPair(int position)
{
    // The caret and anchor keep their byte offsets; one between the two becomes the offset of
    // the CR, as the buffer places every offset inside a line break.
    const int anchor = textCursor().anchor();
    const int caret = textCursor().position();
    const auto moved = [position](int at) { return at < position ? at : at - 1; };
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    const bool joined = scrivlet::joinStandInPair(cursor, position);
    cursor.endEditBlock();
    if (!joined)
        return;
    cursor.setPosition(moved(anchor));
    cursor.setPosition(moved(caret), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

} // namespace scrivlet
