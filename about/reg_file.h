#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace scrivlet {

// A value as the registry holds it: its type and its bytes. A string from a .reg file keeps
// the terminating NUL the registry stores with it.
struct RegValue {
    std::uint32_t type = 0;
    std::string data;

    friend bool operator==(const RegValue&, const RegValue&) = default;
};

// A line of a .reg file that was not understood and was skipped.
struct RegFileProblem {
    std::size_t line = 0; // 1-based
    std::string message;
};

// The keys and values of a registry export file (.reg), held as the registry would hold them
// after importing it. Understands both headers ("REGEDIT4" and "Windows Registry Editor
// Version 5.00"), UTF-16 files with a byte order mark, [KEY] and [-KEY] sections,
// "name"="text" with \\ and \" escapes, @= for the default value, "name"=- to remove a value,
// dword:XXXXXXXX, hex:.. and hex(N):.. byte lists continued over lines with a trailing
// backslash, and ; comments. A line that is not understood is skipped and reported; the rest
// of the file still counts. Key and value names compare without regard to ASCII letter case.
// A key exists when it is named in a section or is the parent of one that is.
class RegFile final {
public:
    static RegFile parse(std::string_view bytes);

    // False when the file does not start with one of the two headers; it then holds nothing.
    bool recognised() const { return m_recognised; }
    const std::vector<RegFileProblem>& problems() const { return m_problems; }

    bool hasKey(std::uint32_t root, std::string_view path) const;
    // The value, or null when the key or the value is absent. The empty name is the default.
    const RegValue* value(std::uint32_t root, std::string_view path, std::string_view name) const;

    // Adds or replaces a value, creating its key when needed.
    void set(std::uint32_t root, std::string_view path, std::string_view name, RegValue value);

    // Every value with its root, key path and name, in key order.
    void forEachValue(const std::function<void(std::uint32_t root, const std::string& path,
                                               const std::string& name, const RegValue& value)>&
                          visit) const;

    // The root key a section names ("HKEY_LOCAL_MACHINE" or "HKLM", any letter case); 0 for none.
    static std::uint32_t rootKey(std::string_view name);

private:
    friend class RegFileParser;

    struct NamedValue {
        std::string name;
        RegValue value;
    };
    struct Key {
        std::uint32_t root = 0;
        std::string path;
        std::map<std::string, NamedValue> values; // by folded name
    };
    using KeyId = std::pair<std::uint32_t, std::string>; // root, folded path

    const Key* findKey(std::uint32_t root, std::string_view path) const;

    bool m_recognised = false;
    std::vector<RegFileProblem> m_problems;
    std::map<KeyId, Key> m_keys;
};

} // namespace scrivlet
