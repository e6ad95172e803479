#include "reference/importer_io.h"
#include "reference/usage_counter.h"
#include "reference/usage_learner.h"
#include "support/entry_fixtures.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>

using namespace scrivlet;
using scrivlet::fixtures::TempDir;

namespace {

const std::vector<std::string> kNames = {"DUP",      "DUPDUP", "SWAP", "DROP", "casedrop",
                                         "caseDROP", "+LOOP",  "::",   ";",    "%1"};

// The counts that are not zero, by name.
std::map<std::string, std::uint64_t> countsOf(const UsageCounter& counter)
{
    std::map<std::string, std::uint64_t> out;
    for (std::size_t i = 0; i < counter.names().size(); ++i) {
        if (counter.counts()[i] != 0)
            out[counter.names()[i]] = counter.counts()[i];
    }
    return out;
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

TEST(UsageCounter, CountsWholeTokensOutsideComments)
{
    using Counts = std::map<std::string, std::uint64_t>;
    struct Case {
        const char* what;
        std::string source;
        Counts counts;
        std::size_t unclosedCommentLine = 0;
    };
    const Case cases[] = {
        {"tokens, not substrings", "DUPDUP DUP xDUP DUPx dup", {{"DUP", 1}, {"DUPDUP", 1}}},
        {"every separator", "DUP\tSWAP\r\nDROP\nDUP  DUP", {{"DUP", 3}, {"SWAP", 1}, {"DROP", 1}}},
        {"letter case matters",
         "casedrop caseDROP CASEDROP caseDROP",
         {{"casedrop", 1}, {"caseDROP", 2}}},
        {"form feed and punctuation are part of a token", "DUP\f SWAP; \"DROP\"", {}},
        {"a secondary",
         "::\n  DUP %1 SWAP\n;\n@",
         {{"::", 1}, {"DUP", 1}, {"%1", 1}, {"SWAP", 1}, {";", 1}}},
        {"star line", "* DUP SWAP\nDROP\n*DUP\n DUP * DROP", {{"DROP", 2}, {"DUP", 1}}},
        {"star line first", "*DUP\nSWAP", {{"SWAP", 1}}},
        {"stack diagram", "( ob -> ob ob ) DUP", {{"DUP", 1}}},
        {"comment across lines", "( DROP\n SWAP\n DUP )\nDROP", {{"DROP", 1}}},
        {"inside a comment a * line is no comment line", "( DROP\n*) DUP", {{"DUP", 1}}},
        {"closing word ending in )", "( see DUP) SWAP", {{"SWAP", 1}}},
        {"( glued to a word opens nothing", "(DUP DUP)", {}},
        {"no nesting: first ) closes", "( a ( b ) DUP )", {{"DUP", 1}}},
        {"CR LF lines and a star line", "DUP\r\n* SWAP\r\nDROP\r\n", {{"DUP", 1}, {"DROP", 1}}},
        {"names beginning with +", "+LOOP + LOOP", {{"+LOOP", 1}}},
        {"comment never closed", "DUP\n\n( the rest\nDUP SWAP", {{"DUP", 1}}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UsageCounter counter(kNames);
        const auto result = counter.countSource(c.source);
        EXPECT_EQ(countsOf(counter), c.counts);
        std::uint64_t total = 0;
        for (const auto& [name, n] : c.counts)
            total += n;
        EXPECT_EQ(result.uses, total);
        EXPECT_EQ(result.unclosedCommentLine, c.unclosedCommentLine);
    }
}

TEST(UsageCounter, CountsEachReferenceOfAListingUse)
{
    for (const std::string lineEnd : {"\n", "\r\n"}) {
        SCOPED_TRACE(lineEnd.size() == 1 ? "LF" : "CR LF");
        const std::vector<std::string> lines = {
            "Saturn Loader, Ver. 3.0.8",
            "DUP * 03188 - 00001 00002", // header: not counted
            "\fSaturn Cross Reference Listing",
            "",
            "DUP                              * 03188 - 0001A 0002B",
            "+ 0003C 0004D",
            "+0005E",
            "SWAP                             * - 00010",
            "MYLABEL                          = 00123 - 00011 00012",
            "+ 00013", // continues a definition: not counted
            "\f",
            "+LOOP                            * [073A5] - 00020",
            "+ 00021",
            "UNKNOWN                          * 12345 - 00030 00031",
            "+ 00032",
            "DROP                             * 03244",
            "+ 00040", // the use line had no references: no use line to continue
            "/SLOAD:  End of Saturn Loader Execution",
            "SWAP                             * 03223 - 00050",
        };
        std::string text;
        for (const auto& line : lines)
            text += line + lineEnd;
        UsageCounter counter(kNames);
        const auto result = counter.countListing(text);
        const std::map<std::string, std::uint64_t> expected = {
            {"DUP", 5}, {"SWAP", 1}, {"+LOOP", 2}};
        EXPECT_EQ(countsOf(counter), expected);
        EXPECT_EQ(result.uses, 8u);
        EXPECT_EQ(result.unknownUses, 3u);
        EXPECT_EQ(result.unknownNames, std::vector<std::string>{"UNKNOWN"});
    }
}

TEST(UsageCounter, ANameGivenTwiceCountsAtItsFirstPlace)
{
    UsageCounter counter({"DUP", "SWAP", "DUP"});
    counter.countSource("DUP DUP SWAP");
    EXPECT_EQ(counter.counts(), (std::vector<std::uint64_t>{2, 1, 0}));
}

TEST(SourceFiles, ExtensionRuleIsExactAndLooksAtThreeCharacters)
{
    struct Case {
        const char* name;
        bool read;
    };
    const Case cases[] = {
        {"a.txt", true},  {"a.rpl", true},   {"a.s", true},    {"a.asm", true},  {"a.a", true},
        {"a.rplx", true}, {"x.tar.s", true}, {"a.TXT", false}, {"a.Rpl", false}, {"a.lr", false},
        {"a.sx", false},  {"a.as", false},   {"a", false},     {"s", false},     {".s", true},
        {"a.", false},    {"a.gro", false},  {"a.doc", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hasSourceExtension(c.name), c.read) << c.name;
}

TEST(SourceFiles, FoldersAreSearchedRecursivelyInNameOrder)
{
    TempDir dir;
    writeFile(dir.file("proj/b.s"), "");
    writeFile(dir.file("proj/a.rpl"), "");
    writeFile(dir.file("proj/notes.doc"), "");
    writeFile(dir.file("proj/README"), "");
    writeFile(dir.file("proj/sub/c.asm"), "");
    writeFile(dir.file("proj/sub/C.TXT"), "");
    writeFile(dir.file("proj.lr"), "");
    std::filesystem::create_directory_symlink(dir.file("proj"), dir.file("proj/sub/loop"));

    const SourceFiles found =
        collectSourceFiles({dir.file("proj"), dir.file("proj.lr"), dir.file("proj/a.rpl")});
    const std::vector<std::string> expected = {dir.file("proj/a.rpl"), dir.file("proj/b.s"),
                                               dir.file("proj/sub/c.asm"), dir.file("proj.lr")};
    EXPECT_EQ(found.files, expected) << "a.rpl named again is read once";
    EXPECT_EQ(found.folders, 2u);
    EXPECT_EQ(found.passedOver, 4u) << "notes.doc, README, C.TXT and the link to a folder";

    EXPECT_THROW(collectSourceFiles({dir.file("nothing")}), ReferenceError);
}

TEST(LearnUsage, AddsToTheCountsInTheDatabase)
{
    TempDir dir;
    const std::string db = dir.file("entries97.mdb");
    fixtures::writeEntryDatabase(db, fixtures::sampleEntries()); // DUP 9, SWAP 7, DROP 5
    writeFile(dir.file("src/main.s"), "::\r\n  DUP DUPDUP\r\n  ( ob -> SWAP )\r\n;\r\n");
    writeFile(dir.file("src/lib/more.rpl"), "* DROP\nDROP dup DUP\n");
    writeFile(dir.file("src/skip.doc"), "DUP DUP DUP");
    writeFile(dir.file("proj.lr"),
              "\fSaturn Cross Reference Listing\nSWAP * 03223 - 00001\n+ 00002\n"
              "NOSUCH * 00000 - 00003\n");

    const LearnSummary summary = learnUsage({dir.file("src"), dir.file("proj.lr")}, db);
    EXPECT_EQ(fixtures::usageInFile(db, "DUP"), 9 + 2);
    EXPECT_EQ(fixtures::usageInFile(db, "DUPDUP"), 5 + 1);
    EXPECT_EQ(fixtures::usageInFile(db, "SWAP"), 7 + 2);
    EXPECT_EQ(fixtures::usageInFile(db, "DROP"), 5 + 1);
    EXPECT_EQ(fixtures::usageInFile(db, "dupx"), 0);
    EXPECT_EQ(summary.sources, 2u);
    EXPECT_EQ(summary.listings, 1u);
    EXPECT_EQ(summary.passedOver, 1u);
    EXPECT_EQ(summary.uses, 6u);
    const std::vector<std::pair<std::string, std::uint64_t>> counted = {
        {"DUP", 2}, {"SWAP", 2}, {"DROP", 1}, {"DUPDUP", 1}};
    EXPECT_EQ(summary.counted, counted);
    EXPECT_EQ(summary.unknownListingNames, std::vector<std::string>{"NOSUCH"});

    const std::string report = describeLearning(summary);
    EXPECT_NE(report.find("Added 6 uses to 4 entries of " + db + ":\n  +2 DUP\n  +2 SWAP\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("Not in the reference, so not counted: 1 listed use of NOSUCH\n"),
              std::string::npos)
        << report;
}

TEST(LearnUsage, AFailedRunLeavesTheDatabaseByteIdentical)
{
    TempDir dir;
    const std::string db = dir.file("entries97.mdb");
    fixtures::writeEntryDatabase(db, fixtures::sampleEntries());
    writeFile(dir.file("src/a.s"), "DUP DUP\n");
    writeFile(dir.file("src/sub/b.s"), "SWAP\n");
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    std::filesystem::permissions(dir.file("src"), std::filesystem::perms::all);
    std::filesystem::permissions(dir.file("src/sub"), std::filesystem::perms::all);
    std::filesystem::permissions(db, std::filesystem::perms::all);

    struct Case {
        const char* what;
        std::vector<std::string> paths;
        std::string locked; // made unreadable for the run
    };
    const Case cases[] = {
        {"a missing path second", {dir.file("src/a.s"), dir.file("nothing.s")}, ""},
        {"an unreadable file in a folder", {dir.file("src")}, dir.file("src/sub/b.s")},
        {"an unreadable folder", {dir.file("src")}, dir.file("src/sub")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto before = dir.snapshot();
        if (!c.locked.empty())
            std::filesystem::permissions(c.locked, std::filesystem::perms::none);
        {
            fixtures::Unprivileged asUser;
            EXPECT_THROW(learnUsage(c.paths, db), ReferenceError);
        }
        if (!c.locked.empty())
            std::filesystem::permissions(c.locked, std::filesystem::perms::all);
        EXPECT_EQ(dir.snapshot(), before);
    }
    EXPECT_EQ(fixtures::usageInFile(db, "DUP"), 9);
}

TEST(LearnUsage, NeedsAnExistingDatabase)
{
    TempDir dir;
    writeFile(dir.file("a.s"), "DUP\n");
    try {
        learnUsage({dir.file("a.s")}, dir.file("entries97.mdb"));
        ADD_FAILURE() << "learned into nothing";
    } catch (const ReferenceError& e) {
        EXPECT_NE(std::string(e.what()).find("--import"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("entries97.mdb")));
}
