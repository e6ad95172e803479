#include "about/windows_registry.h"

#ifdef _WIN32

#include <string>

#include <windows.h>

namespace scrivlet {
namespace {

HKEY rootHandle(std::uint32_t root)
{
    switch (root) {
    case kHkeyClassesRoot: return HKEY_CLASSES_ROOT;
    case kHkeyCurrentUser: return HKEY_CURRENT_USER;
    case kHkeyLocalMachine: return HKEY_LOCAL_MACHINE;
    case kHkeyUsers: return HKEY_USERS;
    case kHkeyCurrentConfig: return HKEY_CURRENT_CONFIG;
    default: return nullptr;
    }
}

// An open registry key handle, closed on destruction.
class WindowsKey final : public RegistryKey {
public:
    explicit WindowsKey(HKEY key) : m_key(key) {}
    ~WindowsKey() override { RegCloseKey(m_key); }
    WindowsKey(const WindowsKey&) = delete;
    WindowsKey& operator=(const WindowsKey&) = delete;

    RegistryQuery queryValue(std::string_view name, std::span<std::byte> buffer) const override
    {
        const std::string valueName(name);
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(buffer.size());
        const LONG rc = RegQueryValueExA(m_key, valueName.c_str(), nullptr, &type,
                                         reinterpret_cast<LPBYTE>(buffer.data()), &size);
        if (rc == ERROR_SUCCESS)
            return {RegistryQuery::Status::Ok, static_cast<std::uint32_t>(type), size};
        if (rc == ERROR_MORE_DATA)
            return {RegistryQuery::Status::MoreData, static_cast<std::uint32_t>(type), size};
        if (rc == ERROR_FILE_NOT_FOUND)
            return {RegistryQuery::Status::NotFound, kRegNone, 0};
        return {RegistryQuery::Status::Failed, kRegNone, 0};
    }

private:
    HKEY m_key;
};

} // namespace

std::unique_ptr<RegistryKey> WindowsRegistry::openKey(std::uint32_t root, std::string_view subkey,
                                                      std::uint32_t access) const
{
    const HKEY rootKey = rootHandle(root);
    if (!rootKey)
        return nullptr;
    const std::string path(subkey);
    HKEY key = nullptr;
    if (RegOpenKeyExA(rootKey, path.c_str(), 0, static_cast<REGSAM>(access), &key) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<WindowsKey>(key);
}

} // namespace scrivlet

#endif
