#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace scrivlet {

// One 8-bit character set as the editor shows it: each of the 256 byte values has its own
// character, and each of those characters maps back to its byte, so bytes shown as text and
// read back are unchanged. Look-alikes are further characters that are read as a byte when
// typed or pasted (∑ for Σ) but are never shown: a byte always shows its own character.
//
// Invariant: the 256 characters are pairwise distinct and no look-alike is one of them, so
// byteOf(charOf(b)) == b for every byte b.
class CodePageTable final {
  public:
    struct LookAlike {
        char16_t ch;
        unsigned char byte;
    };

    CodePageTable(const std::array<char16_t, 256>& chars, std::span<const LookAlike> lookAlikes);

    char16_t charOf(unsigned char byte) const { return m_chars[byte]; }
    const std::array<char16_t, 256>& chars() const { return m_chars; }

    // The byte a character stands for; nothing when the character has none (the caller then
    // writes '?').
    std::optional<unsigned char> byteOf(char16_t ch) const;

    // Typed or pasted text as the editor shows it: every character that has a byte becomes that
    // byte's own character (a look-alike becomes the character it looks like); the others stay.
    std::u16string shownText(std::u16string_view typed) const;

  private:
    std::array<char16_t, 256> m_chars;
    std::vector<LookAlike> m_byChar; // the 256 characters and the look-alikes, sorted by character
};

} // namespace scrivlet
