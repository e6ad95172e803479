#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace scrivlet {

// A recordset search condition, parsed from the text form the program builds:
//   name LIKE 'DU%'   the rows whose field begins with DU, letter case ignored;
//                      without the closing % the whole field must equal the text;
//                      every other character of the text, * and _ included, stands for itself
//   id=12             the rows whose field equals the number 12
// The text is never handed to SQL.
struct Criteria {
    enum class Kind { Prefix, Equal, NumberEqual };

    std::string field;
    Kind kind = Kind::Prefix;
    std::string text;         // Prefix and Equal
    std::int64_t number = 0;  // NumberEqual
};

// Parses a criteria string; std::nullopt when it is not one of the forms above.
std::optional<Criteria> parseCriteria(std::string_view criteria);

} // namespace scrivlet
