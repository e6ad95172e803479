#pragma once

#include "rpl/lines.h"

#include <cstdint>
#include <string_view>

namespace scrivlet {

// The pair matcher: the partner of the structure word next to the caret.
//
// Pairs: :: UNIT SYMBOL SYMBOLIC MATRIX end with ; (a secondary and the composites that end
// like it); { ends with } or ; (the compilers end a list with either); {{ with }}; [ with ];
// « and \<< with » or \>>. Only structure tokens count: words in comments, strings and
// assembler blocks do not. A closer that meets an inner opener of another kind still closes
// it, as the compilers read it, and the scan goes on.
//
// The word looked at is the structure token that holds the caret or starts at it, else the one
// that ends at it. The scan reads at most `maxBytes` bytes of lines and then gives up.
enum class PairStatus : std::uint8_t {
    NoBracket,    // no structure word next to the caret
    Matched,      // partner found
    Mismatched,   // partner found but of the wrong kind (:: closed by }, « by ;, ...)
    Unclosed,     // an opener never closed before the end of the text
    Unopened,     // a closer without an opener before the start of the text
    LimitReached, // not found within the limit
};

struct PairLimits {
    std::size_t maxBytes = std::size_t{512} << 10;
};

struct PairMatch {
    PairStatus status = PairStatus::NoBracket;
    TextPoint bracket; // the word next to the caret
    std::uint32_t bracketLength = 0;
    TextPoint partner; // its partner (Matched and Mismatched only)
    std::uint32_t partnerLength = 0;

    bool operator==(const PairMatch&) const = default;
};

PairMatch matchPair(const RplLines& lines, TextPoint caret, PairLimits limits = {});

// The same over a byte text with CR LF line breaks, in byte offsets.
struct OffsetPairMatch {
    PairStatus status = PairStatus::NoBracket;
    std::int64_t bracket = 0;
    std::int64_t bracketLength = 0;
    std::int64_t partner = 0;
    std::int64_t partnerLength = 0;

    bool operator==(const OffsetPairMatch&) const = default;
};
OffsetPairMatch matchPair(std::string_view text, std::int64_t caret, PairLimits limits = {});

} // namespace scrivlet
