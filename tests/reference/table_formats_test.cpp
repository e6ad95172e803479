#include "reference/table_formats.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

using namespace scrivlet;

namespace {

using NameAddr = std::pair<std::string, std::string>;

std::vector<NameAddr> namesAndAddresses(const ParsedTable& table)
{
    std::vector<NameAddr> out;
    for (const auto& e : table.entries)
        out.emplace_back(e.name, e.addr);
    return out;
}

std::vector<std::pair<std::size_t, std::string>> skippedLines(const ParsedTable& table)
{
    std::vector<std::pair<std::size_t, std::string>> out;
    for (const auto& s : table.skipped)
        out.emplace_back(s.line, s.reason);
    return out;
}

// Joins lines with the given line end, the last line ended too.
std::string joined(const std::vector<std::string>& lines, const std::string& lineEnd)
{
    std::string out;
    for (const auto& line : lines)
        out += line + lineEnd;
    return out;
}

// A listing line as the loader writes it: the name padded to 33 columns.
std::string listed(const std::string& name, const std::string& addr)
{
    std::string line = name;
    line.resize(std::max<std::size_t>(33, name.size() + 1), ' ');
    return line + "= " + addr + " -";
}

std::vector<std::string> listingLines()
{
    return {
        "Saturn Loader, Ver. version 3.0.8, 12/07/02", // 1
        "",                                            // 2
        "Source modules:",                             // 3
        "Module=Table.o",                              // 4
        "  Date=Sat Aug 08 07:44:02 2009   Title=",    // 5
        "",                                            // 6
        "\fSaturn Cross Reference Listing",            // 7
        "",                                            // 8
        listed("#0=", "03CA6"),                        // 9: a name holding "="
        listed("DUP", "03188"),                        // 10
        "",                                            // 11
        "\f" + listed("+LOOP", "073A5"),               // 12: a form feed, a name beginning with +
        listed("^#3+ROLL", "2d6006"),                  // 13: flash pointer, six digits
        listed("~xZVOL", "020AB"),                     // 14: ROM pointer
        listed("caseDROP", "349B1"),                   // 15
        listed("casedrop", "3495D"),                   // 16: differs from 15 in case only
        listed("DUP", "99999"),                        // 17: repeated
        listed("BADADDR", "0318"),                     // 18: four digits
        listed("BADHEX", "0318G"),                     // 19
        "GARBAGE LINE",                                // 20
        "DUP * 03188 - 00012 00034",                   // 21: a use, in a project listing
        "+ 00056",                                     // 22: its continuation
        listed("AVeryLongEntryNameThatFillsTheColumn", "12345"), // 23
        "",                                                      // 24
        "/SLOAD:  End of Saturn Loader Execution",               // 25
        listed("AFTER", "11111"),                                // 26: after the end
    };
}

} // namespace

TEST(LoaderListing, ReadsEntriesWithEitherLineEnd)
{
    for (const std::string lineEnd : {"\n", "\r\n"}) {
        SCOPED_TRACE(lineEnd.size() == 1 ? "LF" : "CR LF");
        const std::string text = joined(listingLines(), lineEnd);
        ASSERT_EQ(recogniseTableFormat(text), TableFormat::LoaderListing);
        const ParsedTable table = parseLoaderListing(text);
        const std::vector<NameAddr> expected = {
            {"#0=", "03CA6"},      {"DUP", "03188"},
            {"+LOOP", "073A5"},    {"^#3+ROLL", "2D6006"},
            {"~xZVOL", "020AB"},   {"caseDROP", "349B1"},
            {"casedrop", "3495D"}, {"AVeryLongEntryNameThatFillsTheColumn", "12345"},
        };
        EXPECT_EQ(namesAndAddresses(table), expected);
        const std::vector<std::pair<std::size_t, std::string>> skipped = {
            {17, "repeats a name given earlier in the table"},
            {18, "the address is not 5 or 6 hexadecimal digits"},
            {19, "the address is not 5 or 6 hexadecimal digits"},
            {20, "not in the form NAME = ADDRESS -"},
            {21, "a use of an entry, not its definition"},
            {22, "continues the references of a use"},
        };
        EXPECT_EQ(skippedLines(table), skipped);
        EXPECT_TRUE(table.notes.empty());
        EXPECT_EQ(table.entries[1].line, 10u);
    }
}

TEST(LoaderListing, WithoutItsClosingLineSaysItMayBeCutShort)
{
    auto lines = listingLines();
    lines.resize(16);
    const ParsedTable table = parseLoaderListing(joined(lines, "\r\n"));
    EXPECT_EQ(table.entries.size(), 7u);
    ASSERT_EQ(table.notes.size(), 1u);
    EXPECT_NE(table.notes[0].find("End of Saturn Loader"), std::string::npos);
}

TEST(LoaderListing, HeaderLinesAreNoEntries)
{
    // Without the marker nothing is an entry, however much it looks like one.
    const std::string text = "Saturn Loader\n" + listed("DUP", "03188") + "\n";
    EXPECT_TRUE(parseLoaderListing(text).entries.empty());
    EXPECT_FALSE(hasListingMarker(text));
    EXPECT_TRUE(hasListingMarker("x\n \fSaturn Cross Reference Listing \r\n"));
    EXPECT_FALSE(hasListingMarker("Saturn Cross Reference Listing of nothing\n"));
}

