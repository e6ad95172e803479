#include "reference/entry_source.h"
#include "support/entry_fixtures.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace scrivlet;
using scrivlet::fixtures::TempDir;

namespace {

std::vector<std::string> names(const EntrySource& source)
{
    std::vector<std::string> out;
    const auto& rs = source.recordset();
    for (std::size_t r = 0; r < rs.rowCount(); ++r)
        out.push_back(fieldText(rs.value(r, rs.columnIndex("name"))));
    return out;
}

std::unique_ptr<EntrySource> openedAt(const std::string& path, const std::string& query)
{
    auto source = std::make_unique<EntrySource>();
    source->setConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path +
                                ";Persist Security Info=False");
    source->setRecordSource(query);
    return source;
}

} // namespace

TEST(EntrySource, DataSourcePathTurnsBackslashesIntoSeparators)
{
    EXPECT_EQ(dataSourcePath(kStartupConnectionString), "entries97.mdb");
    EXPECT_EQ(dataSourcePath("Provider=x;Data Source=/home/u\\entries97.mdb;Persist Security Info=False"),
              "/home/u/entries97.mdb");
    // A start directory at the root already ends in a separator.
    EXPECT_EQ(dataSourcePath("Data Source=/\\entries97.mdb"), "//entries97.mdb");
}

