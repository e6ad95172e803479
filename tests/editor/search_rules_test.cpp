#include "editor/search_rules.h"
#include "editor/search_result_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scrivlet {
namespace {

using Outcome = ReplaceResult::Outcome;

struct SearchCase {
    const char* name;
    std::string text;
    std::string term;
    std::int64_t caret;
    std::optional<std::int64_t> found;
};

void PrintTo(const SearchCase& c, std::ostream* os) { *os << c.name; }

class SearchNextTable : public testing::TestWithParam<SearchCase> {};

TEST_P(SearchNextTable, FindsTheFirstOccurrenceAfterTheCaret)
{
    const SearchCase& c = GetParam();
    EXPECT_EQ(searchNext(c.text, c.term, c.caret), c.found);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchNextTable,
    testing::Values(
        SearchCase{"OccurrenceAtCaretPassedOver", "abcabc", "abc", 0, 3},
        SearchCase{"SecondSearchFromSelectionNotFound", "abcabc", "abc", 3, std::nullopt},
        SearchCase{"OneAfterCaret", "xabc", "abc", 0, 1},
        SearchCase{"CaretAtEnd", "abcabc", "c", 6, std::nullopt},
        SearchCase{"CaseSensitive", "abc", "ABC", 0, std::nullopt},
        SearchCase{"EmptyTermNeverFound", "abc", "", 0, std::nullopt},
        SearchCase{"EmptyText", "", "a", 0, std::nullopt},
        SearchCase{"TermLongerThanRest", "abcab", "abc", 1, std::nullopt},
        SearchCase{"CrLfCountsTwoBytes", "a\r\nb\r\nb", "b", 0, 3},
        SearchCase{"TermSpansLineBreak", "x\r\ny", "\r\ny", 0, 1},
        SearchCase{"LfOfLineBreakPassedOver", "a\r\nb\nc", "\n", 0, 4},
        SearchCase{"CrOfLineBreakPassedOver", "a\r\nb\rc", "\r", 0, 4},
        SearchCase{"TermEndingInsideLineBreak", "ax\r\nx\r", "x\r", 0, 4},
        SearchCase{"WholeLineBreakFound", "x\r\ny", "\r\n", 0, 1},
        SearchCase{"OverlappingOccurrences", "aaaa", "aa", 1, 2},
        SearchCase{"HighBytes", "x\xa0y\xa0", "\xa0", 1, 3},
        SearchCase{"NegativeCaretIsStart", "ab", "b", -5, 1},
        SearchCase{"CaretPastEndIsEnd", "ab", "b", 99, std::nullopt}),
    [](const testing::TestParamInfo<SearchCase>& param) { return std::string(param.param.name); });

struct ReplaceCase {
    const char* name;
    std::string text;
    std::string term;
    std::string replacement;
    std::int64_t caret;
    std::int64_t bound;
    std::int64_t maxLength;
    std::string expected;
    std::int64_t count;
    Outcome outcome;
    std::int64_t caretAfter;
};

constexpr std::int64_t kBig = 1'000'000;
constexpr std::int64_t kAny = std::numeric_limits<std::int64_t>::max();

void PrintTo(const ReplaceCase& c, std::ostream* os) { *os << c.name; }

class ReplaceAllTable : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceAllTable, GivesTextCountOutcomeAndCaret)
{
    const ReplaceCase& c = GetParam();
    const ReplaceResult r = replaceAll(c.text, c.term, c.replacement, c.caret, c.bound, c.maxLength);
    EXPECT_EQ(r.text, c.expected);
    EXPECT_EQ(r.count, c.count);
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.caret, c.caretAfter);
    expectOnlyChangedRegionDiffers(c.text, r);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceAllTable,
    testing::Values(
        ReplaceCase{"AllFromStart", "a-a-a", "a", "b", 0, kBig, kAny, "b-b-b", 3, Outcome::Finished, 5},
        ReplaceCase{"CaretBeforeSecondScansFromOneBefore", "a-a-a", "a", "b", 2, kBig, kAny, "a-b-b", 2, Outcome::Finished, 5},
        ReplaceCase{"CaretAfterSecondScansFromIt", "a-a-a", "a", "b", 3, kBig, kAny, "a-b-b", 2, Outcome::Finished, 5},
        ReplaceCase{"FormedWithTextBefore", "aabb", "ab", "b", 0, kBig, kAny, "bb", 2, Outcome::Finished, 1},
        ReplaceCase{"NoOccurrence", "abc", "x", "y", 1, kBig, kAny, "abc", 0, Outcome::Finished, 1},
        ReplaceCase{"NoOccurrenceAfterScanStart", "a-b", "a", "b", 2, kBig, kAny, "a-b", 0, Outcome::Finished, 2},
        ReplaceCase{"ShrinkingChainForwards", "abbb", "ab", "a", 0, kBig, kAny, "a", 3, Outcome::Finished, 1},
        ReplaceCase{"ShrinkingOnce", "aab", "ab", "a", 0, kBig, kAny, "aa", 1, Outcome::Finished, 2},
        ReplaceCase{"ChainStopsAtScanStart", "aabb", "ab", "b", 2, kBig, kAny, "abb", 1, Outcome::Finished, 2},
        ReplaceCase{"SwapMovesBack", "aab", "ab", "ba", 0, kBig, kAny, "baa", 2, Outcome::Finished, 2},
        ReplaceCase{"SwapSortsAll", "aaabbb", "ab", "ba", 0, kBig, kAny, "bbbaaa", 9, Outcome::Finished, 4},
        ReplaceCase{"Deletion", "a-a-a", "a", "", 0, kBig, kAny, "--", 3, Outcome::Finished, 2},
        ReplaceCase{"DeletionJoinsNewOccurrence", "aabbx", "ab", "", 0, kBig, kAny, "x", 2, Outcome::Finished, 0},
        ReplaceCase{"ReplacementHoldsTerm", "a-a", "a", "aa", 0, kBig, kAny, "aa-aa", 2, Outcome::Finished, 5},
        ReplaceCase{"ReplacementHoldsTermNotRescanned", "aab", "ab", "bab", 0, kBig, kAny, "abab", 1, Outcome::Finished, 4},
        ReplaceCase{"ReplacementEqualsTerm", "abab", "ab", "ab", 0, kBig, kAny, "abab", 2, Outcome::Finished, 4},
        ReplaceCase{"EmptyTermRefused", "abc", "", "x", 1, kBig, kAny, "abc", 0, Outcome::EmptyTerm, 1},
        ReplaceCase{"EndlessWithoutHoldingTermStops", "aab", "ab", "bbaa", 0, 5, kAny,
                    "bbbbabbaaaaaa", 5, Outcome::StoppedAtBound, 9},
        ReplaceCase{"BoundNotReportedWhenDone", "a-a", "a", "b", 0, 2, kAny, "b-b", 2, Outcome::Finished, 3},
        ReplaceCase{"StopsBeforeTooLong", "aaaa", "a", "bb", 0, kBig, 6, "bbbbaa", 2, Outcome::TooLong, 4},
        ReplaceCase{"CrLfToLf", "a\r\nb\r\n", "\r\n", "\n", 0, kBig, kAny, "a\nb\n", 2, Outcome::Finished, 4},
        ReplaceCase{"NegativeCaretIsStart", "aa", "a", "b", -3, kBig, kAny, "bb", 2, Outcome::Finished, 2},
        ReplaceCase{"CaretPastEndScansLastByte", "aa", "a", "b", 50, kBig, kAny, "ab", 1, Outcome::Finished, 2}),
    [](const testing::TestParamInfo<ReplaceCase>& param) { return std::string(param.param.name); });

