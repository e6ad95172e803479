#include "common/ascii.h"
#include "reference/entry_recordset.h"

#include <gtest/gtest.h>
#include <random>

using namespace scrivlet;

namespace {

EntryRecordset recordsetOf(const std::vector<std::string>& names)
{
    std::vector<std::vector<FieldValue>> rows;
    std::int64_t id = 100;
    for (const auto& n : names)
        rows.push_back({FieldValue(id++), FieldValue(n)});
    return EntryRecordset({"id", "name"}, std::move(rows), nullptr);
}

std::optional<std::size_t> findFromFirst(EntryRecordset& rs, const std::string& criteria)
{
    rs.moveFirst();
    rs.find(criteria);
    return rs.currentRow();
}

} // namespace

TEST(Recordset, FindTakesTheFirstMatchForwardFromTheCurrentRow)
{
    auto rs = recordsetOf({"SWAP", "DUPDUP", "DROP", "DUP", "a*b", "a_c", "DU"});
    // Criteria are parsed, never handed to SQL: what does not parse finds nothing.
    constexpr std::nullopt_t none = std::nullopt;
    // clang-format off
    const std::pair<const char*, std::optional<std::size_t>> cases[] = {
        {"name LIKE 'du%'", 1}, {"  name  like  'DR%' ", 2}, {"name LIKE 'a_%'", 5},
        {"name LIKE 'DU'", 6}, {"id = 103", 3}, {"name LIKE 'X%'", none}, {"id=", none},
        {"id=103;DROP TABLE entries", none}, {"name LIKE 'a'b%'", none},
        {"name LIKE 'a%b%'", none}, {"nosuch LIKE 'D%'", none}};
    // clang-format on
    for (const auto& [criteria, row] : cases)
        EXPECT_EQ(findFromFirst(rs, criteria), row) << criteria;
    rs.moveTo(2);
    EXPECT_TRUE(rs.find("name LIKE 'DUP%'"));
    EXPECT_EQ(rs.currentRow(), 3u);
    EXPECT_FALSE(rs.find("id=100")) << "id 100 lies before the current row";
}

TEST(Recordset, IndexedPrefixSearchAgreesWithAScanOfEveryRow)
{
    std::mt19937 random(7);
    // Letters of both cases, pattern characters and the bytes of "«" (C2 AB) and "ë" (C3 AB).
    const std::vector<std::string> pieces = {"a", "A", "b", "B", "*", "_", "\xC2\xAB", "\xC3\xAB"};
    auto word = [&](std::size_t maxLength) {
        std::string w;
        for (std::size_t n = random() % (maxLength + 1); n > 0; --n)
            w += pieces[random() % pieces.size()];
        return w;
    };
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> names(random() % 40);
        for (auto& n : names)
            n = word(4);
        auto rs = recordsetOf(names);
        for (int q = 0; q < 20; ++q) {
            const std::string prefix = word(3);
            std::optional<std::size_t> expected;
            for (std::size_t r = 0; r < names.size() && !expected; ++r) {
                if (startsWithNoCase(names[r], prefix))
                    expected = r;
            }
            ASSERT_EQ(findFromFirst(rs, "name LIKE '" + prefix + "%'"), expected) << prefix;
        }
    }
}
