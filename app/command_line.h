#pragma once

#include <string>
#include <vector>

namespace scrivlet {

// What the program was asked to do by its arguments.
struct CommandLine {
    enum class Action { Run, Help, Version };

    Action action = Action::Run;
    std::string screenshotFile; // --screenshot FILE: render the window to a PNG and quit
    std::string sourceFile;     // everything else: one path
};

// The arguments after the program name. An argument list of exactly "--help" or exactly
// "--version" asks for that text and nothing else; "--screenshot FILE" may lead; all other
// arguments are joined by single spaces and every double quote is removed, so the rest is
// always one path, spaces and all ("--help extra" is the file "--help extra").
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The arguments joined by single spaces with every double quote removed.
std::string joinedPath(const std::vector<std::string>& arguments);

// The text printed by --help, for the program started as programName.
std::string usageText(const std::string& programName);

} // namespace scrivlet
