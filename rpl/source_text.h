#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scrivlet {

// A source as the compiler reads it: the text of a transfer file (an optional
// "%%HP: T(n)A(x)F(c);" header line, the transfer escapes) turned into the calculator's bytes,
// each byte remembering where in the text it came from, for line:column messages.
//
// The escapes are read unless the header names translation mode 0 or 1 (which send bytes as
// they are); without a header they are read, as the editor writes them.
struct SourceText {
    std::string bytes;
    std::vector<std::uint32_t> origin; // the text offset of every byte
    int translationMode = -1;          // T(n) of the header, -1 without one
    char angleMode = 'R';
    char fractionMark = '.';
    std::size_t headerEnd = 0; // the text offset after the header line
};

SourceText readSourceText(std::string_view text);

struct LineColumn {
    std::size_t line = 1;   // 1-based
    std::size_t column = 1; // 1-based, in bytes of the text
};
LineColumn lineColumnAt(std::string_view text, std::size_t offset);

} // namespace scrivlet
