#pragma once

#include "rpl/defined_names.h"
#include "rpl/lexer.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace scrivlet {

// The unknown-name rule: in System RPL, a Name token that no entry of the reference book, no
// definition in the text and no local variable explains. Only Name tokens are judged: numbers,
// strings, comments, structure, control and defining words, directives, the operands of ID LAM
// TAG INCLUDE, the words of a DEFINE's replacement text and assembler blocks never are.
// A word is known when the book has it, or has it without a glued leading ' ('DROPFALSE is an
// entry, 'MyName quotes MyName), or when `defined` holds it (DefinedNames::contains); a view
// may add there the definitions of the files the text INCLUDEs.
//
// User RPL is not judged: a name there that is no command is a global variable, found when
// the program runs, and most of them are stored outside the file (a measurement on real
// sources marked 17 % of the words). userCommandEntry gives the entry of a User RPL command.
using ReferenceBook = std::function<bool(std::string_view)>;

enum class NameCheck : std::uint8_t { NotChecked, Known, Unknown };

NameCheck checkName(std::string_view line, const Token& token, RplDialect dialect,
                    const DefinedNames& defined, const ReferenceBook& inReferenceBook);

// The book's entry for a User RPL command word: x + the word with each → (or \->) as > or as
// -> (STO is xSTO, →LIST is x>LIST, C→R is xC>R, →TAG is x->TAG), or ~x + the word with \->
// (ROW→ is ~xROW\->); std::nullopt when none is in the book.
std::optional<std::string> userCommandEntry(std::string_view word,
                                            const ReferenceBook& inReferenceBook);

} // namespace scrivlet
