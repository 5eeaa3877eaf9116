// Solver characters: allocation, writing and reading a characterization, offsets and the
// floating-point environment around the entries.
#include "solver/character.h"
#include "trackingallocator.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

using namespace kinetra;

namespace {

struct CharacterFixture : ::testing::Test
{
    std::vector<std::uint32_t> usage = std::vector<std::uint32_t>(NodeCount, NodeUnused);
    std::vector<NodeRestState> states = std::vector<NodeRestState>(NodeCount);

    void SetUp() override
    {
        trackingallocator::Reset();
        for (NodeId id = 0; id < NodeCount; ++id) {
            NodeRestState& s = states[id];
            // Every field distinct per node, so a record read from the wrong node shows.
            s = MakeResetNodeRestState();
            s.Translate[0] = float(id);
            s.Translate[1] = float(id) + 0.25f;
            s.Translate[2] = -float(id);
            s.Rotate[0] = 0.5f;
            s.Rotate[3] = 0.5f;
            s.Scale[0] = 2.0f;
            s.Scale[1] = 3.0f;
            s.Scale[2] = 4.0f;
            s.PreRot[2] = float(id) / 1000.0f;
            s.PostRot[1] = 0.125f;
            s.MaxRLimit[1] = 45.0f;
            s.MinRLimit[1] = -45.0f;
            s.LimitFlags = MinLimitY | MaxLimitY;
            s.RotateParentOffset[0] = 0.75f;
            s.RotationOrder = id % 6;
        }
    }
    void TearDown() override { EXPECT_TRUE(trackingallocator::Current().live.empty()); }

    Character* Create() { return CreateCharacter(usage.data(), trackingallocator::Allocate); }
};

// The four components of a solver vector, for whole comparisons.
std::vector<float> Four(const float* v)
{
    return {v, v + 4};
}

} // namespace

TEST_F(CharacterFixture, BlockIsSixteenByteAlignedWhateverTheAllocatorReturns)
{
    for (std::size_t misalign = 0; misalign < 16; ++misalign) {
        trackingallocator::Current().misalign = misalign;
        Character* character = Create();
        ASSERT_NE(character, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(character) % 16, 0u) << misalign;
        EXPECT_EQ(trackingallocator::Current().live.size(), 1u);
        DestroyCharacter(character, trackingallocator::Deallocate);
        // The deallocator must have received exactly the pointer the allocator returned.
        EXPECT_EQ(trackingallocator::Current().foreignFrees, 0);
        EXPECT_TRUE(trackingallocator::Current().live.empty());
    }
}

TEST_F(CharacterFixture, FailingAllocatorGivesNoCharacterAndNullIsSafeToDestroy)
{
    trackingallocator::Current().failAfter = 0;
    EXPECT_EQ(Create(), nullptr);
    EXPECT_EQ(CreateCharacter(usage.data(), nullptr), nullptr);
    EXPECT_EQ(CreateCharacter(nullptr, trackingallocator::Allocate), nullptr);
    DestroyCharacter(nullptr, trackingallocator::Deallocate);
    EXPECT_EQ(trackingallocator::Current().frees, 0);
}

TEST_F(CharacterFixture, ReferenceTransformIsTheRestPoseWithFixedW)
{
    usage[9] = NodeUsed;
    usage[10] = NodeUsedWithLimits;
    Character* character = Create();
    ASSERT_TRUE(
        SetCharacterization(usage.data(), character, states.data(), NodeCount, InversionFlags{}));

    float t[4], r[4], s[4];
    ASSERT_TRUE(GetCharacterNodeTransform(character, 10, t, r, s));
    EXPECT_EQ(Four(t), (std::vector<float>{10, 10.25f, -10, 0}));
    EXPECT_EQ(Four(r), (std::vector<float>{0.5f, 0, 0, 0.5f}));
    EXPECT_EQ(Four(s), (std::vector<float>{2, 3, 4, 1}));

    // A node that is not used keeps the identity whatever its record says.
    ASSERT_TRUE(GetCharacterNodeTransform(character, 11, t, r, s));
    EXPECT_EQ(Four(t), (std::vector<float>{0, 0, 0, 0}));
    EXPECT_EQ(Four(r), (std::vector<float>{0, 0, 0, 1}));
    EXPECT_EQ(Four(s), (std::vector<float>{1, 1, 1, 1}));

    EXPECT_FALSE(GetCharacterNodeTransform(character, NodeCount, t, r, s));
    EXPECT_FALSE(GetCharacterNodeTransform(character, -1, t, r, s));
    DestroyCharacter(character, trackingallocator::Deallocate);
}

