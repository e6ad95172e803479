#pragma once

#include <string_view>

namespace scrivlet {

// Whether the word at the caret is looked up in the reference book at all: it must not be
// empty and must not be exactly "*". A ' or a % is looked up as itself (%+ and %1 are entries).
inline bool passesLookupGuard(std::string_view word)
{
    return !word.empty() && word != "*";
}

} // namespace scrivlet
