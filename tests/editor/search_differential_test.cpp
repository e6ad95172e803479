// Replace All against its definition written out directly: pass after pass, the first
// occurrence at the fixed scan start or later is replaced and the whole text rebuilt; when the
// replacement holds the term, each search goes on after the replacement inserted last. Both
// stop at the bound, and before a pass that would make the text longer than allowed.
#include "editor/search_rules.h"

#include <gtest/gtest.h>
#include <random>

namespace scrivlet {
namespace {

using Outcome = ReplaceResult::Outcome;

struct Passes {
    std::string text;
    std::int64_t count = 0;
    Outcome outcome = Outcome::Finished;
    std::int64_t caret = 0;
};

Passes slowPasses(std::string text, const std::string& term, const std::string& replacement,
                  std::int64_t caret, std::int64_t bound, std::int64_t maxLength,
                  bool resumeAfterReplacement)
{
    std::size_t from = caret >= 1 ? static_cast<std::size_t>(caret - 1) : 0;
    Passes passes;
    passes.caret = caret;
    for (std::size_t at; (at = text.find(term, from)) != std::string::npos;) {
        if (passes.count == bound) {
            passes.outcome = Outcome::StoppedAtBound;
            break;
        }
        if (text.size() - term.size() + replacement.size() > static_cast<std::size_t>(maxLength)) {
            passes.outcome = Outcome::TooLong;
            break;
        }
        text.replace(at, term.size(), replacement);
        ++passes.count;
        passes.caret = static_cast<std::int64_t>(at + replacement.size());
        if (resumeAfterReplacement)
            from = at + replacement.size();
    }
    passes.text = std::move(text);
    return passes;
}

struct Counts {
    int formed = 0; // finished after more passes than the text had occurrences
    int heldTerm = 0, stopped = 0, tooLong = 0;
};

void compareOne(std::mt19937& rng, std::string_view alphabet, Counts& counts)
{
    const auto random = [&rng](std::int64_t low, std::int64_t high) {
        return std::uniform_int_distribution<std::int64_t>(low, high)(rng);
    };
    const auto word = [&](int low, int high) {
        std::string w;
        for (auto n = random(low, high); n > 0; --n)
            w += alphabet[static_cast<std::size_t>(random(0, std::ssize(alphabet) - 1))];
        return w;
    };
    const std::string text = word(0, 14), term = word(1, 3), replacement = word(0, 4);
    const std::int64_t caret = random(0, std::ssize(text));
    const std::int64_t bound = random(0, 3) == 0 ? random(0, 6) : 300;
    const std::int64_t maxLength = random(0, 3) == 0 ? std::ssize(text) + random(0, 8)
                                                     : std::numeric_limits<std::int64_t>::max();
    SCOPED_TRACE(testing::PrintToString(text) + " " + term + " -> " + replacement + " caret " +
                 std::to_string(caret) + " bound " + std::to_string(bound) + " max " +
                 std::to_string(maxLength));
    const bool holds = replacement.find(term) != std::string::npos;
    const Passes slow = slowPasses(text, term, replacement, caret, bound, maxLength, holds);
    const ReplaceResult fast = replaceAll(text, term, replacement, caret, bound, maxLength);
    ASSERT_EQ(fast.text, slow.text);
    EXPECT_EQ(std::tie(fast.count, fast.outcome, fast.caret),
              std::tie(slow.count, slow.outcome, slow.caret));

    // Only the reported region changed, and writing it back through the editor's selection
    // gives the same text.
    const auto cut = [](const std::string& s, std::int64_t from, std::int64_t to = -1) {
        return s.substr(static_cast<std::size_t>(from),
                        to < 0 ? std::string::npos : static_cast<std::size_t>(to - from));
    };
    EXPECT_TRUE(fast.changeStart <= fast.caret && fast.caret <= fast.newChangeEnd);
    EXPECT_EQ(cut(fast.text, 0, fast.changeStart), cut(text, 0, fast.changeStart));
    EXPECT_EQ(cut(fast.text, fast.newChangeEnd), cut(text, fast.oldChangeEnd));
    const TextChange change = selectableChange(text, fast);
    EXPECT_FALSE(insideLineBreak(text, change.start) ||
                 insideLineBreak(text, change.start + change.oldLength));
    EXPECT_EQ(cut(text, 0, change.start) + std::string(change.bytes) +
                  cut(text, change.start + change.oldLength),
              fast.text);

    counts.heldTerm += holds;
    counts.stopped += slow.outcome == Outcome::StoppedAtBound;
    counts.tooLong += slow.outcome == Outcome::TooLong;
    counts.formed +=
        !holds && slow.outcome == Outcome::Finished &&
        slow.count > slowPasses(text, term, replacement, caret, bound, maxLength, true).count;
}

TEST(ReplaceAllDifferential, AgreesWithThePassByPassDefinition)
{
    for (const auto& [alphabet, seed] :
         {std::pair<const char*, unsigned>{"ab", 20240605}, {"abc", 77}, {"a\r\n", 13}}) {
        std::mt19937 rng(seed);
        Counts counts;
        for (int i = 0; i < 20000 && !HasFailure(); ++i)
            compareOne(rng, alphabet, counts);
        // Each run covers every kind of case, not only ordinary ones.
        EXPECT_GT(counts.formed, 100) << alphabet;
        EXPECT_GT(counts.heldTerm, 500) << alphabet;
        EXPECT_GT(counts.stopped, 100) << alphabet;
        EXPECT_GT(counts.tooLong, 100) << alphabet;
    }
}

} // namespace
} // namespace scrivlet
