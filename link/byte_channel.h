#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace scrivlet {

// A two-way byte line to the calculator: a serial port, a pseudo-terminal, a test's pipe.
class ByteChannel {
public:
    virtual ~ByteChannel() = default;

    // Writes all bytes (waiting for the line to take them); false on failure, see error().
    virtual bool write(std::string_view bytes) = 0;
    // Waits at most timeoutMs for bytes and appends what arrived (up to max) to out. Returns
    // false on failure; a timeout with nothing read is not a failure.
    virtual bool read(std::string& out, std::size_t max, int timeoutMs) = 0;
    // What went wrong last, in one line.
    virtual std::string error() const = 0;
};

} // namespace scrivlet
