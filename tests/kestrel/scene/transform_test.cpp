// Transform math: Euler orders, joint orients, rotate axes, scales and world-space editing.
#include "kestreltest.h"

#include "scene/rotationorder.h"
#include "scene/transformquery.h"

#include <cmath>

using namespace kestrel;

namespace {

// Rotates v about one axis with the textbook formulas, independently of Quaternion.
Vector3 RotateAbout(int axis, double angle, const Vector3& v)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    switch (axis) {
    case 0:
        return {v.x, c * v.y - s * v.z, s * v.y + c * v.z};
    case 1:
        return {c * v.x + s * v.z, v.y, -s * v.x + c * v.z};
    default:
        return {c * v.x - s * v.y, s * v.x + c * v.y, v.z};
    }
}

const RotationOrder kOrders[] = {RotationOrder::XYZ, RotationOrder::YZX, RotationOrder::ZXY,
                                 RotationOrder::XZY, RotationOrder::YXZ, RotationOrder::ZYX};

} // namespace

TEST(RotationOrders, EachOrderAppliesItsAxesFirstToLast)
{
    const Vector3 angles(0.3, -1.1, 2.4);
    const Vector3 probe(0.7, -0.2, 1.3);
    for (const RotationOrder& order : kOrders) {
        const QString name = RotationOrderName(order);
        Vector3 expected = probe;
        for (const QChar axis : name)
            expected = RotateAbout(axis.unicode() - 'x', angles[axis.unicode() - 'x'], expected);
        EXPECT_TRUE(NearVector(EulerToQuaternion(angles, order).Rotate(probe), expected, 1e-12))
            << qPrintable(name);
        RotationOrder parsed;
        ASSERT_TRUE(ParseRotationOrder(name.toUpper(), &parsed));
        EXPECT_EQ(parsed, order);
        // The rotateOrder attribute's integers count the orders in this sequence.
        ASSERT_TRUE(RotationOrderFromInt(int(&order - kOrders), &parsed));
        EXPECT_EQ(parsed, order);
    }
    RotationOrder unused;
    EXPECT_FALSE(ParseRotationOrder("xxy", &unused));
    EXPECT_FALSE(RotationOrderFromInt(6, &unused));
    EXPECT_FALSE(RotationOrderFromInt(-1, &unused));
}

TEST(RotationOrders, DecompositionGivesBackTheRotationInEveryOrderAndAtGimbalLock)
{
    const Vector3 samples[] = {{0.3, -1.1, 2.4},     {-2.9, 0.2, 0.0},       {0.0, 0.0, 0.0},
                               {1.0, M_PI / 2, 0.5}, {-0.4, -M_PI / 2, 2.0}, {3.0, 1.5707, -3.0}};
    for (RotationOrder order : kOrders) {
        for (const Vector3& angles : samples) {
            // The middle angle is the one limited to [-pi/2, pi/2].
            Vector3 ordered;
            for (int step = 0; step < 3; ++step)
                ordered[RotationOrderAxis(order, step)] = angles[step];
            const Quaternion q = EulerToQuaternion(ordered, order);
            const Vector3 back = QuaternionToEuler(q, order);
            EXPECT_TRUE(SameRotation(EulerToQuaternion(back, order), q, 1e-9))
                << qPrintable(RotationOrderName(order));
            // The tolerance is inclusive: a rotation and its negation match at zero.
            EXPECT_TRUE(q.IsSameRotation(Quaternion(-q.x, -q.y, -q.z, -q.w), 0.0));
            EXPECT_LE(std::abs(back[RotationOrderAxis(order, 1)]), M_PI / 2 + 1e-12);
        }
        // Away from gimbal lock the angles themselves come back.
        const Vector3 plain(0.25, -0.5, 0.75);
        EXPECT_TRUE(
            NearVector(QuaternionToEuler(EulerToQuaternion(plain, order), order), plain, 1e-12));
    }
}

