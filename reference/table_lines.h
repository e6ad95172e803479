#pragma once

#include "common/ascii.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace scrivlet {

// Line and word splitting shared by the readers of entry tables and sources. A line ends at LF;
// a CR right before the LF belongs to the line end, so CR LF and LF files read alike.
template <class Visit> void forEachLine(std::string_view text, Visit&& visit)
{
    std::size_t lineNumber = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        visit(++lineNumber, line);
    }
}

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
