#pragma once

namespace scrivlet {

class CodePageTable;

// The editor's code page rules: one byte is one character of a code page (a CodePageTable,
// Windows-1252 by default), a CR LF pair is a line break, and a lone CR or a lone LF is a
// character of its line shown as a visible stand-in.

inline constexpr char16_t kCrStandIn = u'\u240D';
inline constexpr char16_t kLfStandIn = u'\u240A';

// What a byte is written as when its character has no byte of its own.
inline constexpr char kUnmappableByte = '?';

// What the editor draws for a byte: the stand-ins for CR and LF, the control pictures
// (U+2400...) for the other C0 controls and DEL, 0 for a C1 control (drawn as an empty box),
// a tab as itself (drawn as blank cells), every other byte its character in the page.
char16_t shownChar(const CodePageTable& page, unsigned char byte);

// The byte a character shown or typed in the editor stands for: the stand-ins give CR and LF,
// every other character its byte in the page; -1 when it has none.
int byteOfShown(const CodePageTable& page, char16_t ch);

} // namespace scrivlet
