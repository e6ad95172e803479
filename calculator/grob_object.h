#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace scrivlet {

// A GROB as the calculator holds it in memory: its width and height in pixels and its pixel
// rows, top row first.
//
// Every row takes grobRowBytes(width) bytes, a whole number of bytes (an even number of
// nibbles) however wide the picture is. In memory a byte's low nibble comes first. Bit k of
// byte j of a row (k = 0 the lowest bit of the low nibble) is the pixel 8 j + k from the left,
// so the leftmost pixel is the lowest bit of the row's first nibble; a set bit is a dark
// pixel. The bits past the width in a row's last byte are not part of the picture; they are
// kept as they came, so that a GROB read from a line or a file is written back unchanged.
//
// A whole object holds exactly height × grobRowBytes(width) bytes. Width and height are
// 20-bit fields (0 to 1,048,575), and so is the length field, which counts 15 nibbles of
// fields and the data: the data can hold at most kGrobMaxDataNibbles nibbles.
struct GrobObject {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::string data; // the data bytes in memory order, as a .gro file holds them

    bool operator==(const GrobObject&) const = default;
};

inline constexpr std::uint32_t kGrobMaxSide = 0xFFFFF;
inline constexpr std::uint64_t kGrobMaxDataNibbles = 0xFFFFF - 15;

// The 8-byte header the 49 series writes before an object in a binary transfer file.
inline constexpr std::string_view kGrobFileHeader = "HPHP49-C";
// The address of the GROB prolog: the object's type field.
inline constexpr std::uint32_t kGrobPrologue = 0x02B1E;

constexpr std::uint64_t grobRowBytes(std::uint64_t width)
{
    return (width + 7) / 8;
}

constexpr std::uint64_t grobDataNibbles(std::uint64_t width, std::uint64_t height)
{
    return 2 * grobRowBytes(width) * height;
}

// Whether the numbers fit their fields and the data holds exactly the rows.
bool isWholeGrob(const GrobObject& grob);

// Whether the pixel at column x, row y (both inside the picture) is dark.
inline bool grobPixel(const GrobObject& grob, std::uint32_t x, std::uint32_t y)
{
    const auto byte = static_cast<unsigned char>(grob.data[y * grobRowBytes(grob.width) + x / 8]);
    return (byte >> (x % 8)) & 1u;
}

// The object's source line, the same "GROB w h digits" CR LF a dropped .gro file gives.
std::string grobObjectLine(const GrobObject& grob);

// The object as a 49-series binary transfer file (.gro): the header kGrobFileHeader, then the
// object's nibbles packed two to a byte, low nibble first: prolog, length (15 + data
// nibbles), height, width (five nibbles each, least significant first) and the data. Reading
// such a file back as a dropped .gro file gives grobObjectLine(grob). Empty when the object is
// not whole.
std::string grobFileBytes(const GrobObject& grob);

} // namespace scrivlet
