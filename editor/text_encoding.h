#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace scrivlet {

// How the editor shows its bytes. The bytes themselves never change with it: offsets, the undo
// history, the caret read-out and what is saved count bytes in every encoding.
//  - Windows1252 and Calculator: one byte is one character of that 8-bit code page.
//  - Utf8: a valid UTF-8 sequence of two to four bytes is one character, drawn in one cell and
//    passed over whole by the caret; every other byte is a Windows-1252 character of its own
//    (so text that is not valid UTF-8 everywhere still shows every byte).
enum class TextEncoding { Windows1252, Calculator, Utf8 };

// The encoding a file is shown in when it is opened: UTF-8 when its bytes are valid UTF-8 and
// hold a byte above 127; the calculator's character set when it starts with a "%%HP:" transfer
// header; otherwise `usual`.
TextEncoding encodingForFile(std::string_view bytes, TextEncoding usual);

// Whether the bytes are valid UTF-8 holding at least one byte above 127.
bool isUtf8WithHighBytes(std::string_view bytes);

// The length of the valid UTF-8 sequence of two to four bytes starting at bytes[i]; 0 when
// there is none (an ASCII byte, a stray, overlong or cut-off sequence, a surrogate).
int utf8SequenceAt(std::string_view bytes, std::size_t i);
// The code point of the sequence at bytes[i] of the given length (from utf8SequenceAt).
char32_t utf8CodePoint(std::string_view bytes, std::size_t i, int length);
// Where the character holding bytes[i] starts: the start of a valid sequence that covers it,
// or i itself.
std::size_t utf8CharacterStart(std::string_view bytes, std::size_t i);
// The UTF-8 bytes of a code point (U+FFFD for one that has none).
std::string utf8Encoded(char32_t codePoint);

} // namespace scrivlet
