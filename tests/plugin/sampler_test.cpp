// Joint sampling from a Kestrel scene: the live frame in world or parent space, limits and
// rotation orders, and the pose a locked character node stores for a slot.
#include "pluginhosttest.h"

#include "host/kestrel/kestreljointsampler.h"

#include "scene/quaternion.h"
#include "scene/transformvalues.h"

#include <cmath>
#include <cstring>

namespace {

using kestrel::Quaternion;
using kestrel::TransformValues;
using kestrel::Vector3;

constexpr double kQuarter = M_PI / 2.0;
constexpr int kHipsSlot = 1;
constexpr int kSpineSlot = 8;

Quaternion About(int axis, double radians)
{
    return Quaternion::AboutAxis(axis, radians);
}

// Samples are floats: compared at float precision.
::testing::AssertionResult Same(const float (&actual)[4], const Quaternion& expected)
{
    return SameRotation(Quaternion(actual[0], actual[1], actual[2], actual[3]), expected, 1e-5);
}

::testing::AssertionResult Near(const float (&actual)[3], const Vector3& expected)
{
    return NearVector(Vector3(actual[0], actual[1], actual[2]), expected, 1e-4);
}

// A record whose every field holds a value no read produces, to see what a read leaves alone.
NodeTransformRecord MarkedRecord()
{
    NodeTransformRecord record;
    const float marked[4] = {0.1f, 0.2f, 0.3f, 0.9f};
    std::memcpy(record.PreRot, marked, sizeof marked);
    std::memcpy(record.RotateParentOffset, marked, sizeof marked);
    for (int axis = 0; axis < 3; ++axis) {
        record.MinRLimit[axis] = -7.0f;
        record.MaxRLimit[axis] = 7.0f;
    }
    record.LimitFlags = 0x3f;
    record.RotationOrder = 99;
    return record;
}

class SamplerTest : public PluginHostTest
{
protected:
    kestrel::Node* Make(kestrel::NodeType type, const QString& name, const QString& parent,
                        const TransformValues& values)
    {
        QString error;
        kestrel::Node* node =
            scene().CreateNode(type, name, parent.isEmpty() ? nullptr : Find(parent), &error);
        EXPECT_NE(node, nullptr) << qPrintable(error);
        scene().SetTransform(node, values);
        return node;
    }

    NodeTransformRecord Sample(const QString& node, int nodeId, bool worldSpace,
                               NodeTransformRecord record = NodeTransformRecord())
    {
        EXPECT_EQ(sampler.GetNodeTransform(node, nodeId, record, worldSpace), 1)
            << qPrintable(node);
        return record;
    }

