#include "about/reg_file.h"

#include "about/registry_view.h"
#include "common/ascii.h"

#include <optional>

namespace scrivlet {
namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";

std::string_view trimLeft(std::string_view s)
{
    while (!s.empty() && isSpaceOrTab(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view trim(std::string_view s)
{
    return trimSpacesAndTabs(s);
}

// Nothing but blanks, or blanks and a comment.
bool restIsEmpty(std::string_view s)
{
    s = trimLeft(s);
    return s.empty() || s.front() == ';';
}

bool startsWithFolded(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && asciiLower(s.substr(0, prefix.size())) == prefix;
}

// Reads up to `maxDigits` hex digits at the front of `s`; nullopt when there is none.
std::optional<std::uint32_t> takeHex(std::string_view& s, std::size_t maxDigits)
{
    std::uint32_t value = 0;
    std::size_t digits = 0;
    while (!s.empty() && hexDigitValue(s.front()) >= 0 && digits < maxDigits) {
        value = value * 16 + static_cast<std::uint32_t>(hexDigitValue(s.front()));
        s.remove_prefix(1);
        ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    return value;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// UTF-16LE (after its byte order mark) to UTF-8; unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() / 2);
    const auto unit = [&](std::size_t i) {
        return static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
            const char16_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) +
                                    (static_cast<char32_t>(low) - 0xDC00));
                i += 2;
                continue;
            }
        }
        appendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? char32_t{0xFFFD} : char32_t{u});
    }
    return out;
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

} // namespace

// Reads a .reg file line by line into a RegFile.
class RegFileParser {
public:
    RegFileParser(RegFile& file, std::vector<std::string_view> lines)
        : m_file(file), m_lines(std::move(lines))
    {
    }

    void run()
    {
        std::size_t i = 0;
        while (i < m_lines.size() && trim(m_lines[i]).empty())
            ++i;
        if (i == m_lines.size() || (trim(m_lines[i]) != kHeader4 && trim(m_lines[i]) != kHeader5)) {
            problem(i, "not a registry export file: the first line must be \"REGEDIT4\" or "
                       "\"Windows Registry Editor Version 5.00\"");
            return;
        }
        m_file.m_recognised = true;
        for (m_line = i + 1; m_line < m_lines.size(); ++m_line) {
            const std::string_view line = trimLeft(m_lines[m_line]);
            if (line.empty() || line.front() == ';')
                continue;
            if (line.front() == '[')
                keyLine(line);
            else if (line.front() == '"' || line.front() == '@')
                valueLine(line);
            else
                problem(m_line, "neither a [key] nor a \"name\"=value line");
        }
    }

private:
    void problem(std::size_t index, std::string message)
    {
        m_file.m_problems.push_back({index + 1, std::move(message)});
    }

    void keyLine(std::string_view line)
    {
        m_current = nullptr;
        const std::size_t close = line.rfind(']');
        if (close == std::string_view::npos) {
            problem(m_line, "a key without its closing ]");
            return;
        }
        std::string_view name = line.substr(1, close - 1);
        const bool remove = !name.empty() && name.front() == '-';
        if (remove)
            name.remove_prefix(1);
        const std::size_t slash = name.find('\\');
        const std::uint32_t root = RegFile::rootKey(name.substr(0, slash));
        if (root == 0) {
            problem(m_line, "unknown root key");
            return;
        }
        const std::string_view path =
            slash == std::string_view::npos ? std::string_view() : name.substr(slash + 1);
        if (slash != std::string_view::npos &&
            (path.empty() || path.front() == '\\' || path.back() == '\\' ||
             path.find("\\\\") != std::string_view::npos)) {
            problem(m_line, "a key name with an empty part");
            return;
        }
        const std::string folded = asciiLower(path);
        if (remove) {
            removeKey(root, folded);
            return;
        }
        RegFile::Key& key = m_file.m_keys[{root, folded}];
        if (key.root == 0) {
            key.root = root;
            key.path = std::string(path);
        }
        m_current = &key;
    }

