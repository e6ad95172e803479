#pragma once

#include <string>
#include <vector>

namespace scrivlet {

// What the program was asked to do by its arguments.
struct CommandLine {
    std::string screenshotFile; // --screenshot FILE: render the window to a PNG and quit
    std::string sourceFile;     // everything else: one path
};

// The arguments after the program name. "--screenshot FILE" may lead; all other arguments are
// joined by single spaces and every double quote is removed, so the rest is always one path,
// spaces and all.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The arguments joined by single spaces with every double quote removed.
std::string joinedPath(const std::vector<std::string>& arguments);

} // namespace scrivlet
