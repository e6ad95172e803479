#include "app/command_line.h"

#include <algorithm>

namespace scrivlet {

std::string joinedPath(const std::vector<std::string>& arguments)
{
    std::string joined;
    for (const auto& a : arguments) {
        if (&a != &arguments.front())
            joined += ' ';
        joined += a;
    }
    std::erase(joined, '"');
    return joined;
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine result;
    auto rest = arguments.begin();
    if (arguments.size() >= 2 && arguments[0] == "--screenshot") {
        result.screenshotFile = arguments[1];
        rest += 2;
    }
    result.sourceFile = joinedPath(std::vector<std::string>(rest, arguments.end()));
    return result;
}

} // namespace scrivlet
