#pragma once

#include "calculator/nibbles.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scrivlet {

// The prologs: the address at the start of every object in the calculator's memory, naming
// its type. Everything else where an object is expected is a pointer to an object in ROM.
namespace prolog {
inline constexpr std::uint32_t kZint = 0x02614;
inline constexpr std::uint32_t kLongReal = 0x0263A;
inline constexpr std::uint32_t kLongComplex = 0x02660;
inline constexpr std::uint32_t kSymbolicMatrix = 0x02686;
inline constexpr std::uint32_t kFlashPointer = 0x026AC;
inline constexpr std::uint32_t kMinifont = 0x026FE;
inline constexpr std::uint32_t kSystemBinary = 0x02911;
inline constexpr std::uint32_t kReal = 0x02933;
inline constexpr std::uint32_t kExtendedReal = 0x02955;
inline constexpr std::uint32_t kComplex = 0x02977;
inline constexpr std::uint32_t kExtendedComplex = 0x0299D;
inline constexpr std::uint32_t kCharacter = 0x029BF;
inline constexpr std::uint32_t kArray = 0x029E8;
inline constexpr std::uint32_t kLinkedArray = 0x02A0A;
inline constexpr std::uint32_t kString = 0x02A2C;
inline constexpr std::uint32_t kBinaryInteger = 0x02A4E;
inline constexpr std::uint32_t kList = 0x02A74;
inline constexpr std::uint32_t kDirectory = 0x02A96;
inline constexpr std::uint32_t kAlgebraic = 0x02AB8;
inline constexpr std::uint32_t kUnit = 0x02ADA;
inline constexpr std::uint32_t kTagged = 0x02AFC;
inline constexpr std::uint32_t kGrob = 0x02B1E;
inline constexpr std::uint32_t kLibrary = 0x02B40;
inline constexpr std::uint32_t kBackup = 0x02B62;
inline constexpr std::uint32_t kLibraryData = 0x02B88;
inline constexpr std::uint32_t kAccessPointer = 0x02BAA;
inline constexpr std::uint32_t kFont = 0x02BCC;
inline constexpr std::uint32_t kProgram = 0x02D9D;
inline constexpr std::uint32_t kCode = 0x02DCC;
inline constexpr std::uint32_t kGlobalName = 0x02E48;
inline constexpr std::uint32_t kLocalName = 0x02E6D;
inline constexpr std::uint32_t kXlibName = 0x02E92;
// Not a prolog: the ROM word that ends a program, list, algebraic, unit or symbolic matrix.
inline constexpr std::uint32_t kSemi = 0x0312B;
} // namespace prolog

// How an object's size follows from its prolog.
enum class ObjectShape : std::uint8_t {
    Pointer,   // no prolog: a 5-nibble address of an object in ROM
    Fixed,     // a fixed number of nibbles after the prolog
    Sized,     // a 5-nibble length field that counts itself and what follows
    Composite, // objects up to SEMI
    Named,     // a 2-nibble character count, then the characters (global and local names)
    Tagged,    // a 2-nibble character count, the tag's characters, then one object
    Directory, // attached library, an offset to the last variable, the variables
};

struct PrologInfo {
    std::uint32_t prolog;
    ObjectShape shape;
    std::uint8_t fixedNibbles; // after the prolog, for ObjectShape::Fixed
    std::string_view name;     // the type as a word, e.g. "real", "program"
};

// The prolog's shape and name; nullptr for an address that is no prolog.
const PrologInfo* prologInfo(std::uint32_t prolog);

// One object as the calculator stores it. The tree keeps every nibble, so writing it back gives
// the nibbles it was read from.
//   Pointer:   `prolog` is the address; nothing else.
//   Fixed, Sized, Directory: `body` holds every nibble after the prolog (length fields too).
//   Composite: `items` are the objects before the SEMI, which is not stored.
//   Named:     `text` holds the characters, one byte each.
//   Tagged:    `text` holds the tag, `items` the one tagged object.
struct RplObject {
    std::uint32_t prolog = 0;
    ObjectShape shape = ObjectShape::Pointer;
    Nibbles body;
    std::string text;
    std::vector<RplObject> items;

    bool operator==(const RplObject&) const = default;

    static RplObject pointer(std::uint32_t address)
    {
        return {address, ObjectShape::Pointer, {}, {}, {}};
    }
};

// The object's nibbles.
Nibbles objectNibbles(const RplObject& object);
void appendObjectNibbles(const RplObject& object, Nibbles& out);

// What reading nibbles as an object found wrong, and where (a nibble offset from the start).
struct ObjectError {
    std::size_t offset = 0;
    std::string message;
};

struct ObjectReadResult {
    bool ok = false;
    RplObject object;
    std::size_t end = 0; // the nibble after the object, when ok
    ObjectError error;   // when not ok
};

// The object starting at nibble `from`. It must start with a prolog; inside composites every
// address that is no prolog is a pointer to ROM. A length or an offset that runs past the end
// of the nibbles, a composite without its SEMI, and nesting deeper than kMaxObjectDepth are
// errors naming the nibble where they start. Nothing past `nibbles.size()` is read.
ObjectReadResult readObject(const Nibbles& nibbles, std::size_t from = 0);

inline constexpr int kMaxObjectDepth = 200;

} // namespace scrivlet
