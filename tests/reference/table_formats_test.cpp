#include "reference/table_formats.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

using namespace scrivlet;

using NameAddr = std::pair<std::string, std::string>;

TEST(TableFormats, EachFormatTakesItsEntriesAndSkipsTheRestWithEitherLineEnd)
{
    struct Case {
        TableFormat format;
        std::vector<std::string> lines;
        std::vector<NameAddr> entries;
        std::vector<std::size_t> skipped;
        std::size_t notes = 0;                      // a listing cut short says so
        std::vector<std::string> descriptions = {}; // of the entries, when checked
    };
    const std::string pad(79, ' '); // up to column 80, where descriptions start
    // Each table: header or comment lines, names holding = + ^ ~ #, six-digit flash pointers,
    // names differing in case only; then a repeated name, bad addresses, lines of another form
    // (in a listing: a use and its continuation line), and lines after a listing's end.
    // clang-format off
    const Case cases[] = {
        {TableFormat::LoaderListing,
         {"Saturn Loader, Ver. 3.0.8", "HEAD = 03188 -", "\fSaturn Cross Reference Listing", "",
          "#0= = 03CA6 -", "DUP = 03188 -", "", "\f+LOOP = 073A5 -", "^#3+ROLL = 2d6006 -",
          "caseDROP = 349B1 -", "casedrop = 3495D -", "DUP = 99999 -", "BADADDR = 0318 -",
          "BADHEX = 0318G -", "GARBAGE LINE", "DUP * 03188 - 00012 00034", "+ 00056",
          "AVeryLongEntryNameThatFillsTheColumn = 12345 -",
          "/SLOAD:  End of Saturn Loader Execution", "AFTER = 11111 -"},
         {{"#0=", "03CA6"}, {"DUP", "03188"}, {"+LOOP", "073A5"}, {"^#3+ROLL", "2D6006"},
          {"caseDROP", "349B1"}, {"casedrop", "3495D"}, {"AVeryLongEntryNameThatFillsTheColumn", "12345"}},
         {12, 13, 14, 15, 16, 17}},
        {TableFormat::EquateFile,
         {"* Entry equates", "", "=DUP EQU #03188", "=SWAP\tEQU\t#03223",
          "=~xZVOL   EQU   #020AB  * note", "=^#3+ROLL EQU #2d6006", "=DUP EQU #99999",
          "DROP EQU #03244", "=ROT EQU 03295", "=OVER EQU #32C2", "=NINE EQU 9+1", "=BARE EQU",
          "ASSEMBLE", "  * indented comment", "=TWODUP equ #031AC"},
         {{"DUP", "03188"}, {"SWAP", "03223"}, {"~xZVOL", "020AB"}, {"^#3+ROLL", "2D6006"},
          {"TWODUP", "031AC"}},
         {7, 8, 9, 10, 11, 12, 13}},
        {TableFormat::EntryTable,
         {"# comment", "DUP\t03188\t( ob -> ob ob )%0ADuplicates level 1.", "SWAP\t03223", "",
          "^#3+ROLL\t2d6006\t( a b c d #3 -> ... )", "DUP\t99999\tagain",
          "dup\t11111\tanother name", "NO TAB here", "\t03188\tno name", "TWO WORDS\t03188",
          "BAD\t0318", "BAD2\t\tdesc", "CTRL\x01\t03188"},
         {{"DUP", "03188"}, {"SWAP", "03223"}, {"^#3+ROLL", "2D6006"}, {"dup", "11111"}},
         {6, 8, 9, 10, 11, 12, 13}},
        {TableFormat::LoaderListing, {"\fSaturn Cross Reference Listing", "DUP = 03188 -"},
         {{"DUP", "03188"}}, {}, 1},
        // An entries database: effects over several lines, aliases, a name format and flags; an
        // entry for the 48G only, one without address; then a name given again with another
        // address, lines of no known form, a line outside an entry, bad address lines.
        {TableFormat::EntriesDatabase,
         {"* comment", "@directive", "DUP            ( ob \\-> ob ob )", ".  48G: 03188",
          ".\t49G:\t03188 [F]", ";" + pad + "Duplicates level 1.", ";", ";" + pad + "  Indented.",
          ".  AKA: DUP1 DUPONE", "", "NDUPN  ( ob #n \\-> ob..ob #n ) \\", "       ( ob #0 \\-> #0 )",
          ".  49G: 28143", "OLD48  ( \\-> )", ".  48G: 12345", "FPTR   ( %  \\-> % )",
          ".  49G: 2d6006 \\^%s\\ [L] [F]", ";    EQU text.", ".  UserRPL: FPTRU",
          "DUP ( ob \\-> )", ".  49G: 99999", ".  49G: 11111", ".  50G: 00000", ".x 49G: 00000",
          "   stray", ".  49G: 22222", "BADADDR", ".  49G: 0318G", "BADFORM", ".  49G: 33333 x",
          "NOADDR", "DUP1", ".  49G: 03188", ".  48G: 12345 \\%d\\"},
         {{"DUP", "03188"}, {"DUP1", "03188"}, {"DUPONE", "03188"}, {"NDUPN", "28143"},
          {"^FPTR", "2D6006"}},
         {20, 22, 23, 24, 25, 26, 28, 30, 34}, 2,
         {"( ob -> ob ob )%0ADuplicates level 1.%0A%0A  Indented.",
          "( ob -> ob ob )%0ADuplicates level 1.%0A%0A  Indented.",
          "( ob -> ob ob )%0ADuplicates level 1.%0A%0A  Indented.",
          "( ob #n -> ob..ob #n )%0A( ob #0 -> #0 )", "( %  -> % )%0AEQU text."}}};
    // clang-format on
    for (const Case& c : cases) {
        for (const std::string lineEnd : {"\n", "\r\n"}) {
            SCOPED_TRACE(formatName(c.format).data() + std::to_string(lineEnd.size()));
            std::string text;
            for (const auto& line : c.lines)
                text += line + lineEnd;
            ASSERT_EQ(recogniseTableFormat(text), c.format);
            const ParsedTable table = parseTable(text, c.format);
            std::vector<NameAddr> entries;
            for (const auto& e : table.entries)
                entries.emplace_back(e.name, e.addr);
            EXPECT_EQ(entries, c.entries);
            for (std::size_t i = 0; i < c.descriptions.size() && i < entries.size(); ++i)
                EXPECT_EQ(table.entries[i].description, c.descriptions[i]);
            std::vector<std::size_t> skipped;
            for (const auto& s : table.skipped)
                skipped.push_back(s.line);
            EXPECT_EQ(skipped, c.skipped);
            EXPECT_EQ(table.notes.size(), c.notes);
        }
    }
}
