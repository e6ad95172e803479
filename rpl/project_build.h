#pragma once

#include "calculator/rpl_object.h"
#include "rpl/library_project.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace scrivlet {

// Reads the files a project or a source names: relative to `folder`, absolute names as they
// are. When no file has the name exactly, the one in its folder whose name differs only in
// letter case is read: projects written where letter case does not count INCLUDE "aspd.h" for
// ASPD.h. A name found in neither way beside the project is looked for in the include folders
// (relative to `folder` or absolute), in their order.
ProjectFileReader folderFileReader(const std::filesystem::path& folder,
                                   std::vector<std::string> includeFolders = {});
// The file the reader reads for `name`; folder/name when there is none.
std::filesystem::path projectFilePath(const std::filesystem::path& folder, const std::string& name,
                                      const std::vector<std::string>& includeFolders = {});

struct LibraryFileBuild {
    bool ok = false;
    // What went wrong: the file (the project itself when the fault is in it), the 1-based line
    // and column there (0 when there is no place) and the message.
    std::string file;
    std::size_t line = 0;
    std::size_t column = 0;
    std::string message;
    bool inSource = false; // a fault in the project's text, not a file that cannot be used
    std::string libraryPath;
    std::string headerPath; // the header written beside the project; empty when none
    RplObject library;
};

// Builds the library of the project file `projectPath` and writes it to `outputPath` (empty:
// the project's FilePath= beside it, else PROJECT.hp), then the header when the project asks
// for one. Headers not beside the project are looked for in the folders its RPL_INCLUDE= names,
// then in `includeFolders`. Each file is written whole or not at all; nothing is written when
// the build fails.
LibraryFileBuild buildLibraryFiles(const std::string& projectPath, const std::string& outputPath,
                                   const RomNames& names, std::vector<std::string> includeFolders = {});
// The same for a project given as its text, built as if it were the file `projectPath` (which
// need not exist): its sources are read beside it and its files named after it.
LibraryFileBuild buildLibraryOfProjectText(std::string_view projectText,
                                           const std::string& projectPath,
                                           const std::string& outputPath, const RomNames& names,
                                           std::vector<std::string> includeFolders = {});

} // namespace scrivlet
