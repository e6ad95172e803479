#include "calculator/calculator_charset.h"
#include "common/windows1252.h"
#include "editor/search_rules.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace scrivlet {
namespace {

using Outcome = ReplaceResult::Outcome;
constexpr std::int64_t kBig = 1'000'000;
constexpr std::int64_t kAny = std::numeric_limits<std::int64_t>::max();

TEST(SearchNext, FindsTheFirstSelectableOccurrenceAfterTheCaret)
{
    // name, text, term, caret, where the occurrence found starts
    using Found = std::optional<std::int64_t>;
    // clang-format off
    const std::tuple<const char*, std::string, std::string, std::int64_t, Found> cases[] = {
        {"occurrence at the caret passed over", "abcabc", "abc", 0, 3},
        {"from the selected occurrence", "abcabc", "abc", 3, std::nullopt},
        {"one after the caret", "xabc", "abc", 0, 1},
        {"caret at the end", "abcabc", "c", 6, std::nullopt},
        {"case-sensitive", "abc", "ABC", 0, std::nullopt},
        {"empty term never found", "abc", "", 0, std::nullopt},
        {"CR LF counts two bytes", "a\r\nb\r\nb", "b", 0, 3},
        {"term across a line break", "x\r\ny", "\r\ny", 0, 1},
        {"LF of a line break passed over", "a\r\nb\nc", "\n", 0, 4},
        {"CR of a line break passed over", "a\r\nb\rc", "\r", 0, 4},
        {"term ending inside a line break", "ax\r\nx\r", "x\r", 0, 4},
        {"overlapping occurrences", "aaaa", "aa", 1, 2},
        {"high bytes", "x\xa0y\xa0", "\xa0", 1, 3},
        {"negative caret is the start", "ab", "b", -5, 1},
        {"caret past the end is the end", "ab", "b", 99, std::nullopt},
    };
    // clang-format on
    for (const auto& [name, text, term, caret, found] : cases)
        EXPECT_EQ(searchNext(text, term, caret), found) << name;
}

TEST(SearchNext, PiecesFindWhatTheWholeTextGivesReadingOnlyNearIt)
{
    std::mt19937 rng(3);
    const auto random = [&rng](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    const char alphabet[] = "ab\r\n";
    for (int i = 0; i < 20000 && !HasFailure(); ++i) {
        std::string text, term;
        for (int n = random(0, 40); n > 0; --n)
            text += alphabet[random(0, 3)];
        for (int n = random(1, 3); n > 0; --n)
            term += alphabet[random(0, 3)];
        const auto length = std::ssize(text);
        const std::int64_t caret = random(0, static_cast<int>(length)), piece = random(1, 5);
        std::int64_t read = 0;
        const auto reader = [&](std::int64_t from, std::int64_t to) {
            EXPECT_TRUE(0 <= from && from <= to && to <= length);
            read += to - from;
            return text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
        };
        const auto found = searchNextInPieces(reader, length, term, caret, piece);
        ASSERT_EQ(found, searchNext(text, term, caret))
            << testing::PrintToString(text) << " " << term;
        EXPECT_LE(read, 4 * (found.value_or(length) - caret + piece + std::ssize(term)));
    }
}

TEST(SearchTerms, TypedCharactersAreTheEditorsBytes)
{
    const CodePageTable& page = windows1252CodePage();
    EXPECT_EQ(searchTermBytes(u"\u00e9\u20ac\u240d\u240a\u0081", page), "\xe9\x80\r\n\x81");
    EXPECT_EQ(searchTermBytes(u"", page), "");
    EXPECT_EQ(searchTermBytes(u"a\u2192", page), std::nullopt); // no byte: found nowhere
    EXPECT_EQ(replacementBytes(u"a\u2192\U0001F600b\u240a", page), "a??b\n");
    // The calculator's character set, with its look-alikes (∑ for Σ).
    EXPECT_EQ(searchTermBytes(u"\u00ab\u2192\u2211\u20ac", calculatorCodePage()),
              "\xab\x8d\x85\xa0");
}

// The random comparison with the pass-by-pass definition covers the rest: these are the inputs
// it never draws (an empty term, NUL and high bytes, a caret outside the text).
TEST(ReplaceAll, GivesTextCountOutcomeAndCaret)
{
    const struct {
        std::string text, term, replacement;
        std::int64_t caret;
        std::string expected;
        std::int64_t count;
        Outcome outcome;
        std::int64_t caretAfter;
    } cases[] = {
        // clang-format off
        {"a-a-a", "a", "b", 2, "a-b-b", 2, Outcome::Finished, 5}, // from one before the caret
        {"abc", "", "x", 1, "abc", 0, Outcome::EmptyTerm, 1},
        {std::string("\0\xff\0\xff", 4), std::string("\0\xff", 2), "\x81", 0, "\x81\x81", 2, Outcome::Finished, 2},
        {"aa", "a", "b", -3, "bb", 2, Outcome::Finished, 2},
        {"aa", "a", "b", 50, "ab", 1, Outcome::Finished, 2}, // the last byte is scanned
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text) + " " + c.term);
        const ReplaceResult r = replaceAll(c.text, c.term, c.replacement, c.caret, kBig, kAny);
        EXPECT_EQ(r.text, c.expected);
        EXPECT_EQ(r.count, c.count);
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_EQ(r.caret, c.caretAfter);
    }
}

TEST(ReplaceAll, LongRunsStayLinear)
{
    std::string text, expected;
    for (int i = 0; i < 200'000; ++i)
        text += "xa\r\n", expected += "xbc\r\n";
    EXPECT_EQ(replaceAll(text, "a", "bc", 0, replaceBoundFor(std::ssize(text))).text, expected);
    // Each deletion of "ab" joins the a before it with the b after it.
    const std::string chain = std::string(200'000, 'a') + std::string(200'000, 'b') + "!";
    EXPECT_EQ(replaceAll(chain, "ab", "", 0, replaceBoundFor(std::ssize(chain))).text, "!");
}

} // namespace
} // namespace scrivlet
