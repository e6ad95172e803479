#include "reference/importer.h"
#include "reference/importer_io.h"
#include "reference/reference_command.h"
#include "reference/sqlite_database.h"
#include "support/entry_fixtures.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sqlite3.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace scrivlet;
using scrivlet::fixtures::TempDir;

namespace {

struct Row {
    std::string addr;
    std::string description; // "<null>" for NULL
    std::int64_t usg = 0;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Row& r)
{
    return os << "{" << r.addr << ", " << r.description << ", " << r.usg << "}";
}

// Every row of the file by name; a name held by several rows keeps them apart by a suffix.
std::map<std::string, Row> rowsInFile(const std::string& path)
{
    SqliteDatabase db(path, SqliteDatabase::OpenMode::ExistingOnly);
    auto stmt = db.prepare("SELECT name, addr, description, usg FROM entries ORDER BY id");
    std::map<std::string, Row> rows;
    while (stmt.step()) {
        std::string name = stmt.text(0);
        while (rows.count(name))
            name += "'";
        rows[name] = {stmt.text(1), stmt.isNull(2) ? "<null>" : stmt.text(2), stmt.integer(3)};
    }
    return rows;
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string listing(const std::vector<std::pair<std::string, std::string>>& entries,
                    const std::string& lineEnd)
{
    std::string out = "Saturn Loader, Ver. 3.0.8" + lineEnd + lineEnd +
                      "\fSaturn Cross Reference Listing" + lineEnd + lineEnd;
    for (const auto& [name, addr] : entries) {
        std::string line = name;
        line.resize(33, ' ');
        out += line + "= " + addr + " -" + lineEnd;
    }
    return out + lineEnd + "/SLOAD:  End of Saturn Loader Execution" + lineEnd;
}

// The sample reference with usage counts, as a user's database looks after some work.
std::string userDatabase(const TempDir& dir)
{
    const std::string path = dir.file("entries97.mdb");
    fixtures::writeEntryDatabase(path, {
                                           {"DUP", "03188", "my own words on DUP", 9},
                                           {"SWAP", "00000", "( 1 2 -> 2 1 )", 7},
                                           {"casedrop", "3495D", "", 3},
                                           {"MINE", "12345", "not in any table", 4},
                                       });
    return path;
}

} // namespace

TEST(Importer, CreatesAMissingDatabaseFromAListing)
{
    TempDir dir;
    const std::string table = dir.file("rom.lr");
    writeFile(table,
              listing({{"DUP", "03188"}, {"^#3+ROLL", "2D6006"}, {"~xZVOL", "020AB"}}, "\r\n"));
    const std::string db = dir.file("new.mdb");

    const ImportSummary summary = importTableFiles({table}, db);
    EXPECT_TRUE(summary.created);
    EXPECT_EQ(summary.added, 3u);
    const std::map<std::string, Row> expected = {
        {"DUP", {"03188", "<null>", 0}},
        {"^#3+ROLL", {"2D6006", "<null>", 0}},
        {"~xZVOL", {"020AB", "<null>", 0}},
    };
    EXPECT_EQ(rowsInFile(db), expected);
}

TEST(Importer, KeepsUsageCountsAndDescriptionsTheTablesDoNotReplace)
{
    TempDir dir;
    const std::string db = userDatabase(dir);
    const std::string lr = dir.file("rom.lr");
    writeFile(
        lr,
        listing({{"DUP", "03188"}, {"SWAP", "03223"}, {"caseDROP", "349B1"}, {"casedrop", "3495D"}},
                "\n"));
    const std::string tbl = dir.file("mine.tbl");
    writeFile(tbl, "DROP\t03244\t( ob -> )%0ARemoves level 1.\r\n"
                   "SWAP\t03223\t( ob1 ob2 -> ob2 ob1 )\r\n"
                   "DUP\t03188\r\n");

    const ImportSummary summary = importTableFiles({lr, tbl}, db);
    EXPECT_FALSE(summary.created);
    EXPECT_EQ(summary.added, 2u) << "caseDROP and DROP";
    EXPECT_EQ(summary.updated, 1u) << "SWAP's address and description";
    EXPECT_EQ(summary.unchanged, 2u) << "DUP and casedrop";
    EXPECT_EQ(summary.givenAgain, 2u) << "DUP and SWAP are in both files";
    const std::map<std::string, Row> expected = {
        {"DUP", {"03188", "my own words on DUP", 9}},
        {"SWAP", {"03223", "( ob1 ob2 -> ob2 ob1 )", 7}},
        {"casedrop", {"3495D", "", 3}},
        {"MINE", {"12345", "not in any table", 4}},
        {"caseDROP", {"349B1", "<null>", 0}},
        {"DROP", {"03244", "( ob -> )%0ARemoves level 1.", 0}},
    };
    EXPECT_EQ(rowsInFile(db), expected);

    // Importing the same again changes nothing at all.
    const std::string before = TempDir::readBytes(db);
    const ImportSummary again = importTableFiles({lr, tbl}, db);
    EXPECT_EQ(again.added + again.updated, 0u);
    EXPECT_EQ(TempDir::readBytes(db), before);
}

TEST(Importer, ALaterFileGivesTheAddressAnEarlierOneTheDescription)
{
    TempDir dir;
    const std::string tbl = dir.file("a.tbl");
    writeFile(tbl, "NEW\t11111\tdescribed here\n");
    const std::string eq = dir.file("b.a");
    writeFile(eq, "=NEW EQU #22222\n");
    const std::string db = dir.file("x.mdb");
    importTableFiles({tbl, eq}, db);
    EXPECT_EQ(rowsInFile(db).at("NEW"), (Row{"22222", "described here", 0}));
}

TEST(Importer, EveryRowOfANameGetsTheNewAddress)
{
    TempDir dir;
    const std::string db = dir.file("entries97.mdb");
    fixtures::writeEntryDatabase(db, {{"DUP", "00001", "a", 1}, {"DUP", "00002", "b", 2}});
    const std::string tbl = dir.file("t.tbl");
    writeFile(tbl, "DUP\t03188\n");
    const ImportSummary summary = importTableFiles({tbl}, db);
    EXPECT_EQ(summary.updated, 1u);
    const std::map<std::string, Row> expected = {{"DUP", {"03188", "a", 1}},
                                                 {"DUP'", {"03188", "b", 2}}};
    EXPECT_EQ(rowsInFile(db), expected);
}

TEST(Importer, AFailedImportLeavesTheDatabaseByteIdentical)
{
    TempDir dir;
    const std::string db = userDatabase(dir);
    const std::string good = dir.file("good.tbl");
    writeFile(good, "NEWONE\t11111\tnew\nDUP\t22222\n");
    const std::string binary = dir.file("picture.tbl");
    writeFile(binary, std::string("GROB\0\x01\x02\t", 8));
    const std::string prose = dir.file("notes.txt");
    writeFile(prose, "These are my notes.\nNothing here is a table.\n");
    const std::string folder = dir.file("folder.tbl");
    std::filesystem::create_directory(folder);
    const std::string missing = dir.file("missing.tbl");

    struct Case {
        const char* what;
        std::string second;
        const char* message;
    };
    const Case cases[] = {
        {"binary file", binary, "not a text file"},
        {"no entries", prose, "no entries found"},
        {"a folder", folder, "a folder"},
        {"missing", missing, "No such file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto before = dir.snapshot();
        try {
            importTableFiles({good, c.second}, db);
            ADD_FAILURE() << "the import succeeded";
        } catch (const ReferenceError& e) {
            EXPECT_NE(std::string(e.what()).find(c.second), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(dir.snapshot(), before);
    }
}

TEST(Importer, AnUnreadableSecondFileLeavesTheDatabaseByteIdentical)
{
    TempDir dir;
    const std::string db = userDatabase(dir);
    const std::string good = dir.file("good.tbl");
    writeFile(good, "NEWONE\t11111\n");
    const std::string locked = dir.file("locked.tbl");
    writeFile(locked, "OTHER\t22222\n");
    const auto before = dir.snapshot();
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    std::filesystem::permissions(db, std::filesystem::perms::all);

    {
        fixtures::Unprivileged asUser;
        EXPECT_THROW(importTableFiles({good, locked}, db), ReferenceError);
    }
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_write);
    EXPECT_EQ(dir.snapshot(), before);
}

TEST(Importer, AFailureWhileWritingRollsEverythingBack)
{
    TempDir dir;
    const std::string db = userDatabase(dir);
    {
        SqliteDatabase raw(db, SqliteDatabase::OpenMode::ExistingOnly);
        raw.exec("CREATE TRIGGER refuse BEFORE INSERT ON entries WHEN NEW.name = 'BOOM' "
                 "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    }
    const std::string tbl = dir.file("t.tbl");
    // Updates and inserts happen before the refused row.
    writeFile(tbl, "SWAP\t03223\tnew words\nFIRST\t11111\nBOOM\t22222\nLAST\t33333\n");
    const auto before = dir.snapshot();
    EXPECT_THROW(importTableFiles({tbl}, db), SqliteError);
    EXPECT_EQ(dir.snapshot(), before);
}

TEST(Importer, NoDatabaseIsLeftBehindWhenANewOneCannotBeFilled)
{
    TempDir dir;
    const std::string prose = dir.file("notes.txt");
    writeFile(prose, "no table\n");
    const std::string db = dir.file("entries97.mdb");
    EXPECT_THROW(importTableFiles({prose}, db), ReferenceError);
    EXPECT_FALSE(std::filesystem::exists(db));
}

TEST(Importer, RefusesFilesThatAreNoEntryDatabase)
{
    TempDir dir;
    const std::string tbl = dir.file("t.tbl");
    writeFile(tbl, "DUP\t03188\n");
    struct Case {
        const char* what;
        std::string bytes;
        const char* message;
    };
    std::string otherTable;
    {
        const std::string path = dir.file("other.mdb");
        SqliteDatabase other(path, SqliteDatabase::OpenMode::CreateIfMissing);
        other.exec("CREATE TABLE entries (id INTEGER PRIMARY KEY, name TEXT, addr TEXT)");
    }
    otherTable = TempDir::readBytes(dir.file("other.mdb"));
    const Case cases[] = {
        {"text", "This is no database, just some text that is long enough to be read.",
         "not an entry database"},
        {"lacks columns", otherTable, "no column description"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string db = dir.file("case.mdb");
        writeFile(db, c.bytes);
        try {
            importTableFiles({tbl}, db);
            ADD_FAILURE() << "imported";
        } catch (const ReferenceError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(TempDir::readBytes(db), c.bytes);
    }
}

TEST(Importer, SummaryNamesFilesCountsAndSkippedLines)
{
    TempDir dir;
    const std::string db = userDatabase(dir);
    const std::string eq = dir.file("x.a");
    writeFile(eq, "=DUP EQU #03188\n=SWAP EQU #03223\nFOO EQU #1\n=BAR EQU 5\n=NEW EQU #44444\n");
    const std::string text = describeImport(importTableFiles({eq}, db));
    EXPECT_EQ(text, "Imported into " + db +
                        ":\n"
                        "  " +
                        eq +
                        ": equate file, 3 entries, 2 lines skipped\n"
                        "    an EQU of another form than =NAME EQU #HHHHH: 2 lines (3, 4)\n"
                        "Added 1, updated 1, unchanged 1.\n");
}

TEST(ReferenceCommand, ArgumentsAndExitStatus)
{
    TempDir dir;
    const std::string tbl = dir.file("t.tbl");
    writeFile(tbl, "DUP\t03188\n");
    const std::string db = dir.file("cmd.mdb");
    struct Case {
        std::vector<std::string> arguments;
        std::optional<int> status;
        const char* inErr;
    };
    const Case cases[] = {
        {{}, std::nullopt, ""},
        {{"source.s"}, std::nullopt, ""},
        {{"--screenshot", "x.png"}, std::nullopt, ""},
        {{"--import"}, 2, "no file to import"},
        {{"--learn", "--database", db}, 2, "no file or folder to learn from"},
        {{"--import", tbl, "--database"}, 2, "--database needs a path"},
        {{"--import", tbl, "--learn", tbl}, 2, "either --import or --learn"},
        {{"--database", db}, 2, "goes with --import or --learn"},
        {{"--import", tbl, "--force"}, 2, "unknown option --force"},
        {{"--import", dir.file("none.tbl"), "--database", db}, 1, "Nothing was changed"},
        {{"--database", db, "--import", tbl}, 0, ""},
        {{"--import", "--database=" + db, "--", tbl}, 0, ""},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        std::ostringstream err;
        const auto status = runReferenceCommand(c.arguments, out, err);
        SCOPED_TRACE(err.str());
        EXPECT_EQ(status, c.status);
        EXPECT_NE(err.str().find(c.inErr), std::string::npos);
        if (status == 0) {
            EXPECT_NE(out.str().find("entry table, 1 entry"), std::string::npos) << out.str();
        }
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
    {
        SqliteDatabase raw(db, SqliteDatabase::OpenMode::ExistingOnly);
        raw.exec("CREATE TRIGGER crash AFTER INSERT ON entries WHEN NEW.name = 'CRASH' "
                 "BEGIN SELECT die_now(); END");
    }
    // Far more changed pages than SQLite keeps in its page cache by default, all before the
    // row that ends the process.
    std::string table = "SWAP\t03223\tnew words\n";
    const std::string description(300, 'd');
    for (int i = 0; i < 15000; ++i)
        table +=
            "E" + std::to_string(i) + "\t" + std::to_string(10000 + i) + "\t" + description + "\n";
    table += "CRASH\t99999\n";
    const std::string tbl = dir.file("big.tbl");
    writeFile(tbl, table);
    const std::string before = TempDir::readBytes(db);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(registerDie));
        try {
            importTableFiles({tbl}, db);
        } catch (...) {
        }
        _exit(0); // the import should never get here
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 3) << "the import did not reach the row that ends it";
    EXPECT_EQ(TempDir::readBytes(db), before);

    // Opening it again finds what was there before.
    EXPECT_EQ(rowsInFile(db).at("SWAP"), (Row{"00000", "( 1 2 -> 2 1 )", 7}));
    EXPECT_EQ(rowsInFile(db).size(), 4u);
    EXPECT_EQ(TempDir::readBytes(db), before);
}
