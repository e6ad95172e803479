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

TEST(LineEnds, LoadingMakesEveryLoneLfACrLfAndKeepsTheRest)
{
    const struct {
        std::string disk;
        std::string editor;
    } cases[] = {
        {"", ""},
        {"\n", "\r\n"},
        {"\r\n", "\r\n"},
        {"\r", "\r"},
        {"\n\n", "\r\n\r\n"},
        {"\r\r\n", "\r\r\n"},
        {"\n\r", "\r\n\r"},
        {"\r\n\n", "\r\n\r\n"},
        {"a\nb\r\nc\rd", "a\r\nb\r\nc\rd"},
        {"::\n\n;\n@", "::\r\n\r\n;\r\n@"},
        {std::string("\0\n\0", 3), std::string("\0\r\n\0", 4)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toEditorLineEnds(c.disk), c.editor) << testing::PrintToString(c.disk);
}

TEST(LineEnds, SavingMakesEveryCrLfALfAndKeepsLoneOnes)
{
    const struct {
        std::string editor;
        std::string disk;
    } cases[] = {
        {"", ""},
        {"\r\n", "\n"},
        {"\r", "\r"},
        {"\n", "\n"},
        {"\r\r\n", "\r\n"},
        {"\n\r\n", "\n\n"},
        {"\r\n\r", "\n\r"},
        {"::\r\n\r\n;\r\n@", "::\n\n;\n@"},
        {"a\rb\nc\r\nd\r\n", "a\rb\nc\nd\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toDiskLineEnds(c.editor), c.disk) << testing::PrintToString(c.editor);
}

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
