#pragma once

#include "reference/entry_schema.h"
#include "reference/sqlite_database.h"
#include "temp_dir.h" // found beside this file, also from bench/

#include <cstdint>
#include <string>
#include <vector>

namespace scrivlet::fixtures {

struct FixtureEntry {
    std::string name;
    std::string addr;
    std::string description;
    std::int64_t usg = 0;
};

// Writes a new entry database holding these rows (ids 1, 2, ... in the given order).
inline void writeEntryDatabase(const std::string& path, const std::vector<FixtureEntry>& rows)
{
    SqliteDatabase db(path, SqliteDatabase::OpenMode::CreateIfMissing);
    SqliteTransaction transaction(db);
    db.exec(kEntriesSchema);
    auto insert =
        db.prepare("INSERT INTO entries (name, addr, description, usg) VALUES (?1, ?2, ?3, ?4)");
    for (const auto& r : rows) {
        insert.bind(1, r.name);
        insert.bind(2, r.addr);
        insert.bind(3, r.description);
        insert.bind(4, r.usg);
        insert.step();
        insert.reset();
    }
    transaction.commit();
}

// Reads one entry's usage count straight from the file.
inline std::int64_t usageInFile(const std::string& path, const std::string& name)
{
    SqliteDatabase db(path, SqliteDatabase::OpenMode::ExistingOnly);
    auto stmt = db.prepare("SELECT usg FROM entries WHERE name = ?1");
    stmt.bind(1, name);
    return stmt.step() ? stmt.integer(0) : -1;
}

// A small reference used across tests: usage order DUP, SWAP, DROP, DUPDUP, 2DROP, ...
inline std::vector<FixtureEntry> sampleEntries()
{
    return {
        {"DROP", "03244", "( ob -> )", 5},
        {"DUP", "03188", "( ob -> ob ob )%0ADuplicates level 1.", 9},
        {"DUPDUP", "35CE0", "( ob -> ob ob ob )", 5},
        {"SWAP", "03223", "( 1 2 -> 2 1 )", 7},
        {"2DROP", "03258", "", 0},
        {"a*b", "00001", "star", 0},
        {"a_c", "00002", "underscore", 0},
        {"dupx", "00003", "lower case", 0},
    };
}

} // namespace scrivlet::fixtures
