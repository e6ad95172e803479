#pragma once

#include "reference/importer_io.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace scrivlet {

// Whether a file found in a folder is read as a source: the first three characters after the
// last dot of its name are exactly "txt", "rpl", "s", "asm" or "a" (case-sensitive, so "TXT"
// is passed over and "rplx" is read). A name without a dot is passed over.
bool hasSourceExtension(std::string_view fileName);

// The files a learning run reads: every path named that is a file, whatever its name, and the
// files with a source extension under every folder named, searched recursively, each folder's
// files in name order. A file reached twice is read once.
struct SourceFiles {
    std::vector<std::string> files;
    std::size_t folders = 0;    // folders searched, the named ones and those below them
    std::size_t passedOver = 0; // files in those folders without a source extension
};

// Fails naming the path when one does not exist or a folder cannot be listed.
RunResult<SourceFiles> collectSourceFiles(const std::vector<std::string>& paths);

// What a learning run counted and wrote.
struct LearnSummary {
    std::string databasePath;
    std::size_t sources = 0;  // source files read
    std::size_t listings = 0; // loader listings read
    std::size_t folders = 0;
    std::size_t passedOver = 0;
    std::uint64_t bytes = 0;
    std::uint64_t uses = 0;                                     // added to the usage counts in all
    std::vector<std::pair<std::string, std::uint64_t>> counted; // entry, uses; most used first
    std::uint64_t unknownListingUses = 0;
    std::vector<std::string> unknownListingNames;
    std::vector<std::string> notes; // remarks on single files
    std::uint64_t pairUses = 0;     // added to the pairs of a name and the word before it
    std::size_t pairs = 0;          // distinct pairs those uses went to
};

// Reads the sources and listings under paths and adds to each entry's usage count the uses
// counted (see UsageCounter), and to the database's pairs (see WordPairs) every use in a source
// with the word of code before it in the same file, all in one transaction. Each file is decoded as
// UTF-8 when it is valid UTF-8, else as Windows-1252, and so are the names in the database, so that
// they compare alike. The database must exist. Every file is read before anything is written: a
// file that cannot be read stops the run and leaves the database as it was. An entry whose name
// several rows share is counted on the first of them.
RunResult<LearnSummary> learnUsage(const std::vector<std::string>& paths,
                                   const std::string& databasePath);

// The report printed after learning: what was read, then every entry counted with its uses.
std::string describeLearning(const LearnSummary& summary);

} // namespace scrivlet
