// Builds a new entry database from entry tables: scrivlet-mkdb OUTPUT TABLE...
// The database is written beside OUTPUT under a temporary name and renamed into place.
#include "reference/entry_table.h"
#include "reference/sqlite_database.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fputs("usage: scrivlet-mkdb OUTPUT TABLE...\n", stderr);
        return 2;
    }
    const std::filesystem::path output = argv[1];
    std::vector<scrivlet::TableEntry> entries;
    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "scrivlet-mkdb: cannot read %s\n", argv[i]);
            return 1;
        }
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        auto table = scrivlet::parseEntryTable(text);
        for (const auto& s : table.skipped)
            std::fprintf(stderr, "%s:%zu: %s\n", argv[i], s.line, s.reason.c_str());
        if (!table.skipped.empty())
            return 1;
        entries.insert(entries.end(), table.entries.begin(), table.entries.end());
    }
    const std::filesystem::path temporary = output.string() + ".new";
    std::filesystem::remove(temporary);
    try {
        scrivlet::createEntryDatabase(temporary.string(), entries);
        std::filesystem::rename(temporary, output);
    } catch (const std::exception& e) {
        std::filesystem::remove(temporary);
        std::fprintf(stderr, "scrivlet-mkdb: %s\n", e.what());
        return 1;
    }
    return 0;
}
