#include "reference/rom_names_reader.h"

#include "reference/entry_table.h"
#include "reference/importer.h"
#include "reference/sqlite_database.h"

#include <filesystem>

namespace scrivlet {

RunResult<RomNames> readRomNames(const std::string& databasePath)
{
    using Result = RunResult<RomNames>;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(databasePath, ec))
        return Result::failure(databasePath +
                               ": no such entry database; build one first with --import");
    try {
        auto opened = openEntryDatabase(databasePath, SqliteDatabase::OpenMode::ReadOnly);
        if (!opened.ok())
            return Result::failure(std::move(opened.error));
        SqliteStatement rows =
            (*opened.value)->prepare("SELECT name, addr FROM entries ORDER BY id");
        RomNames names;
        while (rows.step())
            if (!rows.isNull(0) && !rows.isNull(1))
                names.add(rows.text(0), rows.text(1));
        return {std::move(names), {}};
    } catch (const SqliteError& e) {
        return Result::failure(databasePath + ": " + e.what());
    }
}

RomNames romNamesOfTable(std::string_view tableText)
{
    RomNames names;
    for (const TableEntry& e : parseEntryTable(tableText).entries)
        names.add(e.name, e.addr);
    return names;
}

} // namespace scrivlet
