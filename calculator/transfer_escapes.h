#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace scrivlet {

// Transfer escapes: how the calculator writes its characters as 7-bit text when it sends an
// object to a computer in translation mode 3, and reads them back. The mode is named by the
// header line a transfer file starts with, e.g. "%%HP: T(3)A(R)F(.);": T(n) the translation
// mode, A(D|R|G) the angle mode, F(.|,) the fraction mark.
//
// Translation modes: T(0) sends bytes as they are; T(1) also writes each line feed as CR LF
// (and reads CR LF as a line feed); T(2) also writes the bytes 128-159 as escapes; T(3) writes
// every byte 128-255 as an escape. The escapes:
//   - a mnemonic of two characters after a backslash for the calculator's symbols 128-159
//     (\<) \x- \.V \v/ \.S \GS \|> \pi \.d \<= \>= \=/ \Ga \-> \<- \|v \|^ \Gg \Gd \Ge \Gn
//     \Gh \Gl \Gr \Gs \Gt \Gw \GD \PI \GW \[] \oo) and for « ° µ » × Ø ß ÷ (\<< \^o \Gm \>>
//     \.x \O/ \Gb \:-);
//   - every other byte 128-255 as a backslash and three decimal digits (\160 ... \255);
//   - a backslash itself as two backslashes, so a literal "\<<" survives the round trip.
// Reading also accepts \nnn for any byte 000-255. Bytes 0-127 other than the backslash are
// written as they are; line ends are left to the caller.
//
// bytesToEscapes and escapesToBytes are inverse: escapesToBytes(bytesToEscapes(b).text).bytes
// == b for every byte string b.

struct EscapesToBytesResult {
    std::string bytes;
    std::size_t converted = 0; // escapes read as one byte each
    std::size_t unknown = 0;   // backslashes that start no escape, kept as they are
};

struct BytesToEscapesResult {
    std::string text;
    std::size_t converted = 0; // bytes written as an escape (backslashes included)
};

EscapesToBytesResult escapesToBytes(std::string_view text);
BytesToEscapesResult bytesToEscapes(std::string_view bytes);

// The escape translation mode 3 writes for a byte ("\->", "\160", "\\"); empty for a byte
// written as itself.
std::string transferEscape(unsigned char byte);

// The header a file for the calculator starts with: translation mode 3, radians, period.
inline constexpr std::string_view kCalculatorHeader = "%%HP: T(3)A(R)F(.);";

// Whether the text starts with a %%HP: header line.
bool hasCalculatorHeader(std::string_view bytes);

struct CalculatorFileText {
    std::string text;
    std::size_t converted = 0; // bytes written as escapes
    bool headerAdded = false;
    // The translation mode the header names: 3 for an added header; for a kept header its
    // T(n), or -1 when it names none. Anything but 3 means the calculator will not read the
    // escapes back, which the caller should say.
    int translationMode = 3;
};

// The editor's text (CR LF line ends) as a file for the calculator: a header line is added
// (ended by CR LF like the editor's lines) unless the text already starts with a %%HP: line,
// which is kept as it is; every other byte is written by bytesToEscapes. The caller writes CR LF
// as LF as every save does: in translation modes 1-3 the calculator reads CR LF and LF alike
// as its line feed, and a lone LF also suits copying the file to a memory card.
CalculatorFileText calculatorFileText(std::string_view bytes);

} // namespace scrivlet
