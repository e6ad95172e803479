#include "reference/usage_counter.h"
#include "reference/usage_learner.h"
#include "support/entry_fixtures.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>
#include <map>

using namespace scrivlet;
using scrivlet::fixtures::TempDir;
using scrivlet::fixtures::writeFile;
using Counts = std::map<std::string, std::uint64_t>;

namespace {

const std::vector<std::string> kNames = {"DUP",   "DUPDUP", "SWAP", "DROP", "casedrop", "caseDROP",
                                         "+LOOP", "::",     ";",    "%1",   "DUP"};

// The counts that are not zero, by name.
Counts countsOf(const UsageCounter& counter)
{
    Counts out;
    for (std::size_t i = 0; i < counter.names().size(); ++i) {
        if (counter.counts()[i] != 0)
            out[counter.names()[i]] += counter.counts()[i];
    }
    return out;
}

} // namespace

TEST(UsageCounter, CountsWholeTokensOutsideComments)
{
    const std::pair<std::string, Counts> cases[] = {
        // tokens, not substrings; letter case matters; names may begin with +
        {"DUPDUP DUP xDUP DUPx dup casedrop caseDROP CASEDROP caseDROP +LOOP + LOOP",
         {{"DUP", 1}, {"DUPDUP", 1}, {"casedrop", 1}, {"caseDROP", 2}, {"+LOOP", 1}}},
        // the lexer's separators (control bytes too); punctuation belongs to a word
        {"DUP\tSWAP\r\nDROP\nDUP\f SWAP;", {{"DUP", 2}, {"SWAP", 1}, {"DROP", 1}}},
        // strings, characters, names after ID and LAM, and defined names are no uses
        {"\"a DUP b\" $ \"DROP\nSWAP\" CHR % ID DUP LAM SWAP NULLNAME DROP DROP",
         {{"DROP", 1}}},
        {"::\n  DUP %1 SWAP\n;\n@", {{"::", 1}, {"DUP", 1}, {"%1", 1}, {"SWAP", 1}, {";", 1}}},
        {"*DUP\n* DUP SWAP\nDROP\n DUP * DROP\r\n* SWAP\r\n", {{"DROP", 2}, {"DUP", 1}}},
        // ( opens a comment only as a token; the first token ending in ) closes it
        {"( DROP\n*) DUP ( see DUP) SWAP (DUP DUP) ( a ( b ) DUP )", {{"DUP", 2}, {"SWAP", 1}}},
        {"DUP\n\n( the rest\nDUP SWAP", {{"DUP", 1}}}};
    for (const auto& [source, counts] : cases) {
        UsageCounter counter(kNames);
        counter.countSource(source);
        EXPECT_EQ(countsOf(counter), counts) << source;
        EXPECT_EQ(counter.counts().back(), 0u) << "a name given twice counts at its first place";
    }
    EXPECT_EQ(UsageCounter(kNames).countSource(cases[6].first).unclosedCommentLine, 3u);
}

TEST(UsageCounter, CountsEachReferenceOfAListingUse)
{
    // Before the marker nothing counts; a + line continues a use, not a definition (=) nor a
    // use without references; after the end line nothing counts.
    const std::string listing =
        "DUP * 03188 - 00001 00002\n\fSaturn Cross Reference Listing\n"
        "DUP   * 03188 - 0001A 0002B\n+ 0003C 0004D\n+0005E\n"
        "SWAP  * - 00010\nLABEL = 00123 - 00011\n+ 00013\n"
        "+LOOP * [073A5] - 00020\nUNKNOWN * 12345 - 00030 00031\n"
        "DROP  * 03244\n+ 00040\n/SLOAD: End of Saturn Loader\nSWAP * - 1\n";
    for (const std::string lineEnd : {"\n", "\r\n"}) {
        std::string text;
        for (const char c : listing)
            text += c == '\n' ? lineEnd : std::string(1, c);
        UsageCounter counter(kNames);
        const auto result = counter.countListing(text);
        EXPECT_EQ(countsOf(counter), (Counts{{"DUP", 5}, {"SWAP", 1}, {"+LOOP", 1}}));
        EXPECT_EQ(std::tie(result.uses, result.unknownUses), std::make_tuple(7u, 2u));
        EXPECT_EQ(result.unknownNames, std::vector<std::string>{"UNKNOWN"});
    }
}

