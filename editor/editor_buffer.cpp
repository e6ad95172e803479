#include "editor/editor_buffer.h"

#include "editor/document_text.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace scrivlet {
namespace {

// Appends the bytes of document positions [from, to), reading block by block from `block`,
// the block that holds `from`. A long line is read character by character, so that reading a
// few characters never copies the whole line.
void appendDocumentRange(QTextBlock block, int from, int to, std::string& out)
{
    constexpr int kLongLine = 4096;
    for (; block.isValid() && block.position() < to; block = block.next()) {
        const int position = block.position();
        const int textLength = block.length() - 1;
        const int first = std::max(from, position) - position;
        const int last = std::min(to - position, textLength);
        if (last > first) {
            if (textLength <= kLongLine || last - first >= textLength / 2) {
                const QString text = block.text();
                appendBytesFromDocumentText(QStringView(text).mid(first, last - first), out);
            } else {
                const QTextDocument& doc = *block.document();
                QString chars(last - first, Qt::Uninitialized);
                for (int i = first; i < last; ++i)
                    chars[i - first] = doc.characterAt(position + i);
                appendBytesFromDocumentText(chars, out);
            }
        }
        const int separator = position + textLength;
        if (separator >= from && separator < to)
            out += "\r\n";
    }
}

} // namespace

EditorBuffer::EditorBuffer(QPlainTextEdit& edit) : m_edit(edit) {}

QTextDocument& EditorBuffer::document() const
{
    return *m_edit.document();
}

std::string EditorBuffer::text() const
{
    // The document's own characters, with U+2029 between blocks; toPlainText() would turn a
    // non-breaking space into a space.
    std::string out;
    appendBytesFromDocumentText(document().toRawText(), out);
    return out;
}

void EditorBuffer::setText(std::string_view bytes)
{
    // The document's own setPlainText: QPlainTextEdit::setPlainText would pass over the whole
    // new text once more to give it the caret's character format, which plain text never has.
    // Either way the undo history is cleared.
    document().setPlainText(documentTextFromBytes(bytes));
    m_edit.setTextCursor(QTextCursor(&document()));
}

std::int64_t EditorBuffer::length() const
{
    const QTextDocument& doc = document();
    return std::int64_t{doc.characterCount()} + doc.blockCount() - 2;
}

EditorBuffer::Place EditorBuffer::placeOf(std::int64_t offset) const
{
    const QTextDocument& doc = document();
    offset = std::clamp<std::int64_t>(offset, 0, length());
    const auto placeOfBlock = [](const QTextBlock& block) {
        const int number = block.blockNumber();
        return Place{block, number, block.position(), std::int64_t{block.position()} + number,
                     block.length() - 1};
    };
    // Nearly every offset asked for lies on the caret's line or next to it.
    QTextBlock near = m_edit.textCursor().block();
    for (int step = 0; step < 4 && near.isValid(); ++step) {
        const Place place = placeOfBlock(near);
        if (offset < place.blockOffset)
            near = near.previous();
        else if (offset > place.blockOffset + place.textLength + 1)
            near = near.next();
        else
            return place;
    }
    // Otherwise the last block whose first byte offset is at or before the offset.
    int low = 0;
    int high = doc.blockCount() - 1;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (std::int64_t{doc.findBlockByNumber(middle).position()} + middle <= offset)
            low = middle;
        else
            high = middle - 1;
    }
    return placeOfBlock(doc.findBlockByNumber(low));
}

std::int64_t EditorBuffer::offsetOfPosition(int position) const
{
    const QTextDocument& doc = document();
    position = std::clamp(position, 0, doc.characterCount() - 1);
    return std::int64_t{position} + doc.findBlock(position).blockNumber();
}

int EditorBuffer::positionOfOffset(std::int64_t offset) const
{
    const Place place = placeOf(offset);
    const std::int64_t inLine = std::clamp<std::int64_t>(offset, 0, length()) - place.blockOffset;
    return place.blockPosition + static_cast<int>(std::min<std::int64_t>(inLine, place.textLength));
}

std::int64_t EditorBuffer::selStart() const
{
    return offsetOfPosition(m_edit.textCursor().selectionStart());
}

void EditorBuffer::setSelStart(std::int64_t offset)
{
    QTextCursor cursor = m_edit.textCursor();
    cursor.setPosition(positionOfOffset(offset));
    m_edit.setTextCursor(cursor);
}

std::int64_t EditorBuffer::selLength() const
{
    const QTextCursor cursor = m_edit.textCursor();
    return offsetOfPosition(cursor.selectionEnd()) - offsetOfPosition(cursor.selectionStart());
}

void EditorBuffer::setSelLength(std::int64_t count)
{
    const QTextCursor current = m_edit.textCursor();
    const int start = current.selectionStart();
    const std::int64_t startOffset = offsetOfPosition(start);
    const std::int64_t endOffset =
        startOffset + std::clamp<std::int64_t>(count, 0, length() - startOffset);
    QTextCursor cursor = current;
    cursor.setPosition(start);
    cursor.setPosition(positionOfOffset(endOffset), QTextCursor::KeepAnchor);
    m_edit.setTextCursor(cursor);
}

std::string EditorBuffer::selText() const
{
    const QTextCursor cursor = m_edit.textCursor();
    std::string out;
    appendDocumentRange(document().findBlock(cursor.selectionStart()), cursor.selectionStart(),
                        cursor.selectionEnd(), out);
    return out;
}

