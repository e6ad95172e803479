#pragma once

#include "calculator/library_object.h"
#include "rpl/rom_names.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scrivlet {

// A library as a project folder and back.
//
// The project file (.hpp) is an INI file: [Main] with library=1, Romid= (hex), Title=, Config=,
// Message=, Calc48= (1 for a 48-series library) and FilePath= (the library's file), [Files] with
// file1=... in the order the commands lie in the library. Each source file holds one command:
// comment lines starting with *, RPL, then "xNAME name" (a visible command) or "NULLNAME name"
// (a hidden one) on a line of its own, then the command's object as the compiler reads it, to
// the end of the file. Config= and Message= name files holding the configuration object and
// the message table in the same form without the name line; an empty Config= stands for the
// configuration HP's tools put into every library (attach the library at warm start). Texts
// are written as HP's compiler reads them: a backslash and two hex digits for a byte (\97).
// A file of [Files] whose name ends in .h is a header: its DEFINEs count, it holds no command.
//
// WriteHeader=1 in [Main] asks for the project's header, NAME.h for NAME.hpp, beside the
// project: the library number (ASSEMBLEM DC RomId and xROMID) and an EXTERNAL line for each
// command as the sources call it (xname for xNAME name, name for NULLNAME name), grouped by
// source file, so other projects and the sources themselves can INCLUDE it. A source that
// INCLUDEs it reads the header this build writes, not an older one.

struct ProjectFile {
    std::string name; // a file name without folders
    std::string text;
};

// The project file first (named `base`.hpp), then the sources. A 48-series library's pointers
// are written by address: its ROM is not the book's.
std::vector<ProjectFile> libraryProjectFiles(const LibraryParts& parts, const std::string& base,
                                             const RomNames& names, bool hp48);

struct ProjectError {
    std::string file; // empty for the project file itself
    std::size_t line = 0;
    std::size_t column = 0;
    std::string message;
};

struct ProjectBuild {
    bool ok = false;
    LibraryParts parts;
    // A project with library=0 builds its one source's object instead of a library.
    std::optional<RplObject> object;
    bool hp48 = false;
    std::string libraryFile; // FilePath=, empty when not given
    std::string headerName;  // NAME.h when the project asks for its header, else empty
    std::string headerText;
    ProjectError error;
};

// Reads a file of the project by the name the project gives; nothing when it cannot.
using ProjectFileReader = std::function<std::optional<std::string>(const std::string& name)>;

// The folders the project's RPL_INCLUDE= names (separated by ;) for the files its sources
// INCLUDE that are not beside them, as written (relative to the project's folder or absolute).
std::vector<std::string> projectIncludeFolders(std::string_view projectText);

// The library's parts from the project file's text and its sources. `projectPath` names the
// project file (its header is named after it); without it no header is made.
ProjectBuild buildLibraryProject(std::string_view projectText, const ProjectFileReader& read,
                                 const RomNames& names, std::string_view projectPath = {});

struct SourceCompile {
    bool ok = false;
    RplObject object;
    ProjectError error; // file: empty for the source itself, else the INCLUDEd file
};

// One System RPL source file as a project's source is read (comments, RPL, DEFINE, INCLUDE
// through `read`, EXTERNAL), compiled to its object: the object after its xNAME or NULLNAME
// line, or the file's one object when it names none. A file with several commands is refused
// at the second: that is a library project's work.
SourceCompile compileSystemSource(std::string_view text, const ProjectFileReader& read,
                                  const RomNames& names);

} // namespace scrivlet
