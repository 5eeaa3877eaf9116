#include "rigvariants.h"

#include <cmath>
#include <utility>

namespace {

constexpr NodeId kUpper[4] = {9, 12, 2, 5}; // upper arms, thighs
constexpr NodeId kInLineRoll[8] = {45, 46, 47, 48, 41, 42, 43, 44};

double Degrees(double radians)
{
    return radians * 180.0 / M_PI;
}

// Rotates `p` about the axis `axis` (unit) through `centre` by `degrees`.
Vec3 Turn(const Vec3& p, const Vec3& centre, const Vec3& axis, double degrees)
{
    const double a = degrees * M_PI / 180.0;
    const Vec3 v = p - centre;
    const Vec3 along = axis * v.Dot(axis);
    const Vec3 across = v - along;
    return centre + along + across * std::cos(a) + axis.Cross(across) * std::sin(a);
}

bool PalmBones(TruthRig& rig, QRandomGenerator&)
{
    bool any = false;
    for (int side = 0; side < 2; ++side) {
        const int hand = rig.Joint(side == 0 ? 11 : 14);
        for (int d = 0; d < 5 && hand >= 0; ++d) {
            const NodeId first = NodeId((side == 0 ? 50 : 74) + 4 * d);
            const NodeId palm = NodeId((side == 0 ? 146 : 152) + d);
            const int knuckle = rig.Joint(first);
            if (knuckle < 0 || rig.Joint(palm) >= 0 || rig.skeleton.joints[knuckle].parent != hand)
                continue;
            const Vec3 at = rig.Pos(hand) + (rig.Pos(knuckle) - rig.Pos(hand)) * 0.3;
            rig.truth[palm] =
                rig.InsertAbove(knuckle, QStringLiteral("palm%1_%2").arg(d).arg(side), at);
            any = true;
        }
    }
    return any;
}

bool InLineTwists(TruthRig& rig, QRandomGenerator& random)
{
    bool any = false;
    for (int limb = 0; limb < 4; ++limb)
        for (int segment = 0; segment < 2; ++segment) {
            const NodeId from = kUpper[limb] + segment, to = from + 1;
            const int a = rig.Joint(from), b = rig.Joint(to);
            const NodeId roll = kInLineRoll[2 * limb + segment];
            if (a < 0 || b < 0 || rig.Joint(roll) >= 0 || rig.skeleton.joints[b].parent != a ||
                random.bounded(2))
                continue;
            rig.truth[roll] = rig.InsertAbove(b, QStringLiteral("twist%1").arg(roll),
                                              (rig.Pos(a) + rig.Pos(b)) * 0.5);
            any = true;
        }
    return any;
}

bool LeafTwists(TruthRig& rig, QRandomGenerator& random)
{
    bool any = false;
    for (int limb = 0; limb < 4; ++limb)
        for (int segment = 0; segment < 2; ++segment) {
            const NodeId from = kUpper[limb] + segment;
            const int a = rig.Joint(from), b = rig.Joint(from + 1);
            // Leaf-roll columns: left thigh, left shin, right thigh, right shin, left upper
            // arm, left forearm, right upper arm, right forearm.
            const int column = (limb < 2 ? 4 + 2 * limb : 2 * (limb - 2)) + segment;
            const NodeId slot = LeafRollNode(column, 1);
            if (a < 0 || b < 0 || rig.Joint(slot) >= 0 || rig.skeleton.joints[b].parent != a ||
                random.bounded(2))
                continue;
            rig.truth[slot] = rig.Add(QStringLiteral("twistleaf%1").arg(slot), a,
                                      rig.Pos(a) + (rig.Pos(b) - rig.Pos(a)) * 0.6);
            any = true;
        }
    return any;
}

bool HelperOnThigh(TruthRig& rig, QRandomGenerator&)
{
    for (NodeId thigh : {NodeId(2), NodeId(5)})
        if (rig.Joint(thigh) >= 0)
            rig.Add(QStringLiteral("thighhelper%1").arg(thigh), rig.Joint(thigh),
                    rig.Pos(rig.Joint(thigh)));
    return rig.Joint(2) >= 0;
}

bool HipHelpers(TruthRig& rig, QRandomGenerator&)
{
    const int hips = rig.Joint(1);
    bool any = false;
    for (NodeId node : {NodeId(2), NodeId(5)}) {
        const int thigh = rig.Joint(node);
        if (hips < 0 || thigh < 0 || rig.skeleton.joints[thigh].parent != hips)
            continue;
        rig.InsertAbove(thigh, QStringLiteral("hiphelper%1").arg(node),
                        rig.Pos(hips) + (rig.Pos(thigh) - rig.Pos(hips)) * 0.7);
        // A buttock beside it, behind the thigh.
        rig.Add(QStringLiteral("buttock%1").arg(node), hips,
                rig.Pos(thigh) - rig.forward * (0.06 * rig.Height()));
        any = true;
    }
    return any;
}

bool DummyBelowHead(TruthRig& rig, QRandomGenerator&)
{
    const int head = rig.Joint(15);
    if (head < 0)
        return false;
    rig.Add(QStringLiteral("headdummy"), head, rig.Pos(head) + rig.up * (0.0005 * rig.Height()));
    return true;
}

bool FaceContainer(TruthRig& rig, QRandomGenerator&)
{
    const int head = rig.Joint(15);
    if (head < 0)
        return false;
    const QVector<int> children = rig.Children(head);
    const int face = rig.Add(QStringLiteral("face"), head, rig.Pos(head));
    for (int child : children)
        rig.skeleton.joints[child].parent = face;
    const double h = rig.Height();
    const Vec3 left = rig.up.Cross(rig.forward);
    for (int k = 0; k < 12; ++k) {
        const double x = (k % 3 - 1) * 0.02 * h, y = (k / 3) * 0.015 * h;
        rig.Add(QStringLiteral("facepart%1").arg(k), face,
                rig.Pos(head) + left * x + rig.up * y + rig.forward * (0.05 * h));
    }
    return true;
}

bool NoToes(TruthRig& rig, QRandomGenerator&)
{
    bool any = false;
    for (NodeId toe : {NodeId(16), NodeId(17)})
        if (rig.Joint(toe) >= 0) {
            rig.RemoveSubtree(rig.Joint(toe));
            any = true;
        }
    // Toes hanging straight from the foot.
    for (NodeId foot : {NodeId(4), NodeId(7)})
        if (rig.Joint(foot) >= 0)
            for (int child : rig.Children(rig.Joint(foot))) {
                rig.RemoveSubtree(child);
                any = true;
                break;
            }
    return any;
}

// Knees moved onto the hip-ankle line, then `degrees` forward of it.
bool SetKnees(TruthRig& rig, double degrees)
{
    NoToes(rig, *QRandomGenerator::global());
    for (int side = 0; side < 2; ++side) {
        const int hip = rig.Joint(side == 0 ? 2 : 5), knee = rig.Joint(side == 0 ? 3 : 6),
                  ankle = rig.Joint(side == 0 ? 4 : 7);
        if (hip < 0 || knee < 0 || ankle < 0)
            return false;
        const Vec3 line = rig.Pos(ankle) - rig.Pos(hip);
        const double t = (rig.Pos(knee) - rig.Pos(hip)).Dot(line) / line.Dot(line);
        const double thigh = line.Length() * t;
        rig.skeleton.joints[knee].position =
            rig.Pos(hip) + line * t + rig.forward * (thigh * std::sin(degrees * M_PI / 180.0));
    }
    return true;
}

bool StraightKnees(TruthRig& rig, QRandomGenerator&)
{
    return SetKnees(rig, 0.0);
}

bool HyperextendedKnees(TruthRig& rig, QRandomGenerator&)
{
    return SetKnees(rig, -1.0);
}

bool BareHand(TruthRig& rig, QRandomGenerator& random)
{
    const int hand = rig.Joint(random.bounded(2) ? 11 : 14);
    const QVector<int> children = hand < 0 ? QVector<int>() : rig.Children(hand);
    for (int k = children.size() - 1; k >= 0; --k)
        rig.RemoveSubtree(children[k]);
    return !children.isEmpty();
}

bool Tail(TruthRig& rig, QRandomGenerator&)
{
    const int hips = rig.Joint(1);
    if (hips < 0)
        return false;
    int j = hips;
    const double h = rig.Height();
    for (int k = 1; k <= 6; ++k)
        j = rig.Add(QStringLiteral("tail%1").arg(k), j,
                    rig.Pos(hips) - rig.forward * (0.07 * h * k) - rig.up * (0.04 * h * k));
    return true;
}

bool Prop(TruthRig& rig, QRandomGenerator& random)
{
    const int hand = rig.Joint(random.bounded(2) ? 11 : 14);
    if (hand < 0)
        return false;
    const double h = rig.Height();
    const int grip = rig.Add(QStringLiteral("weapon"), hand, rig.Pos(hand) - rig.up * (0.02 * h));
    rig.Add(QStringLiteral("weapon_tip"), grip, rig.Pos(grip) + rig.forward * (0.4 * h));
    rig.Add(QStringLiteral("prop_root"), -1, rig.Pos(rig.Joint(1)) + rig.forward * (0.5 * h));
    return true;
}

// Names read from the viewer: each sided joint trades names with its mirror, so the side
// words say the opposite of the body's own left and right.
bool ViewerSideNames(TruthRig& rig, QRandomGenerator&)
{
    bool any = false;
    for (const auto& [node, joint] : rig.truth) {
        const NodeId mirror = MirrorNodeOf(node);
        const int other = rig.Joint(mirror);
        if (mirror > node && other >= 0 && other != joint) {
            std::swap(rig.skeleton.joints[joint].name, rig.skeleton.joints[other].name);
            any = true;
        }
    }
    return any;
}

// Control joints outside the body, one in front of each knee at its height, as rigs whose legs
// are posed by aiming the knees carry them.
bool KneeTargets(TruthRig& rig, QRandomGenerator&)
{
    for (int side = 0; side < 2; ++side) {
        const int hip = rig.Joint(side == 0 ? 2 : 5), knee = rig.Joint(side == 0 ? 3 : 6);
        if (hip < 0 || knee < 0)
            return false;
        const double thigh = (rig.Pos(knee) - rig.Pos(hip)).Length();
        rig.Add(QStringLiteral("kneeAim%1").arg(side), -1, rig.Pos(knee) + rig.forward * thigh);
    }
    return true;
}

bool APose(TruthRig& rig, QRandomGenerator&)
{
    for (int side = 0; side < 2; ++side) {
        const int upper = rig.Joint(side == 0 ? 9 : 12);
        if (upper < 0)
            return false;
        const Vec3 centre = rig.Pos(upper);
        // Down by 40 degrees: about forward for the left arm, against it for the right.
        const double degrees = side == 0 ? -40.0 : 40.0;
        for (int j = 0; j < rig.skeleton.joints.size(); ++j)
            if (j != upper && rig.IsBelow(j, upper))
                rig.skeleton.joints[j].position = Turn(rig.Pos(j), centre, rig.forward, degrees);
    }
    return true;
}

bool TurnAndScale(TruthRig& rig, QRandomGenerator& random)
{
    // Z up, facing -Z, facing +X or lying on its back; then metres, inches or millimetres.
    const Vec3 axes[] = {{1, 0, 0}, {0, 1, 0}, {0, 1, 0}, {0, 0, 1}};
    const double degrees[] = {90, 180, 90, 37};
    const double units[] = {0.01, 1 / 2.54, 10.0, 1.0};
    const int k = random.bounded(4);
    const double unit = units[random.bounded(4)];
    for (SkeletonJoint& joint : rig.skeleton.joints)
        joint.position = Turn(joint.position, {}, axes[k], degrees[k]) * unit;
    rig.up = Turn(rig.up, {}, axes[k], degrees[k]);
    rig.forward = Turn(rig.forward, {}, axes[k], degrees[k]);
    return true;
}

const std::vector<RigTrait> kTraits = {
    {"palm bones", PalmBones},
    {"in-line twists", InLineTwists},
    {"leaf twists", LeafTwists},
    {"helper on thigh", HelperOnThigh},
    {"hip helpers", HipHelpers},
    {"dummy below head", DummyBelowHead},
    {"face container", FaceContainer},
    {"no toes", NoToes},
    {"straight knees", StraightKnees},
    {"hyperextended knees", HyperextendedKnees},
    {"bare hand", BareHand},
    {"tail", Tail},
    {"prop", Prop},
    {"A-pose", APose},
    {"viewer-side names", ViewerSideNames},
    {"knee targets", KneeTargets},
    {"turned and scaled", TurnAndScale},
};

} // namespace

