#pragma once

#include "calculator/rpl_object.h"
#include "rpl/rom_names.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace scrivlet {

// The objects the compiler builds from a literal's parts, with their length fields.

// A number's text as the compiler stores it (CompileOptions::exactMode given): a pointer to a
// ROM constant for -9..9, an integer or a real; nothing when it is no number or out of range.
std::optional<RplObject> numberObject(std::string_view text, const RomNames& names, bool exactMode);

// A string of the calculator's bytes; nothing when it is too long for its length field.
std::optional<RplObject> stringObject(std::string_view bytes);

RplObject xlibObject(XlibId id);

// A flash pointer: the 7 nibbles of command × 0x1000 + bank, as the book writes a ^name's value.
RplObject flashPointerObject(std::uint32_t value);

// % x, %% x, C% re im and C%% re im of the System RPL form: a real, an extended real, a complex
// or an extended complex; nothing when a part is no number in the type's range.
std::optional<RplObject> realObject(std::string_view text, bool extended);
std::optional<RplObject> complexObject(std::string_view re, std::string_view im, bool extended);

// HXS len digits: a binary integer of `len` (hexadecimal) nibbles whose digits are given in
// memory order, with zeros before them when they are fewer; nothing when either is not hex, the
// digits are more than the length, or the length is past its field.
std::optional<RplObject> hexStringObject(std::string_view length, std::string_view digits);

// Raw nibbles in a System RPL program, as the assembler's CON(n) value and NIBB n digits write
// them: the width of a CON(n) word (1 to 8; nothing for another word), and the value of its
// operand: decimal digits, # and hex digits, or = and a name of the book (=DOCOL, =^name for a
// flash pointer's 7 nibbles, =~name for a library command's 6).
std::optional<int> constantWidth(std::string_view word);
std::optional<std::uint32_t> constantValue(std::string_view text, const RomNames& names);

// The items a run of raw nibbles holds inside a composite: whole objects where a prolog
// starts, pointers elsewhere. Not ok when the run ends inside an object or holds a SEMI.
struct RawItems {
    bool ok = false;
    std::vector<RplObject> items;
    std::string message;
};
RawItems itemsOfNibbles(const Nibbles& nibbles);

// An operand HP's compiler reads as a hexadecimal number (ROMPTR 326 2, FLASHPTR 4 24) rather
// than as a name: it starts with a decimal digit and holds only hexadecimal digits.
bool isHexOperand(std::string_view text);
// Its value when it fits `digits` hexadecimal digits (leading zeros aside).
std::optional<std::uint32_t> hexOperand(std::string_view text, int digits);

// A user command: its ROM pointer or its XLIB name.
RplObject commandObject(const RomNames::Command& command);

// An array of `elementProlog` (real or complex) elements, given by their bodies row by row;
// rows 0 for a vector. Nothing when it is too large.
std::optional<RplObject> arrayObject(std::uint32_t elementProlog, std::uint32_t rows,
                                     std::uint32_t columns, const std::vector<Nibbles>& elements);

// The nibbles a GROB of this size holds after its length, height and width.
inline std::uint64_t grobDataNibbleCount(std::uint64_t width, std::uint64_t height)
{
    return 2 * ((width + 7) / 8) * height;
}
// A GROB whose data are given as hexadecimal digits in memory order; nothing when the size is
// past its fields or the digits are not exactly the data.
std::optional<RplObject> grobObject(std::uint64_t width, std::uint64_t height,
                                    std::string_view hexData);

} // namespace scrivlet
