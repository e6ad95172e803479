#include "reference/importer.h"

#include "common/plural.h"
#include "common/windows1252.h"
#include "reference/entry_schema.h"
#include "reference/sqlite_database.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <unordered_map>

namespace scrivlet {
namespace {

constexpr std::size_t kLinesListedPerReason = 5;

// A row of the database as the import compares it.
struct ExistingRow {
    std::int64_t id = 0;
    std::string addr;
    std::optional<std::string> description;
};

// An entry as the import writes it.
struct MergedEntry {
    TableEntry entry;
    // The description came from an entries database: it only fills an empty description.
    bool fillsOnly = false;
};

// The entries of all tables, one per name: a later table's address wins, and its description
// when it has one, except that an entries database's description only fills an empty one.
std::vector<MergedEntry> mergeTables(const std::vector<TableFile>& tables, ImportSummary& summary)
{
    std::vector<MergedEntry> merged;
    std::unordered_map<std::string, std::size_t> byName;
    for (const TableFile& file : tables) {
        summary.files.push_back({file.path, file.format, file.table.entries.size(),
                                 file.table.skipped, file.table.notes});
        const bool fillsOnly = file.format == TableFormat::EntriesDatabase;
        for (const TableEntry& entry : file.table.entries) {
            const auto [it, isNew] = byName.try_emplace(entry.name, merged.size());
            if (isNew) {
                merged.push_back({entry, fillsOnly});
                continue;
            }
            ++summary.givenAgain;
            MergedEntry& kept = merged[it->second];
            kept.entry.addr = entry.addr;
            if (!entry.description.empty() && (!fillsOnly || kept.entry.description.empty())) {
                kept.entry.description = entry.description;
                kept.fillsOnly = fillsOnly;
            }
        }
    }
    return merged;
}

std::unordered_map<std::string, std::vector<ExistingRow>> readExistingRows(SqliteDatabase& db)
{
    std::unordered_map<std::string, std::vector<ExistingRow>> rows;
    auto select = db.prepare("SELECT id, name, addr, description FROM entries ORDER BY id");
    while (select.step()) {
        ExistingRow row;
        row.id = select.integer(0);
        row.addr = select.text(2);
        if (!select.isNull(3))
            row.description = select.text(3);
        // Older databases hold Windows-1252 names; the tables' names are UTF-8.
        rows[decodeUtf8OrWindows1252(select.text(1))].push_back(std::move(row));
    }
    return rows;
}

void writeEntries(SqliteDatabase& db, bool created, const std::vector<MergedEntry>& entries,
                  ImportSummary& summary)
{
    // Changed pages stay in memory until the commit, so a run that is killed midway has not
    // touched the database file at all.
    db.exec("PRAGMA cache_spill = OFF");
    SqliteTransaction transaction(db);
    if (created)
        db.exec(kEntriesSchema);
    const auto existing = readExistingRows(db);

    auto insert =
        db.prepare("INSERT INTO entries (name, addr, description, usg) VALUES (?1, ?2, ?3, 0)");
    auto setAddress = db.prepare("UPDATE entries SET addr = ?1 WHERE id = ?2");
    auto setBoth = db.prepare("UPDATE entries SET addr = ?1, description = ?2 WHERE id = ?3");
    for (const auto& [entry, fillsOnly] : entries) {
        const auto found = existing.find(entry.name);
        if (found == existing.end()) {
            insert.bind(1, entry.name);
            insert.bind(2, entry.addr);
            if (entry.description.empty())
                insert.bindNull(3);
            else
                insert.bind(3, entry.description);
            insert.step();
            insert.reset();
            ++summary.added;
            continue;
        }
        bool changed = false;
        for (const ExistingRow& row : found->second) {
            const bool rowDescribed = row.description && !row.description->empty();
            const bool newDescription = !entry.description.empty() &&
                                        row.description != entry.description &&
                                        !(fillsOnly && rowDescribed);
            if (row.addr == entry.addr && !newDescription)
                continue;
            changed = true;
            if (!newDescription) {
                setAddress.bind(1, entry.addr);
                setAddress.bind(2, row.id);
                setAddress.step();
                setAddress.reset();
            } else {
                setBoth.bind(1, entry.addr);
                setBoth.bind(2, entry.description);
                setBoth.bind(3, row.id);
                setBoth.step();
                setBoth.reset();
            }
        }
        ++(changed ? summary.updated : summary.unchanged);
    }
    transaction.commit();
}

// Makes an empty file at path, failing when one exists already; an empty file is an empty
// SQLite database. Returns why it could not, if so.
std::optional<std::string> createEmptyFile(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "wbx");
    if (!file)
        return path + ": the new database cannot be created";
    if (std::fclose(file) != 0)
        return path + ": the new database cannot be written";
    return std::nullopt;
}

std::string lineList(const std::vector<std::size_t>& lines)
{
    std::string out;
    for (std::size_t i = 0; i < lines.size() && i < kLinesListedPerReason; ++i)
        out += (i == 0 ? "" : ", ") + std::to_string(lines[i]);
    if (lines.size() > kLinesListedPerReason)
        out += ", ...";
    return out;
}

} // namespace

