#pragma once

#include <string_view>

namespace scrivlet {

// Whether a word at the caret is one of the language's own structure words or compiler
// keywords (:: ; { } « » and their escapes, IF, LAM, ...): a word that names no entry, so the
// lookup proposes nothing for it.
bool isStructureWord(std::string_view word);

} // namespace scrivlet
