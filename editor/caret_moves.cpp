#include "editor/caret_moves.h"

#include "editor/text_model.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace scrivlet {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The bytes of the character at lineBytes[index]: a whole UTF-8 sequence, else one.
std::int64_t characterLength(std::string_view lineBytes, std::int64_t index, TextEncoding encoding)
{
    if (encoding != TextEncoding::Utf8)
        return 1;
    return std::max(1, utf8SequenceAt(lineBytes, static_cast<std::size_t>(index)));
}

std::int64_t tabEnd(std::int64_t column)
{
    return column + kTabWidth - column % kTabWidth;
}

// The next tab at or after `from`, or the end of the line.
std::size_t nextTab(std::string_view line, std::size_t from)
{
    if (from >= line.size())
        return line.size();
    const void* hit = std::memchr(line.data() + from, '\t', line.size() - from);
    return hit == nullptr ? line.size()
                          : static_cast<std::size_t>(static_cast<const char*>(hit) - line.data());
}

// The cells of a line in UTF-8, byte by byte: a multi-byte character is one cell.
ColumnPlace utf8ByteAtColumn(std::string_view lineBytes, std::int64_t column)
{
    std::int64_t at = 0;
    std::size_t index = 0;
    while (index < lineBytes.size()) {
        const bool tab = lineBytes[index] == '\t';
        const std::int64_t next = tab ? tabEnd(at) : at + 1;
        if (column < next)
            return {static_cast<std::int64_t>(index), at};
        at = next;
        index += tab ? 1 : static_cast<std::size_t>(std::max(1, utf8SequenceAt(lineBytes, index)));
    }
    return {static_cast<std::int64_t>(lineBytes.size()), at};
}

} // namespace

std::int64_t columnsOf(std::string_view lineBytes, TextEncoding encoding)
{
    return byteAtColumn(lineBytes, INT64_MAX, encoding).column;
}

ColumnPlace byteAtColumn(std::string_view lineBytes, std::int64_t column, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return utf8ByteAtColumn(lineBytes, column);
    // Between tabs a byte is a cell: runs without tabs are skipped whole.
    std::int64_t at = 0;
    std::size_t index = 0;
    while (index < lineBytes.size()) {
        const std::size_t tab = nextTab(lineBytes, index);
        const auto run = static_cast<std::int64_t>(tab - index);
        if (column < at + run)
            return {static_cast<std::int64_t>(index) + (column - at), column};
        at += run;
        index = tab;
        if (index == lineBytes.size())
            break;
        const std::int64_t next = tabEnd(at);
        if (column < next)
            return {static_cast<std::int64_t>(index), at};
        at = next;
        ++index;
    }
    return {static_cast<std::int64_t>(lineBytes.size()), at};
}

std::int64_t caretIndexAt(std::string_view lineBytes, double cells, TextEncoding encoding)
{
    if (cells <= 0)
        return 0;
    const auto column = static_cast<std::int64_t>(std::min(cells, 9.0e18));
    const ColumnPlace place = byteAtColumn(lineBytes, column, encoding);
    if (place.index >= static_cast<std::int64_t>(lineBytes.size()))
        return place.index;
    const std::int64_t end = lineBytes[static_cast<std::size_t>(place.index)] == '\t'
                                 ? tabEnd(place.column)
                                 : place.column + 1;
    return cells - static_cast<double>(place.column) < static_cast<double>(end - place.column) / 2
               ? place.index
               : place.index + characterLength(lineBytes, place.index, encoding);
}

std::int64_t columnOfOffset(const TextModel& text, std::int64_t offset, TextEncoding encoding)
{
    std::string scratch;
    return columnsOf(text.view(text.lineStart(text.lineOf(offset)), offset, scratch), encoding);
}

std::int64_t offsetAtColumn(const TextModel& text, std::int64_t line, std::int64_t column,
                            TextEncoding encoding)
{
    const std::int64_t start = text.lineStart(line);
    std::string scratch;
    return start +
           byteAtColumn(text.view(start, text.lineEnd(line), scratch), column, encoding).index;
}

