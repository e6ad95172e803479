#pragma once

#include "link/byte_channel.h"

#include <memory>
#include <string>

namespace scrivlet {

// A serial port or pseudo-terminal through termios: raw 8N1, no flow control, the given speed.
// The port is opened without becoming the controlling terminal and without waiting for the
// carrier. What waited in its input is kept: a receiver's first request may be there already
// (a stale NAK from a calculator does no harm to the engines).
class SerialChannel final : public ByteChannel {
public:
    ~SerialChannel() override;
    SerialChannel(const SerialChannel&) = delete;
    SerialChannel& operator=(const SerialChannel&) = delete;

    // Opens path; on failure error holds one line naming the port ("no such port", "permission
    // denied (add the user to the dialout group)", an unsupported speed, …).
    static std::unique_ptr<SerialChannel> open(const std::string& path, int speed,
                                               std::string& error);

    bool write(std::string_view bytes) override;
    bool read(std::string& out, std::size_t max, int timeoutMs) override;
    std::string error() const override { return m_error; }

private:
    SerialChannel(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}

    int m_fd;
    std::string m_path;
    std::string m_error;
};

} // namespace scrivlet
