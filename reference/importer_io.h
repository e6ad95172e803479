#pragma once

#include <stdexcept>
#include <string>

namespace scrivlet {

// A failure that stops an import or a learning run before anything is written; the text names
// the file and the reason.
class ReferenceError final : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The bytes of a file, unchanged. Throws ReferenceError naming the file when it is missing, a
// folder, or cannot be read to its end.
std::string readWholeFile(const std::string& path);

} // namespace scrivlet
