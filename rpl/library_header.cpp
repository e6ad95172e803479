#include "rpl/library_header.h"

#include <cstdio>

namespace scrivlet {

std::string libraryHeaderText(std::uint32_t romId, std::string_view projectPath,
                              const std::vector<HeaderSource>& sources)
{
    std::string text = "* This Header file has been automaticaly\n* generated from the " +
                       std::string(projectPath) + " project files\n* including:\n";
    for (const HeaderSource& source : sources)
        text += "*    " + source.file + "\n";
    char lib[16];
    std::snprintf(lib, sizeof lib, "%X", static_cast<unsigned>(romId));
    text += std::string("\nASSEMBLEM DC RomId ") + lib + " !RPL\nxROMID " + lib + "\n";
    for (const HeaderSource& source : sources) {
        text += "\n* entries of the file " + source.file + "\n";
        for (const std::string& entry : source.entries)
            text += "EXTERNAL " + entry + "\n";
    }
    return text + "\n";
}

} // namespace scrivlet
