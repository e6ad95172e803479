#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace scrivlet {

// The command-line modes between a library and its project folder, without a window:
//   --decompile LIB.hp -o DIR [--database PATH]   a library as a project folder: DIR/LIB.hpp
//                                                 and one source file per command (DIR is
//                                                 created; an existing DIR must be empty)
//   --build PROJECT.hpp [-o OUT.hp] [--database PATH]   the project's library (OUT defaults to
//                                                 the project's FilePath=, else PROJECT.hp),
//                                                 and PROJECT.h when the project asks for it
//                                                 (WriteHeader=1)
// Returns nothing when the arguments ask for neither (a --decompile of an object that is no
// library, or to a file name with an extension, is the object command's), else the exit
// status: 0 done, 1 an error in a source (FILE:line:column: message), 2 a bad file or wrong
// arguments. A failed build leaves an old OUT as it was.
std::optional<int> runLibraryCommand(const std::vector<std::string>& arguments, std::ostream& out,
                                     std::ostream& err);

} // namespace scrivlet
