#include "common/windows1252.h"
#include "reference/entry_source.h"
#include "reference/importer.h"
#include "reference/reference_command.h"
#include "reference/usage_learner.h"
#include "support/entry_fixtures.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace scrivlet;
using scrivlet::fixtures::TempDir;
using scrivlet::fixtures::writeFile;

namespace {

// Every row of the file in id order, as name|addr|description|usg.
std::vector<std::string> rowsInFile(const std::string& path)
{
    SqliteDatabase db(path, SqliteDatabase::OpenMode::ExistingOnly);
    auto stmt = db.prepare("SELECT name || '|' || addr || '|' || coalesce(description, '<null>') "
                           "|| '|' || usg FROM entries ORDER BY id");
    std::vector<std::string> rows;
    while (stmt.step())
        rows.push_back(stmt.text(0));
    return rows;
}

// A user's database after some work: usage counts, own descriptions, a name held twice.
std::string userDatabase(const TempDir& dir)
{
    const std::string path = dir.file("entries97.mdb");
    fixtures::writeEntryDatabase(path, {{"DUP", "03188", "my own words on DUP", 9},
                                        {"DUP", "00001", "second DUP row", 2},
                                        {"SWAP", "00000", "( 1 2 -> 2 1 )", 7},
                                        {"casedrop", "3495D", "", 3},
                                        {"MINE", "12345", "not in any table", 4}});
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    std::filesystem::permissions(path, std::filesystem::perms::all);
    return path;
}

} // namespace

TEST(Importer, AddsAndUpdatesByExactNameAndKeepsWhatTheTablesDoNotGive)
{
    TempDir dir;
    const std::string db = userDatabase(dir);
    const std::vector<std::string> files = {dir.file("rom.lr"), dir.file("mine.tbl"),
                                            dir.file("x.a")};
    writeFile(files[0],
              "\fSaturn Cross Reference Listing\r\nDUP = 03188 -\r\nSWAP = 03223 -\r\n"
              "caseDROP = 349B1 -\r\ncasedrop = 3495D -\r\n/SLOAD: End of Saturn Loader\r\n");
    writeFile(files[1],
              "DROP\t03244\t( ob -> )%0ARemoves level 1.\r\nSWAP\t03223\t( ob1 ob2 -> ob2 ob1 )\r\n"
              "DUP\t03188\r\nNEW\t11111\tdescribed here\r\n");
    writeFile(files[2], "=NEW EQU #22222\n");

    const auto summary = importTableFiles(files, db);
    ASSERT_TRUE(summary.ok()) << summary.error;
    EXPECT_EQ(std::tie(summary.value->added, summary.value->updated, summary.value->unchanged,
                       summary.value->givenAgain),
              std::make_tuple(3u, 2u, 1u, 3u));
    const std::vector<std::string> expected = {"DUP|03188|my own words on DUP|9",
                                               "DUP|03188|second DUP row|2",
                                               "SWAP|03223|( ob1 ob2 -> ob2 ob1 )|7",
                                               "casedrop|3495D||3",
                                               "MINE|12345|not in any table|4",
                                               "caseDROP|349B1|<null>|0",
                                               "DROP|03244|( ob -> )%0ARemoves level 1.|0",
                                               "NEW|22222|described here|0"};
    EXPECT_EQ(rowsInFile(db), expected);

    const std::string before = TempDir::readBytes(db);
    EXPECT_EQ(importTableFiles(files, db).value->unchanged, 6u);
    EXPECT_EQ(TempDir::readBytes(db), before) << "importing the same again changes nothing";

    // An entries database sets addresses (NEW's) but fills only empty descriptions (casedrop's):
    // NEW keeps the table's. OLD, with a 48G address only, is not imported.
    writeFile(dir.file("entries.db"),
              "SWAP      ( ob1 ob2 \\-> ob2 ob1 )\r\n.  49G: 03223\r\n"
              "casedrop  ( ob1 ob2 \\-> ) \\\r\n          ( ob ob \\-> ob )\r\n"
              ".  49G: 3495D\r\n;" +
                  std::string(79, ' ') +
                  "Drops when equal.\r\nNEW ( \\-> )\r\n"
                  ".  49G: 44444\r\nOLD\r\n.  48G: 55555\r\n" +
                  std::string(6, ' ') + "\n stray\n stray\n stray\n stray\n stray\n stray\n");
    const auto second = importTableFiles({dir.file("entries.db")}, db);
    ASSERT_TRUE(second.ok()) << second.error;
    EXPECT_EQ(std::tie(second.value->added, second.value->updated), std::make_tuple(0u, 2u));
    const std::vector<std::string> rows = rowsInFile(db);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[2], expected[2]);
    EXPECT_EQ(rows[3], "casedrop|3495D|( ob1 ob2 -> )%0A( ob ob -> ob )%0ADrops when equal.|3");
    EXPECT_EQ(rows[7], "NEW|44444|described here|0");
    EXPECT_NE(describeImport(*second.value).find("3 entries, 6 lines skipped"), std::string::npos);
}

