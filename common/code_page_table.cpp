#include "common/code_page_table.h"

#include <algorithm>
#include <cassert>

namespace scrivlet {

CodePageTable::CodePageTable(const std::array<char16_t, 256>& chars,
                             std::span<const LookAlike> lookAlikes)
    : m_chars(chars)
{
    m_byChar.reserve(chars.size() + lookAlikes.size());
    for (std::size_t byte = 0; byte < chars.size(); ++byte)
        m_byChar.push_back({chars[byte], static_cast<unsigned char>(byte)});
    m_byChar.insert(m_byChar.end(), lookAlikes.begin(), lookAlikes.end());
    const auto byChar = [](const LookAlike& a, const LookAlike& b) { return a.ch < b.ch; };
    std::sort(m_byChar.begin(), m_byChar.end(), byChar);
    assert(std::adjacent_find(m_byChar.begin(), m_byChar.end(), [](const auto& a, const auto& b) {
               return a.ch == b.ch;
           }) == m_byChar.end());
}

std::optional<unsigned char> CodePageTable::byteOf(char16_t ch) const
{
    // Most text is ASCII, which every table maps to itself.
    if (ch < m_chars.size() && m_chars[ch] == ch)
        return static_cast<unsigned char>(ch);
    const auto at =
        std::lower_bound(m_byChar.begin(), m_byChar.end(), ch,
                         [](const LookAlike& entry, char16_t c) { return entry.ch < c; });
    if (at == m_byChar.end() || at->ch != ch)
        return std::nullopt;
    return at->byte;
}

std::u16string CodePageTable::shownText(std::u16string_view typed) const
{
    std::u16string shown(typed);
    for (char16_t& ch : shown) {
        if (const auto byte = byteOf(ch))
            ch = m_chars[*byte];
    }
    return shown;
}

} // namespace scrivlet
