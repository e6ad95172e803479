#pragma once

#include <string_view>

namespace scrivlet {

// Whether the word at the caret is looked up in the reference book at all: it must not be
// empty, must hold no ' and no %, and must not be exactly "*".
inline bool passesLookupGuard(std::string_view word)
{
    return !word.empty() && word.find('\'') == std::string_view::npos &&
           word.find('%') == std::string_view::npos && word != "*";
}

} // namespace scrivlet
