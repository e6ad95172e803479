#pragma once

#include <cstdint>
#include <string_view>

namespace scrivlet {

// CR LF is one line break in the editor's bytes: no caret, selection end or edit end stands
// between its CR and its LF.

// Whether `offset` lies between the CR and the LF of a line break of `text`.
constexpr bool insideLineBreak(std::string_view text, std::int64_t offset)
{
    return offset > 0 && offset < static_cast<std::int64_t>(text.size()) &&
           text[static_cast<std::size_t>(offset - 1)] == '\r' &&
           text[static_cast<std::size_t>(offset)] == '\n';
}

// Bytes [start, oldEnd) of a text that became bytes [start, newEnd) of its new form.
struct ChangedBytes {
    std::int64_t start = 0;
    std::int64_t oldEnd = 0;
    std::int64_t newEnd = 0;
};

// The change widened so that neither of its ends splits a line break of `before`.
constexpr ChangedBytes widenedOutOfLineBreaks(std::string_view before, ChangedBytes change)
{
    if (insideLineBreak(before, change.start))
        --change.start;
    if (insideLineBreak(before, change.oldEnd)) {
        ++change.oldEnd;
        ++change.newEnd;
    }
    return change;
}

} // namespace scrivlet
