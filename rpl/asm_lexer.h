#pragma once

#include "rpl/lexer.h"

#include <string_view>
#include <vector>

namespace scrivlet {

// The assembler part of the RPL lexer (internal to it): lexes the line from `pos` on while the
// state's region is an assembler block, appending to `out`. Returns where it stopped: the end of
// the line, or just after the word that ended the block (the region is then Rpl again).
//
// SASM (CODE ... ENDCODE, ASSEMBLE ... RPL): a * in column 1 makes a comment line; a word in
// column 1 is a label; then come the mnemonic, its operand (none for the mnemonics that take
// none) and free comment text to the end of the line; NIBASC and LCASC take a text between two
// equal delimiters.
// MASD (CODEM ... ENDCODE, ASSEMBLEM ... !RPL, and CODE ... ENDCODE, !ASM ... !RPL in a MASD
// source): % and ; start a comment to the end of the line; *name is a label; DEFINE, EQU and DC
// define the name that follows (EQUCP and DCCP the one after the increment); words are
// mnemonics, numbers or operands.
std::size_t lexAsm(std::string_view line, std::size_t pos, LexState& state,
                   std::vector<Token>& out);

} // namespace scrivlet
