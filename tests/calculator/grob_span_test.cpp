#include "calculator/grob_span.h"

#include <gtest/gtest.h>
#include <string>

using namespace scrivlet;

// '|' marks the position; the expected span is written as the text it covers.
TEST(GrobSpan, CutsTheGrobAroundAPositionOutOfItsLine)
{
    const std::pair<std::string, std::string> cases[] = {
        {"GROB 8 2 C35A| ;\r\n", "GROB 8 2 C35A"},
        {":|: GROB 0 0 ;", ""},
        {":: GROB 0 |0 ;", "GROB 0 0"},      // ";" ends the object; it is not data
        {"\tGROB  1x| 2\tZZ", "GROB  1x 2"}, // bad words still belong to it
        {"xGROBS 8 2 C35A|", ""},
        {"GROB 8 1 3C GROB 8 1 A|5", "GROB 8 1 A5"},
    };
    for (const auto& [marked, covered] : cases) {
        const std::size_t pos = marked.find('|');
        const std::string line = marked.substr(0, pos) + marked.substr(pos + 1);
        const auto span = grobSpanAt(line, pos);
        EXPECT_EQ(span ? line.substr(span->begin, span->end - span->begin) : "", covered) << marked;
    }
}