    KestrelJointSampler sampler{host};
};

// Root (0,100,0), joint orient z +90, scale 2; under it Arm at (10,0,0) in Root's frame,
// joint orient y +90, rotation z 30 degrees, rotate axis x +90, scale (1,3,1).
TEST_F(SamplerTest, LiveJointInWorldAndParentSpace)
{
    TransformValues root;
    root.translation = {0, 100, 0};
    root.jointOrient = {0, 0, kQuarter};
    root.scale = {2, 2, 2};
    Make(kestrel::NodeType::Joint, "Root", "", root);
    TransformValues arm;
    arm.translation = {10, 0, 0};
    arm.jointOrient = {0, kQuarter, 0};
    arm.rotation = {0, 0, M_PI / 6};
    arm.rotateAxis = {kQuarter, 0, 0};
    arm.scale = {1, 3, 1};
    Make(kestrel::NodeType::Joint, "Arm", "Root", arm);

    const Quaternion axis = About(0, kQuarter);
    const NodeTransformRecord world = Sample("Arm", -1, true);
    // (10,0,0) scaled by 2 and turned a quarter about z, from (0,100,0).
    EXPECT_TRUE(Near(world.Translate, {0, 120, 0}));
    EXPECT_TRUE(Near(world.Scale, {2, 6, 2}));
    EXPECT_TRUE(
        Same(world.Rotate, About(2, kQuarter) * About(1, kQuarter) * About(2, M_PI / 6) * axis));

    const NodeTransformRecord local = Sample("Arm", -1, false);
    EXPECT_TRUE(Near(local.Translate, {10, 0, 0}));
    EXPECT_TRUE(Near(local.Scale, {1, 3, 1}));
    EXPECT_TRUE(Same(local.Rotate, About(2, M_PI / 6) * axis));

    // Both spaces: the rotate axis after the rotation, the joint orient before it.
    for (const NodeTransformRecord& record : {world, local}) {
        EXPECT_TRUE(Same(record.PostRot, axis.Inverse()));
        EXPECT_TRUE(Same(record.PreRot, About(1, kQuarter)));
        EXPECT_EQ(record.RotationOrder, 0);
    }
}

TEST_F(SamplerTest, LimitValuesAndTheirFlags)
{
    TransformValues onlyMinX;
    onlyMinX.limits.minimum = {-0.5, -0.25, -1};
    onlyMinX.limits.maximum = {0.5, 0.75, 1.25};
    onlyMinX.limits.minimumEnabled[0] = true;
    Make(kestrel::NodeType::Joint, "Knee", "", onlyMinX);
    TransformValues minYMaxZ;
    minYMaxZ.limits.minimumEnabled[1] = true;
    minYMaxZ.limits.maximumEnabled[2] = true;
    Make(kestrel::NodeType::Transform, "Elbow", "", minYMaxZ);
    Make(kestrel::NodeType::Joint, "Free", "", TransformValues());

    const NodeTransformRecord knee = Sample("Knee", -1, true, MarkedRecord());
    EXPECT_EQ(knee.LimitFlags, 1u);
    // Values are passed on whether or not they are enabled.
    EXPECT_TRUE(Near(knee.MinRLimit, {-0.5, -0.25, -1}));
    EXPECT_TRUE(Near(knee.MaxRLimit, {0.5, 0.75, 1.25}));
    EXPECT_EQ(Sample("Elbow", -1, true).LimitFlags, (1u << 1) | (1u << 5));
    // A record used before starts from no flags.
    EXPECT_EQ(Sample("Free", -1, true, MarkedRecord()).LimitFlags, 0u);
}

TEST_F(SamplerTest, NothingToReadLeavesTheRecordAlone)
{
    RunOk("createNode character -name Hero");
    for (const QString& name : {QString(), QStringLiteral("Nobody"), QStringLiteral("Hero")}) {
        const NodeTransformRecord before = MarkedRecord();
        NodeTransformRecord record = before;
        EXPECT_EQ(sampler.GetNodeTransform(name, kHipsSlot, record, true), 0) << qPrintable(name);
        EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0) << qPrintable(name);
    }
}

// Hips at (0,100,0) with a joint orient and a rotate axis, bound to slot 1 of Hero, which the
// host locked; the stored pose is then set by hand and the joint moved away.
class LockedCharacterTest : public SamplerTest
{
protected:
    void SetUp() override
    {
        TransformValues hips;
        hips.translation = {0, 100, 0};
        hips.jointOrient = {0, 0, kQuarter};
        hips.rotateAxis = {kQuarter, 0, 0};
        Make(kestrel::NodeType::Joint, "Hips", "", hips);
        Make(kestrel::NodeType::Joint, "Spine", "Hips", TransformValues());
        RunOk("setCharacterObject(\"Hips\",\"Hero\",1,0); "
              "setCharacterObject(\"Spine\",\"Hero\",8,0)");
        RunOk("lockCharacter(\"Hero\", 1)");
        Store({1, 2, 3}, {0, 0, kQuarter}, {1, 1, 2}, 0);
        RunOk("xform -translation 5 5 5 Hips");
    }

    void Store(const Vector3& t, const Vector3& r, const Vector3& s, int order)
    {
        const char* channels[9] = {"Tx", "Ty", "Tz", "Rx", "Ry", "Rz", "Sx", "Sy", "Sz"};
        const double values[9] = {t.x, t.y, t.z, r.x, r.y, r.z, s.x, s.y, s.z};
        for (int i = 0; i < 9; ++i)
            RunOk(QStringLiteral("setAttr \"Hero.Hips%1\" %2")
                      .arg(channels[i])
                      .arg(values[i], 0, 'g', 17));
        RunOk(QStringLiteral("setAttr \"Hero.HipsRotateOrder\" %1").arg(order));
    }
};

