#include "editor/editor_buffer.h"

#include "editor/source_editor.h"

#include <algorithm>

namespace scrivlet {

EditorBuffer::EditorBuffer(SourceEditor& edit) : m_edit(edit) {}

std::string EditorBuffer::text() const
{
    return m_edit.model().text();
}

void EditorBuffer::setText(std::string_view bytes)
{
    m_edit.setText(bytes);
}

std::int64_t EditorBuffer::length() const
{
    return m_edit.model().length();
}

std::int64_t EditorBuffer::selStart() const
{
    return m_edit.selectionStart();
}

void EditorBuffer::setSelStart(std::int64_t offset)
{
    m_edit.setSelection(offset, offset);
}

std::int64_t EditorBuffer::selLength() const
{
    return m_edit.selectionEnd() - m_edit.selectionStart();
}

void EditorBuffer::setSelLength(std::int64_t count)
{
    const std::int64_t start = m_edit.selectionStart();
    m_edit.setSelection(start, start + std::clamp<std::int64_t>(count, 0, length() - start));
}

std::string EditorBuffer::selText() const
{
    return m_edit.model().slice(m_edit.selectionStart(), m_edit.selectionEnd());
}

void EditorBuffer::setSelText(std::string_view bytes, UndoStep step)
{
    m_edit.replaceRange(m_edit.selectionStart(), m_edit.selectionEnd(), bytes,
                        step == UndoStep::JoinPrevious ? EditKind::JoinPrevious : EditKind::Other);
}

std::string EditorBuffer::slice(std::int64_t from, std::int64_t to) const
{
    return m_edit.model().slice(from, to);
}

LineColumn EditorBuffer::lineColumn(std::int64_t offset) const
{
    const TextModel& text = m_edit.model();
    offset = std::clamp<std::int64_t>(offset, 0, text.length());
    const std::int64_t line = text.lineOf(offset);
    return {line + 1, offset - text.lineStart(line) + 1};
}

std::optional<std::string> EditorBuffer::previousLine(std::int64_t offset) const
{
    const TextModel& text = m_edit.model();
    const std::int64_t line = text.lineOf(std::clamp<std::int64_t>(offset, 0, text.length()));
    if (line == 0)
        return std::nullopt;
    return text.slice(text.lineStart(line - 1), text.lineEnd(line - 1));
}

EditorBuffer::CaretView EditorBuffer::caretView() const
{
    const TextModel& text = m_edit.model();
    CaretView view;
    view.selStart = m_edit.selectionStart();
    view.length = text.length();
    const std::int64_t line = text.lineOf(view.selStart);
    const std::int64_t lineStart = text.lineStart(line);
    const std::int64_t lineEnd = text.lineEnd(line);
    view.position = {line + 1, view.selStart - lineStart + 1};

    // A word never runs over a line break, so the caret's line within reach of the scans
    // (and the break on either side, where there is one) is all a word span can see.
    const std::int64_t reach = kWordScanLimit + 1;
    const std::int64_t from = std::max(lineStart, view.selStart - reach);
    const std::int64_t to = std::min(lineEnd, view.selStart + reach);
    view.sliceStart = from;
    if (from == lineStart && line > 0) {
        view.slice = "\r\n";
        view.sliceStart -= 2;
    }
    text.appendSlice(from, to, view.slice);
    if (to == lineEnd && line + 1 < text.lineCount())
        view.slice += "\r\n";
    return view;
}

bool EditorBuffer::isModified() const
{
    return m_edit.isModified();
}

void EditorBuffer::setModified(bool modified)
{
    m_edit.setModified(modified);
}

EditorBuffer::UndoGroup::UndoGroup(EditorBuffer& buffer) : m_edit(buffer.m_edit)
{
    m_edit.beginUndoGroup();
}

EditorBuffer::UndoGroup::~UndoGroup()
{
    m_edit.endUndoGroup();
}

void EditorBuffer::setFocus()
{
    m_edit.setFocus();
}

SourceEditor& EditorBuffer::widget() const
{
    return m_edit;
}

} // namespace scrivlet
