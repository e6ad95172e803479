#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace scrivlet {

// The command-line modes that build and teach the entry database without a window:
//   --import FILE... [--database PATH]   add and update entries from entry tables
//   --learn PATH...  [--database PATH]   add the uses counted in sources to the usage counts
//   --measure-savings PATH... [--database PATH] [--names-in-file]
//                                        what the proposals save on the sources (read only)
// PATH defaults to entries97.mdb in the current directory; "--" ends the options.
// Returns nothing when the arguments ask for neither mode (the window starts as usual), else
// the exit status: 0 done, 1 failed with the database left as it was, 2 wrong arguments.
std::optional<int> runReferenceCommand(const std::vector<std::string>& arguments, std::ostream& out,
                                       std::ostream& err);

// The same, reporting on the standard output and error streams.
std::optional<int> runReferenceCommand(const std::vector<std::string>& arguments);

} // namespace scrivlet
