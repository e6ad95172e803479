#include "reference/entry_list_model.h"
#include "reference/entry_source.h"
#include "support/entry_fixtures.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace scrivlet;
using namespace std::chrono_literals;
using scrivlet::fixtures::TempDir;

namespace {

constexpr auto CreateIfMissing = SqliteDatabase::OpenMode::CreateIfMissing;

// «SWAP» as an older importer stored it from a Windows-1252 table, and «DUP» in UTF-8.
const std::string kLegacySwap = "\xABSWAP\xBB";
const std::string kSwap = "\xC2\xABSWAP\xC2\xBB";
const std::string kDup = "\xC2\xAB"
                         "DUP\xC2\xBB";

// A small table as entries97.mdb, in a folder whose name no connection string could carry.
class EntrySourceTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        std::filesystem::create_directory(folder);
        fixtures::writeEntryDatabase(path, {{"DUP", "03188", "", 9},
                                            {"DROP", "03244", "", 5},
                                            {kDup, "00002", "", 0},
                                            {kLegacySwap, "03223", "", 7},
                                            {"dupdupx", "00001", "", 0}});
    }
    TempDir dir;
    const std::string folder = dir.file("a;Data Source=b\\c");
    const std::string path = folder + "/entries97.mdb";
};

std::vector<std::string> names(const EntrySource& source)
{
    std::vector<std::string> out;
    const auto& rs = source.recordset();
    for (std::size_t r = 0; r < rs.rowCount(); ++r)
        out.push_back(fieldText(rs.value(r, rs.columnIndex("name"))));
    return out;
}

bool fileIsOpen(const std::string& path)
{
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        if (std::filesystem::read_symlink(fd.path(), ec) == std::filesystem::weakly_canonical(path))
            return true;
    }
    return false;
}

} // namespace

TEST_F(EntrySourceTest, EachOrderRunsItsQueryAndNamesOutsideAsciiReadAsCharacters)
{
    EntrySource source;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    const RefreshResult startup = source.open(kDatabaseFileName);
    std::filesystem::current_path(previous);
    ASSERT_EQ(startup.status, RefreshResult::Status::Ok);
    EXPECT_EQ(startup.path, path);
    EXPECT_EQ(names(source), (std::vector<std::string>{"DUP", kSwap, "DROP", "dupdupx", kDup}));
    const std::pair<SortOrder, std::vector<std::string>> cases[] = {
        {SortOrder::Usage, {"DUP", kSwap, "DROP", "dupdupx", kDup}},
        {SortOrder::Abc, {"DROP", "DUP", "dupdupx", kSwap, kDup}},
        {SortOrder::Addr, {"dupdupx", kDup, "DUP", kSwap, "DROP"}},
        {SortOrder::V, {"DUP", "DROP", kDup, kSwap, "dupdupx"}} // len() counts characters
    };
    for (const auto& [order, expected] : cases) {
        ASSERT_EQ(source.sortBy(order, path).status, RefreshResult::Status::Ok);
        EXPECT_EQ(names(source), expected) << recordSource(order);
        EXPECT_EQ(source.recordset().currentRow(), 0u);
    }
}

TEST(EntrySource, BadDatabasesGiveOneMessageNamingTheFileChangeNothingAndKeepNothingOpen)
{
    TempDir dir;
    const auto schema = [](const char* sql) {
        return [sql](const std::string& p) { SqliteDatabase(p, CreateIfMissing).exec(sql); };
    };
    const std::function<void(const std::string&)> makers[] = {
        [](const std::string&) {},
        [](const std::string& p) { fixtures::writeFile(p, ""); },
        [](const std::string& p) {
            fixtures::writeFile(p, std::string("Standard Jet DB\0 no SQLite", 26));
        },
        [](const std::string& p) { std::filesystem::create_directory(p); },
        schema("CREATE TABLE other (x)"),
        schema("CREATE TABLE entries (id INTEGER PRIMARY KEY, name, addr, description)")};
    for (std::size_t n = 0; n < std::size(makers); ++n) {
        SCOPED_TRACE(n);
        const std::string path = dir.file("bad" + std::to_string(n) + ".mdb");
        makers[n](path);
        const auto before = dir.snapshot();
        EntrySource source;
        const RefreshResult result = source.open(path);
        EXPECT_EQ(result.status, RefreshResult::Status::Failed);
        EXPECT_TRUE(EntryListModel::refreshMessage(result).contains(QString::fromStdString(path)));
        EXPECT_EQ(source.recordset().rowCount(), 0u);
        EXPECT_FALSE(source.recordset().addUse().ok);
        EXPECT_EQ(dir.snapshot(), before) << "no file is made or changed";
        EXPECT_FALSE(fileIsOpen(path)) << "no connection is left behind";
    }
}

TEST_F(EntrySourceTest, AReadOnlyDatabaseListsEntriesAndRefusesCountsWithoutKeepingThem)
{
    chmod(path.c_str(), 0444);
    const auto before = dir.snapshot();
    fixtures::Unprivileged asUser;
    EntrySource source;
    EXPECT_EQ(source.open(path).status, RefreshResult::Status::ReadOnly);
    EXPECT_EQ(source.recordset().rowCount(), 5u);
    EXPECT_FALSE(source.recordset().addUse().ok);
    EXPECT_EQ(source.usesWaiting(), 0u);
    EXPECT_EQ(fieldInteger(source.recordset().field("usg")), 9) << "the count does not pretend";
    EXPECT_EQ(dir.snapshot(), before);
}