TEST(EntrySource, EachSortOrderOnAKnownTable)
{
    TempDir dir;
    const std::string path = dir.file("entries97.mdb");
    fixtures::writeEntryDatabase(path, fixtures::sampleEntries());

    struct Case {
        const char* query;
        std::vector<std::string> order;
    };
    const Case cases[] = {
        {kStartupRecordSource, {"DUP", "SWAP", "DROP", "DUPDUP", "2DROP", "a*b", "a_c", "dupx"}},
        {"SELECT * FROM entries ORDER BY usg DESC,name",
         {"DUP", "SWAP", "DROP", "DUPDUP", "2DROP", "a*b", "a_c", "dupx"}},
        {"SELECT * FROM entries ORDER BY name",
         {"2DROP", "a*b", "a_c", "DROP", "DUP", "DUPDUP", "dupx", "SWAP"}},
        {"SELECT * FROM entries ORDER BY addr",
         {"a*b", "a_c", "dupx", "DUP", "SWAP", "DROP", "2DROP", "DUPDUP"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        auto source = openedAt(path, c.query);
        ASSERT_EQ(source->refresh().status, RefreshResult::Status::Ok);
        EXPECT_EQ(names(*source), c.order);
        EXPECT_EQ(source->recordset().currentRow(), 0u) << "the first row is current";
    }

    auto byLength = openedAt(path, "SELECT * FROM entries ORDER BY len(name)");
    ASSERT_EQ(byLength->refresh().status, RefreshResult::Status::Ok);
    const auto ordered = names(*byLength);
    for (std::size_t i = 1; i < ordered.size(); ++i)
        EXPECT_LE(ordered[i - 1].size(), ordered[i].size()) << ordered[i - 1] << " before " << ordered[i];
}

TEST(EntrySource, CountingAUseReachesTheFileAtOnce)
{
    TempDir dir;
    const std::string path = dir.file("entries97.mdb");
    fixtures::writeEntryDatabase(path, fixtures::sampleEntries());
    auto source = openedAt(path, kStartupRecordSource);
    ASSERT_EQ(source->refresh().status, RefreshResult::Status::Ok);

    auto& rs = source->recordset();
    rs.moveFirst();
    ASSERT_TRUE(rs.find("name LIKE 'SWAP%'"));
    ASSERT_TRUE(rs.addUse().ok);
    EXPECT_EQ(fieldInteger(rs.field("usg")), 8);
    EXPECT_EQ(fixtures::usageInFile(path, "SWAP"), 8);

    // Another copy of the program counting the same entry in between is not lost.
    {
        SqliteDatabase other(path, SqliteDatabase::OpenMode::ExistingOnly);
        other.exec("UPDATE entries SET usg = usg + 10 WHERE name = 'SWAP'");
    }
    const auto second = rs.addUse();
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(second.value, 19);
    EXPECT_EQ(fixtures::usageInFile(path, "SWAP"), 19);

    ASSERT_TRUE(rs.update("usg", 42).ok);
    EXPECT_EQ(fixtures::usageInFile(path, "SWAP"), 42);
    EXPECT_EQ(names(*source)[0], "DUP") << "the list keeps its order";
}

TEST(EntrySource, AnEmptyTableGivesNoRowsAndNoCurrentRow)
{
    TempDir dir;
    const std::string path = dir.file("entries97.mdb");
    fixtures::writeEntryDatabase(path, {});
    auto source = openedAt(path, kStartupRecordSource);
    EXPECT_EQ(source->refresh().status, RefreshResult::Status::Ok);
    EXPECT_EQ(source->recordset().rowCount(), 0u);
    EXPECT_TRUE(source->recordset().eof());
}

TEST(EntrySource, BadDatabasesGiveAMessageNamingTheFileAndChangeNothing)
{
    TempDir dir;
    struct Case {
        const char* label;
        std::function<void(const std::string&)> make;
    };
    const Case cases[] = {
        {"missing", [](const std::string&) {}},
        {"zero bytes", [](const std::string& p) { std::ofstream(p, std::ios::binary); }},
        {"not sqlite", [](const std::string& p) {
             std::ofstream(p, std::ios::binary) << "Standard Jet DB\0 this is no SQLite file";
         }},
        {"a folder", [](const std::string& p) { std::filesystem::create_directory(p); }},
        {"no table", [](const std::string& p) {
             SqliteDatabase db(p, SqliteDatabase::OpenMode::CreateIfMissing);
             db.exec("CREATE TABLE other (x)");
         }},
        {"no usg column", [](const std::string& p) {
             SqliteDatabase db(p, SqliteDatabase::OpenMode::CreateIfMissing);
             db.exec("CREATE TABLE entries (id INTEGER PRIMARY KEY, name, addr, description)");
         }},
        {"no description column", [](const std::string& p) {
             SqliteDatabase db(p, SqliteDatabase::OpenMode::CreateIfMissing);
             db.exec("CREATE TABLE entries (id INTEGER PRIMARY KEY, name, addr, usg)");
         }},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string path = dir.file("bad" + std::to_string(n++) + ".mdb");
        c.make(path);
        const auto before = dir.snapshot();

        auto source = openedAt(path, kStartupRecordSource);
        const RefreshResult result = source->refresh();
        EXPECT_EQ(result.status, RefreshResult::Status::Failed);
        EXPECT_NE(result.message.find(path), std::string::npos) << result.message;
        EXPECT_EQ(source->recordset().rowCount(), 0u);
        EXPECT_TRUE(source->recordset().eof());
        EXPECT_FALSE(source->recordset().addUse().ok);
        EXPECT_EQ(dir.snapshot(), before) << "no file is made or changed";
    }
}

TEST(EntrySource, AReadOnlyDatabaseListsEntriesAndRefusesCounts)
{
    TempDir dir;
    const std::string path = dir.file("entries97.mdb");
    fixtures::writeEntryDatabase(path, fixtures::sampleEntries());
    chmod(path.c_str(), 0444);
    const auto before = dir.snapshot();

    fixtures::Unprivileged asUser;
    auto source = openedAt(path, kStartupRecordSource);
    const auto result = source->refresh();
    EXPECT_EQ(result.status, RefreshResult::Status::ReadOnly);
    EXPECT_NE(result.message.find(path), std::string::npos);
    EXPECT_EQ(source->recordset().rowCount(), 8u);
    const auto write = source->recordset().addUse();
    EXPECT_FALSE(write.ok);
    EXPECT_EQ(fieldInteger(source->recordset().field("usg")), 9) << "the count does not pretend";
    EXPECT_EQ(dir.snapshot(), before);
}
