// The definition tracker against a fresh reading of the whole text, over random edits and
// background scans broken off anywhere.
#include "rpl/definition_tracker.h"
#include "rpl/definitions.h"

#include <gtest/gtest.h>
#include <random>
#include <set>
#include <string>

namespace scrivlet {
namespace {

TEST(RplDefinitionTracker, AgreesWithTheWholeTextReadAfresh)
{
    // Pieces that define names (# becomes a number of its own, so that a name lost is missed),
    // open and close comments, strings and assembler blocks, and break lines (a lone CR or LF
    // too), so that edits change the states of later lines.
    // clang-format off
    const std::vector<std::string> pieces = {
        "NULLNAME F# ", "xNAME B# ", "LABEL L# ", "{{ a# b }} ", "( ", ") ", "\"", ":: ",
        "; ", "F1 ", "CODE\r\n", "ENDCODE\r\n", "Lbl# GOSUB Lbl1\r\n", "*M# ", "\r\n",
        "\r", "\n", "* star\r\n", "DEFINE D# ", "\xAB \x8D x# \xAB ", "\xBB "};
    // clang-format on
    int unique = 0;
    std::mt19937 random(20261207);
    const auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n)(random);
    };
    std::string text;
    DefinitionTracker tracker;
    std::set<std::string> everDefined;
    for (int round = 0; round < 400; ++round) {
        const TextLines before(text);
        const std::size_t from = pick(text.size());
        const std::size_t to = std::min(text.size(), from + pick(12) * pick(1));
        std::string inserted;
        for (std::size_t n = pick(3); n > 0; --n) {
            std::string piece = pieces[pick(pieces.size() - 1)];
            if (const auto hash = piece.find('#'); hash != std::string::npos)
                piece.replace(hash, 1, std::to_string(++unique));
            inserted += piece;
        }
        // Every line from the one before the edit to the one after it, as the editor reports.
        const auto lineOf = [&](std::int64_t at) {
            return static_cast<std::int64_t>(before.pointOf(at).line);
        };
        const std::int64_t first = lineOf(static_cast<std::int64_t>(from) - 1);
        const std::int64_t last = lineOf(static_cast<std::int64_t>(to) + 1);
        text.replace(from, to - from, inserted);
        const TextLines after(text);
        tracker.linesChanged(first, last - first,
                             last - first + static_cast<std::int64_t>(after.lineCount()) -
                                 static_cast<std::int64_t>(before.lineCount()));
        tracker.scan(after, static_cast<std::int64_t>(pick(6) * pick(1))); // often none
        if (round % 5 != 4)
            continue;
        while (!tracker.done())
            tracker.scan(after, 3);
        DefinedNames fresh;
        for (const Definition& d : findDefinitions(after)) {
            fresh.add(d.name, d.kind);
            everDefined.insert(d.name);
        }
        for (const std::string& name : everDefined) {
            ASSERT_EQ(tracker.names().contains(name), fresh.contains(name)) << name << " in\n"
                                                                            << text;
            const auto found = tracker.find(name);
            const auto expected = findDefinition(after, name);
            ASSERT_EQ(found.has_value(), expected.has_value()) << name;
            if (found) {
                ASSERT_EQ(found->place, expected->place) << name;
            }
        }
    }
    EXPECT_GT(everDefined.size(), 5u);
}

} // namespace
} // namespace scrivlet
