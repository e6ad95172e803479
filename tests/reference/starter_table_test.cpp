#include "data/shipped_tables.h"
#include "reference/importer_io.h"
#include "reference/sqlite_database.h"
#include "reference/table_formats.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

using namespace scrivlet;

namespace {

constexpr std::size_t kDescribedAtLeast = 1000;

std::string dataFile(const char* name)
{
    return readInputFile(std::string(SCRIVLET_DATA_DIR) + "/" + name).value.value();
}

std::map<std::string, std::string> addresses(const ParsedTable& table)
{
    std::map<std::string, std::string> out;
    for (const auto& e : table.entries)
        out[e.name] = e.addr;
    return out;
}

} // namespace

TEST(ShippedTables, TheGeneratedTableHoldsExactlyTheEntriesOfTheListing)
{
    if (!std::filesystem::exists(SCRIVLET_ENTRY_LISTING))
        GTEST_SKIP() << "no listing at " << SCRIVLET_ENTRY_LISTING;
    const auto listing = addresses(parseLoaderListing(readInputFile(SCRIVLET_ENTRY_LISTING).value.value()));
    const ParsedTable table = parseEntryTable(dataFile("rom49.tbl"));
    EXPECT_TRUE(table.skipped.empty());
    const auto generated = addresses(table);
    for (const auto& [name, addr] : listing) {
        const auto found = generated.find(name);
        EXPECT_TRUE(found != generated.end() && found->second == addr) << name << " " << addr;
    }
    for (const auto& [name, addr] : generated)
        EXPECT_EQ(listing.count(name), 1u) << name << " is not in the listing";
    EXPECT_EQ(generated.size(), listing.size());
}

TEST(ShippedTables, DescriptionsAndPriorsFitTheGeneratedTable)
{
    const ParsedTable all = parseEntryTable(dataFile("rom49.tbl"));
    const ParsedTable described = parseEntryTable(dataFile("descriptions.tbl"));
    const ParsedPriors priors = parseUsagePriors(dataFile("usage_prior.tbl"));
    for (const auto& s : described.skipped)
        ADD_FAILURE() << "descriptions line " << s.line << ": " << s.reason;
    EXPECT_TRUE(priors.skipped.empty());
    for (const auto& problem : joinShippedTables(all, described, priors.priors).problems)
        ADD_FAILURE() << problem;
    const ParsedPairPriors pairs = parsePairPriors(dataFile("pair_prior.tbl"));
    EXPECT_TRUE(pairs.skipped.empty());
    EXPECT_FALSE(pairs.pairs.empty());
    for (const auto& problem : pairPriorProblems(all, pairs.pairs))
        ADD_FAILURE() << problem;
    for (const auto& e : described.entries) {
        const auto lineBreak = e.description.find("%0A");
        ASSERT_NE(lineBreak, std::string::npos) << e.name << " has no text after its diagram";
        const std::string diagram = e.description.substr(0, lineBreak);
        EXPECT_TRUE(diagram.size() >= 6 && diagram.rfind("( ", 0) == 0 &&
                    diagram.substr(diagram.size() - 2) == " )" &&
                    diagram.find("->") != std::string::npos)
            << e.name << ": " << diagram;
        EXPECT_GT(e.description.size(), lineBreak + 3 + 10) << e.name;
    }
    EXPECT_GE(described.entries.size(), kDescribedAtLeast);
}

TEST(ShippedTables, ReadingAndJoiningRejectWhatDoesNotFit)
{
    const ParsedTable all = parseEntryTable("# a comment\n#+\t03dbc\nDUP\t03188\n\n"
                                                   "#\tnot an entry\nbad line\nX\t12\n");
    ASSERT_EQ(all.entries.size(), 2u);
    EXPECT_EQ(all.entries[0].name, "#+");
    EXPECT_EQ(all.entries[0].addr, "03DBC");
    ASSERT_EQ(all.skipped.size(), 2u);
    EXPECT_EQ(all.skipped[0].line, 6u);
    EXPECT_EQ(all.skipped[1].line, 7u);

    const ParsedPriors priors = parseUsagePriors("# n\tc\tp\nDUP\t103\t7\n#+\t1\t10\nDUP\t1\t1\n");
    ASSERT_EQ(priors.priors.size(), 1u);
    EXPECT_EQ(priors.skipped.size(), 2u);

    const ParsedTable described =
        parseEntryTable("DUP\t03189\t( a -> a a )%0Ax\nSWAP\t03223\t( a b -> b a )%0Ay\n");
    const ShippedRows rows =
        joinShippedTables(all, described, {{"DUP", 103, 7, 1}, {"#+", 2, 2, 2}, {"ROT", 1, 1, 3}});
    ASSERT_EQ(rows.problems.size(), 3u); // DUP's address, SWAP and ROT unknown
    EXPECT_EQ(rows.usage, (std::vector<std::int64_t>{2, 7}));
    EXPECT_TRUE(rows.entries[1].description.empty());
}

TEST(ShippedTables, TheBuiltDatabaseHoldsEveryEntryWithItsDescriptionAndPrior)
{
    const ParsedTable all = parseEntryTable(dataFile("rom49.tbl"));
    const ShippedRows rows =
        joinShippedTables(all, parseEntryTable(dataFile("descriptions.tbl")),
                          parseUsagePriors(dataFile("usage_prior.tbl")).priors);
    SqliteDatabase db(SCRIVLET_BUILT_DATABASE, SqliteDatabase::OpenMode::ExistingOnly);
    auto stmt = db.prepare("SELECT name, addr, description, usg FROM entries ORDER BY id");
    std::size_t row = 0;
    while (stmt.step()) {
        ASSERT_LT(row, rows.entries.size());
        const auto& e = rows.entries[row];
        EXPECT_EQ(stmt.text(0), e.name);
        EXPECT_EQ(stmt.text(1), e.addr);
        EXPECT_EQ(stmt.isNull(2) ? std::string() : stmt.text(2), e.description) << e.name;
        EXPECT_EQ(stmt.integer(3), rows.usage[row++]) << e.name;
    }
    EXPECT_EQ(row, rows.entries.size());

    // The first day's order proposes the plain word before its rarer compounds.
    auto order = db.prepare("SELECT name FROM entries WHERE name IN ('DUP', 'DUP#0=IT') "
                            "ORDER BY usg DESC, name");
    ASSERT_TRUE(order.step());
    EXPECT_EQ(order.text(0), "DUP");
}
