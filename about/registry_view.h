#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string_view>

namespace scrivlet {

// Predefined root keys, by the numbers the registry gives their handles.
inline constexpr std::uint32_t kHkeyClassesRoot = 0x80000000;
inline constexpr std::uint32_t kHkeyCurrentUser = 0x80000001;
inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002;
inline constexpr std::uint32_t kHkeyUsers = 0x80000003;
inline constexpr std::uint32_t kHkeyCurrentConfig = 0x80000005;

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// The access a key is opened with when values are read: query value, set value, create
// subkey, enumerate subkeys, notify, create link, read control.
inline constexpr std::uint32_t kKeyReadWriteAccess = 0x2003F;

// The outcome of reading a value into a caller's buffer.
struct RegistryQuery {
    enum class Status { Ok, NotFound, MoreData, Failed };
    Status status = Status::NotFound;
    std::uint32_t type = kRegNone;
    // Ok: the bytes written to the buffer; MoreData: the bytes the value holds.
    std::size_t size = 0;
};

// An open key. Closing is destroying it; a key never outlives the view that opened it.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    // Copies the named value's bytes, as the registry holds them, into the buffer; a value that
    // does not fit is not copied (MoreData). The empty name is the key's default value.
    virtual RegistryQuery queryValue(std::string_view name, std::span<std::byte> buffer) const = 0;
};

// Read access to a registry: the real one on Windows, a registry export file elsewhere.
class RegistryView {
public:
    virtual ~RegistryView() = default;
    // The key under a root key, or null when it does not exist or cannot be opened with that
    // access. Key names compare without regard to letter case.
    virtual std::unique_ptr<RegistryKey> openKey(std::uint32_t root, std::string_view subkey,
                                                 std::uint32_t access) const = 0;
};

// A value that cannot be turned into text: the failure goes to the caller.
class RegistryValueError final : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace scrivlet
