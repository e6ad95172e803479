#pragma once

#include <QString>
#include <QStringView>

class QTextCursor;

#include <string>
#include <string_view>

namespace scrivlet {

// Conversions between the editor's bytes and the characters of its QTextDocument.
// In the document every byte is one character (a lone CR or LF as its stand-in) and every
// CR LF pair is one paragraph separator (U+2029), so a document position plus the number of
// separators before it is the byte offset.

// What separates two blocks in the document's raw text and in selections.
inline constexpr char16_t kBlockBreak = u'\u2029';

// The document text of a byte string: CR LF becomes U+2029, a lone CR or LF its stand-in,
// every other byte its Windows-1252 character.
QString documentTextFromBytes(std::string_view bytes);

// Appends the bytes of document text to `out`: U+2029 becomes CR LF, the stand-ins CR and LF,
// a character without a byte becomes '?' (one byte for one character, so offsets hold).
void appendBytesFromDocumentText(QStringView text, std::string& out);

// Typed text made fit for the document: every character without a byte becomes '?' (a
// surrogate pair counts as one character), so what the user sees is what is saved. Control
// characters (the text of Enter, Tab, Backspace...) are left alone.
QString typedDocumentText(QStringView typed);

// Pasted or dropped text made fit for the document: each CR LF, lone CR, lone LF, U+2028 and
// U+2029 becomes a line break (U+2029), and characters without a byte become '?'.
QString pastedDocumentText(QStringView pasted);

// True when typedDocumentText would change nothing.
bool isTypedTextStorable(QStringView typed);

// When a stand-in CR at position - 1 is directly followed by a stand-in LF at position, the
// two are bytes CR LF: replaces them by a line break (with `cursor`, inside whatever edit block
// is open) and returns true.
bool joinStandInPair(QTextCursor& cursor, int position);

} // namespace scrivlet