TEST(Importer, AFailedImportLeavesEveryFileByteIdenticalAndNamesTheFile)
{
    TempDir dir;
    const std::string db = userDatabase(dir);
    const std::string good = dir.file("good.tbl");
    writeFile(good, "SWAP\t03223\tnew words\nFIRST\t11111\nBOOM\t22222\n");
    writeFile(dir.file("picture.tbl"), std::string("GROB\0\x01\t", 7));
    writeFile(dir.file("notes.txt"), "My notes.\nNo table here.\n");
    writeFile(dir.file("old.db"), "OLD48  ( \\-> )\n.  48G: 12345\n");
    std::filesystem::create_directory(dir.file("f.tbl"));
    writeFile(dir.file("l.tbl"), "X\t11111\n");
    std::filesystem::permissions(dir.file("l.tbl"), std::filesystem::perms::none);
    writeFile(dir.file("text.mdb"), "This is no database, just some text long enough to be read.");
    SqliteDatabase(dir.file("nodesc.mdb"), SqliteDatabase::OpenMode::CreateIfMissing)
        .exec("CREATE TABLE entries (id INTEGER PRIMARY KEY, name TEXT, addr TEXT, usg)");
    fixtures::writeEntryDatabase(dir.file("trigger.mdb"), {});
    std::filesystem::permissions(dir.file("trigger.mdb"), std::filesystem::perms::all);
    SqliteDatabase(dir.file("trigger.mdb"), SqliteDatabase::OpenMode::ExistingOnly)
        .exec("CREATE TRIGGER t BEFORE INSERT ON entries WHEN NEW.name = 'BOOM' BEGIN "
              "SELECT RAISE(ABORT, 'refused'); END");
    const std::tuple<std::string, std::string, const char*> cases[] = {
        // a second table that stops the import, or a database that cannot take it
        {dir.file("picture.tbl"), db, "not a text file"},
        {dir.file("notes.txt"), db, "no entries found"},
        {dir.file("old.db"), db, "no entries found (read as entries database)"},
        {dir.file("f.tbl"), db, "folder"},
        {dir.file("missing.tbl"), db, "No such file"},
        {dir.file("l.tbl"), db, "ermission"},
        {"", dir.file("text.mdb"), "not an entry database"},
        {"", dir.file("nodesc.mdb"), "no column description"},
        {"", dir.file("f.tbl"), "is a folder"},
        {"", dir.file("trigger.mdb"), "refused"}};
    fixtures::Unprivileged asUser;
    const auto before = dir.snapshot();
    for (const auto& [table, database, message] : cases) {
        const std::string bad = table.empty() ? database : table;
        SCOPED_TRACE(bad);
        const auto result = importTableFiles(
            table.empty() ? std::vector{good} : std::vector{good, table}, database);
        EXPECT_FALSE(result.ok());
        EXPECT_NE(result.error.find(bad), std::string::npos) << result.error;
        EXPECT_NE(result.error.find(message), std::string::npos) << result.error;
        EXPECT_TRUE(table.empty() || !importTableFiles({table}, dir.file("new.mdb")).ok());
        EXPECT_EQ(dir.snapshot(), before) << "no file is changed, no new database left behind";
    }
}

