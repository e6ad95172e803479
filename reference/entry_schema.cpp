#include "reference/entry_schema.h"

#include "common/ascii.h"
#include "reference/sqlite_database.h"

#include <algorithm>
#include <string>
#include <vector>

namespace scrivlet {

SchemaCheck checkEntrySchema(SqliteDatabase& db)
{
    std::vector<std::string> columns;
    auto info = db.prepare("PRAGMA table_info(entries)");
    while (info.step())
        columns.push_back(info.text(1));
    if (columns.empty())
        return {SchemaCheck::Problem::NoTable, {}};
    for (const std::string_view required : kRequiredColumns) {
        if (std::none_of(columns.begin(), columns.end(),
                         [&](const std::string& c) { return equalsNoCase(c, required); }))
            return {SchemaCheck::Problem::NoColumn, required};
    }
    return {};
}

} // namespace scrivlet
