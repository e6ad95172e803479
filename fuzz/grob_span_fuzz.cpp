// Feeds arbitrary bytes to the GROB finder as an editor line, with a position taken from the
// first two bytes, and checks its span against a plain split into words: the span starts at a
// whole word "GROB", takes the two words after it and the next one only when it starts with a
// hex digit, holds the position, and is the first such span that does. The cut-out words then
// go to the GROB line reader, as the tips and the export give them.
#include "calculator/grob_span.h"
#include "calculator/grob_text.h"
#include "fuzz_check.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

using scrivlet::fuzz::check;

namespace {

struct Word {
    std::size_t begin, end;
};

std::vector<Word> words(std::string_view line)
{
    std::vector<Word> result;
    for (std::size_t pos = line.find_first_not_of(" \t\r\n"); pos != std::string_view::npos;
         pos = line.find_first_not_of(" \t\r\n", pos)) {
        const std::size_t end = std::min(line.find_first_of(" \t\r\n", pos), line.size());
        result.push_back({pos, end});
        pos = end;
    }
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::size_t pos = (data[0] | (data[1] << 8)) % (size - 1);
    const std::string_view line(reinterpret_cast<const char*>(data) + 2, size - 2);
    const std::vector<Word> w = words(line);
    std::optional<scrivlet::GrobSpan> model;
    for (std::size_t i = 0; i < w.size() && !model && w[i].begin <= pos; ++i) {
        if (line.substr(w[i].begin, w[i].end - w[i].begin) != "GROB")
            continue;
        std::size_t last = std::min(i + 2, w.size() - 1);
        if (last + 1 < w.size() &&
            std::isxdigit(static_cast<unsigned char>(line[w[last + 1].begin])))
            ++last;
        if (pos <= w[last].end)
            model = scrivlet::GrobSpan{w[i].begin, w[last].end};
    }
    const std::optional<scrivlet::GrobSpan> span = scrivlet::grobSpanAt(line, pos);
    check(span == model);
    if (span)
        scrivlet::parseGrobText(line.substr(span->begin, span->end - span->begin));
    return 0;
}
