#include "app/file_command_arguments.h"

#include "reference/entry_source.h"

namespace scrivlet {

FileCommandArguments parseFileCommandArguments(const std::vector<std::string>& arguments)
{
    FileCommandArguments parsed;
    parsed.database = kDatabaseFileName;
    if (arguments.empty())
        return parsed;
    parsed.mode = arguments.front();
    bool outputGiven = false;
    bool databaseGiven = false;
    const auto given = [&parsed](bool& flag, const char* what) {
        if (flag)
            parsed.error = std::string(what) + " is given twice";
        flag = true;
    };
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto value = [&](std::string& into, const char* what, const char* needs = "a path") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty())
                parsed.error = std::string(what) + " needs " + needs;
            else
                into = arguments[++i];
        };
        if (argument == "-o") {
            given(outputGiven, "-o");
            value(parsed.output, "-o");
        } else if (argument == "--database") {
            given(databaseGiven, "--database");
            value(parsed.database, "--database");
        } else if (argument.rfind("--database=", 0) == 0) {
            given(databaseGiven, "--database");
            parsed.database = argument.substr(11);
        } else if (argument == "--system" && parsed.mode == "--compile") {
            parsed.system = true;
        } else if (argument == "--include" && (parsed.mode == "--compile" || parsed.mode == "--build")) {
            value(parsed.includeFolders.emplace_back(), "--include");
        } else if (argument == "--romid" && parsed.mode == "--build") {
            value(parsed.romId, "--romid", "a library number");
        } else if (argument == "--title" && parsed.mode == "--build") {
            value(parsed.title, "--title", "a text");
        } else if (!argument.empty() && argument[0] == '-') {
            parsed.error = "unknown option " + argument;
        } else if (parsed.input.empty()) {
            parsed.input = argument;
        } else {
            parsed.moreInputs.push_back(argument);
        }
    }
    if (parsed.error.empty() && !parsed.moreInputs.empty() && parsed.romId.empty())
        parsed.error = parsed.mode == "--build" ? "several sources build a library with --romid"
                                                : "one file at a time";
    if (parsed.error.empty() && parsed.database.empty())
        parsed.error = "--database needs a path";
    return parsed;
}

} // namespace scrivlet
