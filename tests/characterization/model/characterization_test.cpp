// The characterization record: usage bookkeeping, hub notifications and the solver
// character it builds, parent offsets included.
#include "model/characterization.h"
#include "scriptedhub.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

struct SolverCharacter
{
    kinetra::Character* character;
    ~SolverCharacter() { kinetra::DestroyCharacter(character, std::free); }
};

// Rotates v by unit quaternion q (x, y, z, w) with the matrix form, independent of the
// quaternion product under test.
void Rotate(const float q[4], const float v[3], float out[3])
{
    const float x = q[0], y = q[1], z = q[2], w = q[3];
    const float m[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                           {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                           {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}};
    for (int r = 0; r < 3; ++r)
        out[r] = m[r][0] * v[0] + m[r][1] * v[1] + m[r][2] * v[2];
}

} // namespace

TEST(Characterization, UsageFollowsJointsAndLimits)
{
    Characterization c("hero");
    c.SetJointName(10, "LeftForeArm");
    EXPECT_EQ(c.NodeUsage()[10], 1u);

    kinetra::NodeRestState state = kinetra::MakeResetNodeRestState();
    c.SetRestState(10, state);
    EXPECT_EQ(c.NodeUsage()[10], 1u) << "no limits: usage stays 1";
    state.LimitFlags = kinetra::MaxLimitY;
    c.SetRestState(10, state);
    EXPECT_TRUE(c.HasNodeLimits(10));
    state.LimitFlags = 0;
    c.SetRestState(10, state);
    EXPECT_EQ(c.NodeUsage()[10], 7u) << "limit bits are only cleared with the node";

    Characterization::UsageArray usage;
    SolverCharacter plain{c.CreateSolverCharacter(usage, false, std::malloc, nullptr)};
    EXPECT_EQ(usage[10], 1u);
    SolverCharacter full{c.CreateSolverCharacter(usage, true, std::malloc, nullptr)};
    EXPECT_EQ(usage[10], 7u);

    c.ClearNode(10);
    EXPECT_EQ(c.NodeUsage()[10], 0u);
    EXPECT_EQ(c.JointName(10), "");
}

TEST(Characterization, WatchesItsHostNodeUnlessItIsThePlaceholder)
{
    ScriptedHub hub;
    {
        Characterization placeholder(IDCCHub::GetNoneName(), &hub);
        Characterization hero("hero", &hub);
        EXPECT_EQ(hub.WatchedCharacters(), QSet<QString>{"hero"});
    }
    EXPECT_TRUE(hub.WatchedCharacters().isEmpty());
}

TEST(Characterization, ParentOffsetIsTheRotationFromSolverParentToHostParent)
{
    // Host:   Arm ── Twist ── ForeArm      Solver: LeftArm (9) ── LeftForeArm (10)
    // The forearm's host parent (Twist) is not the joint bound to its solver parent (Arm).
    ScriptedHub hub;
    hub.AddJoint("Arm", QString(), 16, 145, 0);
    hub.AddJoint("Twist", "Arm", 30, 145, 0);
    hub.AddJoint("ForeArm", "Twist", 44, 145, 0);
    hub.AddJoint("Hand", "ForeArm", 70, 145, 0);
    const float s = std::sqrt(0.5f);
    hub.SetRotation("Arm", 0, s, 0, s);   // 90 degrees about Y
    hub.SetRotation("Twist", s, 0, 0, s); // 90 degrees about X

    Characterization c("hero");
    c.SetJointName(9, "Arm");
    c.SetJointName(10, "ForeArm");
    c.SetJointName(11, "Hand");
    kinetra::NodeRestState limited = kinetra::MakeResetNodeRestState();
    limited.LimitFlags = kinetra::MinLimitZ;
    c.SetRestState(10, limited);
    c.SetRestState(11, limited); // host parent ForeArm is its solver parent's joint

    Characterization::UsageArray usage;
    SolverCharacter built{c.CreateSolverCharacter(usage, true, std::malloc, &hub)};
    ASSERT_NE(built.character, nullptr);

    // Rp * offset must equal Rh: rotating a vector by the offset and then by the arm's
    // rotation gives the twist's rotation of it.
    const float* offset = c.RestState(10).RotateParentOffset;
    const float arm[4] = {0, s, 0, s};
    const float twist[4] = {s, 0, 0, s};
    const float axes[2][3] = {{1, 0, 0}, {0, 1, 0}};
    for (const float* v : axes) {
        float viaOffset[3], combined[3], expected[3];
        Rotate(offset, v, viaOffset);
        Rotate(arm, viaOffset, combined);
        Rotate(twist, v, expected);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(combined[i], expected[i], 1e-6f);
    }

    float t[4], r[4], sc[4];
    ASSERT_TRUE(kinetra::GetNodeOffsetTransform(built.character, 10, t, r, sc));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(r[i], offset[i]);
    EXPECT_EQ(sc[3], 1.0f);

    EXPECT_EQ(c.RestState(11).RotateParentOffset[3], 1.0f) << "matching parents: no offset";
    ASSERT_TRUE(kinetra::GetNodeOffsetTransform(built.character, 11, t, r, sc));
    EXPECT_EQ(r[3], 1.0f);
}
