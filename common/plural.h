#pragma once

#include <cstdint>
#include <string>

namespace scrivlet {

// "1 entry", "3 entries": the count and the word that goes with it.
inline std::string plural(std::uint64_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace scrivlet
