#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace scrivlet {

// Where the GROB words stand in a source line that may hold other words too
// (":: GROB 8 2 C35A ;"), so that the GROB around a position can be cut out and read with
// parseGrobText.
//
// Words are separated by spaces, tabs, CR and LF, as parseGrobText separates them. A GROB's
// words are the keyword "GROB" (a whole word, in capitals), the two words after it (width and
// height, whatever they hold, so that a bad one can be reported) and the word after those only
// when it starts with a hex digit (the data; the object's end ";" is not taken for data). The
// span runs from the keyword's first byte to the end of its last word.
struct GrobSpan {
    std::size_t begin = 0;
    std::size_t end = 0; // one past the last byte

    bool operator==(const GrobSpan&) const = default;
};

// The GROB whose span holds `pos`, its end included (a caret just after the data is on the
// GROB); the first one when spans overlap. Nothing when no span holds it.
std::optional<GrobSpan> grobSpanAt(std::string_view line, std::size_t pos);

} // namespace scrivlet
