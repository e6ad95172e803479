#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace scrivlet {

// The numbers a GROB file carries in its bytes 10 to 17 (bytes 0-9 and the type field are
// never looked at). Every number is read least significant nibble first, the low nibble of a
// byte before its high nibble.
struct GrobFields {
    std::uint32_t length = 0; // nibbles after the type field: the three 5-nibble fields + data
    std::uint32_t height = 0;
    std::uint32_t width = 0;
};

// Header (8 bytes), type and length (5 bytes), height and width (5 bytes).
inline constexpr std::size_t kGrobFieldBytes = 18;

// The fields of the first 18 bytes; `bytes` must hold at least that many.
GrobFields grobFields(std::string_view bytes);

// The pixel data bytes the length field announces: (length - 15) div 2, none below 17.
std::size_t grobDataBytes(std::uint32_t length);

// The source line of a GROB: "GROB width height hexdigits" CR LF, each data byte written low
// nibble digit first, so the digits are the object's nibbles in memory order. The space after
// the height is there even without data.
std::string grobLine(std::uint32_t width, std::uint32_t height, std::string_view data);

// A GROB file turned into the source line "GROB width height hexdigits" CR LF, each data byte
// written low nibble digit first. A file too short for its fields or for the data its length
// announces gives no line at all: nothing is made up for the missing bytes.
struct GrobConversion {
    enum class Status { Ok, ShortFields, ShortData };

    Status status = Status::Ok;
    std::string line;            // empty unless Ok
    std::size_t fileBytes = 0;   // the size of the file
    std::size_t dataClaimed = 0; // data bytes announced by the length field (0 for ShortFields)
    std::size_t dataPresent = 0; // data bytes the file actually holds after its fields

    bool ok() const { return status == Status::Ok; }
};

GrobConversion convertGrob(std::string_view file);

// What is wrong with a conversion that failed, in one or two sentences for a message;
// empty for a successful one.
std::string grobProblemText(const GrobConversion& conversion);

} // namespace scrivlet
