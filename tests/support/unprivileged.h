#pragma once

#include <sys/types.h>
#include <unistd.h>

namespace scrivlet::fixtures {

// While it lives, the process acts as the unprivileged user "nobody" when it runs as root, so
// that file permissions bind the way they bind for a user. Restored on destruction.
class Unprivileged {
public:
    Unprivileged()
    {
        if (geteuid() == 0) {
            m_active = setegid(65534) == 0 && seteuid(65534) == 0;
        }
    }
    ~Unprivileged()
    {
        if (m_active) {
            [[maybe_unused]] int rc = seteuid(0);
            rc = setegid(0);
        }
    }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;

private:
    bool m_active = false;
};

} // namespace scrivlet::fixtures
