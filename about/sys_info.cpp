#include "about/sys_info.h"

#include "about/reg_file_view.h"
#include "about/windows_registry.h"
#include "common/file_io.h"

#include <algorithm>
#include <array>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace scrivlet {
namespace {

// A registry export file larger than this is not read.
constexpr std::size_t kLargestRegistryFile = 16 * 1024 * 1024;

const char* const kDesktopPrograms[] = {"hardinfo2", "hardinfo", "kinfocenter",
                                        "gnome-system-monitor"};

} // namespace

bool GetKeyValue(const RegistryView& registry, std::uint32_t root, std::string_view subkey,
                 std::string_view valueName, std::string& text)
{
    const std::unique_ptr<RegistryKey> key = registry.openKey(root, subkey, kKeyReadAccess);
    if (!key) {
        text.clear();
        return false;
    }
    std::array<std::byte, kValueBufferSize> buffer{};
    const RegistryQuery query = key->queryValue(valueName, buffer);
    if (query.status != RegistryQuery::Status::Ok) {
        text.clear();
        return false;
    }
    if (query.size == 0 || query.size > buffer.size())
        throw RegistryValueError("the registry value " + std::string(valueName) +
                                 " holds no bytes to read");
    std::size_t length = query.size;
    if (buffer[length - 1] == std::byte{0})
        --length;
    const std::string_view bytes(reinterpret_cast<const char*>(buffer.data()), length);
    switch (query.type) {
    case kRegSz: text.assign(bytes); break;
    case kRegDword: text = dwordText(bytes); break;
    default: break;
    }
    return true;
}

std::string dwordText(std::string_view bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (auto it = bytes.rbegin(); it != bytes.rend(); ++it) {
        const auto byte = static_cast<unsigned char>(*it);
        hex.push_back(digits[byte >> 4]);
        hex.push_back(digits[byte & 0x0F]);
    }
    const std::size_t first = hex.find_first_not_of('0');
    return "&h" + (first == std::string::npos ? std::string("0") : hex.substr(first));
}

std::string sysInfoFileInFolder(std::string_view folder)
{
#ifdef _WIN32
    const char separator = '\\';
#else
    const char separator = '/';
#endif
    std::string file(folder);
    file += separator;
    file += kSysInfoFileName;
    return file;
}

std::optional<std::string> findSysInfoTool(
    const RegistryView& registry, const std::function<bool(const std::string&)>& fileExists)
{
    try {
        std::string text;
        if (GetKeyValue(registry, kHkeyLocalMachine, kMsinfoKey, kMsinfoPathValue, text))
            return text;
        if (!GetKeyValue(registry, kHkeyLocalMachine, kSharedToolsKey, kSharedToolsMsinfoValue,
                         text))
            return std::nullopt;
        const std::string file = sysInfoFileInFolder(text);
        if (fileExists(file))
            return file;
        return std::nullopt;
    } catch (const RegistryValueError&) {
        return std::nullopt;
    }
}

bool isRegularFile(const std::string& path)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

std::optional<std::string> findDesktopSysInfoProgram(std::string_view searchPath)
{
#ifdef _WIN32
    (void)searchPath;
    return std::nullopt;
#else
    std::vector<std::string> folders;
    for (std::size_t start = 0; start <= searchPath.size();) {
        const std::size_t colon = std::min(searchPath.find(':', start), searchPath.size());
        const std::string_view folder = searchPath.substr(start, colon - start);
        // Relative entries (the current folder among them) are never searched.
        if (!folder.empty() && folder.front() == '/')
            folders.emplace_back(folder);
        start = colon + 1;
    }
    for (const char* program : kDesktopPrograms) {
        for (const std::string& folder : folders) {
            const std::string candidate = folder + '/' + program;
            struct stat status {};
            if (::stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
                ::access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
    }
    return std::nullopt;
#endif
}

std::optional<std::filesystem::path> registryFilePath(const Environment& environment)
{
    if (const auto folder = programConfigDirectory(environment))
        return *folder / "registry.reg";
    return std::nullopt;
}

std::unique_ptr<RegistryView> registryFromFile(RegFile file,
                                               const std::optional<std::string>& desktopProgram)
{
    if (desktopProgram &&
        !file.value(kHkeyLocalMachine, kMsinfoKey, kMsinfoPathValue) &&
        !file.value(kHkeyLocalMachine, kSharedToolsKey, kSharedToolsMsinfoValue)) {
        std::string path = *desktopProgram;
        path.push_back('\0');
        file.set(kHkeyLocalMachine, kMsinfoKey, kMsinfoPathValue, {kRegSz, std::move(path)});
    }
    return std::make_unique<RegFileView>(std::move(file));
}

std::unique_ptr<RegistryView> openSystemRegistry(const Environment& environment,
                                                 std::vector<std::string>& problems)
{
#ifdef _WIN32
    (void)environment;
    (void)problems;
    return std::make_unique<WindowsRegistry>();
#else
    RegFile file;
    if (const auto path = registryFilePath(environment)) {
        const FileReadResult read = readWholeFile(path->string(), kLargestRegistryFile);
        if (read.ok) {
            file = RegFile::parse(read.bytes);
            for (const RegFileProblem& problem : file.problems())
                problems.push_back(path->string() + ":" + std::to_string(problem.line) + ": " +
                                   problem.message);
        } else if (!read.missing) {
            problems.push_back(path->string() + ": " + read.reason);
        }
    }
    const auto searchPath = environment("PATH");
    return registryFromFile(std::move(file),
                            findDesktopSysInfoProgram(searchPath ? *searchPath : std::string()));
#endif
}

} // namespace scrivlet
