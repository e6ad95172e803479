#pragma once

#include "reference/importer_io.h"
#include "reference/sqlite_database.h"
#include "reference/table_formats.h"

#include <memory>
#include <string>
#include <vector>

namespace scrivlet {

// One table file as read for an import.
struct TableFile {
    std::string path;
    TableFormat format = TableFormat::EntryTable;
    ParsedTable table;
};

// Reads a file, decodes it (UTF-8 when it is valid UTF-8, else Windows-1252) and recognises its
// format. Fails naming the file when it cannot be read or holds no entry in any of the formats.
RunResult<TableFile> readTableFile(const std::string& path);

// What one file of an import brought.
struct TableFileSummary {
    std::string path;
    TableFormat format = TableFormat::EntryTable;
    std::size_t entries = 0;
    std::vector<SkippedLine> skipped;
    std::vector<std::string> notes;
};

// What an import did to the database.
struct ImportSummary {
    std::string databasePath;
    bool created = false; // the database file was made by this import
    std::vector<TableFileSummary> files;
    std::size_t added = 0;
    std::size_t updated = 0;
    std::size_t unchanged = 0;
    std::size_t givenAgain = 0; // names that a later file of the same import gave again
};

// Writes the entries of the tables into the entry database at databasePath, in one transaction.
// An incoming name matches the rows whose name is exactly the same, letter case included, so
// casedrop and caseDROP stay two entries. A name that several tables give takes its address
// from the last of them, its description from the last one that has a description.
// New names become rows with usage count 0; for a name already present every row of that name
// gets the address, and the description when the table gives one; usage counts, descriptions
// the tables do not give and all other fields are kept; no row is ever deleted. A description
// from an entries database only fills a description that is empty (no row's, no earlier
// table's is replaced by it).
// Names are stored as UTF-8. A database file that does not exist is created. On any failure the
// database file is left as it was, and a file made by this import is removed again.
RunResult<ImportSummary> importTables(const std::vector<TableFile>& tables,
                                      const std::string& databasePath);

// Reads every file, then imports them: a file that cannot be read or is no table stops the
// import before the database is touched.
RunResult<ImportSummary> importTableFiles(const std::vector<std::string>& paths,
                                          const std::string& databasePath);

// The summary printed after an import: the files with their skipped lines grouped by reason,
// then the counts of added, updated and unchanged entries.
std::string describeImport(const ImportSummary& summary);

// Opens the existing entry database at path. Fails naming path unless it is an SQLite database
// holding the table entries with the required columns (see checkEntrySchema) that takes writes
// (ExistingOnly) or that is only read (ReadOnly).
RunResult<std::unique_ptr<SqliteDatabase>>
openEntryDatabase(const std::string& path,
                  SqliteDatabase::OpenMode mode = SqliteDatabase::OpenMode::ExistingOnly);

} // namespace scrivlet
