#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace scrivlet {

// A hash that lets a table keyed by std::string be searched with a std::string_view (with
// std::equal_to<> as the key comparison), so a look-up copies nothing.
struct TransparentStringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

} // namespace scrivlet
