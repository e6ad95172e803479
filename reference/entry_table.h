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
    std::string description; // line breaks written as %0A; may be empty
};

// A line of a table that was not taken, and why.
struct SkippedLine {
    std::size_t line = 0; // 1-based
    std::string reason;
};

struct ParsedTable {
    std::vector<TableEntry> entries;
    std::vector<SkippedLine> skipped;
};

// Our plain-text entry table: one entry per line, NAME <TAB> ADDR <TAB> DESCRIPTION (the
// description may be left out); lines that are empty or start with # are ignored; CR LF or LF.
ParsedTable parseEntryTable(std::string_view text);

// Creates a new entry database at path holding these entries, usage counts 0.
// Throws SqliteError when the file cannot be made; an existing file is refused.
void createEntryDatabase(const std::string& path, const std::vector<TableEntry>& entries);

// The schema of a new entry database.
inline constexpr const char* kEntriesSchema =
    "CREATE TABLE entries (id INTEGER PRIMARY KEY, name TEXT COLLATE NOCASE NOT NULL, "
    "addr TEXT, description TEXT, usg INTEGER NOT NULL DEFAULT 0)";

} // namespace scrivlet
