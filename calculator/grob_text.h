#pragma once

#include "calculator/grob_object.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace scrivlet {

// Reads the text form of a GROB, one source line: the keyword "GROB", the width, the height
// and the data as hex digits, the digits being the object's nibbles in memory order (see
// GrobObject). It is the inverse of grobObjectLine.
//
// Accepted: spaces, tabs, CR and LF before, between and after the four words (so the line may
// keep its line end), one or more of them between two words; the keyword in capitals only, as
// the calculator's parser wants it; width and height in decimal digits, leading zeros
// allowed, each 0 to 1,048,575; hex digits in either letter case. The data must hold exactly
// height × 2 × ceil(width / 8) digits (each row a whole number of bytes) and at most
// kGrobMaxDataNibbles; with no data due the data word may be left out. Anything else gives
// no object and one sentence saying what is wrong and where.
struct GrobTextParse {
    std::optional<GrobObject> grob;
    std::string problem;    // empty when grob holds the object
    std::size_t column = 0; // 1-based column in the line the problem points at, else 0

    bool ok() const { return grob.has_value(); }
};

GrobTextParse parseGrobText(std::string_view line);

} // namespace scrivlet
