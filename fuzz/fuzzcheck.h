// The one way a fuzz target reports a broken invariant: a message and an abort, which the
// fuzzer records as a crash together with the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>

// Aborts with `what` on standard error unless `condition` holds.
inline void FuzzCheck(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}
