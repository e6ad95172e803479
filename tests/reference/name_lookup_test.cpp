#include "common/ascii.h"
#include "common/windows1252.h"
#include "common/word_counts.h"
#include "reference/name_lookup.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

using namespace scrivlet;

namespace {

// Random references and texts: the row a typed word proposes is the one a plain model picks by
// visiting every row. Names and words are editor bytes (Windows-1252); the rows hold UTF-8.
TEST(NameLookup, ChoosesTheRowAPlainModelChooses)
{
    std::mt19937 random(31);
    const std::vector<std::string> pieces = {"a", "A", "b", "B", "*", "\xAB"};
    const auto word = [&](int minLength, int maxLength) {
        std::string w;
        for (int n = std::uniform_int_distribution<int>(minLength, maxLength)(random); n > 0; --n)
            w += pieces[random() % pieces.size()];
        return w;
    };
    const std::string separators[] = {" ", "\t", "\r\n", "  ", "\n", "\r"};
    for (int trial = 0; trial < 400; ++trial) {
        std::vector<std::string> names;
        std::vector<std::vector<FieldValue>> rows;
        for (int r = std::uniform_int_distribution<int>(0, 30)(random); r > 0; --r) {
            names.push_back(word(1, 3));
            rows.push_back(
                {FieldValue(std::int64_t{r}), FieldValue(utf8FromWindows1252(names.back()))});
        }
        const EntryRecordset rs({"id", "name"}, std::move(rows), nullptr);

        std::vector<std::string> words;
        std::string text;
        for (int w = std::uniform_int_distribution<int>(0, 40)(random); w > 0; --w) {
            words.push_back(random() % 2 || names.empty() ? word(1, 3)
                                                          : names[random() % names.size()]);
            text += separators[random() % std::size(separators)] + words.back();
        }
        WordCounts counts;
        counts.addWords(text);
        const std::string atCaret =
            words.empty() || random() % 3 == 0 ? std::string() : words[random() % words.size()];

        for (int typed = 0; typed < 10; ++typed) {
            const std::string prefix = word(1, 2);
            std::optional<std::size_t> first;
            std::optional<std::size_t> best;
            std::ptrdiff_t bestScore = 0;
            for (std::size_t r = 0; r < names.size(); ++r) {
                if (!startsWithNoCase(names[r], prefix))
                    continue;
                if (!first)
                    first = r;
                const std::ptrdiff_t score = std::count(words.begin(), words.end(), names[r]) -
                                             (!atCaret.empty() && names[r] == atCaret ? 1 : 0);
                if (score > bestScore) {
                    best = r;
                    bestScore = score;
                }
            }
            ASSERT_EQ(lookUpName(rs, prefix), first) << trial;
            ASSERT_EQ(lookUpName(rs, prefix, {&counts, atCaret}), best ? best : first)
                << "trial " << trial << " word " << prefix;
        }
    }
}

} // namespace
