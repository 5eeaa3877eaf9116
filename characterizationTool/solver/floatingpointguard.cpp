#include "floatingpointguard.h"

namespace kinetra {

FloatingPointGuard::FloatingPointGuard()
{
    std::feholdexcept(&m_saved);
}

FloatingPointGuard::~FloatingPointGuard()
{
    std::fesetenv(&m_saved);
}

} // namespace kinetra
