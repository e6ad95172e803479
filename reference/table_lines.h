#pragma once

#include "common/ascii.h"
#include "common/line_walk.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace scrivlet {

// Word splitting shared by the readers of entry tables and sources; lines are split by
// forEachLine (common/line_walk.h).

// Blanks between the words of a table line: space, tab, form feed, vertical tab and CR.
inline bool isTableBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\r';
}

// The words of a line, split at runs of blanks.
inline std::vector<std::string_view> splitWords(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && isTableBlank(line[pos]))
            ++pos;
        const std::size_t start = pos;
        while (pos < line.size() && !isTableBlank(line[pos]))
            ++pos;
        if (pos > start)
            words.push_back(line.substr(start, pos - start));
    }
    return words;
}

// The line without leading and trailing blanks.
inline std::string_view trimBlanks(std::string_view line)
{
    return trimmed(line, isTableBlank);
}

} // namespace scrivlet
