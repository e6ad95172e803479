#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace scrivlet {

// The command-line modes that turn text into calculator objects and back, without a window:
//   --compile SRC [-o OUT.hp] [--system] [--database PATH]   source text to a binary transfer
//                                                    file (OUT defaults to SRC with .hp); the
//                                                    text's first words tell User RPL from a
//                                                    System RPL source file, --system says it is
//                                                    the latter (INCLUDE reads beside SRC)
//   --decompile FILE.hp [-o OUT.txt] [--database PATH]   an object to text (OUT defaults to the
//                                                    standard output)
// The ROM names come from the entry database (entries97.mdb in the current folder unless
// --database names another). A 48-series file's pointers are written by address: its ROM is
// not the book's.
// Returns nothing when the arguments ask for neither mode, else the exit status: 0 done, 1 an
// error in the source (printed as SRC:line:column: message, or
// the INCLUDEd file's name for a fault there), 2 a bad file or wrong arguments.
// The output is written whole or not at all; a failed compile leaves an old OUT as it was.
std::optional<int> runObjectCommand(const std::vector<std::string>& arguments, std::ostream& out,
                                    std::ostream& err);

} // namespace scrivlet
