#include "reference/importer_io.h"

#include "common/file_io.h"

namespace scrivlet {

std::string readInputFile(const std::string& path)
{
    FileReadResult read = readWholeFile(path);
    if (!read.ok)
        throw ReferenceError(path + ": " + read.reason);
    return std::move(read.bytes);
}

} // namespace scrivlet
