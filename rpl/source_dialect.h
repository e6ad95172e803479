#pragma once

#include "rpl/lexer.h"
#include "rpl/library_project.h"

#include <string_view>

namespace scrivlet {

// The dialect a source text is written in, by its first decisive words, as the window's Build
// menu (on Automatic) and the command line's --compile read it:
// - User RPL: a %%HP: header, « or \<< (and whatever else the lexer settles as User RPL) first;
// - System RPL: ::, RPL, a defining word (xNAME, NULLNAME, DEFINE, EXTERNAL ...), INCLUDE, an
//   assembler block, or a comment line starting with * before anything decisive: a System RPL
//   source file as a library project's sources are written.
// Unknown when nothing decides (a number, a name, an empty text): the text then compiles as
// User RPL, whose compiler also reads a lone :: ... ; object.
RplDialect sourceDialect(std::string_view text);

// The text compiled in `dialect` (Unknown: the one sourceDialect finds): System RPL as a source
// file (compileSystemSource, INCLUDEs through `read`), anything else as User RPL (compileRpl).
SourceCompile compileSource(std::string_view text, RplDialect dialect,
                            const ProjectFileReader& read, const RomNames& names);

} // namespace scrivlet