TEST(Importer, NamesOutsideAsciiInEitherEncodingAreShownLookedUpInsertedAndCounted)
{
    TempDir dir;
    const std::string kSwap = "\xC2\xABSWAP\xC2\xBB";
    const std::string kDup = "\xC2\xAB"
                             "DUP\xC2\xBB";
    writeFile(dir.file("cp1252.tbl"), "\xABSWAP\xBB\t03223\tswap, in guillemets\n");
    const std::string kAeSwap = "\xC3\x84SWAP", kAeDup = "\xC3\x84"
                                                         "DUP";
    writeFile(dir.file("utf8.tbl"), "\xEF\xBB\xBF" + kDup + "\t03188\n" + kAeSwap + "\t03224\n" +
                                        kAeDup + "\t03189\n"); // with a byte order mark
    const std::string db = dir.file("entries97.mdb");
    ASSERT_TRUE(importTableFiles({dir.file("cp1252.tbl"), dir.file("utf8.tbl")}, db).ok());

    EntrySource source;
    ASSERT_EQ(source.open(db).status, RefreshResult::Status::Ok);
    auto& rs = source.recordset();
    EXPECT_EQ(fieldText(rs.value(1, rs.columnIndex("name"))), kSwap);
    // The editor holds Windows-1252 bytes: the typed word is looked up, the name inserted back.
    ASSERT_TRUE(rs.find("name LIKE '" + utf8FromWindows1252("\xABsw") + "%'"));
    EXPECT_EQ(windows1252FromUtf8(fieldText(rs.field("name"))), "\xABSWAP\xBB");
    EXPECT_EQ(rs.addUse().value, 1);

    // Sources in either encoding count names with letters outside ASCII; « and » are the
    // language's brackets wherever they stand, so «SWAP» in a source is SWAP in a program.
    writeFile(dir.file("src/a.s"), "\xC4SWAP \xABSWAP\xBB \xAB\xC4"
                                   "DUP\xBB");
    writeFile(dir.file("src/b.s"), kAeSwap + " \xC3\xAB" + kAeSwap + " " + kSwap + "\n");
    ASSERT_TRUE(learnUsage({dir.file("src")}, db).ok());
    EXPECT_EQ(fixtures::usageInFile(db, kAeSwap), 2) << "ë is C3 AB in UTF-8: no bracket";
    EXPECT_EQ(fixtures::usageInFile(db, kAeDup), 1);
    EXPECT_EQ(fixtures::usageInFile(db, kSwap), 1);
}

TEST(ReferenceCommand, ArgumentsAndExitStatus)
{
    TempDir dir;
    const std::string tbl = dir.file("t.tbl");
    writeFile(tbl, "DUP\t03188\n");
    const std::string db = dir.file("cmd.mdb");
    const std::tuple<std::vector<std::string>, std::optional<int>, std::string> cases[] = {
        {{"source.s"}, std::nullopt, ""},
        {{"--import", tbl, "--learn", tbl}, 2, "one of --import, --learn and"},
        {{"--import", dir.file("none.tbl"), "--database", db}, 1, "none.tbl: No such file"},
        {{"--learn", tbl, "--database", db}, 1, "Nothing was changed in " + db},
        {{"--import", "--database=" + db, "--", tbl}, 0, ""}};
    for (const auto& [arguments, status, inErr] : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(runReferenceCommand(arguments, out, err), status) << err.str();
        EXPECT_NE(err.str().find(inErr), std::string::npos) << err.str();
        EXPECT_TRUE(status != 0 || out.str().find("entry table, 1 entry") != std::string::npos);
    }
    EXPECT_EQ(fixtures::usageInFile(db, "DUP"), 0);
}

namespace {

// Ends the process on the spot, as a crash or a kill would, from inside an SQL statement.
void dieNow(sqlite3_context*, int, sqlite3_value**)
{
    _exit(3);
}

int registerDie(sqlite3* db, char**, const sqlite3_api_routines*)
{
    return sqlite3_create_function_v2(db, "die_now", 0, SQLITE_UTF8, nullptr, dieNow, nullptr,
                                      nullptr, nullptr);
}

} // namespace

TEST(Importer, AnImportKilledMidwayLeavesTheDatabaseFileByteIdentical)
{
    TempDir dir;
    const std::string db = userDatabase(dir);
    SqliteDatabase(db, SqliteDatabase::OpenMode::ExistingOnly)
        .exec("CREATE TRIGGER crash AFTER INSERT ON entries WHEN NEW.name = 'CRASH' "
              "BEGIN SELECT die_now(); END");
    // Far more changed pages than SQLite keeps in its page cache by default, all before the
    // row that ends the process.
    std::string table = "SWAP\t03223\tnew words\n";
    const std::string description(300, 'd');
    for (int i = 0; i < 15000; ++i)
        table +=
            "E" + std::to_string(i) + "\t" + std::to_string(10000 + i) + "\t" + description + "\n";
    writeFile(dir.file("big.tbl"), table + "CRASH\t99999\n");
    const std::string before = TempDir::readBytes(db);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(registerDie));
        importTableFiles({dir.file("big.tbl")}, db);
        _exit(0); // the import should never get here
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 3) << "the import did not reach the row that ends it";
    EXPECT_EQ(TempDir::readBytes(db), before);
    EXPECT_EQ(rowsInFile(db)[2], "SWAP|00000|( 1 2 -> 2 1 )|7");
    EXPECT_EQ(TempDir::readBytes(db), before) << "opening it again finds what was there";
}