// A group is not one edit block held open: the editor lays out changed lines only when the edit
// block closes, and placing its caret on a line not yet laid out fails. Each change closes its
// block, and every change after the group's first joins that first change's step.
EditorBuffer::UndoGroup::UndoGroup(EditorBuffer& buffer) : m_buffer(buffer)
{
    if (m_buffer.m_undoGroups++ == 0)
        m_buffer.m_undoStepsBeforeGroup = m_buffer.document().availableUndoSteps();
}

EditorBuffer::UndoGroup::~UndoGroup()
{
    --m_buffer.m_undoGroups;
}

void EditorBuffer::setSelText(std::string_view bytes, UndoStep step)
{
    QTextCursor cursor = m_edit.textCursor();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    const std::int64_t caretAfter =
        offsetOfPosition(start) + static_cast<std::int64_t>(bytes.size());

    const bool groupHasStep =
        m_undoGroups > 0 && document().availableUndoSteps() > m_undoStepsBeforeGroup;
    if (step == UndoStep::JoinPrevious || groupHasStep)
        cursor.joinPreviousEditBlock();
    else
        cursor.beginEditBlock();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.insertText(documentTextFromBytes(bytes));
    // A lone CR before the new text and an LF at its start (or a CR at its end and a lone LF
    // after it) make a line break once the text is read back: join them now.
    joinStandInPair(cursor, cursor.position());
    joinStandInPair(cursor, start);
    cursor.endEditBlock();

    cursor.setPosition(positionOfOffset(caretAfter));
    m_edit.setTextCursor(cursor);
}

std::string EditorBuffer::slice(std::int64_t from, std::int64_t to) const
{
    const std::int64_t size = length();
    from = std::clamp<std::int64_t>(from, 0, size);
    to = std::clamp<std::int64_t>(to, 0, size);
    std::string out;
    if (from >= to)
        return out;
    out.reserve(static_cast<std::size_t>(to - from));

    // An end inside a CR LF pair takes the CR; a start inside one begins with the LF.
    const Place first = placeOf(from);
    int fromPosition = first.blockPosition + static_cast<int>(from - first.blockOffset);
    const bool startsWithLf = from - first.blockOffset > first.textLength;
    if (startsWithLf) {
        out += '\n';
        fromPosition = first.blockPosition + first.textLength + 1;
    }
    const Place last = placeOf(to);
    int toPosition = last.blockPosition + static_cast<int>(to - last.blockOffset);
    const bool endsWithCr = to - last.blockOffset > last.textLength;
    if (endsWithCr)
        toPosition = last.blockPosition + last.textLength;
    appendDocumentRange(startsWithLf ? first.block.next() : first.block, fromPosition, toPosition,
                        out);
    if (endsWithCr)
        out += '\r';
    return out;
}

EditorBuffer::CaretView EditorBuffer::caretView() const
{
    const int position = m_edit.textCursor().selectionStart();
    const QTextBlock block = document().findBlock(position);
    const int number = block.blockNumber();
    const int inBlock = position - block.position();
    const int lineLength = block.length() - 1;

    CaretView view;
    view.selStart = std::int64_t{position} + number;
    view.position = {std::int64_t{number} + 1, std::int64_t{inBlock} + 1};
    view.length = length();

    // A word never runs over a line break, so the caret's line within reach of the scans
    // (and the break on either side, where there is one) is all a word span can see.
    const int reach = static_cast<int>(kWordScanLimit) + 1;
    const int from = std::max(0, inBlock - reach);
    const int to = std::min(lineLength, inBlock + reach);
    view.sliceStart = view.selStart - (inBlock - from);
    if (from == 0 && number > 0) {
        view.slice = "\r\n";
        view.sliceStart -= 2;
    }
    appendBytesFromDocumentText(QStringView(block.text()).mid(from, to - from), view.slice);
    if (to == lineLength && block.next().isValid())
        view.slice += "\r\n";
    return view;
}

LineColumn EditorBuffer::lineColumn(std::int64_t offset) const
{
    offset = std::clamp<std::int64_t>(offset, 0, length());
    const Place place = placeOf(offset);
    return {place.blockNumber + 1, offset - place.blockOffset + 1};
}

std::optional<std::string> EditorBuffer::previousLine(std::int64_t offset) const
{
    const Place place = placeOf(offset);
    if (place.blockNumber == 0)
        return std::nullopt;
    const QTextBlock previous = place.block.previous();
    std::string line;
    appendDocumentRange(previous, previous.position(), previous.position() + previous.length() - 1,
                        line);
    return line;
}

WordSpan EditorBuffer::wordSpanAt(std::int64_t caret) const
{
    const std::int64_t size = length();
    caret = std::clamp<std::int64_t>(caret, 0, size);
    // A word never reaches past its line: the bytes around a line are CR and LF, separators.
    // So only the caret's line, within the scan window, is read.
    const Place place = placeOf(caret);
    const ScanWindow window = wordScanWindow(caret, size);
    const std::int64_t lineEnd = place.blockOffset + place.textLength;
    const std::int64_t first = std::clamp(window.first, place.blockOffset, lineEnd);
    const std::int64_t last = std::clamp(window.last, first, lineEnd);
    std::string around;
    appendDocumentRange(place.block,
                        place.blockPosition + static_cast<int>(first - place.blockOffset),
                        place.blockPosition + static_cast<int>(last - place.blockOffset), around);
    return findWordSpan(around, first, caret, size);
}

void EditorBuffer::setFocus()
{
    m_edit.setFocus();
}

QPlainTextEdit& EditorBuffer::widget() const
{
    return m_edit;
}

} // namespace scrivlet
