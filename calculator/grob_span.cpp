#include "calculator/grob_span.h"

#include "common/ascii.h"

namespace scrivlet {

namespace {

constexpr bool isSeparator(char c)
{
    return isSpaceTabOrLineBreak(c);
}

struct WordBounds {
    std::size_t begin = 0;
    std::size_t end = 0; // begin == end: no word before the end of the line
};

WordBounds wordFrom(std::string_view line, std::size_t pos)
{
    while (pos < line.size() && isSeparator(line[pos]))
        ++pos;
    WordBounds word{pos, pos};
    while (word.end < line.size() && !isSeparator(line[word.end]))
        ++word.end;
    return word;
}

} // namespace

std::optional<GrobSpan> grobSpanAt(std::string_view line, std::size_t pos)
{
    for (WordBounds word = wordFrom(line, 0); word.begin < line.size() && word.begin <= pos;
         word = wordFrom(line, word.end)) {
        if (line.substr(word.begin, word.end - word.begin) != "GROB")
            continue;
        GrobSpan span{word.begin, word.end};
        for (int side = 0; side < 2; ++side) {
            const WordBounds next = wordFrom(line, span.end);
            if (next.begin < next.end)
                span.end = next.end;
        }
        const WordBounds data = wordFrom(line, span.end);
        if (data.begin < data.end && isHexDigit(line[data.begin]))
            span.end = data.end;
        if (pos <= span.end)
            return span;
    }
    return std::nullopt;
}

} // namespace scrivlet
