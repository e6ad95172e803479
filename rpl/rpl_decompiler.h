#pragma once

#include "calculator/rpl_object.h"
#include "rpl/rom_names.h"

#include <string>

namespace scrivlet {

// An object as text that compileRpl turns back into the same nibbles.
//
// User RPL as the calculator shows it where the object is User RPL: programs « », lists,
// commands by their user spelling, control structures, → and FOR locals, quoted names, numbers
// (reals with their period, integers without), strings, names, tagged objects, complex numbers,
// binary integers, GROBs. What User RPL cannot write, and every object whose User RPL text
// would compile to other nibbles, takes the compiler's other forms: a program that is not a
// User RPL program as ":: ... ;" with the book's names, a pointer without a name as PTR hhhhh,
// a library command without one as XLIB l c, anything else (libraries, code, directories,
// algebraics, arrays, units ...) as NIBHEX and its nibbles. In a System RPL program the
// objects User RPL cannot write take HP's compiler's forms where they can: %%, C%, C%%, TAG,
// HXS, FLASHPTR and ROMPTR by the book's names (or numbers), UNIT and SYMBOL. A valid object
// never fails.
struct DecompileOptions {
    bool exactMode = true; // as CompileOptions::exactMode
    // False for an object of another ROM (a 48-series file): its pointers and library commands
    // are written by number, never by the book's names, which name other things there. The
    // names still decide which numbers the compiler would store as ROM constants.
    bool namePointers = true;
};

// The text in the calculator's character set, lines ended by LF.
std::string decompileRpl(const RplObject& object, const RomNames& names,
                         DecompileOptions options = {});

// The text as a transfer file: the %%HP: T(3)A(R)F(.); header line, the transfer escapes.
std::string decompiledTransferText(const RplObject& object, const RomNames& names,
                                   DecompileOptions options = {});

} // namespace scrivlet