class Transforms : public HostTest
{};

TEST_F(Transforms, RotatingAJointCarriesItsChildrenAroundItsOrientedAxes)
{
    BuildOrientedTPose(scene());
    EXPECT_TRUE(NearVector(World("LeftFoot"), {10, 10, 0}, 1e-9)); // where the sketch says
    // The object-space rotation is the Euler rotation alone; the world rotation adds the
    // chain's orients: the left arm's frame is the world's, the right arm's is turned about z.
    EXPECT_TRUE(SameRotation(Rotation(*Find("LeftHand"), Space::Object), Quaternion()));
    EXPECT_TRUE(SameRotation(Rotation(*Find("LeftHand"), Space::World), Quaternion()));
    EXPECT_TRUE(
        SameRotation(Rotation(*Find("RightHand"), Space::World), Quaternion::AboutAxis(2, M_PI)));
    // Bend the left arm 90 degrees about its own z: the hand swings from +x to +y.
    RunOk("setAttr LeftArm.rz 90");
    EXPECT_TRUE(NearVector(World("LeftHand"), {0, 195, 0}, 1e-9));
    // Turn the hips half a turn about their y (the world's -x after the orient): everything
    // above flips down, the leg flips up.
    RunOk("setAttr LeftArm.rz 0; setAttr Hips.ry 180");
    EXPECT_TRUE(NearVector(World("Head"), {0, 50, 0}, 1e-9));
    EXPECT_TRUE(NearVector(World("LeftFoot"), {10, 190, 0}, 1e-9));
}

TEST_F(Transforms, TheRotateAxisTurnsChildrenButNotTheNodesOwnRotation)
{
    RunOk("createNode joint -n A; createNode joint -n B -p A; xform -t 10 0 0 B; "
          "setAttr A.rotateAxisZ 90; setAttr A.rz 0");
    EXPECT_TRUE(NearVector(World("B"), {0, 10, 0}, 1e-9));
    EXPECT_TRUE(SameRotation(Rotation(*Find("A"), Space::World), Quaternion()));
    EXPECT_TRUE(SameRotation(WorldOrientation(*Find("A")), Quaternion::AboutAxis(2, M_PI / 2)));
    // The child's world rotation includes the parent's whole frame.
    EXPECT_TRUE(
        SameRotation(Rotation(*Find("B"), Space::World), Quaternion::AboutAxis(2, M_PI / 2)));
    // Transforms ignore a joint orient; joints apply it before their rotation.
    TransformValues values;
    values.jointOrient = Vector3(0, 0, M_PI / 2);
    EXPECT_TRUE(NearVector(values.LocalMatrix(false).TransformPoint({1, 0, 0}), {1, 0, 0}, 1e-12));
    EXPECT_TRUE(NearVector(values.LocalMatrix(true).TransformPoint({1, 0, 0}), {0, 1, 0}, 1e-12));
}

TEST_F(Transforms, ScalesMultiplyDownTheChain)
{
    RunOk("createNode transform -n A; createNode transform -n B -p A; xform -t 1 0 0 B; "
          "xform -s 2 3 4 A; xform -s 0.5 1 1 B");
    EXPECT_TRUE(NearVector(World("B"), {2, 0, 0}));
    EXPECT_TRUE(NearVector(Scale(*Find("B"), Space::World), {1, 3, 4}));
    EXPECT_TRUE(NearVector(Scale(*Find("B"), Space::Object), {0.5, 1, 1}));
    EXPECT_EQ(RunOk("xform -q -ws -s B"), "1 3 4");
}

