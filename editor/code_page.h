#pragma once

#include <array>

namespace scrivlet {

// The stand-ins the editor shows for a lone CR and a lone LF (a CR LF pair is a line break).
inline constexpr char16_t kCrStandIn = u'\u240D';
inline constexpr char16_t kLfStandIn = u'\u240A';

// What a byte is written as when its character has no byte of its own.
inline constexpr char kUnmappableByte = '?';

// A single-byte code page: the character of each of the 256 bytes, and back. The editor's bytes
// never change with the code page; it only decides what is drawn for them and which byte a
// typed or pasted character becomes.
//
// Invariant: the table should give 256 different characters, so that every byte round-trips;
// where two bytes share a character, that character becomes the lower byte.
class CodePage final {
  public:
    explicit CodePage(const std::array<char16_t, 256>& chars);

    // Windows-1252, the five bytes it leaves undefined (81 8D 8F 90 9D) standing for the C1
    // controls of the same value: the editor's default.
    static const CodePage& windows1252();

    char16_t charOf(unsigned char byte) const { return m_chars[byte]; }
    // The byte of a character, or -1 when it has none.
    int byteOf(char16_t ch) const;
    // The byte a character shown or typed in the editor stands for: the stand-ins give CR and
    // LF, every other character its byte; -1 when it has none.
    int byteOfShown(char16_t ch) const;
    // What the editor draws for a byte: the stand-ins for CR and LF, the control pictures
    // (U+2400...) for the other C0 controls and DEL, 0 for a C1 control (drawn as an empty box),
    // a tab as itself (it is drawn as blank cells), every other byte its character.
    char16_t shownChar(unsigned char byte) const;

    bool operator==(const CodePage& other) const { return m_chars == other.m_chars; }

  private:
    std::array<char16_t, 256> m_chars{};
    // Bytes of the characters below 256 (-1 for none), and the other characters sorted.
    std::array<short, 256> m_low{};
    struct High {
        char16_t ch;
        unsigned char byte;
    };
    std::array<High, 256> m_high{};
    int m_highCount = 0;
};

// The Windows-1252 character of a byte (CR and LF are themselves).
char16_t charFromByte(unsigned char byte);

// The byte of a Windows-1252 character, or -1 when the character has none.
int byteFromChar(char16_t ch);

// The character shown for a byte in a line of the editor's default code page: the Windows-1252
// character, except CR and LF, which become their stand-ins.
char16_t documentCharFromByte(unsigned char byte);

// The byte a character of an editor line stands for: the stand-ins map back to CR and LF;
// -1 when the character has no byte (it is then saved as kUnmappableByte).
int byteFromDocumentChar(char16_t ch);

} // namespace scrivlet
