#pragma once

#include <cstdint>

namespace scrivlet {

// Bytes [start, start + length) of the editor text.
struct ByteRange {
    std::int64_t start = 0;
    std::int64_t length = 0;

    std::int64_t end() const { return start + length; }
    bool operator==(const ByteRange&) const = default;
};

} // namespace scrivlet
