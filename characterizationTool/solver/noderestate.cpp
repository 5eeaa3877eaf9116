#include "noderestate.h"

#include <cstring>

namespace kinetra {

namespace {

template <std::size_t N>
bool FloatsEqual(const float (&a)[N], const float (&b)[N])
{
    for (std::size_t i = 0; i < N; ++i) {
        if (!(a[i] == b[i]))
            return false;
    }
    return true;
}

} // namespace

void ResetNodeRestState(NodeRestState& state)
{
    std::memset(&state, 0, sizeof state);
    state.Rotate[3] = 1.0f;
    state.PreRot[3] = 1.0f;
    state.PostRot[3] = 1.0f;
    state.RotateParentOffset[3] = 1.0f;
}

NodeRestState MakeResetNodeRestState()
{
    NodeRestState state;
    ResetNodeRestState(state);
    return state;
}

bool CompareNodeRestState(const NodeRestState& a, const NodeRestState& b)
{
    return FloatsEqual(a.Translate, b.Translate) && FloatsEqual(a.Rotate, b.Rotate) &&
           FloatsEqual(a.Scale, b.Scale) && FloatsEqual(a.PreRot, b.PreRot) &&
           FloatsEqual(a.PostRot, b.PostRot) && FloatsEqual(a.MaxRLimit, b.MaxRLimit) &&
           FloatsEqual(a.MinRLimit, b.MinRLimit) && a.LimitFlags == b.LimitFlags &&
           FloatsEqual(a.RotateParentOffset, b.RotateParentOffset) &&
           a.RotationOrder == b.RotationOrder;
}

std::uint32_t GetInversionFlag(const InversionFlags& flags, int index)
{
    if (index < 0 || index >= InversionFlagCount)
        return 0;
    return flags.Values[index];
}

void SetInversionFlag(InversionFlags& flags, int index, std::uint32_t value)
{
    if (index < 0 || index >= InversionFlagCount)
        return;
    flags.Values[index] = value;
}

void ZeroInversionFlags(InversionFlags& flags)
{
    for (std::uint32_t& value : flags.Values)
        value = 0;
}

} // namespace kinetra
