#include "reference/importer_io.h"
#include "reference/sqlite_database.h"
#include "reference/table_formats.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

using namespace scrivlet;

namespace {

constexpr std::size_t kStarterEntriesAtLeast = 400;

std::vector<std::filesystem::path> dataTables()
{
    std::vector<std::filesystem::path> tables;
    for (const auto& e : std::filesystem::directory_iterator(SCRIVLET_DATA_DIR)) {
        if (e.path().extension() == ".tbl")
            tables.push_back(e.path());
    }
    std::sort(tables.begin(), tables.end());
    return tables;
}

ParsedTable readStarter()
{
    return parseEntryTable(readInputFile(std::string(SCRIVLET_DATA_DIR) + "/starter.tbl").value.value());
}

} // namespace

TEST(StarterTable, EveryNameAndAddressIsInTheSupportedEntriesListing)
{
    if (!std::filesystem::exists(SCRIVLET_ENTRY_LISTING))
        GTEST_SKIP() << "no listing at " << SCRIVLET_ENTRY_LISTING;
    const ParsedTable listing = parseLoaderListing(readInputFile(SCRIVLET_ENTRY_LISTING).value.value());
    ASSERT_GT(listing.entries.size(), 7000u);
    std::map<std::string, std::string> addressOf;
    for (const auto& e : listing.entries)
        addressOf[e.name] = e.addr;

    const auto tables = dataTables();
    ASSERT_FALSE(tables.empty());
    for (const auto& path : tables) {
        SCOPED_TRACE(path.string());
        const ParsedTable table = parseEntryTable(readInputFile(path.string()).value.value());
        for (const auto& e : table.entries) {
            const auto found = addressOf.find(e.name);
            if (found == addressOf.end())
                ADD_FAILURE() << "line " << e.line << ": " << e.name << " is not in the listing";
            else
                EXPECT_EQ(e.addr, found->second) << "line " << e.line << ": " << e.name;
        }
    }
}

TEST(StarterTable, EveryLineIsAnEntryWithAStackDiagramAndAText)
{
    for (const auto& path : dataTables()) {
        SCOPED_TRACE(path.string());
        const ParsedTable table = parseEntryTable(readInputFile(path.string()).value.value());
        for (const auto& s : table.skipped)
            ADD_FAILURE() << "line " << s.line << ": " << s.reason;
        for (const auto& e : table.entries) {
            const auto lineBreak = e.description.find("%0A");
            ASSERT_NE(lineBreak, std::string::npos) << e.name << " has no text after its diagram";
            const std::string diagram = e.description.substr(0, lineBreak);
            EXPECT_TRUE(diagram.size() >= 6 && diagram.rfind("( ", 0) == 0 &&
                        diagram.substr(diagram.size() - 2) == " )" &&
                        diagram.find("->") != std::string::npos)
                << e.name << ": " << diagram;
            EXPECT_GT(e.description.size(), lineBreak + 3 + 10) << e.name;
        }
    }
    EXPECT_GE(readStarter().entries.size(), kStarterEntriesAtLeast);
}

TEST(StarterTable, TheBuiltDatabaseHoldsItWithNoUses)
{
    const ParsedTable starter = readStarter();
    SqliteDatabase db(SCRIVLET_BUILT_DATABASE, SqliteDatabase::OpenMode::ExistingOnly);
    auto stmt = db.prepare("SELECT name, addr, description, usg FROM entries ORDER BY id");
    std::size_t row = 0;
    while (stmt.step()) {
        ASSERT_LT(row, starter.entries.size());
        const auto& e = starter.entries[row++];
        EXPECT_EQ(stmt.text(0), e.name);
        EXPECT_EQ(stmt.text(1), e.addr);
        EXPECT_EQ(stmt.text(2), e.description);
        EXPECT_EQ(stmt.integer(3), 0);
    }
    EXPECT_EQ(row, starter.entries.size());
}
