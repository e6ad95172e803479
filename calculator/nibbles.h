#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scrivlet {

// The calculator's memory as a run of nibbles, one value 0-15 per element, in address order.
// Bytes hold two nibbles, the low nibble first; a multi-nibble field (a prolog, a length, an
// address) is stored least significant nibble first.
using Nibbles = std::vector<std::uint8_t>;

// Every byte as two nibbles, low nibble first.
Nibbles unpackNibbles(std::string_view bytes);

// The nibbles two to a byte, low nibble first; an odd count gets `pad` as its last high nibble.
std::string packNibbles(const Nibbles& nibbles, std::uint8_t pad = 0);

// The `width`-nibble field (at most 8) at `at`, least significant nibble first. The caller has
// checked that the field lies inside `nibbles`.
inline std::uint32_t nibbleField(const Nibbles& nibbles, std::size_t at, int width)
{
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 4) | nibbles[at + static_cast<std::size_t>(i)];
    return value;
}

// A field wider than the 8 nibbles of the value is filled with zeros.
inline void appendNibbleField(Nibbles& nibbles, std::uint32_t value, int width)
{
    for (int i = 0; i < width; ++i)
        nibbles.push_back(i < 8 ? static_cast<std::uint8_t>((value >> (4 * i)) & 0x0Fu) : 0);
}

// Nibbles as upper-case hex digits, one digit a nibble, in memory order; and back (false when
// the text holds anything but hex digits).
std::string nibbleHex(const Nibbles& nibbles, std::size_t from = 0,
                      std::size_t count = std::string::npos);
bool appendNibbleHex(std::string_view hex, Nibbles& out);

// The calculator's CRC-16 over nibbles, as its CRC hardware computes it while memory is read:
// starting at 0, crc = (crc >> 4) ^ (((crc ^ n) & 0xF) * 0x1081) for each nibble n. It is
// the checksum BYTES shows for an object and the one a library stores after its body.
std::uint16_t nibbleCrc(const Nibbles& nibbles, std::size_t from = 0,
                        std::size_t count = std::string::npos);

} // namespace scrivlet