    void removeKey(std::uint32_t root, const std::string& folded)
    {
        auto& keys = m_file.m_keys;
        keys.erase({root, folded});
        const std::string prefix = folded.empty() ? std::string() : folded + "\\";
        for (auto it = keys.lower_bound({root, prefix});
             it != keys.end() && it->first.first == root &&
             it->first.second.compare(0, prefix.size(), prefix) == 0;)
            it = keys.erase(it);
    }

    // A quoted string at the front of `s`, with \\ and \" read as \ and "; `s` moves past the
    // closing quote. A backslash before any other character is kept as it is.
    static std::optional<std::string> takeQuoted(std::string_view& s)
    {
        std::string out;
        std::size_t i = 1;
        while (i < s.size()) {
            const char c = s[i];
            if (c == '"') {
                s.remove_prefix(i + 1);
                return out;
            }
            if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
                out.push_back(s[i + 1]);
                i += 2;
                continue;
            }
            out.push_back(c);
            ++i;
        }
        return std::nullopt;
    }

    void valueLine(std::string_view line)
    {
        std::string name;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else {
            auto quoted = takeQuoted(line);
            if (!quoted) {
                problem(m_line, "a value name without its closing quote");
                return;
            }
            name = std::move(*quoted);
        }
        line = trimLeft(line);
        if (line.empty() || line.front() != '=') {
            problem(m_line, "a value name without =");
            return;
        }
        line = trimLeft(line.substr(1));

        std::optional<RegValue> value;
        bool remove = false;
        if (!line.empty() && line.front() == '"') {
            value = stringValue(line);
        } else if (!line.empty() && line.front() == '-' && restIsEmpty(line.substr(1))) {
            remove = true;
        } else if (startsWithFolded(line, "dword:")) {
            value = dwordValue(line.substr(6));
        } else if (startsWithFolded(line, "hex")) {
            value = hexValue(line.substr(3));
        } else {
            problem(m_line, "a value that is neither a string, dword: nor hex:");
            return;
        }
        if (!remove && !value)
            return; // reported where it was read
        if (!m_current) {
            problem(m_line, "a value outside any key");
            return;
        }
        const std::string folded = asciiLower(name);
        if (remove)
            m_current->values.erase(folded);
        else
            m_current->values[folded] = {name, std::move(*value)};
    }

    std::optional<RegValue> stringValue(std::string_view s)
    {
        auto text = takeQuoted(s);
        if (!text || !restIsEmpty(s)) {
            problem(m_line,
                    text ? "text after a string value" : "a string without its closing quote");
            return std::nullopt;
        }
        text->push_back('\0');
        return RegValue{kRegSz, std::move(*text)};
    }

    std::optional<RegValue> dwordValue(std::string_view s)
    {
        const auto number = takeHex(s, 8);
        if (!number || !restIsEmpty(s)) {
            problem(m_line, "dword: needs one to eight hex digits");
            return std::nullopt;
        }
        std::string bytes;
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<char>((*number >> shift) & 0xFF));
        return RegValue{kRegDword, std::move(bytes)};
    }

    // After "hex": an optional "(type)", a colon and the bytes, continued over lines that end
    // with a backslash.
    std::optional<RegValue> hexValue(std::string_view s)
    {
        std::uint32_t type = kRegBinary;
        if (!s.empty() && s.front() == '(') {
            s.remove_prefix(1);
            const auto number = takeHex(s, 8);
            if (!number || s.empty() || s.front() != ')') {
                problem(m_line, "hex( needs a hex type and )");
                return std::nullopt;
            }
            type = *number;
            s.remove_prefix(1);
        }
        if (s.empty() || s.front() != ':') {
            problem(m_line, "hex needs a colon before its bytes");
            return std::nullopt;
        }
        s.remove_prefix(1);
        const std::size_t first = m_line;
        std::string list(trim(s));
        while (!list.empty() && list.back() == '\\' && m_line + 1 < m_lines.size()) {
            list.pop_back();
            list += trim(m_lines[++m_line]);
        }
        if (!list.empty() && list.back() == '\\')
            list.pop_back();

        std::string bytes;
        std::string_view rest = list;
        while (true) {
            rest = trimLeft(rest);
            if (restIsEmpty(rest))
                break;
            const auto byte = takeHex(rest, 2);
            if (!byte) {
                problem(first, "hex bytes must be pairs of hex digits separated by commas");
                return std::nullopt;
            }
            bytes.push_back(static_cast<char>(*byte));
            rest = trimLeft(rest);
            if (!rest.empty() && rest.front() == ',')
                rest.remove_prefix(1);
            else if (!restIsEmpty(rest)) {
                problem(first, "hex bytes must be pairs of hex digits separated by commas");
                return std::nullopt;
            }
        }
        return RegValue{type, std::move(bytes)};
    }

    RegFile& m_file;
    std::vector<std::string_view> m_lines;
    std::size_t m_line = 0;
    RegFile::Key* m_current = nullptr;
};

