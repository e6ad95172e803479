#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scrivlet {

// One entry of a reference table.
struct TableEntry {
    std::string name;
    std::string addr;        // hexadecimal digits, as the calculator's listings write them
    std::string description; // line breaks written as %0A; empty when the table gives none
    std::size_t line = 0;    // 1-based line of the table it was read from
};

// A line of a table that was not taken, and why.
struct SkippedLine {
    std::size_t line = 0; // 1-based
    std::string reason;
};

struct ParsedTable {
    std::vector<TableEntry> entries;
    std::vector<SkippedLine> skipped; // in line order
    std::vector<std::string> notes;   // remarks about the table as a whole
};

// An entry name: at least one character, no blank or control character.
bool isEntryName(std::string_view name);

// An entry address: 5 hexadecimal digits (6 for flash pointers), either letter case.
bool isEntryAddress(std::string_view addr);

// The address as stored: upper-case hexadecimal digits.
std::string storedAddress(std::string_view addr);

// Our plain-text entry table: one entry per line, NAME <TAB> ADDR <TAB> DESCRIPTION (the
// description may be left out); empty lines are ignored, and so are lines that start with #
// unless they are entry lines (#+, #1+ and many other names begin with #); CR LF or LF.
// A line with a bad name or address is skipped with its reason; so is every line that repeats
// a name given earlier in the table (names compare exactly, letter case included).
ParsedTable parseEntryTable(std::string_view text);

// Skips every entry whose name an earlier entry of the same table already gave, keeping the
// first; the skipped lines are merged into table.skipped in line order.
void skipRepeatedNames(ParsedTable& table);

} // namespace scrivlet