RunResult<std::unique_ptr<SqliteDatabase>> openEntryDatabase(const std::string& path,
                                                             SqliteDatabase::OpenMode mode)
{
    using Result = RunResult<std::unique_ptr<SqliteDatabase>>;
    std::unique_ptr<SqliteDatabase> db;
    SchemaCheck schema;
    try {
        db = std::make_unique<SqliteDatabase>(path, mode);
        schema = checkEntrySchema(*db);
    } catch (const SqliteError& e) {
        return Result::failure(path + ": not an entry database (" + e.what() + ")");
    }
    if (schema.problem == SchemaCheck::Problem::NoTable)
        return Result::failure(path + ": the database has no table entries");
    if (schema.problem == SchemaCheck::Problem::NoColumn)
        return Result::failure(path + ": the table entries has no column " +
                               std::string(schema.column));
    if (mode != SqliteDatabase::OpenMode::ReadOnly && db->isReadOnly())
        return Result::failure(path + ": the database cannot be written");
    return {std::move(db), {}};
}

RunResult<TableFile> readTableFile(const std::string& path)
{
    const RunResult<std::string> bytes = readInputFile(path);
    if (!bytes.ok())
        return RunResult<TableFile>::failure(bytes.error);
    const std::string text = decodeUtf8OrWindows1252(*bytes.value);
    const auto format = recogniseTableFormat(text);
    if (!format)
        return RunResult<TableFile>::failure(path + ": not a text file, so no entry table");
    TableFile file{path, *format, parseTable(text, *format)};
    if (file.table.entries.empty())
        return RunResult<TableFile>::failure(path + ": no entries found (read as " +
                                             std::string(formatName(*format)) + ")");
    return {std::move(file), {}};
}

RunResult<ImportSummary> importTables(const std::vector<TableFile>& tables,
                                      const std::string& databasePath)
{
    using Result = RunResult<ImportSummary>;
    ImportSummary summary;
    summary.databasePath = databasePath;
    const std::vector<MergedEntry> entries = mergeTables(tables, summary);

    std::error_code ec;
    const auto status = std::filesystem::status(databasePath, ec);
    if (status.type() == std::filesystem::file_type::directory)
        return Result::failure(databasePath + ": is a folder, not a database");
    summary.created = status.type() == std::filesystem::file_type::not_found;
    if (summary.created) {
        if (auto error = createEmptyFile(databasePath))
            return Result::failure(std::move(*error));
    }
    std::string error;
    try {
        std::unique_ptr<SqliteDatabase> db;
        if (summary.created) {
            db = std::make_unique<SqliteDatabase>(databasePath,
                                                  SqliteDatabase::OpenMode::ExistingOnly);
        } else if (auto opened = openEntryDatabase(databasePath); opened.ok()) {
            db = std::move(*opened.value);
        } else {
            error = opened.error;
        }
        if (db)
            writeEntries(*db, summary.created, entries, summary);
    } catch (const SqliteError& e) {
        error = databasePath + ": " + e.what();
    }
    if (error.empty())
        return {std::move(summary), {}};
    if (summary.created) {
        std::filesystem::remove(databasePath, ec);
        std::filesystem::remove(databasePath + "-journal", ec);
    }
    return Result::failure(std::move(error));
}

RunResult<ImportSummary> importTableFiles(const std::vector<std::string>& paths,
                                          const std::string& databasePath)
{
    std::vector<TableFile> tables;
    tables.reserve(paths.size());
    for (const std::string& path : paths) {
        RunResult<TableFile> read = readTableFile(path);
        if (!read.ok())
            return RunResult<ImportSummary>::failure(std::move(read.error));
        tables.push_back(std::move(*read.value));
    }
    return importTables(tables, databasePath);
}

std::string describeImport(const ImportSummary& summary)
{
    std::string out = "Imported into " + summary.databasePath +
                      (summary.created ? " (a new database):\n" : ":\n");
    for (const TableFileSummary& file : summary.files) {
        out += "  " + file.path + ": " + std::string(formatName(file.format)) + ", " +
               plural(file.entries, "entry", "entries");
        if (!file.skipped.empty())
            out += ", " + plural(file.skipped.size(), "line", "lines") + " skipped";
        out += "\n";
        // Group the skipped lines by reason, reasons in the order they first occur.
        std::vector<std::pair<std::string, std::vector<std::size_t>>> byReason;
        for (const SkippedLine& s : file.skipped) {
            auto it = std::find_if(byReason.begin(), byReason.end(),
                                   [&s](const auto& group) { return group.first == s.reason; });
            if (it == byReason.end())
                it = byReason.insert(byReason.end(), {s.reason, {}});
            it->second.push_back(s.line);
        }
        for (const auto& [reason, lines] : byReason)
            out += "    " + reason + ": " + plural(lines.size(), "line", "lines") + " (" +
                   lineList(lines) + ")\n";
        for (const std::string& note : file.notes)
            out += "    note: " + note + "\n";
    }
    out += "Added " + std::to_string(summary.added) + ", updated " +
           std::to_string(summary.updated) + ", unchanged " + std::to_string(summary.unchanged) +
           ".\n";
    if (summary.givenAgain > 0)
        out += plural(summary.givenAgain, "name was", "names were") +
               " given again by a later file; the later address is used.\n";
    return out;
}

} // namespace scrivlet
