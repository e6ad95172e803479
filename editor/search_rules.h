#pragma once

#include "editor/line_breaks.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace scrivlet {

class CodePageTable;

// Search next and Replace All on the editor's bytes. Offsets are 0-based byte offsets into the
// text, both characters of a CR LF counted. Matching is exact and case-sensitive; nothing wraps
// around to the start of the text.

// The first occurrence of `term` that starts at caret + 1 or later: an occurrence at the caret
// itself is passed over, so repeated searches step from one selected occurrence to the next.
// An empty term is never found. A caret outside the text is taken as its nearest end.
// An occurrence that starts or ends between the CR and the LF of a line break cannot be
// selected in the editor and is passed over too.
std::optional<std::int64_t> searchNext(std::string_view text, std::string_view term,
                                       std::int64_t caret);

// The first occurrence of `term` starting in [from, before) that neither starts nor ends
// between the CR and the LF of a line break, as far as `text` shows: a piece of the editor text
// read with one byte more on each side finds the same occurrences as the whole text.
std::optional<std::int64_t> findSelectable(std::string_view text, std::string_view term,
                                           std::int64_t from, std::int64_t before);

// The first occurrence of `term` at `from` or later (exact, no wrap); nullopt when there is
// none or the term is empty. Linear in the searched bytes.
std::optional<std::int64_t> findTerm(std::string_view text, std::string_view term,
                                     std::int64_t from);

// The editor's bytes for a search term typed as characters (UTF-16) in the code page the editor
// shows (its look-alikes included), the visible stand-ins of a lone CR or LF as those bytes.
// std::nullopt when a character has no byte: no text holds it, so the term is found nowhere.
std::optional<std::string> searchTermBytes(std::u16string_view typed, const CodePageTable& page);

// The editor's bytes for a typed replacement in the editor's code page: a character without a
// byte (a surrogate pair is one character) becomes kUnmappableByte, as the editor stores such a
// character.
std::string replacementBytes(std::u16string_view typed, const CodePageTable& page);

// Reads bytes [from, to) of a text, both within [0, length].
using ByteReader = std::function<std::string(std::int64_t from, std::int64_t to)>;

// searchNext on a text of `length` bytes that is read through `read` in growing pieces, the
// first `firstPiece` bytes long, each twice the one before: a near occurrence is found without
// reading the whole text, and a far one costs about two readings of it at most.
std::optional<std::int64_t> searchNextInPieces(const ByteReader& read, std::int64_t length,
                                               std::string_view term, std::int64_t caret,
                                               std::int64_t firstPiece = std::int64_t{1} << 16);

struct ReplaceResult {
    enum class Outcome {
        Finished,       // no occurrence left at or after the scan start
        EmptyTerm,      // refused: nothing replaced, text unchanged
        StoppedAtBound, // the number of replacements reached the bound; text as the passes left it
        TooLong,        // the next replacement would have made the text longer than allowed
    };

    std::string text;       // the whole text after the replacements
    std::int64_t count = 0; // replacements made
    Outcome outcome = Outcome::Finished;
    // The changed region: bytes [changeStart, oldChangeEnd) of the original text became bytes
    // [changeStart, newChangeEnd) of the new one; everything else is unchanged. With no
    // replacement all three are the original caret.
    std::int64_t changeStart = 0;
    std::int64_t oldChangeEnd = 0;
    std::int64_t newChangeEnd = 0;
    // Where the caret goes: directly after the replacement the last pass inserted (the original
    // caret when nothing was replaced).
    std::int64_t caret = 0;
};

// The region of a Replace All result written back through the editor's selection: bytes
// [start, start + oldLength) of the old text become `bytes`. Its edges never lie between the CR
// and the LF of a line break, where the editor cannot place them: such an edge takes in the
// unchanged CR or LF beside it.
struct TextChange {
    std::int64_t start = 0;
    std::int64_t oldLength = 0;
    std::string_view bytes;
};
TextChange selectableChange(std::string_view before, const ReplaceResult& result);

// Replace All from one byte before the caret (from 0 when the caret is at 0).
//
// The scan start s stays fixed. Pass after pass, the first occurrence at s or later in the text
// as the previous pass left it is replaced, so an occurrence that a replacement forms with the
// bytes around it is replaced and counted too (aabb, ab -> b gives bb, count 2). The result is
// that of those passes whenever they end. They never end when the replacement contains the term
// (every pass leaves an occurrence inside what it inserted); then each search goes on directly
// after the inserted replacement instead, which replaces every occurrence of the original text
// from s on, leftmost first, once. An empty term is refused. Any other endless run (ab -> bbaa on
// aab forms a new ab on every pass) stops after `bound` replacements, and a run that would make
// the text longer than `maxLength` stops before that replacement; both report it.
//
// Cost: linear in the bytes read and written, plus the length of term and replacement for each
// replacement that forms a new occurrence.
ReplaceResult replaceAll(std::string_view text, std::string_view term, std::string_view replacement,
                         std::int64_t caret, std::int64_t bound,
                         std::int64_t maxLength = std::numeric_limits<std::int64_t>::max());

// The bound the editor uses for a text of `length` bytes. Only a replacement at least as long as
// the term that does not contain it can need more than `length` passes, by forming new
// occurrences; the extra million lets such chains run their course on ordinary texts.
std::int64_t replaceBoundFor(std::int64_t length);

// The longest text Replace All may produce in the editor from a text of `length` bytes.
std::int64_t replaceLengthLimitFor(std::int64_t length);

} // namespace scrivlet
