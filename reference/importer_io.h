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

// The bytes of a table or source file, unchanged. Throws ReferenceError naming the file when it
// cannot be read (see readWholeFile).
std::string readInputFile(const std::string& path);

} // namespace scrivlet