TEST_F(CharacterFixture, ReadBackFillsLimitedFieldsOnlyForUsageSeven)
{
    usage[3] = NodeUsed;
    usage[5] = NodeUsedWithLimits;
    usage[200] = NodeUsed;
    Character* character = Create();
    const InversionFlags inversion = {{1, 0, 1, 0}};
    SetCharacterization(usage.data(), character, states.data(), NodeCount, inversion);

    // Packed form: garbage beforehand must be wiped, one record per used node in id order.
    std::vector<NodeRestState> packed(3);
    std::memset(packed.data(), 0x5A, packed.size() * sizeof(NodeRestState));
    InversionFlags readFlags = {};
    ASSERT_EQ(ReadCharacterization(usage.data(), character, packed.data(), 3, &readFlags), 3);
    EXPECT_EQ(std::memcmp(&readFlags, &inversion, sizeof inversion), 0);

    NodeRestState expectedPlain = {};
    std::memcpy(expectedPlain.Translate, states[3].Translate, sizeof expectedPlain.Translate);
    std::memcpy(expectedPlain.Rotate, states[3].Rotate, sizeof expectedPlain.Rotate);
    std::memcpy(expectedPlain.Scale, states[3].Scale, sizeof expectedPlain.Scale);
    EXPECT_EQ(std::memcmp(&packed[0], &expectedPlain, sizeof expectedPlain), 0)
        << "usage 1 carries translation, rotation and scaling only; the rest stays zero";
    EXPECT_EQ(std::memcmp(&packed[1], &states[5], sizeof(NodeRestState)), 0)
        << "usage 7 carries the whole record";
    EXPECT_EQ(packed[2].Translate[0], 200.0f);
    EXPECT_EQ(packed[2].PreRot[3], 0.0f);

    // Indexed form: records sit at their node id, unused ones all zero.
    std::vector<NodeRestState> indexed(NodeCount);
    ASSERT_EQ(ReadCharacterization(usage.data(), character, indexed.data(), NodeCount, nullptr), 3);
    EXPECT_EQ(std::memcmp(&indexed[5], &states[5], sizeof(NodeRestState)), 0);
    const NodeRestState zero = {};
    EXPECT_EQ(std::memcmp(&indexed[4], &zero, sizeof zero), 0);

    // A short packed buffer is never overrun.
    std::vector<NodeRestState> shortBuffer(2);
    EXPECT_EQ(ReadCharacterization(usage.data(), character, shortBuffer.data(), 2, nullptr), 2);
    DestroyCharacter(character, trackingallocator::Deallocate);
}

TEST_F(CharacterFixture, OffsetTransformForcesTranslationWToZero)
{
    usage.assign(NodeCount, NodeUsed);
    Character* character = Create();
    const float t[4] = {1, 2, 3, 9};
    const float r[4] = {0, 0.6f, 0, 0.8f};
    const float s[4] = {1, 1, 1, 1};
    ASSERT_TRUE(SetNodeOffsetTransform(character, 211, t, r, s));
    EXPECT_FALSE(SetNodeOffsetTransform(character, 212, t, r, s));

    float to[4], ro[4], so[4];
    ASSERT_TRUE(GetNodeOffsetTransform(character, 211, to, ro, so));
    EXPECT_EQ(Four(to), (std::vector<float>{1, 2, 3, 0}));
    EXPECT_EQ(Four(ro), Four(r));
    ASSERT_TRUE(GetNodeOffsetTransform(character, 210, to, ro, so));
    EXPECT_EQ(Four(ro), (std::vector<float>{0, 0, 0, 1})) << "untouched nodes keep the identity";
    DestroyCharacter(character, trackingallocator::Deallocate);
}

TEST_F(CharacterFixture, EntriesRejectBadArgumentsWithoutTouchingAnything)
{
    Character* character = Create();
    EXPECT_FALSE(SetCharacterization(nullptr, character, states.data(), NodeCount, {}));
    EXPECT_FALSE(SetCharacterization(usage.data(), nullptr, states.data(), NodeCount, {}));
    EXPECT_FALSE(SetCharacterization(usage.data(), character, states.data(), -1, {}));
    EXPECT_EQ(ReadCharacterization(usage.data(), character, states.data(), -1, nullptr), -1);
    EXPECT_EQ(GetParentNodeId(nullptr, 3), -1);
    float t[4] = {9, 9, 9, 9}, r[4] = {9, 9, 9, 9}, s[4] = {9, 9, 9, 9};
    for (const NodeId id : {NodeId(-1), NodeId(NodeCount)}) {
        EXPECT_FALSE(GetCharacterNodeTransform(character, id, t, r, s));
        EXPECT_FALSE(SetNodeOffsetTransform(character, id, t, r, s));
        EXPECT_FALSE(GetNodeOffsetTransform(character, id, t, r, s));
    }
    EXPECT_FALSE(GetNodeOffsetTransform(nullptr, 1, t, r, s));
    EXPECT_FALSE(GetCharacterNodeTransform(character, 1, t, nullptr, s));
    EXPECT_EQ(t[0] + r[0] + s[0], 27.0f) << "nothing was written";
    DestroyCharacter(character, trackingallocator::Deallocate);
}

TEST_F(CharacterFixture, CallersFloatingPointEnvironmentSurvivesEveryEntry)
{
    std::fenv_t before;
    std::fegetenv(&before);
    ASSERT_EQ(std::fesetround(FE_UPWARD), 0);
    std::feclearexcept(FE_ALL_EXCEPT);
    std::feraiseexcept(FE_INEXACT);

    usage.assign(NodeCount, NodeUsedWithLimits);
    states[7].Translate[0] = std::numeric_limits<float>::quiet_NaN();
    Character* character = Create();
    SetCharacterization(usage.data(), character, states.data(), NodeCount, {});
    std::vector<NodeRestState> out(NodeCount);
    ReadCharacterization(usage.data(), character, out.data(), NodeCount, nullptr);
    GetParentNodeId(character, 7);
    DestroyCharacter(character, trackingallocator::Deallocate);

    EXPECT_EQ(std::fegetround(), FE_UPWARD);
    EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), FE_INEXACT)
        << "the caller's raised flags are kept and nothing new leaks out";
    std::fesetenv(&before);
}