TEST_F(LockedCharacterTest, StoredPoseStandsForTheJoint)
{
    const NodeTransformRecord stored = Sample("Hips", kHipsSlot, true, MarkedRecord());
    EXPECT_TRUE(Near(stored.Translate, {1, 2, 3}));
    EXPECT_TRUE(Near(stored.Scale, {1, 1, 2}));
    EXPECT_TRUE(Same(stored.Rotate, About(2, kQuarter)));
    EXPECT_EQ(stored.RotationOrder, 0);
    // A stored pose is a bare frame, whatever the joint's orient and rotate axis.
    EXPECT_TRUE(Same(stored.PreRot, Quaternion()));
    EXPECT_TRUE(Same(stored.PostRot, Quaternion()));
    // Limits are not part of it.
    EXPECT_EQ(stored.LimitFlags, 0x3fu);
    EXPECT_TRUE(Near(stored.MinRLimit, {-7, -7, -7}));

    // Without a slot, the joint is read live.
    EXPECT_TRUE(Near(Sample("Hips", -1, true).Translate, {5, 5, 5}));
}

TEST_F(LockedCharacterTest, IncompleteOrUnlockedStoredPoseGivesWayToTheLiveJoint)
{
    // The lock stored the spine where it was then; without its first channel it is live.
    EXPECT_TRUE(Near(Sample("Spine", kSpineSlot, true).Translate, {0, 100, 0}));
    RunOk("deleteAttr \"Hero.SpineTx\"");
    EXPECT_TRUE(Near(Sample("Spine", kSpineSlot, true).Translate, {5, 5, 5}));

    RunOk("setAttr \"Hero.InputCharacterizationLock\" false");
    EXPECT_TRUE(Near(Sample("Hips", kHipsSlot, true).Translate, {5, 5, 5}));
    RunOk("setAttr \"Hero.InputCharacterizationLock\" true");
    EXPECT_TRUE(Near(Sample("Hips", kHipsSlot, true).Translate, {1, 2, 3}));

    // A rotation order must be a whole number.
    const QString order = "deleteAttr Hero.HipsRotateOrder; addAttr Hero.HipsRotateOrder "
                          "-attributeType %1; setAttr Hero.HipsRotateOrder 0";
    RunOk(order.arg("double"));
    EXPECT_TRUE(Near(Sample("Hips", kHipsSlot, true).Translate, {5, 5, 5}));
    RunOk(order.arg("int"));

    RunOk("deleteAttr \"Hero.HipsSz\"");
    const NodeTransformRecord live = Sample("Hips", kHipsSlot, true);
    EXPECT_TRUE(Near(live.Translate, {5, 5, 5}));
    EXPECT_TRUE(Same(live.PreRot, About(2, kQuarter)));

    // Without its connection the joint belongs to no character: live as well.
    RunOk("addAttr \"Hero.HipsSz\" -attributeType double; setAttr \"Hero.HipsSz\" 2");
    EXPECT_TRUE(Near(Sample("Hips", kHipsSlot, true).Translate, {1, 2, 3}));
    RunOk("disconnectAttr \"Hips.Character\" \"Hero.Hips\"");
    EXPECT_TRUE(Near(Sample("Hips", kHipsSlot, true).Translate, {5, 5, 5}));
}

TEST_F(LockedCharacterTest, StoredRotationOrderComposesTheStoredAngles)
{
    struct Case
    {
        int hostOrder;
        int code;
        Quaternion rotation; // the stored angles x 0.3, y 0.2, z 0.1 in that order
    };
    const Quaternion x = About(0, 0.3), y = About(1, 0.2), z = About(2, 0.1);
    const Case cases[] = {
        {0, 0, z * y * x}, {1, 4, x * z * y},  {2, 8, y * x * z}, {3, 2, y * z * x},
        {4, 6, z * x * y}, {5, 10, x * y * z}, {7, 0, z * y * x}, // unknown: xyz
    };
    for (const Case& c : cases) {
        Store({1, 2, 3}, {0.3, 0.2, 0.1}, {1, 1, 1}, c.hostOrder);
        const NodeTransformRecord record = Sample("Hips", kHipsSlot, true);
        EXPECT_EQ(record.RotationOrder, c.code) << "host order " << c.hostOrder;
        EXPECT_TRUE(Same(record.Rotate, c.rotation)) << "host order " << c.hostOrder;
    }
}

} // namespace