TEST(ReplaceAll, NulAndHighBytesAreOrdinary)
{
    const std::string text("\x00\xff\x00\xff", 4);
    const ReplaceResult r = replaceAll(text, std::string("\x00\xff", 2), "\x81", 0, kBig);
    EXPECT_EQ(r.text, "\x81\x81");
    EXPECT_EQ(r.count, 2);
}

TEST(ReplaceAll, ManyOccurrencesEachReplacedOnce)
{
    std::string text;
    for (int i = 0; i < 200'000; ++i)
        text += "xa\r\n";
    const ReplaceResult r = replaceAll(text, "a", "bc", 0, replaceBoundFor(std::ssize(text)));
    EXPECT_EQ(r.count, 200'000);
    ASSERT_EQ(std::ssize(r.text), 1'000'000);
    for (std::size_t at = 0; at < r.text.size(); at += 5)
        ASSERT_EQ(r.text.compare(at, 5, "xbc\r\n"), 0) << at;
    EXPECT_EQ(r.caret, 1'000'000 - 2);
}

TEST(ReplaceAll, LongShrinkingChainAgainstTheTextBefore)
{
    // Each deletion of "ab" joins the a before it with the b after it: n passes, each one
    // looking back only as far as the term is long.
    const std::string text = std::string(200'000, 'a') + std::string(200'000, 'b') + "!";
    const ReplaceResult r = replaceAll(text, "ab", "", 0, replaceBoundFor(std::ssize(text)));
    EXPECT_EQ(r.text, "!");
    EXPECT_EQ(r.count, 200'000);
}

TEST(ReplaceBounds, CoverEveryRunThatShrinksOrHoldsTheTerm)
{
    EXPECT_GE(replaceBoundFor(0), 1'000'000);
    EXPECT_GT(replaceBoundFor(50'000'000), 50'000'000);
    EXPECT_EQ(replaceLengthLimitFor(1'000'000'000), 1'000'000'000);
    EXPECT_GE(replaceLengthLimitFor(10), std::int64_t{256} << 20);
}

} // namespace
} // namespace scrivlet