TEST(EquateFile, ReadsNameEquHexAndCountsOtherForms)
{
    const std::vector<std::string> lines = {
        "* Entry equates",                            // 1 comment
        "",                                           // 2
        "=DUP EQU #03188",                            // 3
        "=SWAP\tEQU\t#03223",                         // 4 tabs
        "=~xZVOL   EQU   #020AB  * trailing comment", // 5
        "=^#3+ROLL EQU #2d6006",                      // 6
        "=DUP EQU #99999",                            // 7 repeated
        "DROP EQU #03244",                            // 8 no leading =
        "=ROT EQU 03295",                             // 9 no #
        "=OVER EQU #32C2",                            // 10 four digits
        "=NINE EQU 9+1",                              // 11 an expression
        "=BARE EQU",                                  // 12 no value
        "ASSEMBLE",                                   // 13 not an EQU line
        "  * indented comment",                       // 14
        "=TWODUP equ #031AC",                         // 15 lower-case equ
    };
    const std::string another = "an EQU of another form than =NAME EQU #HHHHH";
    for (const std::string lineEnd : {"\n", "\r\n"}) {
        SCOPED_TRACE(lineEnd.size() == 1 ? "LF" : "CR LF");
        const std::string text = joined(lines, lineEnd);
        ASSERT_EQ(recogniseTableFormat(text), TableFormat::EquateFile);
        const ParsedTable table = parseEquateFile(text);
        const std::vector<NameAddr> expected = {
            {"DUP", "03188"},       {"SWAP", "03223"},   {"~xZVOL", "020AB"},
            {"^#3+ROLL", "2D6006"}, {"TWODUP", "031AC"},
        };
        EXPECT_EQ(namesAndAddresses(table), expected);
        const std::vector<std::pair<std::size_t, std::string>> skipped = {
            {7, "repeats a name given earlier in the table"},
            {8, another},
            {9, another},
            {10, another},
            {11, another},
            {12, another},
            {13, "not an EQU line"},
        };
        EXPECT_EQ(skippedLines(table), skipped);
    }
}

TEST(EntryTable, ReadsOurFormatAndSkipsBadLines)
{
    const std::vector<std::string> lines = {
        "# comment",                                         // 1
        "DUP\t03188\t( ob -> ob ob )%0ADuplicates level 1.", // 2
        "SWAP\t03223",                                       // 3 no description
        "",                                                  // 4
        "^#3+ROLL\t2d6006\t( a b c d #3 -> ... )",           // 5
        "DUP\t99999\tagain",                                 // 6 repeated
        "dup\t11111\tlower case is another name",            // 7
        "NO TAB here",                                       // 8
        "\t03188\tno name",                                  // 9
        "TWO WORDS\t03188",                                  // 10
        "BAD\t0318",                                         // 11
        "BAD2\t\tdesc",                                      // 12 empty address
        "CTRL\x01\t03188",                                   // 13
    };
    for (const std::string lineEnd : {"\n", "\r\n"}) {
        SCOPED_TRACE(lineEnd.size() == 1 ? "LF" : "CR LF");
        const std::string text = joined(lines, lineEnd);
        ASSERT_EQ(recogniseTableFormat(text), TableFormat::EntryTable);
        const ParsedTable table = parseEntryTable(text);
        const std::vector<NameAddr> expected = {
            {"DUP", "03188"}, {"SWAP", "03223"}, {"^#3+ROLL", "2D6006"}, {"dup", "11111"}};
        EXPECT_EQ(namesAndAddresses(table), expected);
        EXPECT_EQ(table.entries[0].description, "( ob -> ob ob )%0ADuplicates level 1.");
        EXPECT_EQ(table.entries[1].description, "");
        const std::string badAddress = "the address is not 5 or 6 hexadecimal digits";
        const std::string badName = "the name holds a blank or a control character";
        const std::vector<std::pair<std::size_t, std::string>> skipped = {
            {6, "repeats a name given earlier in the table"},
            {8, "no name and address separated by a tab"},
            {9, "no name and address separated by a tab"},
            {10, badName},
            {11, badAddress},
            {12, badAddress},
            {13, badName},
        };
        EXPECT_EQ(skippedLines(table), skipped);
    }
}

TEST(TableFormat, RecognisedByContent)
{
    struct Case {
        const char* what;
        std::string text;
        std::optional<TableFormat> format;
    };
    const Case cases[] = {
        {"listing", "head\n\fSaturn Cross Reference Listing\r\n", TableFormat::LoaderListing},
        {"equates", "* x\n=A EQU #12345\n", TableFormat::EquateFile},
        {"our table", "A\t12345\n", TableFormat::EntryTable},
        {"a comment naming EQU decides nothing", "# EQU lines\nA\t12345\n",
         TableFormat::EntryTable},
        {"binary", std::string("A\t12345\n\0\x01", 10), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(recogniseTableFormat(c.text), c.format);
    }
}
