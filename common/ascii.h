#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace scrivlet {

// ASCII letter case, as the entry database compares names and as the program compares keys,
// field names and keywords: only A-Z and a-z fold; every other byte, those of UTF-8 sequences
// included, stands for itself.

constexpr char asciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string asciiUpper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = asciiUpper(c);
    return out;
}

inline std::string asciiLower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = asciiLower(c);
    return out;
}

constexpr bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (prefix.size() > text.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (asciiUpper(text[i]) != asciiUpper(prefix[i]))
            return false;
    }
    return true;
}

// Blanks and digits, as the readers of tables, sources and GROB lines separate and parse words.

constexpr bool isSpaceOrTab(char c)
{
    return c == ' ' || c == '\t';
}

constexpr bool isSpaceTabOrLineBreak(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The value of a hexadecimal digit in either letter case, or -1.
constexpr int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

constexpr bool isHexDigit(char c)
{
    return hexDigitValue(c) >= 0;
}

// The upper-case hexadecimal digit of the value's low four bits.
constexpr char hexDigitChar(unsigned value)
{
    return "0123456789ABCDEF"[value & 0xFu];
}

// The value in upper-case hexadecimal, with leading zeros to at least `minimumDigits` digits.
inline std::string hexNumber(std::uint32_t value, int minimumDigits = 1)
{
    std::string text;
    for (; value > 0 || minimumDigits > 0; value >>= 4, --minimumDigits)
        text.insert(text.begin(), hexDigitChar(value));
    return text;
}

// The text without the blanks (as isBlank tells them) at either end.
template <class IsBlank> constexpr std::string_view trimmed(std::string_view s, IsBlank isBlank)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

constexpr std::string_view trimSpacesAndTabs(std::string_view s)
{
    return trimmed(s, isSpaceOrTab);
}

constexpr bool equalsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && startsWithNoCase(a, b);
}

} // namespace scrivlet
