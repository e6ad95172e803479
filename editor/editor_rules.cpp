#include "editor/editor_rules.h"

namespace scrivlet {
namespace {

// The character at 1-based position k, read from a slice starting at offset sliceStart.
// Positions outside the slice read as a separator, so a scan never runs past what it was given.
char charAtPosition(std::string_view slice, std::int64_t sliceStart, std::int64_t k)
{
    const std::int64_t index = k - 1 - sliceStart;
    if (index < 0 || index >= static_cast<std::int64_t>(slice.size()))
        return ' ';
    return slice[static_cast<std::size_t>(index)];
}

constexpr std::string_view kLineBreak = "\r\n";

} // namespace

WordSpan findWordSpan(std::string_view slice, std::int64_t sliceStart, std::int64_t caret,
                      std::int64_t length, TabInWord tab)
{
    const std::int64_t p = caret;

    std::int64_t i = p;
    const std::int64_t backLimit = p - kWordScanLimit;
    while (i >= 1 && !isWordSeparator(charAtPosition(slice, sliceStart, i), tab) && i > backLimit)
        --i;

    std::int64_t j = p + 1;
    const std::int64_t forwardLimit = p + kWordScanLimit + 1;
    while (j <= length && !isWordSeparator(charAtPosition(slice, sliceStart, j), tab) &&
           j < forwardLimit)
        ++j;

    return {static_cast<std::int32_t>(i + 1), static_cast<std::int32_t>(j - 1)};
}

std::string_view lookupWord(std::string_view slice, std::int64_t sliceStart, WordSpan span)
{
    const std::int64_t n = span.length();
    const std::int64_t first = std::int64_t{span.wordstart} - 1 - sliceStart;
    if (n == 0 || first < 0 || first + n > static_cast<std::int64_t>(slice.size()))
        return {};
    return slice.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(n));
}

LineColumn lineColumnOf(std::string_view textBeforeCaret)
{
    LineColumn position;
    std::size_t lineStart = 0;
    for (std::size_t at = textBeforeCaret.find(kLineBreak); at != std::string_view::npos;
         at = textBeforeCaret.find(kLineBreak, at + kLineBreak.size())) {
        ++position.line;
        lineStart = at + kLineBreak.size();
    }
    position.column = static_cast<std::int64_t>(textBeforeCaret.size() - lineStart) + 1;
    return position;
}

std::string positionCaption(LineColumn position)
{
    return "POS: " + std::to_string(position.line) + "," + std::to_string(position.column);
}

int indentWidth(std::string_view line)
{
    const std::size_t width = line.find_first_not_of(' ');
    return static_cast<int>(width == std::string_view::npos ? line.size() : width);
}

} // namespace scrivlet
