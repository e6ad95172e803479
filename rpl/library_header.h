#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scrivlet {

// A source file of a library project and its commands as the sources call them (xname for
// xNAME name, name for NULLNAME name), in the file's order.
struct HeaderSource {
    std::string file;
    std::vector<std::string> entries;
};

// The header a library project gives to the sources that call its commands, in the form HP's
// project tools write it: comment lines naming the project and its files, the library number
// for the assembler (ASSEMBLEM DC RomId lib !RPL) and the compiler (xROMID lib), then, file by
// file, an EXTERNAL line for each command. `romId` is written in hex as Romid= gives it.
std::string libraryHeaderText(std::uint32_t romId, std::string_view projectPath,
                              const std::vector<HeaderSource>& sources);

} // namespace scrivlet
