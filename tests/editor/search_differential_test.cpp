#include "editor/search_result_checks.h"
#include "editor/search_rules.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

// The fast Replace All against the pass-by-pass definition written out directly: every pass
// searches again from the fixed scan start and rebuilds the whole text.

namespace scrivlet {
namespace {

struct Passes {
    std::string text;
    std::int64_t count = 0;
    bool ended = false; // no occurrence left at or after the scan start
    std::int64_t lastAt = -1;
};

Passes slowPasses(std::string text, const std::string& term, const std::string& replacement,
                  std::int64_t caret, std::int64_t passLimit)
{
    const std::size_t scanStart = caret >= 1 ? static_cast<std::size_t>(caret - 1) : 0;
    Passes passes;
    for (;;) {
        const std::size_t at = text.find(term, scanStart);
        if (at == std::string::npos) {
            passes.ended = true;
            break;
        }
        if (passes.count == passLimit)
            break;
        text = text.substr(0, at) + replacement + text.substr(at + term.size());
        ++passes.count;
        passes.lastAt = static_cast<std::int64_t>(at);
    }
    passes.text = std::move(text);
    return passes;
}

// Every occurrence of the original text from the scan start on, leftmost first, replaced
// once: what Replace All does when the replacement holds the term.
Passes onceEach(const std::string& text, const std::string& term, const std::string& replacement,
                std::int64_t caret)
{
    std::size_t from = caret >= 1 ? static_cast<std::size_t>(caret - 1) : 0;
    Passes passes;
    passes.text = text.substr(0, from);
    for (std::size_t at; (at = text.find(term, from)) != std::string::npos;
         from = at + term.size()) {
        passes.text += text.substr(from, at - from) + replacement;
        ++passes.count;
    }
    passes.text += text.substr(from);
    passes.ended = true;
    return passes;
}

std::string randomWord(std::mt19937& rng, const std::string& alphabet, int minLength, int maxLength)
{
    std::uniform_int_distribution<int> length(minLength, maxLength);
    std::uniform_int_distribution<std::size_t> letter(0, alphabet.size() - 1);
    std::string word;
    for (int i = length(rng); i > 0; --i)
        word += alphabet[letter(rng)];
    return word;
}

struct Counts {
    int ended = 0;
    int endless = 0;
    int heldTerm = 0;
    int formed = 0; // ended with more passes than the original text had occurrences
};

void compareOne(std::mt19937& rng, const std::string& alphabet, Counts& counts)
{
    constexpr std::int64_t kPassLimit = 300;
    const std::string text = randomWord(rng, alphabet, 0, 14);
    const std::string term = randomWord(rng, alphabet, 1, 3);
    const std::string replacement = randomWord(rng, alphabet, 0, 4);
    const std::int64_t caret =
        std::uniform_int_distribution<std::int64_t>(0, std::ssize(text))(rng);
    SCOPED_TRACE("text '" + text + "' term '" + term + "' replacement '" + replacement +
                 "' caret " + std::to_string(caret));

    const Passes slow = slowPasses(text, term, replacement, caret, kPassLimit);
    const ReplaceResult fast = replaceAll(text, term, replacement, caret, kPassLimit);
    expectOnlyChangedRegionDiffers(text, fast);
    // What the editor writes back through its selection makes the same text.
    const TextChange change = selectableChange(text, fast);
    EXPECT_FALSE(insideLineBreak(text, change.start) ||
                 insideLineBreak(text, change.start + change.oldLength));
    EXPECT_EQ(text.substr(0, static_cast<std::size_t>(change.start)) + std::string(change.bytes) +
                  text.substr(static_cast<std::size_t>(change.start + change.oldLength)),
              fast.text);

    if (replacement.find(term) != std::string::npos) {
        // The passes never end once there is an occurrence.
        EXPECT_TRUE(!slow.ended || slow.count == 0);
        const Passes once = onceEach(text, term, replacement, caret);
        EXPECT_EQ(fast.text, once.text);
        EXPECT_EQ(fast.count, once.count);
        EXPECT_EQ(fast.outcome, ReplaceResult::Outcome::Finished);
        ++counts.heldTerm;
        return;
    }
    // Wherever the passes end, and for as many passes as the bound allows where they don't,
    // the fast run is the same sequence of passes.
    EXPECT_EQ(fast.text, slow.text);
    EXPECT_EQ(fast.count, slow.count);
    EXPECT_EQ(fast.outcome, slow.ended ? ReplaceResult::Outcome::Finished
                                       : ReplaceResult::Outcome::StoppedAtBound);
    if (slow.count > 0) {
        EXPECT_EQ(fast.caret, slow.lastAt + std::ssize(replacement));
    }
    if (slow.ended) {
        ++counts.ended;
        if (slow.count > onceEach(text, term, replacement, caret).count)
            ++counts.formed;
    } else {
        ++counts.endless;
    }

    // A smaller bound stops the same sequence of passes early.
    if (slow.count > 1) {
        const std::int64_t bound =
            std::uniform_int_distribution<std::int64_t>(0, slow.count - 1)(rng);
        const Passes cut = slowPasses(text, term, replacement, caret, bound);
        const ReplaceResult stopped = replaceAll(text, term, replacement, caret, bound);
        EXPECT_EQ(stopped.text, cut.text);
        EXPECT_EQ(stopped.count, bound);
        EXPECT_EQ(stopped.outcome, ReplaceResult::Outcome::StoppedAtBound);
        expectOnlyChangedRegionDiffers(text, stopped);
    }
}

TEST(ReplaceAllDifferential, TwoLetters)
{
    std::mt19937 rng(20240605);
    Counts counts;
    for (int i = 0; i < 20000 && !HasFailure(); ++i)
        compareOne(rng, "ab", counts);
    // The run covers every kind of case, not only ordinary ones.
    EXPECT_GT(counts.formed, 500);
    EXPECT_GT(counts.endless, 20);
    EXPECT_GT(counts.heldTerm, 1000);
    RecordProperty("ended", counts.ended);
    RecordProperty("endless", counts.endless);
}

TEST(ReplaceAllDifferential, ThreeLetters)
{
    std::mt19937 rng(77);
    Counts counts;
    for (int i = 0; i < 20000 && !HasFailure(); ++i)
        compareOne(rng, "abc", counts);
    EXPECT_GT(counts.formed, 100);
    EXPECT_GT(counts.heldTerm, 500);
}

TEST(ReplaceAllDifferential, LineBreaks)
{
    std::mt19937 rng(13);
    Counts counts;
    for (int i = 0; i < 10000 && !HasFailure(); ++i)
        compareOne(rng, "a\r\n", counts);
    EXPECT_GT(counts.formed, 50);
}

TEST(ReplaceAllDifferential, LengthLimitStopsBeforeTheFirstPassBeyondIt)
{
    std::mt19937 rng(5);
    for (int i = 0; i < 5000 && !HasFailure(); ++i) {
        const std::string text = randomWord(rng, "ab", 0, 12);
        const std::string term = randomWord(rng, "ab", 1, 2);
        const std::string replacement = randomWord(rng, "ab", 2, 5);
        if (replacement.find(term) != std::string::npos)
            continue;
        const std::int64_t maxLength =
            std::ssize(text) + std::uniform_int_distribution<int>(0, 8)(rng);
        SCOPED_TRACE("text '" + text + "' term '" + term + "' replacement '" + replacement +
                     "' max " + std::to_string(maxLength));
        const ReplaceResult fast = replaceAll(text, term, replacement, 0, 300, maxLength);
        EXPECT_LE(std::ssize(fast.text), maxLength);
        // The passes up to the first one that would go beyond the limit.
        Passes slow;
        for (std::int64_t k = 0;; ++k) {
            Passes next = slowPasses(text, term, replacement, 0, k + 1);
            if (std::ssize(next.text) > maxLength || next.count == k || k == 300) {
                slow = slowPasses(text, term, replacement, 0, k);
                break;
            }
        }
        EXPECT_EQ(fast.text, slow.text);
        EXPECT_EQ(fast.count, slow.count);
    }
}

} // namespace
} // namespace scrivlet
