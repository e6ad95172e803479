#include "common/file_io.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace scrivlet {

namespace {

// Closes a descriptor when it goes out of scope, unless it was released.
class Descriptor final {
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_fd; }
    // Closes now and reports the close's own failure (a delayed write error shows here).
    int close()
    {
        const int rc = ::close(m_fd);
        m_fd = -1;
        return rc;
    }

  private:
    int m_fd;
};

std::string errnoText(int error)
{
    return std::string(std::strerror(error)) + ".";
}

std::string megabytes(std::uint64_t bytes)
{
    if (bytes % (1024 * 1024) == 0)
        return std::to_string(bytes / (1024 * 1024)) + " MB";
    return std::to_string(bytes) + " bytes";
}

// What is wrong with a file of this kind, or empty when it is a regular file.
std::string kindProblem(const struct stat& st)
{
    if (S_ISDIR(st.st_mode))
        return "It is a folder, not a file.";
    if (!S_ISREG(st.st_mode))
        return "It is not a regular file (it is a device, a pipe or a socket).";
    return {};
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The permission bits a newly created file gets from the process's file-creation mask.
mode_t newFileMode()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(0666 & ~std::strtoul(line.c_str() + 6, nullptr, 8));
    }
    return 0644;
}

// The path a chain of symbolic links ends at, the last of which may point at nothing yet; a
// relative link is taken from the folder of the link. False (with errno) for a loop.
bool linkTarget(const std::string& path, std::string& target)
{
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0)
            return false;
        link.resize(static_cast<std::size_t>(n));
        if (link.empty() || link.front() == '/' || target.find('/') == std::string::npos)
            target = link;
        else
            target = folderOf(target) + "/" + link;
    }
    errno = ELOOP;
    return false;
}

bool writeAll(int fd, std::string_view bytes)
{
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        // A write that makes no progress would be tried for ever: it is a failure too.
        if (n == 0)
            errno = EIO;
        if (n <= 0)
            return false;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

FileReadResult readWholeFile(const std::string& path, std::uint64_t limit)
{
    FileReadResult result;
    if (path.empty()) {
        result.reason = "No file name was given.";
        return result;
    }
    // Look before opening: opening a device or a pipe can block or have effects of its own.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        result.missing = errno == ENOENT;
        result.reason = errnoText(errno);
        return result;
    }
    if (result.reason = kindProblem(st); !result.reason.empty())
        return result;

    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) {
        result.reason = errnoText(errno);
        return result;
    }
    // The name may have been given to something else between the look and the open.
    if (::fstat(fd.get(), &st) != 0) {
        result.reason = errnoText(errno);
        return result;
    }
    if (result.reason = kindProblem(st); !result.reason.empty())
        return result;
    const auto tooLarge = [&](std::uint64_t size) {
        result.tooLarge = true;
        result.reason = "The file holds " + std::to_string(size) + " bytes; files over " +
                        megabytes(limit) + " are not opened.";
    };
    if (static_cast<std::uint64_t>(st.st_size) > limit) {
        tooLarge(static_cast<std::uint64_t>(st.st_size));
        return result;
    }

    std::string& bytes = result.bytes;
    // One byte more than the file holds, so that the end is seen without growing the buffer.
    bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            // The file may have grown since it was measured: read on in steps.
            if (bytes.size() >= limit + 1) {
                tooLarge(bytes.size());
                result.bytes.clear();
                return result;
            }
            bytes.resize(bytes.size() + 65536);
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            result.reason = "Reading failed: " + errnoText(errno);
            result.bytes.clear();
            return result;
        }
        if (n == 0)
            break;
        filled += static_cast<std::size_t>(n);
    }
    if (filled > limit) {
        tooLarge(filled);
        result.bytes.clear();
        return result;
    }
    bytes.resize(filled);
    result.ok = true;
    return result;
}

FileWriteResult writeFileAtomically(const std::string& path, std::string_view bytes)
{
    FileWriteResult result;
    if (path.empty()) {
        result.reason = "No file name was given.";
        return result;
    }

    // Through a symbolic link the file it points to is replaced, or made, not the link.
    std::string target;
    if (!linkTarget(path, target)) {
        result.reason = errnoText(errno);
        return result;
    }
    struct stat st {};
    const bool existed = ::stat(target.c_str(), &st) == 0;
    if (existed) {
        if (result.reason = kindProblem(st); !result.reason.empty())
            return result;
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
            result.reason = "The file may not be written: " + errnoText(errno);
            return result;
        }
    } else if (errno != ENOENT) {
        result.reason = errnoText(errno);
        return result;
    }

    const std::string folder = folderOf(target);
    std::string temporary =
        folder + (folder == "/" ? "" : "/") + "." + nameOf(target).substr(0, 200) + ".XXXXXX";
    Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        result.reason = "No file can be made in the folder " + folder + ": " + errnoText(errno);
        return result;
    }
    const auto fail = [&](const std::string& what) {
        result.reason = what + errnoText(errno);
        ::unlink(temporary.c_str());
        return result;
    };

    if (!writeAll(fd.get(), bytes))
        return fail("Writing failed: ");
    if (existed) {
        struct stat mine {};
        if (::fstat(fd.get(), &mine) == 0 &&
            (mine.st_uid != st.st_uid || mine.st_gid != st.st_gid)) {
            // Keeps the owner where the user may (root, or a group the user belongs to).
            [[maybe_unused]] const int ignored = ::fchown(fd.get(), st.st_uid, st.st_gid);
        }
    }
    // After the owner: changing the owner clears the set-user-id bits.
    const mode_t mode = existed ? (st.st_mode & 07777) : newFileMode();
    if (::fchmod(fd.get(), mode) != 0)
        return fail("Setting the file's permissions failed: ");
    if (::fsync(fd.get()) != 0)
        return fail("Flushing the file to the disk failed: ");
    if (fd.close() != 0)
        return fail("Writing failed: ");
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return fail("Replacing the file failed: ");

    // Makes the rename itself durable; the file is complete whatever this says.
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
    result.ok = true;
    return result;
}

} // namespace scrivlet
