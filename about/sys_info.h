#pragma once

#include "about/reg_file.h"
#include "about/registry_view.h"
#include "common/environment.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scrivlet {

// Where the registry names the system information tool: the tool's full path, or the folder
// that holds MSINFO32.EXE.
inline constexpr std::string_view kMsinfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr std::string_view kMsinfoPathValue = "PATH";
inline constexpr std::string_view kSharedToolsKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr std::string_view kSharedToolsMsinfoValue = "MSINFO";
inline constexpr std::string_view kSysInfoFileName = "MSINFO32.EXE";

// The size of the buffer a value is read into; a larger value counts as absent.
inline constexpr std::size_t kValueBufferSize = 1024;

// The access the program asks for when it reads a key: query value, enumerate subkeys,
// notify, read control. Reading needs nothing more, and a user without administrator rights
// is refused anything more under HKEY_LOCAL_MACHINE.
inline constexpr std::uint32_t kKeyReadAccess = 0x20019;

// Reads one registry value as text. The key is opened, the value read into a buffer of 1024
// zero bytes and trimmed to its reported size, less one byte when the last one is a NUL.
// REG_SZ: `text` becomes the trimmed bytes. REG_DWORD: `text` becomes dwordText of them.
// Any other type leaves `text` as it was. The result is true in these three cases. When the
// key or the value is missing, or the value is larger than the buffer, `text` becomes empty
// and the result is false. A value of zero bytes cannot be read as text: RegistryValueError.
bool GetKeyValue(const RegistryView& registry, std::uint32_t root, std::string_view subkey,
                 std::string_view valueName, std::string& text);

// A DWORD's bytes (least significant first) as "&h" and the number in upper-case hex without
// leading zeros: 02 01 00 00 gives "&h102"; all zeros give "&h0".
std::string dwordText(std::string_view bytes);

// The name of MSINFO32.EXE in a folder: the folder and the file name joined by the system's
// path separator (a backslash on Windows).
std::string sysInfoFileInFolder(std::string_view folder);

// The system information tool the registry names: the MSINFO "PATH" value when it can be
// read; otherwise the "Shared Tools Location" MSINFO folder when it holds MSINFO32.EXE
// (`fileExists` decides). Nullopt when there is none, and when reading a value fails.
std::optional<std::string> findSysInfoTool(
    const RegistryView& registry, const std::function<bool(const std::string&)>& fileExists);

// True for an existing regular file (links followed).
bool isRegularFile(const std::string& path);

// The desktop's own system information program, looked for in a PATH-style list of folders:
// hardinfo2, hardinfo, kinfocenter, gnome-system-monitor, in this order. Only executable
// regular files count. Nullopt when none is installed (and always on Windows).
std::optional<std::string> findDesktopSysInfoProgram(std::string_view searchPath);

// Where the registry export file lives outside Windows:
// <configuration folder>/Vantor Scrivlet/registry.reg.
std::optional<std::filesystem::path> registryFilePath(const Environment& environment);

// The .reg file as a registry. When it names no tool (neither of the two values), the
// desktop's program, if given, is offered as the MSINFO "PATH" value.
std::unique_ptr<RegistryView> registryFromFile(RegFile file,
                                               const std::optional<std::string>& desktopProgram);

// The registry this system has: the real one on Windows; elsewhere registryFromFile over the
// registry export file (missing or unreadable: no keys) and the desktop's program found on
// $PATH. `problems` receives one line for each part of the file that was not understood.
std::unique_ptr<RegistryView> openSystemRegistry(const Environment& environment,
                                                 std::vector<std::string>& problems);

} // namespace scrivlet
