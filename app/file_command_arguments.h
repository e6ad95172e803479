#pragma once

#include <string>
#include <vector>

namespace scrivlet {

// The arguments of a command-line mode that reads one file and writes one:
//   MODE INPUT [-o OUTPUT] [--database PATH | --database=PATH]
// in any order after the mode. `error` says what is wrong, in a few words, and is empty when
// nothing is; a missing INPUT is left for the mode to name.
struct FileCommandArguments {
    std::string mode; // the first argument, e.g. "--compile"
    std::string input;
    std::string output; // empty when -o is not given
    std::string database;
    std::string error;
};

FileCommandArguments parseFileCommandArguments(const std::vector<std::string>& arguments);

} // namespace scrivlet
