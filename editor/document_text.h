#pragma once

#include "editor/text_encoding.h"

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

namespace scrivlet {

class CodePageTable;

// Conversions between the editor's bytes and the text Qt exchanges with it: typed keys, input
// methods, the clipboard and drops. One character is one byte in the given code page; the
// stand-ins of a lone CR and a lone LF stand for those bytes. In the calculator's character set
// an x followed by a combining macron or overline is the one byte of x̄. In UTF-8 (`encoding`)
// every character is its UTF-8 bytes instead, and a valid sequence in the bytes one character.

// Typed text as bytes: each character its byte, the stand-ins CR and LF, and a character
// without a byte (a surrogate pair counts as one character) kUnmappableByte, so that what the
// user sees is what is saved.
std::string typedBytes(QStringView typed, const CodePageTable& page,
                       TextEncoding encoding = TextEncoding::Windows1252);

// Pasted or dropped text as bytes: each CR LF, lone CR, lone LF, U+2028 and U+2029 becomes a
// line break (CR LF); every other character as typedBytes has it.
std::string pastedBytes(QStringView pasted, const CodePageTable& page,
                        TextEncoding encoding = TextEncoding::Windows1252);

// Bytes for the clipboard: each CR LF becomes '\n', a lone CR or LF its stand-in and every other
// byte its character, so that pasting the text back gives the same bytes.
QString clipboardText(std::string_view bytes, const CodePageTable& page,
                      TextEncoding encoding = TextEncoding::Windows1252);

} // namespace scrivlet
