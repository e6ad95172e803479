#include "editor/code_page.h"

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

} // namespace

char16_t charFromByte(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return static_cast<char16_t>(byte);
}

int byteFromChar(char16_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return ch;
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == ch)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

char16_t documentCharFromByte(unsigned char byte)
{
    if (byte == '\r')
        return kCrStandIn;
    if (byte == '\n')
        return kLfStandIn;
    return charFromByte(byte);
}

int byteFromDocumentChar(char16_t ch)
{
    if (ch == kCrStandIn)
        return '\r';
    if (ch == kLfStandIn)
        return '\n';
    return byteFromChar(ch);
}

} // namespace scrivlet
