#pragma once

#include <cstddef>
#include <string_view>

namespace scrivlet {

// Calls visit(lineNumber, line) for each line of a text, numbered from 1. A line ends at LF; a
// CR right before the LF belongs to the line end, so CR LF and LF files read alike.
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

} // namespace scrivlet