TEST_F(EntrySourceTest, CountsAndUpdatesReachTheFileAtOnceAndSortingKeepsTheConnection)
{
    EntrySource source;
    ASSERT_EQ(source.open(path).status, RefreshResult::Status::Ok);
    auto& rs = source.recordset();
    ASSERT_TRUE(rs.find("name LIKE 'DR%'"));
    EXPECT_EQ(rs.addUse().value, 6);
    EXPECT_EQ(fieldInteger(rs.field("usg")), 6);
    SqliteDatabase(path, SqliteDatabase::OpenMode::ExistingOnly)
        .exec("UPDATE entries SET usg = usg + 10 WHERE name = 'DROP'"); // another running copy
    EXPECT_EQ(rs.addUse().value, 17);
    ASSERT_TRUE(rs.update("usg", 42).ok);
    EXPECT_EQ(fixtures::usageInFile(path, "DROP"), 42);
    EXPECT_EQ(names(source)[2], "DROP") << "the list keeps its order";

    // A sort on the same file neither reconnects nor switches the journal back and forth.
    const auto files = [&] {
        return TempDir::readBytes(path) + "|" + TempDir::readBytes(path + "-wal");
    };
    const std::string before = files();
    for (const SortOrder order : {SortOrder::Abc, SortOrder::Usage, SortOrder::Addr, SortOrder::V})
        ASSERT_EQ(source.sortBy(order, path).status, RefreshResult::Status::Ok);
    EXPECT_EQ(files(), before);
}

TEST_F(EntrySourceTest, AUseCountedWhileAnotherProgramWritesIsKeptAndWrittenLater)
{
    auto source = std::make_unique<EntrySource>();
    source->setUseWait(200ms);
    EntryListModel model(*source);
    quint64 shown = 0;
    QObject::connect(&model, &EntryListModel::usesWaitingChanged, &model,
                     [&](quint64 n) { shown = n; });
    ASSERT_EQ(source->open(path).status, RefreshResult::Status::Ok);
    auto& rs = source->recordset();
    ASSERT_TRUE(rs.find("name LIKE 'DR%'"));
    const auto countWhileHeld = [&] {
        SqliteDatabase other(path, SqliteDatabase::OpenMode::ExistingOnly);
        other.exec("BEGIN IMMEDIATE");
        const WriteResult kept = rs.addUse();
        EXPECT_TRUE(kept.ok && kept.waiting) << kept.error;
        EXPECT_EQ(source->flushWaitingUses().uses, 1u);
        other.exec("COMMIT");
    };
    countWhileHeld();
    EXPECT_EQ(shown, 1u);
    EXPECT_EQ(fixtures::usageInFile(path, "DROP"), 5);
    const WriteResult counted = rs.addUse();
    EXPECT_TRUE(counted.ok && !counted.waiting);
    EXPECT_EQ(counted.value, 7) << "the use kept and this one";
    EXPECT_EQ(fixtures::usageInFile(path, "DROP"), 7);
    EXPECT_EQ(shown, 0u);

    countWhileHeld();
    source.reset(); // the source closes, as at exit
    EXPECT_EQ(fixtures::usageInFile(path, "DROP"), 8);
}

// A file put in the database's place takes the next count, also of another running copy; while
// none is usable, counts wait.
TEST_F(EntrySourceTest, AUseAfterTheFileWasReplacedIsCountedInTheFileNowAtThePath)
{
    EntrySource source, other;
    ASSERT_EQ(source.open(path).status, RefreshResult::Status::Ok);
    ASSERT_EQ(other.open(path).status, RefreshResult::Status::Ok);
    auto& rs = source.recordset();
    ASSERT_TRUE(rs.find("name LIKE 'DR%'") && other.recordset().find("name LIKE 'DR%'"));
    ASSERT_EQ(rs.addUse().value, 6);
    const std::string backup = dir.file("backup.mdb");
    fixtures::writeEntryDatabase(backup, {{"DUP", "03188", "", 1}, {"DROP", "03244", "", 1}});
    ASSERT_EQ(std::rename(backup.c_str(), path.c_str()), 0);
    EXPECT_EQ(rs.addUse().value, 2);
    EXPECT_EQ(fixtures::usageInFile(path, "DROP"), 2);
    EXPECT_EQ(other.recordset().addUse().value, 3);
    ASSERT_EQ(std::rename(path.c_str(), backup.c_str()), 0);
    EXPECT_TRUE(rs.addUse().waiting);
    fixtures::writeFile(path, "not a database");
    EXPECT_TRUE(rs.addUse().waiting && source.usesWaiting() == 2);
    ASSERT_EQ(std::rename(backup.c_str(), path.c_str()), 0);
    EXPECT_EQ(rs.addUse().value, 6);
}

TEST_F(EntrySourceTest, TheListModelMayGoBeforeTheSource)
{
    EntrySource source;
    ASSERT_EQ(source.open(path).status, RefreshResult::Status::Ok);
    {
        EntryListModel model(source);
        model.refill();
    }
    source.recordset().moveFirst();
    EXPECT_TRUE(source.recordset().find("name LIKE 'DR%'"));
}
