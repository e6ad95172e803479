#pragma once

#include <array>
#include <string_view>

namespace scrivlet {

class SqliteDatabase;

// The table every entry database holds. Other columns may be there too; they are carried along.
inline constexpr const char* kEntriesSchema =
    "CREATE TABLE entries (id INTEGER PRIMARY KEY, name TEXT COLLATE NOCASE NOT NULL, "
    "addr TEXT, description TEXT, usg INTEGER NOT NULL DEFAULT 0)";

inline constexpr std::array<std::string_view, 5> kRequiredColumns = {"id", "name", "addr",
                                                                     "description", "usg"};

// What the check of a database's table found.
struct SchemaCheck {
    enum class Problem { None, NoTable, NoColumn };
    Problem problem = Problem::None;
    std::string_view column; // NoColumn: the first required column that is missing
};

// Whether the database holds the table entries with every required column (names compare
// without regard to letter case). Throws SqliteError when the file cannot be read as a database.
SchemaCheck checkEntrySchema(SqliteDatabase& db);

} // namespace scrivlet
