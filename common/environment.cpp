#include "common/environment.h"

#include <cstdlib>

namespace scrivlet {

Environment processEnvironment()
{
    return [](const char* name) -> std::optional<std::string> {
        if (const char* value = std::getenv(name))
            return std::string(value);
        return std::nullopt;
    };
}

std::optional<std::filesystem::path> userConfigDirectory(const Environment& environment)
{
    if (const auto xdg = environment("XDG_CONFIG_HOME")) {
        const std::filesystem::path path(*xdg);
        if (path.is_absolute())
            return path;
    }
    if (const auto home = environment("HOME"); home && !home->empty())
        return std::filesystem::path(*home) / ".config";
    return std::nullopt;
}

std::optional<std::filesystem::path> programConfigDirectory(const Environment& environment)
{
    if (const auto config = userConfigDirectory(environment))
        return *config / "Vantor Scrivlet";
    return std::nullopt;
}

} // namespace scrivlet
