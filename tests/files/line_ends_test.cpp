#include "files/line_ends.h"

#include <gtest/gtest.h>
#include <string>

using scrivlet::toDiskLineEnds;
using scrivlet::toEditorLineEnds;

namespace {

std::string replaceAll(std::string s, const std::string& from, const std::string& to)
{
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

// The two conversions written the plain way: loading replaces every CR LF by LF and then every
// LF by CR LF; saving replaces every CR LF by LF.
std::string loadedPlainly(const std::string& disk)
{
    return replaceAll(replaceAll(disk, "\r\n", "\n"), "\n", "\r\n");
}

std::string savedPlainly(const std::string& editor)
{
    return replaceAll(editor, "\r\n", "\n");
}

} // namespace

// Every text of up to seven characters made of a, CR and LF: loading matches the two plain
// replacements, saving matches the plain one, and load-then-save only turns CR LF into LF.
TEST(LineEnds, AgreeWithThePlainReplacementsOnEveryShortText)
{
    const char alphabet[] = {'a', '\r', '\n'};
    std::size_t checked = 0;
    for (int length = 0; length <= 7; ++length) {
        int combinations = 1;
        for (int i = 0; i < length; ++i)
            combinations *= 3;
        for (int n = 0; n < combinations; ++n) {
            std::string text;
            for (int i = 0, rest = n; i < length; ++i, rest /= 3)
                text += alphabet[rest % 3];
            const std::string loaded = toEditorLineEnds(text);
            ASSERT_EQ(loaded, loadedPlainly(text)) << testing::PrintToString(text);
            ASSERT_EQ(toDiskLineEnds(text), savedPlainly(text)) << testing::PrintToString(text);
            ASSERT_EQ(toDiskLineEnds(loaded), savedPlainly(text)) << testing::PrintToString(text);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 3280u);
}