const std::vector<RigTrait>& RigTraits()
{
    return kTraits;
}

const RigTrait* FindRigTrait(const char* name)
{
    for (const RigTrait& trait : kTraits)
        if (qstrcmp(trait.name, name) == 0)
            return &trait;
    return nullptr;
}

void ScrambleNames(TruthRig& rig, QRandomGenerator& random)
{
    for (SkeletonJoint& joint : rig.skeleton.joints)
        joint.name = QStringLiteral("j%1").arg(random.generate(), 8, 16, QChar('0'));
}

bool FacingShownByGeometry(const TruthRig& rig)
{
    for (int side = 0; side < 2; ++side) {
        const int toe = rig.Joint(side == 0 ? 16 : 17), foot = rig.Joint(side == 0 ? 4 : 7);
        if (toe >= 0 && foot >= 0 && (rig.Pos(toe) - rig.Pos(foot)).Dot(rig.forward) > 0)
            return true;
        const int hip = rig.Joint(side == 0 ? 2 : 5), knee = rig.Joint(side == 0 ? 3 : 6);
        if (hip < 0 || knee < 0 || foot < 0)
            return false;
        const Vec3 line = (rig.Pos(foot) - rig.Pos(hip)).Normalized();
        const Vec3 out = (rig.Pos(knee) - rig.Pos(hip)).Across(line);
        const double thigh = (rig.Pos(knee) - rig.Pos(hip)).Length();
        if (Degrees(std::asin(std::min(1.0, out.Dot(rig.forward) / thigh))) < 2.0)
            return false;
    }
    return true;
}
