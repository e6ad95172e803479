#pragma once

#include "calculator/rpl_object.h"
#include "rpl/rom_names.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scrivlet {

// Algebraic objects: the text between quotes ('X+2*SIN(Y)') and the objects the calculator
// stores for it, in postfix order (ID X, 2, ID Y, SIN, *, +) between the algebraic's prolog
// and SEMI.
//
// The text: names (local variables where `locals` holds them, else global), numbers, + - * /
// ^, unary minus (NEG), = == < > ≤ ≥ ≠, parentheses, and commands applied as functions,
// NAME(arg,...). ^ binds tightest and groups to the right, then unary minus, * and /, + and -,
// the comparisons, and = last; the others group to the left.
struct AlgebraicParse {
    bool ok = false;
    RplObject object;
    std::size_t errorAt = 0; // byte offset in the text, when not ok
    std::string message;
};

// The object a number's text stands for (the compiler's rule); nothing when it is out of range.
using AlgebraicNumber = std::function<std::optional<RplObject>(std::string_view)>;

AlgebraicParse parseAlgebraic(std::string_view text, const RomNames& names,
                              const std::vector<std::string>& locals,
                              const AlgebraicNumber& number);

// How an operand that is no command is written (a name, a number); empty when it cannot be.
using AlgebraicLeaf = std::function<std::string(const RplObject&)>;

// The text of an algebraic (no quotes) with the fewest parentheses parseAlgebraic needs;
// nothing when its items are no expression this can write. Commands other than the operators
// take one argument, or as many as their known arity (MAX, MIN, MOD, IFTE ...): the caller
// checks that the text parses back to the same items.
std::optional<std::string> algebraicText(const RplObject& algebraic, const RomNames& names,
                                         const AlgebraicLeaf& leaf);

} // namespace scrivlet