std::optional<std::int64_t> moveTarget(const TextModel& text, EditorCommand command,
                                       std::int64_t caret, std::int64_t& preferredColumn,
                                       std::int64_t pageLines, TextEncoding encoding)
{
    const std::int64_t line = text.lineOf(caret);
    const auto vertical = [&](std::int64_t lines) {
        if (preferredColumn < 0)
            preferredColumn = columnOfOffset(text, caret, encoding);
        const std::int64_t target = std::clamp<std::int64_t>(line + lines, 0, text.lineCount() - 1);
        return target == line ? caret : offsetAtColumn(text, target, preferredColumn, encoding);
    };
    switch (command) {
    case EditorCommand::NextChar:
        return nextCharOffset(text, caret, encoding);
    case EditorCommand::PreviousChar:
        return previousCharOffset(text, caret, encoding);
    case EditorCommand::NextWord:
        return nextWordOffset(text, caret);
    case EditorCommand::PreviousWord:
        return previousWordOffset(text, caret);
    case EditorCommand::LineUp:
        return vertical(-1);
    case EditorCommand::LineDown:
        return vertical(1);
    case EditorCommand::PageUp:
        return vertical(-pageLines);
    case EditorCommand::PageDown:
        return vertical(pageLines);
    case EditorCommand::LineStart:
        return text.lineStart(line);
    case EditorCommand::LineEnd:
        return text.lineEnd(line);
    case EditorCommand::DocumentStart:
        return 0;
    case EditorCommand::DocumentEnd:
        return text.length();
    default:
        return std::nullopt;
    }
}

std::int64_t nextCharOffset(const TextModel& text, std::int64_t offset, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8 && offset >= 0 && offset < text.length()) {
        std::string scratch;
        const std::string_view ahead =
            text.view(offset, std::min(text.length(), offset + 4), scratch);
        if (const int length = utf8SequenceAt(ahead, 0); length > 0)
            return offset + length;
    }
    return text.caretOffset(text.insideLineBreak(offset + 1) ? offset + 2 : offset + 1);
}

std::int64_t previousCharOffset(const TextModel& text, std::int64_t offset, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8 && offset > 0 && offset <= text.length()) {
        const std::int64_t from = std::max<std::int64_t>(0, offset - 4);
        std::string scratch;
        const std::string_view behind = text.view(from, offset, scratch);
        const std::size_t start = utf8CharacterStart(behind, behind.size() - 1);
        if (utf8SequenceAt(behind, start) == static_cast<int>(behind.size() - start))
            return from + static_cast<std::int64_t>(start);
    }
    return text.caretOffset(offset - 1);
}

std::int64_t nextWordOffset(const TextModel& text, std::int64_t offset)
{
    const std::int64_t line = text.lineOf(offset);
    const std::int64_t end = text.lineEnd(line);
    if (offset >= end)
        return nextCharOffset(text, offset);
    while (offset < end && !isBlank(text.at(offset)))
        ++offset;
    while (offset < end && isBlank(text.at(offset)))
        ++offset;
    return offset;
}

std::int64_t previousWordOffset(const TextModel& text, std::int64_t offset)
{
    const std::int64_t start = text.lineStart(text.lineOf(offset));
    if (offset <= start)
        return previousCharOffset(text, offset);
    while (offset > start && isBlank(text.at(offset - 1)))
        --offset;
    while (offset > start && !isBlank(text.at(offset - 1)))
        --offset;
    return offset;
}

ByteRange wordAt(const TextModel& text, std::int64_t offset)
{
    const std::int64_t line = text.lineOf(offset);
    const std::int64_t start = text.lineStart(line);
    const std::int64_t end = text.lineEnd(line);
    offset = std::clamp(offset, start, end);
    if (start == end)
        return {offset, 0};
    // The byte after the caret decides, or the one before it at the end of the line.
    const std::int64_t probe = offset < end ? offset : offset - 1;
    const bool blank = isBlank(text.at(probe));
    std::int64_t from = probe;
    std::int64_t to = probe + 1;
    while (from > start && isBlank(text.at(from - 1)) == blank)
        --from;
    while (to < end && isBlank(text.at(to)) == blank)
        ++to;
    return {from, to - from};
}

} // namespace scrivlet
