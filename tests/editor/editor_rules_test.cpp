#include "editor/code_page.h"
#include "editor/editor_rules.h"

#include <gtest/gtest.h>
#include <random>
#include <set>
#include <string>

using namespace scrivlet;
using namespace std::string_literals;

namespace {

struct SpanCase {
    const char* name;
    std::string text;
    std::int64_t caret;
    WordSpan span;
    std::string word;
    bool lookedUp;
};

std::string letters(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>('A' + i % 26);
    return s;
}

const std::vector<SpanCase>& spanCases()
{
    static const std::vector<SpanCase> cases = {
        {"empty editor", "", 0, {1, 0}, "", false},
        {"caret at 0 before DUP", "DUP", 0, {1, 3}, "DUP", true},
        {"caret inside DUP", "DUP", 2, {1, 3}, "DUP", true},
        {"caret at the end after a space", "1 DUP", 5, {3, 5}, "DUP", true},
        {"after a space, word after the caret", "1 DUP", 2, {3, 5}, "DUP", true},
        {"after a lone CR", "1\rDUP", 2, {3, 5}, "DUP", true},
        {"after a lone LF", "1\nDUP", 2, {3, 5}, "DUP", true},
        {"start of a line", "::\r\nDUP", 4, {5, 7}, "DUP", true},
        {"end of a line", "DUP\r\nSWAP", 3, {1, 3}, "DUP", true},
        {"empty line between breaks", "::\r\n\r\n;", 4, {5, 4}, "", false},
        {"between two spaces", "A  B", 2, {3, 2}, "", false},
        {"caret inside a CR LF pair", "AB\r\nCD", 3, {4, 3}, "", false},
        {"Tab belongs to the word", "x\tDU", 4, {1, 4}, "x\tDU", true},
        {"60-run, caret at its end", letters(60), 60, {11, 60}, letters(60).substr(10), true},
        {"50-run, caret at its end", letters(50), 50, {1, 50}, letters(50), true},
        {"51-run, caret at its end", letters(51), 51, {2, 51}, letters(51).substr(1), true},
        {"60-run, caret at its start", letters(60), 0, {1, 50}, letters(50), true},
        {"120-run, caret in the middle",
         letters(120),
         60,
         {11, 110},
         letters(120).substr(10, 100),
         true},
        {"120-run after a separator",
         " " + letters(120),
         61,
         {12, 111},
         letters(120).substr(10, 100),
         true},
        {"word star alone", "1 *", 3, {3, 3}, "*", false},
        {"word star with a letter", "*A", 2, {1, 2}, "*A", true},
        {"word with an apostrophe", "'A", 2, {1, 2}, "'A", false},
        {"word with a percent sign", "A%B", 1, {1, 3}, "A%B", false},
        {"two stars", "**", 2, {1, 2}, "**", true},
    };
    return cases;
}

} // namespace

TEST(WordSpan, FollowsSeparatorsAndLimits)
{
    for (const SpanCase& c : spanCases()) {
        SCOPED_TRACE(c.name);
        const auto size = static_cast<std::int64_t>(c.text.size());
        const WordSpan span = findWordSpan(c.text, 0, c.caret, size);
        EXPECT_EQ(span.wordstart, c.span.wordstart);
        EXPECT_EQ(span.wordend, c.span.wordend);
        const std::string_view word = lookupWord(c.text, 0, span);
        EXPECT_EQ(word, c.word);
        EXPECT_EQ(passesLookupGuard(word), c.lookedUp);
        EXPECT_LE(span.length(), 2 * kWordScanLimit);
    }
}

TEST(WordSpan, TheScanWindowIsEnough)
{
    // Given only the characters of wordScanWindow, the span is the one the whole text gives.
    std::mt19937 random(99);
    const char alphabet[] = {'a', 'a', 'a', 'a', 'a', ' ', '\r', '\n'};
    for (int round = 0; round < 2000; ++round) {
        std::string text(
            static_cast<std::size_t>(std::uniform_int_distribution<int>(0, 400)(random)), 'a');
        const bool sparse = round % 2 == 0;
        for (char& c : text)
            c = sparse ? alphabet[std::uniform_int_distribution<int>(0, 7)(random)] : 'a';
        const auto size = static_cast<std::int64_t>(text.size());
        const std::int64_t caret = std::uniform_int_distribution<std::int64_t>(0, size)(random);
        const ScanWindow window = wordScanWindow(caret, size);
        const std::string_view slice =
            std::string_view(text).substr(static_cast<std::size_t>(window.first),
                                          static_cast<std::size_t>(window.last - window.first));
        const WordSpan whole = findWordSpan(text, 0, caret, size);
        const WordSpan windowed = findWordSpan(slice, window.first, caret, size);
        ASSERT_EQ(windowed, whole) << "caret " << caret << " in " << text.size();
        ASSERT_EQ(lookupWord(slice, window.first, windowed), lookupWord(text, 0, whole));
    }
}

TEST(WordSpan, CriteriaCarryTheWordUnchanged)
{
    EXPECT_EQ(lookupCriteria("DU"), "name LIKE 'DU%'");
    EXPECT_EQ(lookupCriteria("*A"), "name LIKE '*A%'");
    EXPECT_EQ(lookupCriteria("x\tDU"), "name LIKE 'x\tDU%'");
}

