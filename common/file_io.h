#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace scrivlet {

// Whole-file reads and writes, byte for byte: the one way the program reads a file it is given
// (sources, dropped files, entry tables, the placement file, the registry export) and writes a
// file it replaces (saved sources, the placement file).
//
// A read refuses what is not a regular file (folders, devices, pipes, sockets) and files over
// a size limit, and says why. A write never leaves a half-written file: the bytes go to a
// temporary file in the target's folder, are flushed to the disk and then renamed over the
// target, so the target holds either its old bytes or all the new ones. A replaced file keeps
// its permission bits; a file that is read-only for the user is not replaced. Through a symbolic
// link, or a chain of them, the file at its end is written (made, when the link points at
// nothing yet) and the link stays.

// Files larger than this are not opened: loading them would freeze the window.
inline constexpr std::uint64_t kMaxOpenBytes = 64ull * 1024 * 1024;

struct FileReadResult {
    bool ok = false;
    bool missing = false;  // not ok because nothing has the name
    bool tooLarge = false; // not ok because the file holds more than the limit
    std::string bytes;     // the whole file when ok
    std::string reason;    // why not, as a sentence, when not ok
};

struct FileWriteResult {
    bool ok = false;
    std::string reason; // why not, as a sentence, when not ok
};

FileReadResult readWholeFile(const std::string& path, std::uint64_t limit = kMaxOpenBytes);

FileWriteResult writeFileAtomically(const std::string& path, std::string_view bytes);

} // namespace scrivlet
