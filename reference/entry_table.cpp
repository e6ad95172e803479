#include "reference/entry_table.h"

#include "reference/sqlite_database.h"

#include <filesystem>
#include <sqlite3.h>

namespace scrivlet {

ParsedTable parseEntryTable(std::string_view text)
{
    ParsedTable table;
    std::size_t lineNumber = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;

        const auto tab1 = line.find('\t');
        if (tab1 == std::string_view::npos || tab1 == 0) {
            table.skipped.push_back({lineNumber, "no name and address separated by a tab"});
            continue;
        }
        const auto tab2 = line.find('\t', tab1 + 1);
        TableEntry entry;
        entry.name = std::string(line.substr(0, tab1));
        entry.addr = std::string(line.substr(tab1 + 1, tab2 == std::string_view::npos
                                                            ? std::string_view::npos
                                                            : tab2 - tab1 - 1));
        if (tab2 != std::string_view::npos)
            entry.description = std::string(line.substr(tab2 + 1));
        if (entry.name.find(' ') != std::string::npos) {
            table.skipped.push_back({lineNumber, "the name holds a space"});
            continue;
        }
        table.entries.push_back(std::move(entry));
    }
    return table;
}

void createEntryDatabase(const std::string& path, const std::vector<TableEntry>& entries)
{
    if (std::filesystem::exists(path))
        throw SqliteError(SQLITE_CANTOPEN, path + " exists already");
    SqliteDatabase db(path, SqliteDatabase::OpenMode::CreateIfMissing);
    SqliteTransaction transaction(db);
    db.exec(kEntriesSchema);
    auto insert = db.prepare("INSERT INTO entries (name, addr, description, usg) VALUES (?1, ?2, ?3, 0)");
    for (const auto& e : entries) {
        insert.bind(1, e.name);
        insert.bind(2, e.addr);
        if (e.description.empty())
            insert.bindNull(3);
        else
            insert.bind(3, e.description);
        insert.step();
        insert.reset();
    }
    transaction.commit();
}

} // namespace scrivlet
