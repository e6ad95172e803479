#include "editor/line_index.h"

#include <algorithm>
#include <cstring>

namespace scrivlet {

void LineIndex::reset(const GapArray<char>& bytes)
{
    m_breaks = GapArray<std::int64_t>();
    m_length = static_cast<std::int64_t>(bytes.size());
    scan(bytes, 0, m_length);
}

LineIndex::Update LineIndex::update(const GapArray<char>& bytes, std::int64_t from,
                                    std::int64_t removed, std::int64_t inserted)
{
    // A break whose CR lies in [from - 1, from + removed] had a byte removed or an insertion
    // between its CR and LF: it goes, and the bytes around the edit are looked at again.
    const auto [firstLine, lastLine] = linesTouched(from, removed);
    const auto first = static_cast<std::size_t>(firstLine);
    const auto last = static_cast<std::size_t>(lastLine);
    m_breaks.moveGap(
        first, [this](std::int64_t& at, bool toFront) { at += toFront ? m_length : -m_length; });
    m_breaks.eraseAfterGap(last - first);
    m_length += inserted - removed;
    const std::size_t before = m_breaks.size();
    scan(bytes, from - 1, from + inserted + 1);
    return {static_cast<std::int64_t>(first), static_cast<std::int64_t>(last - first),
            static_cast<std::int64_t>(m_breaks.size() - before)};
}

std::pair<std::int64_t, std::int64_t> LineIndex::linesTouched(std::int64_t from,
                                                              std::int64_t removed) const
{
    return {static_cast<std::int64_t>(firstBreakFrom(from - 1)),
            static_cast<std::int64_t>(firstBreakFrom(from + removed + 1))};
}

std::int64_t LineIndex::breakAt(std::size_t index) const
{
    const std::int64_t stored = m_breaks[index];
    return index < m_breaks.gapStart() ? stored : stored + m_length;
}

std::size_t LineIndex::firstBreakFrom(std::int64_t offset) const
{
    std::size_t low = 0;
    std::size_t high = m_breaks.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (breakAt(middle) < offset)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void LineIndex::scan(const GapArray<char>& bytes, std::int64_t from, std::int64_t to)
{
    // Every LF in (from, to], within the text, that follows a CR.
    const auto size = static_cast<std::int64_t>(bytes.size());
    const std::int64_t first = std::max<std::int64_t>(from + 1, 1);
    const std::int64_t last = std::min(to + 1, size);
    std::int64_t base = 0;
    for (const std::span<const char> part : {bytes.front(), bytes.back()}) {
        const std::int64_t partEnd = base + static_cast<std::int64_t>(part.size());
        std::int64_t at = std::max(first, base);
        const std::int64_t end = std::min(last, partEnd);
        while (at < end) {
            const void* hit =
                std::memchr(part.data() + (at - base), '\n', static_cast<std::size_t>(end - at));
            if (hit == nullptr)
                break;
            const std::int64_t lf = base + (static_cast<const char*>(hit) - part.data());
            if (bytes[static_cast<std::size_t>(lf - 1)] == '\r')
                m_breaks.insertAtGap(lf - 1);
            at = lf + 1;
        }
        base = partEnd;
    }
}

std::int64_t LineIndex::lineOf(std::int64_t offset) const
{
    return static_cast<std::int64_t>(firstBreakFrom(offset - 1));
}

std::int64_t LineIndex::lineStart(std::int64_t line) const
{
    line = std::clamp<std::int64_t>(line, 0, lineCount() - 1);
    return line == 0 ? 0 : breakAt(static_cast<std::size_t>(line - 1)) + 2;
}

std::int64_t LineIndex::lineEnd(std::int64_t line) const
{
    line = std::clamp<std::int64_t>(line, 0, lineCount() - 1);
    return line + 1 < lineCount() ? breakAt(static_cast<std::size_t>(line)) : m_length;
}

} // namespace scrivlet
