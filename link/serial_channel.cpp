#include "link/serial_channel.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace scrivlet {

namespace {

speed_t speedConstant(int speed)
{
    switch (speed) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return B0;
    }
}

} // namespace

std::unique_ptr<SerialChannel> SerialChannel::open(const std::string& path, int speed,
                                                   std::string& error)
{
    const speed_t constant = speedConstant(speed);
    if (constant == B0) {
        error = path + ": unsupported speed " + std::to_string(speed) +
                " (use 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200 or 230400)";
        return nullptr;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        if (code == ENOENT || code == ENODEV || code == ENXIO)
            error = path + ": no such port";
        else if (code == EACCES || code == EPERM)
            error = path + ": permission denied (the user must be in the dialout group: "
                           "sudo adduser $USER dialout, then log in again)";
        else if (code == EBUSY)
            error = path + ": the port is in use by another program";
        else
            error = path + ": " + std::strerror(code);
        return nullptr;
    }
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        error = path + ": not a serial port";
        ::close(fd);
        return nullptr;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~tcflag_t(CSTOPB | PARENB | CRTSCTS | CSIZE);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, constant);
    ::cfsetospeed(&tio, constant);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        error = path + ": cannot set the line to " + std::to_string(speed) + " baud 8N1: " +
                std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<SerialChannel>(new SerialChannel(fd, path));
}

SerialChannel::~SerialChannel()
{
    ::tcdrain(m_fd);
    ::close(m_fd);
}

bool SerialChannel::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(std::size_t(n));
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            m_error = m_path + ": " + std::strerror(errno);
            return false;
        }
        pollfd p{m_fd, POLLOUT, 0};
        if (::poll(&p, 1, 5000) == 0) {
            m_error = m_path + ": the line does not take bytes";
            return false;
        }
    }
    return true;
}

bool SerialChannel::read(std::string& out, std::size_t max, int timeoutMs)
{
    pollfd p{m_fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, timeoutMs);
    if (ready < 0)
        return errno == EINTR;
    if (ready == 0)
        return true;
    char buffer[4096];
    const ssize_t n = ::read(m_fd, buffer, std::min(max, sizeof buffer));
    if (n > 0) {
        out.append(buffer, std::size_t(n));
        return true;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return true;
    // POLLHUP with nothing to read: the other end of a pseudo-terminal closed, or the USB
    // adapter was pulled. Wait out the time so a peer that reopens is still heard.
    if (n == 0 || errno == EIO) {
        if (p.revents & POLLHUP) {
            ::poll(nullptr, 0, timeoutMs);
            return true;
        }
        return true;
    }
    m_error = m_path + ": " + std::strerror(errno);
    return false;
}

} // namespace scrivlet
