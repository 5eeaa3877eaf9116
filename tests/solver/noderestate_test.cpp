// Rest records: the reset state, exact comparison and the inversion flag accessors.
#include "solver/noderestate.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace kinetra;

namespace {

constexpr std::size_t kUnits = sizeof(NodeRestState) / 4;

// Byte offsets of the 32-bit units that hold integers rather than floats.
bool IsIntegerUnit(std::size_t unit)
{
    return unit * 4 == offsetof(NodeRestState, LimitFlags) ||
           unit * 4 == offsetof(NodeRestState, RotationOrder);
}

NodeRestState WithUnitChanged(NodeRestState state, std::size_t unit)
{
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&state) + 4 * unit;
    if (IsIntegerUnit(unit)) {
        std::uint32_t value;
        std::memcpy(&value, bytes, 4);
        value += 1;
        std::memcpy(bytes, &value, 4);
    } else {
        float value;
        std::memcpy(&value, bytes, 4);
        value += 0.5f;
        std::memcpy(bytes, &value, 4);
    }
    return state;
}

} // namespace

TEST(NodeRestState, ResetStateIsZeroButForTheFourQuaternionW)
{
    NodeRestState state;
    std::memset(&state, 0xAB, sizeof state);
    ResetNodeRestState(state);

    NodeRestState expected;
    std::memset(&expected, 0, sizeof expected);
    expected.Rotate[3] = expected.PreRot[3] = expected.PostRot[3] = 1.0f;
    expected.RotateParentOffset[3] = 1.0f;
    EXPECT_EQ(std::memcmp(&state, &expected, sizeof state), 0);
    EXPECT_TRUE(CompareNodeRestState(state, MakeResetNodeRestState()));
}

TEST(NodeRestState, ComparisonSeesAChangeInEveryField)
{
    const NodeRestState base = MakeResetNodeRestState();
    for (std::size_t unit = 0; unit < kUnits; ++unit) {
        const NodeRestState changed = WithUnitChanged(base, unit);
        EXPECT_FALSE(CompareNodeRestState(base, changed)) << "unit " << unit;
        EXPECT_FALSE(CompareNodeRestState(changed, base)) << "unit " << unit;
    }
}

TEST(InversionFlags, AccessorsIgnoreIndicesOutsideTheFourFlags)
{
    InversionFlags flags = {{1, 2, 3, 4}};
    SetInversionFlag(flags, RightElbowInversion, 9);
    SetInversionFlag(flags, 4, 7);
    SetInversionFlag(flags, -1, 7);
    EXPECT_EQ(flags.Values[0], 1u);
    EXPECT_EQ(flags.Values[3], 9u);
    EXPECT_EQ(GetInversionFlag(flags, LeftElbowInversion), 3u);
    EXPECT_EQ(GetInversionFlag(flags, 4), 0u);
    EXPECT_EQ(GetInversionFlag(flags, -1), 0u);

    ZeroInversionFlags(flags);
    for (int i = 0; i < InversionFlagCount; ++i)
        EXPECT_EQ(GetInversionFlag(flags, i), 0u);
}
