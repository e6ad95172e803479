#include "editor/code_page.h"

#include <algorithm>

namespace scrivlet {
namespace {

// Characters of the bytes 80..9F; the five undefined ones map to the C1 control of the same value.
constexpr std::array<char16_t, 32> kHighControls = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

constexpr char16_t kControlPictures = u'\u2400';
constexpr char16_t kDeletePicture = u'\u2421';

} // namespace

CodePage::CodePage(const std::array<char16_t, 256>& chars) : m_chars(chars)
{
    m_low.fill(-1);
    for (int b = 255; b >= 0; --b) {
        const char16_t ch = chars[static_cast<std::size_t>(b)];
        if (ch < 256)
            m_low[ch] = static_cast<short>(b);
    }
    for (int b = 0; b < 256; ++b) {
        const char16_t ch = chars[static_cast<std::size_t>(b)];
        if (ch >= 256)
            m_high[static_cast<std::size_t>(m_highCount++)] = {ch, static_cast<unsigned char>(b)};
    }
    // Stable: of two bytes with one character, the lower comes first.
    std::stable_sort(m_high.begin(), m_high.begin() + m_highCount,
                     [](const High& a, const High& b) { return a.ch < b.ch; });
}

const CodePage& CodePage::windows1252()
{
    static const CodePage page([] {
        std::array<char16_t, 256> chars{};
        for (int b = 0; b < 256; ++b)
            chars[static_cast<std::size_t>(b)] =
                b >= 0x80 && b <= 0x9F ? kHighControls[static_cast<std::size_t>(b - 0x80)]
                                       : static_cast<char16_t>(b);
        return chars;
    }());
    return page;
}

int CodePage::byteOf(char16_t ch) const
{
    if (ch < 256)
        return m_low[ch];
    const auto end = m_high.begin() + m_highCount;
    const auto found = std::lower_bound(m_high.begin(), end, ch,
                                        [](const High& high, char16_t c) { return high.ch < c; });
    return found != end && found->ch == ch ? found->byte : -1;
}

int CodePage::byteOfShown(char16_t ch) const
{
    if (ch == kCrStandIn)
        return '\r';
    if (ch == kLfStandIn)
        return '\n';
    return byteOf(ch);
}

char16_t CodePage::shownChar(unsigned char byte) const
{
    const char16_t ch = m_chars[byte];
    if (ch == u'\r')
        return kCrStandIn;
    if (ch == u'\n')
        return kLfStandIn;
    if (ch < 0x20 && ch != u'\t')
        return static_cast<char16_t>(kControlPictures + ch);
    if (ch == 0x7F)
        return kDeletePicture;
    if (ch >= 0x80 && ch < 0xA0)
        return 0;
    return ch;
}

char16_t charFromByte(unsigned char byte)
{
    return CodePage::windows1252().charOf(byte);
}

int byteFromChar(char16_t ch)
{
    return CodePage::windows1252().byteOf(ch);
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
    return CodePage::windows1252().byteOfShown(ch);
}

} // namespace scrivlet
