#include "reference/importer_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace scrivlet {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

[[noreturn]] void cannotRead(const std::string& path, const std::string& reason)
{
    throw ReferenceError(path + ": " + reason);
}

} // namespace

std::string readWholeFile(const std::string& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        cannotRead(path, "no such file");
    if (status.type() == std::filesystem::file_type::directory)
        cannotRead(path, "is a folder, not a file");

    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        cannotRead(path, std::string("cannot be opened: ") + std::strerror(errno));

    std::string bytes;
    if (const auto size = std::filesystem::file_size(path, ec); !ec)
        bytes.reserve(static_cast<std::size_t>(size));
    char buffer[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, got);
        if (got < sizeof buffer)
            break;
    }
    if (std::ferror(file.get()))
        cannotRead(path, std::string("read error: ") + std::strerror(errno));
    return bytes;
}

} // namespace scrivlet
