#pragma once

#include <string>
#include <vector>

namespace scrivlet {

// The arguments of a command-line mode that reads one file and writes one:
//   MODE INPUT [-o OUTPUT] [--database PATH | --database=PATH] [--system] [--include DIR]...
// in any order after the mode (--system only with --compile, --include with --compile and
// --build; --build also takes several inputs with --romid HEX and --title TEXT). `error` says what is wrong, in a few words, and is empty when
// nothing is; a missing INPUT is left for the mode to name.
struct FileCommandArguments {
    std::string mode; // the first argument, e.g. "--compile"
    std::string input;
    std::string output; // empty when -o is not given
    std::string database;
    bool system = false; // --system: the input is System RPL, whatever it starts with
    std::vector<std::string> includeFolders; // --include: where INCLUDEd headers are looked for
    // --build SOURCE.s... --romid HEX [--title TEXT]: a library of these sources, no project file.
    std::vector<std::string> moreInputs; // the inputs after the first
    std::string romId;
    std::string title;
    std::string error;
};

FileCommandArguments parseFileCommandArguments(const std::vector<std::string>& arguments);

} // namespace scrivlet
