#include "reference/reference_command.h"
#include "support/entry_fixtures.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace scrivlet;

// The sample reference in the usage order: DUP SWAP DROP DUPDUP 2DROP a*b a_c dupx.
// Typed without the option: DUPDUP is proposed at DUPD (4 keys + Enter), but not after the Tab,
// where the window's word holds the Tab (6); SWAP at S and 2DROP at 2 (2 keys each); a_c at a_
// (3, no fewer than typing it); dupx is never proposed before it is complete (4). x is no name.
// 34 characters, 27 keys: 20.6 % saved.
// With the option the last DUPDUP is proposed at D, since the file holds it twice: 24 keys.
// With Tab ending words the DUPDUP after the Tab is proposed at DUPD too: 26 keys.
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
        {{"--measure-savings", src, "--database", db}, 0, "names=7 chars=34 keystrokes=27 saved=20.6%\n", ""},
        {{"--measure-savings", "--names-in-file", "--database=" + db, dir.file("src")}, 0,
         "names=7 chars=34 keystrokes=24 saved=29.4%\n", ""},
        {{"--tab-ends-word", "--measure-savings", src, "--database", db}, 0,
         "names=7 chars=34 keystrokes=26 saved=23.5%\n", ""},
        {{"--measure-savings", dir.file("none.s"), "--database", db}, 1, "", "none.s: no such file"},
        {{"--measure-savings", src, "--database", src}, 1, "", "a.s: not an entry database"},
        {{"--learn", src, "--names-in-file"}, 2, "", "--names-in-file goes with --measure-savings"}};
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