TEST(WordSpan, Guard)
{
    const std::pair<std::string, bool> cases[] = {
        {"", false},  {"*", false}, {"'", false},  {"%", false},   {"DU'P", false}, {"D%", false},
        {"*A", true}, {"A*", true}, {"DUP", true}, {"\xA0", true}, {"**", true},
    };
    for (const auto& [word, passes] : cases)
        EXPECT_EQ(passesLookupGuard(word), passes) << word;
}

TEST(CaretReadOut, LineAndColumn)
{
    const std::pair<std::string, LineColumn> cases[] = {
        {"", {1, 1}},
        {"::\r\na", {2, 2}},
        {"::\r\n", {2, 1}},
        {"::\r\n\r", {2, 2}}, // a caret inside a line break counts the CR as a column
        {"a\r\nb\r\nabc", {3, 4}},
        {"ab\ncd", {1, 6}},
        {"ab\rcd", {1, 6}},
        {"a\r\r\n", {2, 1}},
        {"a\r\n\n", {2, 2}},
        {"\r\n\r\n", {3, 1}},
        {"\n\r", {1, 3}},
    };
    for (const auto& [before, expected] : cases)
        EXPECT_EQ(lineColumnOf(before), expected) << testing::PrintToString(before);
}

TEST(CaretReadOut, Caption)
{
    EXPECT_EQ(positionCaption({1, 1}), "POS: 1,1");
    EXPECT_EQ(positionCaption({12, 345}), "POS: 12,345");
    EXPECT_EQ(positionCaption({3000000, 10}), "POS: 3000000,10");
}

TEST(Indentation, PreviousLineAndWidth)
{
    const std::pair<std::string, std::optional<std::string>> lines[] = {
        {"", std::nullopt},       {"  x", std::nullopt},
        {"  x\r\n", "  x"},       {"  x\r\nab", "  x"},
        {"a\r\n   \r\nc", "   "}, {"a\r\n\r\n", ""},
        {"a\rb\r\nc", "a\rb"},    {"    DUP \r\nSWAP", "    DUP "},
    };
    for (const auto& [before, previous] : lines) {
        const auto found = previousLineOf(before);
        ASSERT_EQ(found.has_value(), previous.has_value()) << testing::PrintToString(before);
        if (previous) {
            EXPECT_EQ(*found, *previous);
        }
    }

    const std::pair<std::string, int> widths[] = {
        {"", 0},      {"x", 0},    {"  x", 2},          {"   ", 3},
        {"\t  x", 0}, {" \tx", 1}, {"    DUP SWAP", 4}, {"\xA0x", 0},
    };
    for (const auto& [line, width] : widths)
        EXPECT_EQ(indentWidth(line), width) << testing::PrintToString(line);
}

TEST(Charat, OneBasedAndEmptyPastTheEnd)
{
    EXPECT_EQ(charat("abc", 1), "a");
    EXPECT_EQ(charat("abc", 3), "c");
    EXPECT_EQ(charat("abc", 4), "");
    EXPECT_EQ(charat("", 1), "");
    EXPECT_EQ(charat("abc", 0), "");
    EXPECT_EQ(charat("a\0b"s, 2), "\0"s);
}

TEST(CodePage, EveryByteHasItsOwnCharacter)
{
    std::set<char16_t> seen;
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        EXPECT_EQ(byteFromChar(charFromByte(byte)), b);
        EXPECT_EQ(byteFromDocumentChar(documentCharFromByte(byte)), b);
        seen.insert(documentCharFromByte(byte));
    }
    EXPECT_EQ(seen.size(), 256u);
}

TEST(CodePage, Windows1252Characters)
{
    const std::pair<unsigned char, char16_t> cases[] = {
        {0x41, u'A'},      {0x80, u'\u20AC'}, {0x81, u'\u0081'}, {0x8A, u'\u0160'},
        {0x8D, u'\u008D'}, {0x8F, u'\u008F'}, {0x90, u'\u0090'}, {0x93, u'\u201C'},
        {0x99, u'\u2122'}, {0x9D, u'\u009D'}, {0x9F, u'\u0178'}, {0xA0, u'\u00A0'},
        {0xAB, u'\u00AB'}, {0xFF, u'\u00FF'}, {0x00, u'\0'},
    };
    for (const auto& [byte, ch] : cases)
        EXPECT_EQ(charFromByte(byte), ch) << int(byte);
    EXPECT_EQ(documentCharFromByte('\r'), kCrStandIn);
    EXPECT_EQ(documentCharFromByte('\n'), kLfStandIn);
    EXPECT_EQ(charFromByte('\r'), u'\r');
}

TEST(CodePage, CharactersWithoutAByte)
{
    for (char16_t ch :
         {u'\u0100', u'\u0151', u'\u2028', u'\u2029', u'\u20AD', u'\uFFFD', char16_t{0xD83D}})
        EXPECT_EQ(byteFromDocumentChar(ch), -1) << int(ch);
    // The stand-ins are document characters only; as text characters they have no byte.
    EXPECT_EQ(byteFromChar(kCrStandIn), -1);
    EXPECT_EQ(byteFromDocumentChar(kCrStandIn), '\r');
    EXPECT_EQ(byteFromDocumentChar(kLfStandIn), '\n');
}
