#pragma once

#include "calculator/rpl_object.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace scrivlet {

// What a library object says about itself: its title, its number and the names of its visible
// commands, read from its header and its hash table (layout as HP's MAKEROM builds it). Nothing
// when the header does not hold together; names that run past the hash table are left out.
struct LibrarySummary {
    std::string title;
    std::uint32_t number = 0;
    std::vector<std::string> commands; // in the order of the hash table
};

std::optional<LibrarySummary> librarySummary(const RplObject& library);

} // namespace scrivlet