RegFile RegFile::parse(std::string_view bytes)
{
    RegFile file;
    std::string decoded;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        decoded = utf16ToUtf8(bytes.substr(2));
        bytes = decoded;
    } else if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    RegFileParser(file, splitLines(bytes)).run();
    return file;
}

std::uint32_t RegFile::rootKey(std::string_view name)
{
    static const std::pair<std::string_view, std::uint32_t> roots[] = {
        {"hkey_classes_root", kHkeyClassesRoot},   {"hkcr", kHkeyClassesRoot},
        {"hkey_current_user", kHkeyCurrentUser},   {"hkcu", kHkeyCurrentUser},
        {"hkey_local_machine", kHkeyLocalMachine}, {"hklm", kHkeyLocalMachine},
        {"hkey_users", kHkeyUsers},                {"hku", kHkeyUsers},
        {"hkey_current_config", kHkeyCurrentConfig}, {"hkcc", kHkeyCurrentConfig},
    };
    const std::string folded = asciiLower(name);
    for (const auto& [root, value] : roots)
        if (folded == root)
            return value;
    return 0;
}

const RegFile::Key* RegFile::findKey(std::uint32_t root, std::string_view path) const
{
    const auto it = m_keys.find({root, asciiLower(path)});
    return it == m_keys.end() ? nullptr : &it->second;
}

bool RegFile::hasKey(std::uint32_t root, std::string_view path) const
{
    if (findKey(root, path))
        return true;
    const std::string prefix = path.empty() ? std::string() : asciiLower(path) + "\\";
    const auto it = m_keys.lower_bound({root, prefix});
    return it != m_keys.end() && it->first.first == root &&
           it->first.second.compare(0, prefix.size(), prefix) == 0;
}

const RegValue* RegFile::value(std::uint32_t root, std::string_view path,
                               std::string_view name) const
{
    const Key* key = findKey(root, path);
    if (!key)
        return nullptr;
    const auto it = key->values.find(asciiLower(name));
    return it == key->values.end() ? nullptr : &it->second.value;
}

void RegFile::set(std::uint32_t root, std::string_view path, std::string_view name,
                  RegValue value)
{
    Key& key = m_keys[{root, asciiLower(path)}];
    if (key.root == 0) {
        key.root = root;
        key.path = std::string(path);
    }
    key.values[asciiLower(name)] = {std::string(name), std::move(value)};
}

void RegFile::forEachValue(
    const std::function<void(std::uint32_t, const std::string&, const std::string&,
                             const RegValue&)>& visit) const
{
    for (const auto& [id, key] : m_keys)
        for (const auto& [folded, named] : key.values)
            visit(key.root, key.path, named.name, named.value);
}

} // namespace scrivlet