TEST(LearnUsage, AddsTheUsesOfSourcesInFoldersAndListingsToTheCounts)
{
    TempDir dir;
    const std::string db = dir.file("entries97.mdb");
    fixtures::writeEntryDatabase(db, fixtures::sampleEntries()); // DUP 9, SWAP 7, DROP 5
    writeFile(dir.file("src/main.s"), "::\r\n  DUP DUPDUP\r\n  ( ob -> SWAP )\r\n;\r\n");
    writeFile(dir.file("src/lib/more.rpl"), "* DROP\nDROP dup DUP\n");
    writeFile(dir.file("src/lib/C.TXT"), "DUP");
    writeFile(dir.file("src/skip.doc"), "DUP DUP DUP");
    writeFile(dir.file("proj.lr"),
              "\fSaturn Cross Reference Listing\nSWAP * 03223 - 00001\n+ 00002\n"
              "NOSUCH * 00000 - 00003\n");
    std::filesystem::create_directory_symlink(dir.file("src"), dir.file("src/lib/loop"));

    const auto learned =
        learnUsage({dir.file("src"), dir.file("proj.lr"), dir.file("src/main.s")}, db);
    ASSERT_TRUE(learned.ok()) << learned.error;
    for (const auto& [name, count] :
         Counts{{"DUP", 11}, {"DUPDUP", 6}, {"SWAP", 9}, {"DROP", 6}, {"dupx", 0}})
        EXPECT_EQ(fixtures::usageInFile(db, name), static_cast<std::int64_t>(count)) << name;
    const LearnSummary& summary = *learned.value;
    EXPECT_EQ(std::tie(summary.sources, summary.listings, summary.folders, summary.passedOver),
              std::make_tuple(2u, 1u, 2u, 3u))
        << "main.s named again is read once; C.TXT, skip.doc and the link are passed over";
    EXPECT_NE(
        describeLearning(summary).find("Added 6 uses to 4 entries of " + db + ":\n  +2 DUP\n"),
        std::string::npos);
}

TEST(LearnUsage, AFailedRunNamesTheFileAndLeavesTheDatabaseByteIdentical)
{
    TempDir dir;
    const std::string db = dir.file("entries97.mdb");
    fixtures::writeEntryDatabase(db, fixtures::sampleEntries());
    writeFile(dir.file("src/a.s"), "DUP DUP\n");
    writeFile(dir.file("src/sub/b.s"), "SWAP\n");
    for (const char* path : {"", "src", "src/sub", "entries97.mdb"})
        std::filesystem::permissions(dir.file(path), std::filesystem::perms::all);

    const std::tuple<std::vector<std::string>, std::string, std::string, std::string> cases[] = {
        {{dir.file("src/a.s"), dir.file("nothing.s")}, "", db, "nothing.s: no such file"},
        {{dir.file("src")}, dir.file("src/sub/b.s"), db, "b.s"},
        {{dir.file("src")}, dir.file("src/sub"), db, "sub: the folder cannot be read"},
        {{dir.file("src")},
         "",
         dir.file("none.mdb"),
         "none.mdb: no such entry database; build one first with --import"}};
    for (const auto& [paths, locked, database, message] : cases) {
        SCOPED_TRACE(message);
        const auto before = dir.snapshot();
        if (!locked.empty())
            std::filesystem::permissions(locked, std::filesystem::perms::none);
        {
            fixtures::Unprivileged asUser;
            const auto learned = learnUsage(paths, database);
            EXPECT_FALSE(learned.ok());
            EXPECT_NE(learned.error.find(message), std::string::npos) << learned.error;
        }
        if (!locked.empty())
            std::filesystem::permissions(locked, std::filesystem::perms::all);
        EXPECT_EQ(dir.snapshot(), before);
    }
}
