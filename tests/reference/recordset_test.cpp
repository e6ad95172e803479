#include "reference/entry_recordset.h"
#include "common/ascii.h"

#include <gtest/gtest.h>

#include <random>

using scrivlet::EntryRecordset;
using scrivlet::FieldValue;

namespace {

EntryRecordset recordsetOf(const std::vector<std::string>& names)
{
    std::vector<std::vector<FieldValue>> rows;
    std::int64_t id = 100;
    for (const auto& n : names)
        rows.push_back({FieldValue(id++), FieldValue(n), FieldValue(std::string("addr-") + n)});
    return EntryRecordset({"id", "name", "addr"}, std::move(rows), nullptr);
}

std::optional<std::size_t> findFromFirst(EntryRecordset& rs, const std::string& criteria)
{
    rs.moveFirst();
    rs.find(criteria);
    return rs.currentRow();
}

} // namespace

TEST(Recordset, FindTakesTheFirstMatchInQueryOrderFromTheFirstRow)
{
    auto rs = recordsetOf({"SWAP", "DUPDUP", "DROP", "DUP", "a*b", "a_c", "axc", "DU"});
    EXPECT_EQ(findFromFirst(rs, "name LIKE 'DU%'"), 1u);
    EXPECT_EQ(findFromFirst(rs, "name LIKE 'du%'"), 1u) << "letter case is ignored";
    EXPECT_EQ(findFromFirst(rs, "name LIKE 'DUP%'"), 1u);
    EXPECT_EQ(findFromFirst(rs, "name LIKE 'DR%'"), 2u);
    EXPECT_EQ(findFromFirst(rs, "name LIKE 'a*%'"), 4u) << "* is a plain character";
    EXPECT_EQ(findFromFirst(rs, "name LIKE 'a_%'"), 5u) << "_ is a plain character";
    EXPECT_EQ(findFromFirst(rs, "name LIKE 'DU'"), 7u) << "without % the whole name must match";
    EXPECT_EQ(findFromFirst(rs, "id=103"), 3u);
}

TEST(Recordset, AMissOrUnusableCriteriaLeavesEof)
{
    auto rs = recordsetOf({"SWAP", "DUP"});
    EXPECT_EQ(findFromFirst(rs, "name LIKE 'X%'"), std::nullopt);
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(findFromFirst(rs, "id="), std::nullopt);
    EXPECT_EQ(findFromFirst(rs, "nosuchfield LIKE 'D%'"), std::nullopt);
    EXPECT_EQ(findFromFirst(rs, "id=1"), std::nullopt);

    auto empty = recordsetOf({});
    EXPECT_TRUE(empty.eof());
    EXPECT_EQ(findFromFirst(empty, "name LIKE 'D%'"), std::nullopt);
}

TEST(Recordset, FindSearchesForwardFromTheCurrentRow)
{
    auto rs = recordsetOf({"DUP", "SWAP", "DUPDUP"});
    rs.moveTo(1);
    EXPECT_TRUE(rs.find("name LIKE 'DUP%'"));
    EXPECT_EQ(rs.currentRow(), 2u);
    rs.moveTo(1);
    EXPECT_FALSE(rs.find("id=100")) << "id 100 lies before the current row";
}

TEST(Recordset, IndexedPrefixSearchAgreesWithAScanOfEveryRow)
{
    std::mt19937 random(7);
    const std::string alphabet = "aAbB*_";
    auto word = [&](std::size_t maxLength) {
        std::string w;
        const std::size_t n = random() % (maxLength + 1);
        for (std::size_t i = 0; i < n; ++i)
            w += alphabet[random() % alphabet.size()];
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
                if (scrivlet::startsWithNoCase(names[r], prefix))
                    expected = r;
            }
            ASSERT_EQ(findFromFirst(rs, "name LIKE '" + prefix + "%'"), expected) << prefix;
        }
    }
}

TEST(Recordset, CurrentRowObserverSeesEveryMove)
{
    auto rs = recordsetOf({"DUP", "SWAP"});
    int moves = 0;
    rs.setCurrentRowObserver([&] { ++moves; });
    rs.moveFirst();
    rs.find("name LIKE 'S%'");
    rs.find("name LIKE 'Q%'");
    EXPECT_EQ(moves, 3);
}

TEST(Recordset, UpdateWithoutADatabaseIsReportedNotSwallowed)
{
    auto rs = recordsetOf({"DUP"});
    const auto result = rs.update("id", 5);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(scrivlet::fieldInteger(rs.field("id")), 100) << "the row keeps its value";
}
