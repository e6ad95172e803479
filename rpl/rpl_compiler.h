#pragma once

#include "calculator/rpl_object.h"
#include "rpl/rom_names.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace scrivlet {

// User RPL text to the object the calculator's own parser stores for it: commands as pointers
// to their ROM words (or XLIB names for commands of ROM libraries), the control structures,
// local variables (→ and FOR), numbers as the 49 series stores them, strings, names, lists,
// programs, algebraics, tagged objects, complex numbers, binary integers, GROBs.
//
// Numbers: in exact mode (the 49 series' default) a number without a period is an integer
// (ZINT), with one a real; in approximate mode both are reals. Integers and reals from -9 to 9
// are stored as pointers to the calculator's own constants (the book's Z<n>_ and %<n>).
//
// Beside User RPL the text may hold the decompiler's forms for what User RPL cannot write:
// ":: ... ;" a program in System RPL form, whose words are any of the book's names, whose
// names are written ID name and LAM name, whose system binaries are # hhhhh, and whose numbers
// that would be ROM constants are % 1. and ZINT 1 when they are inline; "PTR hhhhh" a pointer
// with no name; "XLIB l c"; "NIBHEX hh..." one whole object as its nibbles (prolog first).
// Inside ":: ... ;" HP's compiler's forms are read too: %% x, C% re im, C%% re im, TAG tag obj,
// HXS len digits, ROMPTR lib cmd or ROMPTR name (and ~name), FLASHPTR bank cmd or FLASHPTR name
// (and ^name) by the book's ~ and ^ names, $ "text", CHR c, UNIT ... ;, SYMBOL ... ;, the
// assembler's data words CON(n) value and NIBB count digits, and LABEL, LOCALNAME, LOCALLABEL
// and NAMELESS name, assembler labels that store nothing. Assembler blocks are refused.
//
// The text holds one object. Errors carry the line and column where they start.
struct CompileOptions {
    bool exactMode = true;
    // The whole text is System RPL, as a source file's command is: its first object's words
    // are the book's entries too, not only those inside :: ... ;.
    bool systemRpl = false;
};

struct CompileError {
    std::size_t line = 0;
    std::size_t column = 0;
    std::string message;
};

struct CompileResult {
    bool ok = false;
    RplObject object;
    CompileError error;
};

CompileResult compileRpl(std::string_view text, const RomNames& names, CompileOptions options = {});

// A number's text as the compiler stores it: a pointer to a ROM constant, an integer or a real;
// nothing when it is no number or out of the calculator's range.
std::optional<RplObject> compileNumber(std::string_view text, const RomNames& names,
                                       CompileOptions options = {});

// The word can name a local variable (after → or FOR; it then hides a command of that name):
// 1 to 255 characters, no separators, brackets, quotes or operators (+ - * / ^ = < > ...), not
// starting like a number, and not a word of the syntax.
bool isLocalVariableName(std::string_view name);
// The word can be written bare for a global name: a local variable name that is no command.
bool isBareUserName(std::string_view name, const RomNames& names);

} // namespace scrivlet
