#pragma once

#include "common/code_page_table.h"

#include <string>
#include <string_view>

namespace scrivlet {

// The Windows-1252 code page, in which the editor holds one character per byte, and the bridge
// between it and UTF-8, in which the entry database keeps its text. The five bytes that
// Windows-1252 leaves undefined (81 8D 8F 90 9D) stand for the C1 control characters of the
// same value, so every one of the 256 byte values has its own character and round-trips.

// The code page as a table the editor can show its bytes in (no look-alikes).
const CodePageTable& windows1252CodePage();

// The character of a byte.
char16_t charFromWindows1252(unsigned char byte);

// The byte of a character, or -1 when the character has none.
int windows1252FromChar(char16_t ch);

// Windows-1252 bytes as UTF-8.
std::string utf8FromWindows1252(std::string_view bytes);

// UTF-8 text as Windows-1252 bytes: a character without a byte, and every byte of a broken
// UTF-8 sequence, becomes '?'.
std::string windows1252FromUtf8(std::string_view utf8);

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing past
// U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Text whose encoding nobody recorded (a table, a source, a field of an older database): UTF-8
// when it is valid UTF-8, without a leading byte order mark, else Windows-1252. Always UTF-8.
std::string decodeUtf8OrWindows1252(std::string_view bytes);

} // namespace scrivlet