TEST_F(Transforms, WorldQueriesFollowEveryChangeAboveTheNode)
{
    // World frames are kept between queries; each change of a channel or a parent anywhere
    // above must show in the next answer, also after undo and redo.
    RunOk("createNode transform -n A; createNode transform -n B -p A; "
          "createNode transform -n C -p B; xform -t 1 0 0 B; xform -t 0 1 0 C");
    const Node& c = *Find("C");
    EXPECT_TRUE(NearVector(Translation(c, Space::World), {1, 1, 0}));
    RunOk("xform -t 10 0 0 A");
    EXPECT_TRUE(NearVector(Translation(c, Space::World), {11, 1, 0}));
    RunOk("xform -s 2 2 2 B; xform -ro 0 0 90 A");
    EXPECT_TRUE(NearVector(Translation(c, Space::World), {8, 1, 0}, 1e-9));
    EXPECT_TRUE(NearVector(Scale(c, Space::World), {2, 2, 2}));
    EXPECT_TRUE(SameRotation(Rotation(c, Space::World), Quaternion::AboutAxis(2, M_PI / 2)));
    RunOk("parent C A");
    EXPECT_TRUE(NearVector(Translation(c, Space::World), {9, 0, 0}, 1e-9));
    EXPECT_TRUE(NearVector(Scale(c, Space::World), {1, 1, 1}));
    RunOk("undo");
    EXPECT_TRUE(NearVector(Translation(c, Space::World), {8, 1, 0}, 1e-9));
    RunOk("redo; parent -world C");
    EXPECT_TRUE(NearVector(Translation(c, Space::World), {0, 1, 0}, 1e-9));
}

TEST_F(Transforms, WorldSpaceEditsLandWhereAsked)
{
    BuildOrientedTPose(scene());
    RunOk("setAttr Hips.rx 20; setAttr Spine.ro 4; setAttr LeftArm.ry 10; xform -s 2 2 2 Spine");
    RunOk("xform -ws -t 5 6 7 LeftHand; xform -ws -ro 10 20 30 LeftHand; "
          "xform -ws -s 3 3 3 LeftHand");
    const Node& hand = *Find("LeftHand");
    EXPECT_TRUE(NearVector(Translation(hand, Space::World), {5, 6, 7}, 1e-9));
    EXPECT_TRUE(SameRotation(
        Rotation(hand, Space::World),
        EulerToQuaternion(Vector3(10, 20, 30) * (M_PI / 180), RotationOrder::XYZ), 1e-9));
    EXPECT_TRUE(NearVector(Scale(hand, Space::World), {3, 3, 3}, 1e-9));
    EXPECT_EQ(RunOk("xform -q -ws -t LeftHand"), "5 6 7");
    EXPECT_EQ(RunOk("xform -q -worldSpace -rotation LeftHand"), "10 20 30");
    ExpectFails("xform -q LeftHand", Status::InvalidParameter, "xform");
    ExpectFails("xform -q -t -s LeftHand", Status::InvalidParameter, "xform");
    RunOk("createNode character -n C");
    ExpectFails("xform -t 1 2 3 C", Status::InvalidParameter, "\"C\"");
}

TEST(Matrices, TheAffineInverseUndoesRotationNonUniformScaleAndTranslation)
{
    TransformValues values;
    values.translation = Vector3(3, -4, 5);
    values.rotation = Vector3(0.3, 1.2, -0.7);
    values.rotationOrder = RotationOrder::ZXY;
    values.rotateAxis = Vector3(0.1, 0, 0.2);
    values.scale = Vector3(2, 0.5, 3);
    values.jointOrient = Vector3(0, 0.4, 0);
    const Matrix4 m = values.LocalMatrix(true);
    const Vector3 probe(1.5, -2, 0.25);
    EXPECT_TRUE(
        NearVector(m.AffineInverse().TransformPoint(m.TransformPoint(probe)), probe, 1e-12));
    EXPECT_TRUE(NearVector(m.TranslationPart(), values.translation));
    // A singular matrix has no inverse: identity comes back rather than infinities.
    values.scale = Vector3(0, 1, 1);
    EXPECT_TRUE(NearVector(values.LocalMatrix(false).AffineInverse().TransformPoint(probe), probe));
}
