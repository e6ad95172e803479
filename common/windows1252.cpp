#include "common/windows1252.h"

#include <array>

namespace scrivlet {
namespace {

// Characters of the bytes 80..9F; the five undefined ones map to the C1 control of the same value.
constexpr std::array<char16_t, 32> kHighControls = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

void appendUtf8(char16_t ch, std::string& out)
{
    if (ch < 0x80) {
        out += static_cast<char>(ch);
    } else if (ch < 0x800) {
        out += static_cast<char>(0xC0 | (ch >> 6));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (ch >> 12));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    }
}

// The length of the well-formed UTF-8 sequence at pos, 0 when there is none.
std::size_t sequenceLength(std::string_view s, std::size_t pos)
{
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(s[pos + i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (pos + length > s.size() || at(1) < low || at(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if ((at(i) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

} // namespace

const CodePageTable& windows1252CodePage()
{
    static const CodePageTable table(
        [] {
            std::array<char16_t, 256> chars{};
            for (std::size_t byte = 0; byte < chars.size(); ++byte)
                chars[byte] = charFromWindows1252(static_cast<unsigned char>(byte));
            return chars;
        }(),
        {});
    return table;
}

char16_t charFromWindows1252(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return static_cast<char16_t>(byte);
}

int windows1252FromChar(char16_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return ch;
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == ch)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

std::string utf8FromWindows1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char b : bytes)
        appendUtf8(charFromWindows1252(static_cast<unsigned char>(b)), out);
    return out;
}

std::string windows1252FromUtf8(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t length = sequenceLength(utf8, pos);
        if (length == 0) {
            out += '?';
            ++pos;
            continue;
        }
        char32_t ch =
            static_cast<unsigned char>(utf8[pos]) & (length == 1 ? 0x7F : 0x3F >> (length - 1));
        for (std::size_t i = 1; i < length; ++i)
            ch = (ch << 6) | (static_cast<unsigned char>(utf8[pos + i]) & 0x3F);
        const int byte = ch <= 0xFFFF ? windows1252FromChar(static_cast<char16_t>(ch)) : -1;
        out += byte < 0 ? '?' : static_cast<char>(byte);
        pos += length;
    }
    return out;
}

bool isValidUtf8(std::string_view bytes)
{
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = sequenceLength(bytes, pos);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

std::string decodeUtf8OrWindows1252(std::string_view bytes)
{
    if (!isValidUtf8(bytes))
        return utf8FromWindows1252(bytes);
    if (bytes.starts_with(kByteOrderMark))
        bytes.remove_prefix(kByteOrderMark.size());
    return std::string(bytes);
}

} // namespace scrivlet
