#pragma once

#include <string>
#include <string_view>

namespace scrivlet {

// The editor's code page: one byte is one character, in Windows-1252. The five bytes that
// Windows-1252 leaves undefined (81 8D 8F 90 9D) stand for the C1 control characters of the
// same value, so every one of the 256 byte values has its own character and round-trips.
//
// Inside the editor document a CR LF pair is a block break; a lone CR or a lone LF is an
// ordinary character of its line and is shown as a visible stand-in (U+240D, U+240A).

inline constexpr char16_t kCrStandIn = u'\u240D';
inline constexpr char16_t kLfStandIn = u'\u240A';

// What a byte is written as when its character has no byte of its own.
inline constexpr char kUnmappableByte = '?';

// The Windows-1252 character of a byte (CR and LF are themselves).
char16_t charFromByte(unsigned char byte);

// The byte of a Windows-1252 character, or -1 when the character has none.
int byteFromChar(char16_t ch);

// The character that stands for a byte inside a line of the document: the Windows-1252
// character, except CR and LF, which become their stand-ins.
char16_t documentCharFromByte(unsigned char byte);

// The byte a character of a document line stands for: the stand-ins map back to CR and LF;
// -1 when the character has no byte (it is then saved as kUnmappableByte).
int byteFromDocumentChar(char16_t ch);

} // namespace scrivlet
