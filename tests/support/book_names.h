#pragma once

#include "common/file_io.h"
#include "reference/rom_names_reader.h"

namespace scrivlet::fixtures {

// The ROM names of the shipped reference table (data/rom49.tbl), read once. The including
// target defines SCRIVLET_DATA_DIR.
inline const RomNames& bookNames()
{
    static const RomNames names =
        romNamesOfTable(readWholeFile(SCRIVLET_DATA_DIR "/rom49.tbl").bytes);
    return names;
}

} // namespace scrivlet::fixtures
