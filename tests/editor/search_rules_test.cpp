#include "common/calculator_charset.h"
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
    const struct {
        const char* name;
        std::string text, term;
        std::int64_t caret;
        std::optional<std::int64_t> found;
    } cases[] = {
        // clang-format off
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
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(searchNext(c.text, c.term, c.caret), c.found) << c.name;
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

TEST(ReplaceAll, GivesTextCountOutcomeAndCaret)
{
    const struct {
        const char* name;
        std::string text, term, replacement;
        std::int64_t caret, bound, maxLength;
        std::string expected;
        std::int64_t count;
        Outcome outcome;
        std::int64_t caretAfter;
    } cases[] = {
        // clang-format off
        {"all from the start", "a-a-a", "a", "b", 0, kBig, kAny, "b-b-b", 3, Outcome::Finished, 5},
        {"caret before the second: from one before", "a-a-a", "a", "b", 2, kBig, kAny, "a-b-b", 2, Outcome::Finished, 5},
        {"caret after the second: from it", "a-a-a", "a", "b", 3, kBig, kAny, "a-b-b", 2, Outcome::Finished, 5},
        {"formed with the text before", "aabb", "ab", "b", 0, kBig, kAny, "bb", 2, Outcome::Finished, 1},
        {"no occurrence", "abc", "x", "y", 1, kBig, kAny, "abc", 0, Outcome::Finished, 1},
        {"swap sorts all", "aaabbb", "ab", "ba", 0, kBig, kAny, "bbbaaa", 9, Outcome::Finished, 4},
        {"replacement holds the term", "a-a", "a", "aa", 0, kBig, kAny, "aa-aa", 2, Outcome::Finished, 5},
        {"held term not scanned again", "aab", "ab", "bab", 0, kBig, kAny, "abab", 1, Outcome::Finished, 4},
        {"empty term refused", "abc", "", "x", 1, kBig, kAny, "abc", 0, Outcome::EmptyTerm, 1},
        {"endless stops at the bound", "aab", "ab", "bbaa", 0, 5, kAny, "bbbbabbaaaaaa", 5, Outcome::StoppedAtBound, 9},
        {"stops before too long", "aaaa", "a", "bb", 0, kBig, 6, "bbbbaa", 2, Outcome::TooLong, 4},
        {"CR LF to LF", "a\r\nb\r\n", "\r\n", "\n", 0, kBig, kAny, "a\nb\n", 2, Outcome::Finished, 4},
        {"NUL and high bytes", std::string("\0\xff\0\xff", 4), std::string("\0\xff", 2), "\x81", 0, kBig, kAny, "\x81\x81", 2, Outcome::Finished, 2},
        {"negative caret is the start", "aa", "a", "b", -3, kBig, kAny, "bb", 2, Outcome::Finished, 2},
        {"caret past the end scans the last byte", "aa", "a", "b", 50, kBig, kAny, "ab", 1, Outcome::Finished, 2},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReplaceResult r =
            replaceAll(c.text, c.term, c.replacement, c.caret, c.bound, c.maxLength);
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
    EXPECT_GT(replaceBoundFor(50'000'000), 50'000'000);
    EXPECT_EQ(replaceLengthLimitFor(1'000'000'000), 1'000'000'000);
    EXPECT_GE(replaceLengthLimitFor(10), std::int64_t{256} << 20);
}

} // namespace
} // namespace scrivlet
