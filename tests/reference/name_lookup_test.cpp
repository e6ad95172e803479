#include "common/ascii.h"
#include "common/windows1252.h"
#include "common/word_counts.h"
#include "reference/name_lookup.h"
#include "reference/word_pairs.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

using namespace scrivlet;

namespace {

// Random references and texts: the row a typed word proposes is the one a plain model picks by
// visiting every row. A word that is a name exactly, letter case too, proposes that name; else
// with the pairs of the text's neighbouring words, the names that followed the previous word more
// often first, then the text's counts. Names and words are editor bytes (Windows-1252); the rows
// hold UTF-8.
TEST(NameLookup, ChoosesTheRowAPlainModelChooses)
{
    std::mt19937 random(31);
    const auto pick = [&](std::size_t n) { return random() % n; };
    const std::string pieces[] = {"a", "A", "b", "B", "*", "\xAB"};
    const std::string separators[] = {" ", "\t", "\r\n", "  ", "\n", "\r"};
    const auto word = [&](std::size_t maxLength) {
        std::string w = pieces[pick(6)];
        for (std::size_t n = pick(maxLength); n > 0; --n)
            w += pieces[pick(6)];
        return w;
    };
    for (int trial = 0; trial < 400; ++trial) {
        std::vector<std::string> names(pick(30));
        std::vector<std::vector<FieldValue>> rows;
        for (auto& name : names) {
            name = word(3);
            rows.push_back({std::int64_t{trial}, utf8FromWindows1252(name)});
        }
        const EntryRecordset rs({"id", "name"}, std::move(rows), nullptr);
        std::vector<std::string> words(pick(40));
        std::string text;
        for (auto& w : words)
            text += separators[pick(6)] +
                    (w = pick(2) || names.empty() ? word(3) : names[pick(names.size())]);
        WordCounts counts;
        counts.addWords(text);
        const std::string atCaret = words.empty() || pick(3) == 0 ? "" : words[pick(words.size())];
        WordPairs pairs;
        for (std::size_t i = 1; i < words.size(); ++i)
            pairs.add(words[i - 1], words[i]);
        const std::string previous = words.empty() ? "" : words[pick(words.size())];

        for (int typed = 0; typed < 10; ++typed) {
            const std::string prefix = word(1);
            std::optional<std::size_t> exact, first, best, paired;
            std::ptrdiff_t bestScore = 0;
            std::pair<std::ptrdiff_t, std::ptrdiff_t> pairedScore{0, 0};
            for (std::size_t r = 0; r < names.size(); ++r) {
                if (names[r] == prefix) // a name typed whole, in its own case, is itself
                    exact = exact.value_or(r);
                if (!startsWithNoCase(names[r], prefix))
                    continue;
                first = first.value_or(r);
                const std::ptrdiff_t score = std::count(words.begin(), words.end(), names[r]) -
                                             (names[r] == atCaret ? 1 : 0);
                if (score > bestScore)
                    std::tie(best, bestScore) = std::pair(r, score);
                std::ptrdiff_t followed = 0;
                for (std::size_t i = 1; i < words.size(); ++i)
                    followed += words[i - 1] == previous && words[i] == names[r];
                if (std::pair(followed, score) > pairedScore)
                    std::tie(paired, pairedScore) = std::pair(r, std::pair(followed, score));
            }
            ASSERT_EQ(lookUpName(rs, prefix), exact ? exact : first) << trial;
            ASSERT_EQ(lookUpName(rs, prefix, {&counts, atCaret}), exact  ? exact
                                                                  : best ? best
                                                                         : first)
                << trial;
            ASSERT_EQ(lookUpName(rs, prefix, {&counts, atCaret}, {&pairs, previous}),
                      exact ? exact : paired ? paired : first)
                << trial;
        }
    }
}

} // namespace
