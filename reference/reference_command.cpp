#include "reference/reference_command.h"

#include "reference/entry_source.h"
#include "reference/importer.h"
#include "reference/savings_measure.h"
#include "reference/usage_learner.h"

#include <iostream>

namespace scrivlet {
namespace {

constexpr const char* kUsage =
    "usage: vantor-scrivlet --import FILE... [--database PATH]\n"
    "       vantor-scrivlet --learn PATH... [--database PATH]\n"
    "       vantor-scrivlet --measure-savings PATH... [--database PATH] [--names-in-file]\n"
    "                                                 [--no-previous-word] [--tab-in-word]\n"
    "The database defaults to entries97.mdb in the current folder.\n";

enum class Mode { None, Import, Learn, Measure };

Mode modeOf(const std::string& argument)
{
    if (argument == "--import")
        return Mode::Import;
    if (argument == "--learn")
        return Mode::Learn;
    if (argument == "--measure-savings")
        return Mode::Measure;
    return Mode::None;
}

struct Request {
    Mode mode = Mode::None;
    std::string database = kDatabaseFileName;
    std::vector<std::string> paths;
    ReplayOptions replay;
    std::string error; // why the arguments are wrong, empty when they are right
};

Request parseRequest(const std::vector<std::string>& arguments)
{
    Request request;
    bool optionsEnded = false;
    bool databaseGiven = false;
    bool tabGiven = false; // --tab-ends-word (as at first) or --tab-in-word
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded) {
            request.paths.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (const Mode mode = modeOf(argument); mode != Mode::None) {
            if (request.mode != Mode::None)
                request.error = "give one of --import, --learn and --measure-savings, once";
            request.mode = mode;
        } else if (argument == "--database" || argument.rfind("--database=", 0) == 0) {
            if (databaseGiven)
                request.error = "--database is given twice";
            databaseGiven = true;
            if (argument != "--database") {
                request.database = argument.substr(std::string("--database=").size());
            } else if (i + 1 < arguments.size()) {
                request.database = arguments[++i];
            } else {
                request.error = "--database needs a path";
            }
            if (request.database.empty() && request.error.empty())
                request.error = "--database needs a path";
        } else if (argument == "--names-in-file") {
            request.replay.namesInFile = true;
        } else if (argument == "--no-previous-word") {
            request.replay.previousWord = false;
        } else if (argument == "--tab-ends-word" || argument == "--tab-in-word") {
            if (tabGiven)
                request.error = "give one of --tab-ends-word and --tab-in-word, once";
            tabGiven = true;
            request.replay.tabEndsWord = argument == "--tab-ends-word";
        } else if (argument.size() > 1 && argument.front() == '-' && argument[1] == '-') {
            request.error = "unknown option " + argument;
        } else {
            request.paths.push_back(argument);
        }
    }
    if (request.error.empty() && request.mode == Mode::None)
        request.error = "--database goes with --import, --learn or --measure-savings";
    if (request.error.empty() && request.replay.namesInFile && request.mode != Mode::Measure)
        request.error = "--names-in-file goes with --measure-savings";
    if (request.error.empty() && !request.replay.previousWord && !request.replay.namesInFile)
        request.error = "--no-previous-word goes with --names-in-file";
    if (request.error.empty() && tabGiven && request.mode != Mode::Measure)
        request.error = "--tab-ends-word and --tab-in-word go with --measure-savings";
    if (request.error.empty() && request.paths.empty())
        request.error = request.mode == Mode::Import  ? "no file to import"
                        : request.mode == Mode::Learn ? "no file or folder to learn from"
                                                      : "no file or folder to measure";
    return request;
}

} // namespace

std::optional<int> runReferenceCommand(const std::vector<std::string>& arguments, std::ostream& out,
                                       std::ostream& err)
{
    if (arguments.empty())
        return std::nullopt;
    const std::string& first = arguments.front();
    if (modeOf(first) == Mode::None && first != "--database" &&
        first.rfind("--database=", 0) != 0 && first != "--names-in-file" &&
        first != "--tab-ends-word" && first != "--tab-in-word" && first != "--no-previous-word")
        return std::nullopt;

    const Request request = parseRequest(arguments);
    if (!request.error.empty()) {
        err << "vantor-scrivlet: " << request.error << "\n" << kUsage;
        return 2;
    }
    if (request.mode == Mode::Measure) {
        // Only read: the database is left as it was whatever happens.
        const auto measured = measureSavings(request.paths, request.database, request.replay);
        if (!measured.ok()) {
            err << "vantor-scrivlet: " << measured.error << "\n";
            return 1;
        }
        out << describeSavings(*measured.value, request.replay);
        out.flush();
        return 0;
    }
    std::string error;
    if (request.mode == Mode::Import) {
        const auto imported = importTableFiles(request.paths, request.database);
        if (imported.ok())
            out << describeImport(*imported.value);
        error = imported.error;
    } else {
        const auto learned = learnUsage(request.paths, request.database);
        if (learned.ok())
            out << describeLearning(*learned.value);
        error = learned.error;
    }
    if (error.empty()) {
        out.flush();
        return 0;
    }
    err << "vantor-scrivlet: " << error << "\n"
        << "Nothing was changed in " << request.database << ".\n";
    return 1;
}

std::optional<int> runReferenceCommand(const std::vector<std::string>& arguments)
{
    return runReferenceCommand(arguments, std::cout, std::cerr);
}

} // namespace scrivlet
