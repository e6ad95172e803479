#include "reference/importer_io.h"

#include "common/file_io.h"

namespace scrivlet {

RunResult<std::string> readInputFile(const std::string& path)
{
    FileReadResult read = readWholeFile(path);
    if (!read.ok)
        return RunResult<std::string>::failure(path + ": " + read.reason);
    return {std::move(read.bytes), {}};
}

} // namespace scrivlet
