#include "editor/text_model.h"

#include <algorithm>

namespace scrivlet {

std::string TextModel::text() const
{
    return slice(0, length());
}

std::string TextModel::slice(std::int64_t from, std::int64_t to) const
{
    std::string out;
    appendSlice(from, to, out);
    return out;
}

void TextModel::appendSlice(std::int64_t from, std::int64_t to, std::string& out) const
{
    from = std::clamp<std::int64_t>(from, 0, length());
    to = std::clamp<std::int64_t>(to, from, length());
    const std::size_t first = out.size();
    out.resize(first + static_cast<std::size_t>(to - from));
    m_bytes.copy(static_cast<std::size_t>(from), static_cast<std::size_t>(to), out.data() + first);
}

std::string_view TextModel::view(std::int64_t from, std::int64_t to, std::string& scratch) const
{
    from = std::clamp<std::int64_t>(from, 0, length());
    to = std::clamp<std::int64_t>(to, from, length());
    const std::span<const char> direct =
        m_bytes.contiguous(static_cast<std::size_t>(from), static_cast<std::size_t>(to));
    if (!direct.empty() || from == to)
        return {direct.data(), direct.size()};
    scratch.clear();
    appendSlice(from, to, scratch);
    return scratch;
}

bool TextModel::insideLineBreak(std::int64_t offset) const
{
    return offset > 0 && offset < length() && at(offset - 1) == '\r' && at(offset) == '\n';
}

std::int64_t TextModel::caretOffset(std::int64_t offset) const
{
    offset = std::clamp<std::int64_t>(offset, 0, length());
    return insideLineBreak(offset) ? offset - 1 : offset;
}

void TextModel::apply(std::int64_t from, std::int64_t to, std::string_view bytes)
{
    if (m_observer != nullptr)
        m_observer->textAboutToChange(from, to);
    m_bytes.moveGap(static_cast<std::size_t>(from));
    m_bytes.eraseAfterGap(static_cast<std::size_t>(to - from));
    m_bytes.insertAtGap(bytes.data(), bytes.size());
    const auto inserted = static_cast<std::int64_t>(bytes.size());
    const LineIndex::Update lines = m_lines.update(m_bytes, from, to - from, inserted);
    if (m_observer != nullptr)
        m_observer->textChanged({from, to - from, inserted, lines});
}

void TextModel::setText(std::string_view bytes)
{
    const std::int64_t oldLength = length();
    const std::int64_t oldBreaks = lineCount() - 1;
    if (m_observer != nullptr)
        m_observer->textAboutToChange(0, oldLength);
    m_bytes.assign(bytes.data(), bytes.size(), bytes.size() / 16 + 4096);
    m_lines.reset(m_bytes);
    m_history.clear();
    if (m_observer != nullptr)
        m_observer->textChanged(
            {0, oldLength, length(), LineIndex::Update{0, oldBreaks, lineCount() - 1}});
}

Selection TextModel::replace(std::int64_t from, std::int64_t to, std::string_view bytes,
                             EditKind kind, Selection before)
{
    from = std::clamp<std::int64_t>(from, 0, length());
    to = std::clamp<std::int64_t>(to, from, length());
    if (from == to && bytes.empty())
        return {caretOffset(from), caretOffset(from)};
    TextEdit edit{from, slice(from, to), std::string(bytes)};
    apply(from, to, bytes);
    const std::int64_t caret = caretOffset(from + static_cast<std::int64_t>(bytes.size()));
    const Selection after{caret, caret};
    m_history.record(std::move(edit), kind, before, after);
    return after;
}

std::optional<Selection> TextModel::undo()
{
    const UndoHistory::Step* step = m_history.stepToUndo();
    if (step == nullptr)
        return std::nullopt;
    for (auto edit = step->edits.rbegin(); edit != step->edits.rend(); ++edit)
        apply(edit->from, edit->from + static_cast<std::int64_t>(edit->inserted.size()),
              edit->removed);
    m_history.undone();
    return step->before;
}

std::optional<Selection> TextModel::redo()
{
    const UndoHistory::Step* step = m_history.stepToRedo();
    if (step == nullptr)
        return std::nullopt;
    for (const TextEdit& edit : step->edits)
        apply(edit.from, edit.from + static_cast<std::int64_t>(edit.removed.size()), edit.inserted);
    m_history.redone();
    return step->after;
}

} // namespace scrivlet
