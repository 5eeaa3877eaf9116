// The solver's per-node rest record and the helpers that reset and compare it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kinetra {

// Index of a node slot, 0..NodeCount-1; -1 means "no node".
using NodeId = std::int32_t;
constexpr NodeId NodeCount = 212;

// Bits of the limit flag word: minimum limit enabled on x, y, z, then maximum on x, y, z.
enum LimitFlagBits : std::uint32_t
{
    MinLimitX = 1u << 0,
    MinLimitY = 1u << 1,
    MinLimitZ = 1u << 2,
    MaxLimitX = 1u << 3,
    MaxLimitY = 1u << 4,
    MaxLimitZ = 1u << 5,
};

// Values of a node usage word.
constexpr std::uint32_t NodeUnused = 0;
constexpr std::uint32_t NodeUsed = 1;           // bit 0: the node has a joint
constexpr std::uint32_t NodeUsedWithLimits = 7; // pre/post rotations and limits are honoured

// Rest pose of one node as the solver stores and serializes it: 120 bytes, no padding, in
// this field order. Quaternions are (x, y, z, w); rotation limits are in degrees; the
// rotation order is the host's code (0 = xyz). Plain data: read and write the fields directly.
struct NodeRestState
{
    float Translate[3];
    float Rotate[4];
    float Scale[3];
    float PreRot[4];
    float PostRot[4];
    float MaxRLimit[3];
    float MinRLimit[3];
    std::uint32_t LimitFlags; // LimitFlagBits
    float RotateParentOffset[4];
    std::int32_t RotationOrder;
};

static_assert(sizeof(NodeRestState) == 120, "NodeRestState is a 120-byte file record");
static_assert(offsetof(NodeRestState, Translate) == 0);
static_assert(offsetof(NodeRestState, Rotate) == 12);
static_assert(offsetof(NodeRestState, Scale) == 28);
static_assert(offsetof(NodeRestState, PreRot) == 40);
static_assert(offsetof(NodeRestState, PostRot) == 56);
static_assert(offsetof(NodeRestState, MaxRLimit) == 72);
static_assert(offsetof(NodeRestState, MinRLimit) == 84);
static_assert(offsetof(NodeRestState, LimitFlags) == 96);
static_assert(offsetof(NodeRestState, RotateParentOffset) == 100);
static_assert(offsetof(NodeRestState, RotationOrder) == 116);

// The reset state: everything zero except the w component of the four quaternions, which is 1.
void ResetNodeRestState(NodeRestState& state);
NodeRestState MakeResetNodeRestState();

// True when every float compares equal (so NaN never equals itself and -0 equals +0) and the
// limit flag word and rotation order are the same.
bool CompareNodeRestState(const NodeRestState& a, const NodeRestState& b);

// The four knee/elbow inversion flags, in file order.
enum InversionFlagIndex : int
{
    LeftKneeInversion = 0,
    RightKneeInversion = 1,
    LeftElbowInversion = 2,
    RightElbowInversion = 3,
    InversionFlagCount = 4,
};

// Plain array of four 32-bit flags (0 = normal bend, non-zero = inverted).
struct InversionFlags
{
    std::uint32_t Values[InversionFlagCount];
};
static_assert(sizeof(InversionFlags) == 16);

// Flag accessors; an index outside 0..3 reads 0 and writes nothing.
std::uint32_t GetInversionFlag(const InversionFlags& flags, int index);
void SetInversionFlag(InversionFlags& flags, int index, std::uint32_t value);
void ZeroInversionFlags(InversionFlags& flags);

} // namespace kinetra
