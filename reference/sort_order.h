#pragma once

#include <string_view>

namespace scrivlet {

// The orders of the reference list, one per sort button, and the query each one runs. The
// order decides which entry a lookup proposes: the first row, in this order, whose name begins
// with the typed word.
enum class SortOrder {
    Abc,   // by name
    Usage, // most used first, equal counts by name
    Addr,  // by address
    V,     // by the length of the name, shortest first
};

// The query in force from start-up until a sort button is clicked: the usage order.
inline constexpr std::string_view kStartupRecordSource =
    "SELECT * FROM entries ORDER BY usg DESC, name";

constexpr std::string_view recordSource(SortOrder order)
{
    switch (order) {
    case SortOrder::Abc:
        return "SELECT * FROM entries ORDER BY name";
    case SortOrder::Usage:
        return "SELECT * FROM entries ORDER BY usg DESC,name";
    case SortOrder::Addr:
        return "SELECT * FROM entries ORDER BY addr";
    case SortOrder::V:
        return "SELECT * FROM entries ORDER BY len(name)";
    }
    return kStartupRecordSource;
}

} // namespace scrivlet
