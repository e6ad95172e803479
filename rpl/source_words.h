#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace scrivlet {

// The words of an RPL source that may name an entry, as the lexer reads them: words of code,
// never a word inside a comment (( … ), * lines, @ … @), a string, a character after CHR, a
// name after ID, LAM or TAG, a name being defined, or a local variable being declared. Lines
// end at LF; a CR before the LF belongs to the line end.
struct SourceWordScan {
    std::size_t unclosedCommentLine = 0; // 1-based line of a ( … ) comment never closed, else 0
};

SourceWordScan forEachSourceWord(std::string_view text,
                                 const std::function<void(std::string_view word)>& visit);

} // namespace scrivlet
