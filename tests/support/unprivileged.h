#pragma once

#include <cstdlib>
#include <unistd.h>

namespace scrivlet::fixtures {

// While it lives, the process acts as the unprivileged user "nobody" when it runs as root, so
// that file permissions bind the way they bind for a user.
class Unprivileged {
  public:
    Unprivileged() : m_active(geteuid() == 0 && setegid(65534) == 0 && seteuid(65534) == 0) {}
    ~Unprivileged()
    {
        if (m_active && (seteuid(0) != 0 || setegid(0) != 0))
            std::abort(); // the tests after this one would run as someone else
    }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;

  private:
    bool m_active;
};

} // namespace scrivlet::fixtures
