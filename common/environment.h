#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace scrivlet {

// Looks up an environment variable; nullopt when it is not set. Code that reads the
// environment takes one of these, so tests can hand it a made-up environment.
using Environment = std::function<std::optional<std::string>(const char* name)>;

// The process's own environment.
Environment processEnvironment();

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else
// $HOME/.config. Nullopt when neither gives one.
std::optional<std::filesystem::path> userConfigDirectory(const Environment& environment);

// The program's own folder inside the configuration folder: "<config>/Vantor Scrivlet".
std::optional<std::filesystem::path> programConfigDirectory(const Environment& environment);

} // namespace scrivlet
