// Scope guard that runs solver code with floating-point traps masked.
#pragma once

#include <cfenv>

namespace kinetra {

// On construction saves the caller's floating-point environment (control modes, trap mask
// and status flags) and switches to non-stop mode with the flags cleared; on destruction
// restores the saved environment exactly, so nothing the solver raises reaches the caller.
class FloatingPointGuard
{
public:
    FloatingPointGuard();
    ~FloatingPointGuard();

    FloatingPointGuard(const FloatingPointGuard&) = delete;
    FloatingPointGuard& operator=(const FloatingPointGuard&) = delete;

private:
    std::fenv_t m_saved;
};

} // namespace kinetra
