#include "reference/reference_command.h"
#include "support/entry_fixtures.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace scrivlet;

// The sample reference in the usage order: DUP SWAP DROP DUPDUP 2DROP a*b a_c dupx.
// Typed as at first: DUPDUP is proposed at DUPD (4 keys + Enter), after the Tab too; SWAP at S
// and 2DROP at 2 (2 keys each); a_c at a_ (3, no fewer than typing it); dupx is never proposed
// before it is complete (4). x is no name. 34 characters, 26 keys: 23.5 % saved.
// With Names in This File First the second and third DUPDUP are proposed at D, since the file
// holds it already: 20 keys.
// With a Tab in the word, the DUPDUP after it is never looked up: 27 keys.
TEST(SavingsMeasure, ReplaysSourcesThroughTheLookupAndLeavesTheDatabaseAsItWas)
{
    fixtures::TempDir dir;
    const std::string db = dir.file("entries97.mdb");
    const std::string src = dir.file("src/a.s");
    fixtures::writeEntryDatabase(db, fixtures::sampleEntries());
    fixtures::writeFile(src, "DUPDUP\r\n\tDUPDUP SWAP x\n DUPDUP 2DROP a_c  dupx");
    const auto before = dir.snapshot();
    // clang-format off
    const std::tuple<std::vector<std::string>, int, std::string, std::string> cases[] = {
        {{"--measure-savings", src, "--database", db}, 0,
         "names=7 chars=34 keystrokes=26 saved=23.5% options=tab-ends-word\n", ""},
        {{"--measure-savings", "--names-in-file", "--database=" + db, dir.file("src")}, 0,
         "names=7 chars=34 keystrokes=20 saved=41.2% options=tab-ends-word,names-in-file,previous-word\n", ""},
        {{"--tab-in-word", "--measure-savings", src, "--database", db}, 0,
         "names=7 chars=34 keystrokes=27 saved=20.6% options=none\n", ""},
        {{"--measure-savings", src, "--tab-in-word", "--tab-ends-word"}, 2, "", "once"},
        {{"--measure-savings", dir.file("none.s"), "--database", db}, 1, "", "none.s: no such file"},
        {{"--measure-savings", src, "--database", src}, 1, "", "a.s: not an entry database"},
        {{"--learn", src, "--names-in-file"}, 2, "", "--names-in-file goes with --measure-savings"},
        {{"--measure-savings", src, "--no-previous-word"}, 2, "", "goes with --names-in-file"}};
    // clang-format on
    for (const auto& [arguments, status, output, inErr] : cases) {
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(runReferenceCommand(arguments, out, err), status);
        const std::string message = err.str();
        EXPECT_EQ(out.str(), output);
        EXPECT_TRUE(message.find(inErr) != std::string::npos &&
                    (status != 1 || std::count(message.begin(), message.end(), '\n') == 1))
            << message;
    }
    EXPECT_EQ(dir.snapshot(), before);
}

// --learn counts the pairs of a name and the word before it (SWAP then DROP twice, DROP then
// SWAP once) into the database, and the measure's lookup weighs them: after SWAP, D proposes
// DROP (2 keys) rather than DUP, which the text holds twice (DR, 3 keys). DUP DUP SWAP cost 2
// keys each: 14 characters, 8 keys with the previous word, 9 without.
TEST(SavingsMeasure, LearnedPairsProposeTheNameThatFollowedThePreviousWord)
{
    fixtures::TempDir dir;
    const std::string db = dir.file("entries97.mdb");
    fixtures::writeEntryDatabase(db, fixtures::sampleEntries());
    fixtures::writeFile(dir.file("old.s"), "SWAP DROP ( DUP ) SWAP DROP\n");
    fixtures::writeFile(dir.file("new.s"), "DUP DUP\n\tSWAP\n\tDROP");
    std::ostringstream out, err;
    ASSERT_EQ(runReferenceCommand({"--learn", dir.file("old.s"), "--database", db}, out, err), 0);
    EXPECT_NE(out.str().find("Added 3 uses to 2 pairs of a name and the word before it."),
              std::string::npos)
        << out.str();
    for (const auto& [option, keys] :
         {std::pair("--names-in-file", "keystrokes=8 saved=42.9%"),
          std::pair("--no-previous-word", "keystrokes=9 saved=35.7%")}) {
        std::ostringstream measured;
        EXPECT_EQ(runReferenceCommand({"--measure-savings", dir.file("new.s"), "--database", db,
                                       "--names-in-file", option},
                                      measured, err),
                  0);
        EXPECT_NE(measured.str().find(keys), std::string::npos) << measured.str();
    }
}
