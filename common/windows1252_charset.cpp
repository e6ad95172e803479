#include "common/windows1252_charset.h"

#include <array>

namespace scrivlet {
namespace {

// The characters of the bytes 80..9F.
constexpr std::array<char16_t, 32> kHighControls = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

std::array<char16_t, 256> windows1252Chars()
{
    std::array<char16_t, 256> chars{};
    for (std::size_t byte = 0; byte < chars.size(); ++byte)
        chars[byte] = static_cast<char16_t>(byte);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        chars[0x80 + i] = kHighControls[i];
    return chars;
}

} // namespace

const CodePageTable& windows1252CodePage()
{
    static const CodePageTable table(windows1252Chars(), {});
    return table;
}

} // namespace scrivlet
