#pragma once

#include "reference/importer_io.h"
#include "rpl/rom_names.h"

#include <string>
#include <string_view>

namespace scrivlet {

// The ROM names of an entry database, for the compiler and the decompiler: every entry's name
// and address, in the order of the entries' ids (so the first name given for an address is the
// one the book gave first). The database is only read. Fails naming the path when it is
// missing, no entry database, or unreadable; entries with an address of no known form are left
// out.
RunResult<RomNames> readRomNames(const std::string& databasePath);

// The ROM names of an entry table in our own NAME <TAB> ADDRESS form (data/rom49.tbl), in its
// order; lines that are no entry are passed over.
RomNames romNamesOfTable(std::string_view tableText);

} // namespace scrivlet
