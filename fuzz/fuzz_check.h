#pragma once

#include <cstdlib>

namespace scrivlet::fuzz {

// Stops the run where an invariant fails, so the fuzzer keeps the input that broke it.
inline void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace scrivlet::fuzz
