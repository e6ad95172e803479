#include "rpl/rom_names.h"

#include "calculator/transfer_escapes.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace scrivlet {

namespace {

std::optional<std::uint32_t> hexValue(std::string_view text)
{
    if (text.empty() || text.size() > 7)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

// Book names the compiler places itself (program brackets, structure words) and names whose
// spelling would read as syntax.
constexpr std::array<std::string_view, 23> kNotCommands = {
    "x<<",    "x>>",     "x>>ABND",   "x'",     "xSILENT'", "xRPN->", "xALG->",    "xIF",
    "xTHEN",  "xELSE",   "xIFEND",    "xIFERR", "xERRTHEN", "xCASE",  "xTHENCASE", "xENDTIC",
    "xWHILE", "xREPEAT", "xWHILEEND", "xDO",    "xUNTIL",   "xENDDO", "x;",
};
constexpr std::array<std::string_view, 4> kLoopWords = {"xSTART", "xSTARTVAR", "xNEXT", "xSTEP"};

struct Symbol {
    std::string_view name;
    std::string_view spelling;
};
constexpr std::array<Symbol, 8> kSymbols = {{
    {"<=?", "\x89"},
    {">=?", "\x8A"},
    {"#?", "\x8B"},
    {"SQRT", "\x83"},
    {"INTEGRAL", "\x84"},
    {"DER", "\x88"},
    {"PI", "\x87"},
    {"STO>", "\x86"},
}};

void replaceAll(std::string& text, std::string_view from, std::string_view to)
{
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

} // namespace

std::string userSpelling(std::string_view bookName)
{
    bool xlib = false;
    if (bookName.starts_with("~x")) {
        xlib = true;
        bookName.remove_prefix(1);
    }
    if (!bookName.starts_with('x') || bookName.size() < 2)
        return {};
    for (std::string_view word : kNotCommands)
        if (!xlib && bookName == word)
            return {};
    for (std::string_view word : kLoopWords)
        if (!xlib && bookName == word)
            return {};
    std::string_view rest = bookName.substr(1);
    if (rest == "i")
        return "i";
    if (rest[0] >= 'a' && rest[0] <= 'z')
        return {};
    for (const Symbol& symbol : kSymbols)
        if (rest == symbol.name)
            return std::string(symbol.spelling);
    std::string spelling = escapesToBytes(rest).bytes;
    const bool symbolsOnly =
        spelling.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos;
    if (!symbolsOnly) {
        replaceAll(spelling, "->", "\x8D");
        replaceAll(spelling, ">", "\x8D");
        replaceAll(spelling, "SIGMA", "\x85");
        if (spelling.starts_with("SUM")) {
            spelling.replace(0, 3, "\x85");
            if (spelling.size() > 2 && spelling.back() == '2')
                spelling.back() = '\xB2';
        }
    }
    // Words the compiler reads as the start of a literal or a form of its own.
    for (std::string_view keyword : {"GROB", "XLIB", "PTR", "NIBHEX", "::", ";", "#", "%", "ZINT"})
        if (spelling == keyword)
            return {};
    return spelling;
}

bool RomNames::add(std::string_view name, std::string_view addressText)
{
    if (name.empty())
        return false;
    const std::optional<std::uint32_t> value = hexValue(addressText);
    if (!value)
        return false;
    if (name[0] == '^') {
        if (addressText.size() != 5 && addressText.size() != 6)
            return false;
        if (m_flashPointers.emplace(std::string(name), *value).second)
            m_flashPointerNames.emplace(*value, std::string(name));
        return true;
    }
    const std::string spelling = userSpelling(name);
    if (name[0] == '~') {
        if (addressText.size() != 5)
            return false;
        const XlibId id{*value & 0xFFFu, *value >> 12};
        const std::uint32_t key = id.library << 12 | id.command;
        if (m_romPointers.emplace(std::string(name), key).second)
            m_romPointerNames.emplace(key, std::string(name));
        if (!spelling.empty() && !m_commands.contains(spelling)) {
            m_commands.emplace(spelling, Command{true, 0, id});
            m_xlibSpelling.emplace(key, spelling);
        }
        return true;
    }
    if (addressText.size() != 5)
        return false;
    if (!m_addressOf.emplace(std::string(name), *value).second)
        return true;
    m_nameAt.emplace(*value, std::string(name));
    if (!spelling.empty() && !m_commands.contains(spelling)) {
        m_commands.emplace(spelling, Command{false, *value, {}});
        m_spellingAt.emplace(*value, spelling);
    }
    return true;
}

std::optional<std::uint32_t> RomNames::address(std::string_view name) const
{
    const auto it = m_addressOf.find(name);
    if (it == m_addressOf.end())
        return std::nullopt;
    return it->second;
}

std::string_view RomNames::nameAt(std::uint32_t address) const
{
    const auto it = m_nameAt.find(address);
    return it == m_nameAt.end() ? std::string_view() : std::string_view(it->second);
}

std::optional<RomNames::Command> RomNames::userCommand(std::string_view spelling) const
{
    const auto it = m_commands.find(spelling);
    if (it == m_commands.end())
        return std::nullopt;
    return it->second;
}

std::string_view RomNames::userSpellingAt(std::uint32_t address) const
{
    const auto it = m_spellingAt.find(address);
    return it == m_spellingAt.end() ? std::string_view() : std::string_view(it->second);
}

std::string_view RomNames::userSpellingOf(XlibId id) const
{
    const auto it = m_xlibSpelling.find(id.library << 12 | id.command);
    return it == m_xlibSpelling.end() ? std::string_view() : std::string_view(it->second);
}

std::optional<XlibId> RomNames::romPointer(std::string_view name) const
{
    const auto it = m_romPointers.find(name);
    if (it == m_romPointers.end())
        return std::nullopt;
    return XlibId{it->second >> 12, it->second & 0xFFFu};
}

std::string_view RomNames::romPointerName(XlibId id) const
{
    const auto it = m_romPointerNames.find(id.library << 12 | id.command);
    return it == m_romPointerNames.end() ? std::string_view() : std::string_view(it->second);
}

std::optional<std::uint32_t> RomNames::flashPointer(std::string_view name) const
{
    const auto it = m_flashPointers.find(name);
    if (it == m_flashPointers.end())
        return std::nullopt;
    return it->second;
}

std::string_view RomNames::flashPointerName(std::uint32_t value) const
{
    const auto it = m_flashPointerNames.find(value);
    return it == m_flashPointerNames.end() ? std::string_view() : std::string_view(it->second);
}

std::vector<std::string> RomNames::nearestNames(std::string_view word, std::size_t count,
                                                char kind) const
{
    // Distances in half steps: a letter that differs only in case costs 1, other edits 2.
    auto distance = [&](std::string_view name) {
        std::vector<std::size_t> row(name.size() + 1), next(name.size() + 1);
        for (std::size_t j = 0; j <= name.size(); ++j)
            row[j] = 2 * j;
        for (std::size_t i = 1; i <= word.size(); ++i) {
            next[0] = 2 * i;
            for (std::size_t j = 1; j <= name.size(); ++j) {
                const char a = word[i - 1], b = name[j - 1];
                const std::size_t change =
                    a == b ? 0 : std::tolower(static_cast<unsigned char>(a)) ==
                                         std::tolower(static_cast<unsigned char>(b))
                                     ? 1
                                     : 2;
                next[j] = std::min({row[j] + 2, next[j - 1] + 2, row[j - 1] + change});
            }
            std::swap(row, next);
        }
        return row[name.size()];
    };
    const ByName<std::uint32_t>& names = kind == '~'   ? m_romPointers
                                         : kind == '^' ? m_flashPointers
                                                       : m_addressOf;
    std::vector<std::pair<std::size_t, std::string_view>> scored;
    scored.reserve(names.size());
    for (const auto& [name, address] : names)
        scored.emplace_back(distance(name), name);
    const std::size_t keep = std::min(count, scored.size());
    std::partial_sort(scored.begin(), scored.begin() + static_cast<std::ptrdiff_t>(keep),
                      scored.end());
    std::vector<std::string> nearest;
    for (std::size_t i = 0; i < keep; ++i)
        nearest.emplace_back(scored[i].second);
    return nearest;
}

} // namespace scrivlet
