// Builds the shipped entry database from the starter tables: scrivlet-mkdb OUTPUT TABLE...
// The tables go through the same importer as "vantor-scrivlet --import", but strictly: a
// skipped line fails the build. The database is made beside OUTPUT under a temporary name and
// renamed into place, so an interrupted build never leaves a half-made database.
#include "reference/importer.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fputs("usage: scrivlet-mkdb OUTPUT TABLE...\n", stderr);
        return 2;
    }
    const std::filesystem::path output = argv[1];
    const std::filesystem::path temporary = output.string() + ".new";
    std::error_code ec;
    std::filesystem::remove(temporary, ec);
    try {
        std::vector<scrivlet::TableFile> tables;
        bool clean = true;
        for (int i = 2; i < argc; ++i) {
            auto read = scrivlet::readTableFile(argv[i]);
            if (!read.ok()) {
                std::fprintf(stderr, "scrivlet-mkdb: %s\n", read.error.c_str());
                return 1;
            }
            tables.push_back(std::move(*read.value));
            for (const auto& s : tables.back().table.skipped) {
                std::fprintf(stderr, "%s:%zu: %s\n", argv[i], s.line, s.reason.c_str());
                clean = false;
            }
        }
        if (!clean)
            return 1;
        const auto imported = scrivlet::importTables(tables, temporary.string());
        if (!imported.ok()) {
            std::fprintf(stderr, "scrivlet-mkdb: %s\n", imported.error.c_str());
            return 1;
        }
        std::filesystem::rename(temporary, output);
    } catch (const std::exception& e) {
        std::filesystem::remove(temporary, ec);
        std::fprintf(stderr, "scrivlet-mkdb: %s\n", e.what());
        return 1;
    }
    return 0;
}
