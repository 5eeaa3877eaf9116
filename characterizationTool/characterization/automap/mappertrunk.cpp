// Spine, neck and head: the joints from the hips up through the chest to the head.
#include "mapper.h"

#include <QtGlobal>

#include <algorithm>

#include <cmath>
#include <limits>
#include <vector>

namespace automap {

// The legs' branch joint, or an ancestor standing distinctly nearer the thighs' centre: a
// pelvis whose first spine joint carries the thighs.
int Mapper::HipsJoint(int branch, const Vec3& thighs) const
{
    int hips = branch;
    for (int p = m_joints[hips].parent; p >= 0; p = m_joints[p].parent) {
        if ((Pos(p) - thighs).Length() > (Pos(hips) - thighs).Length() - kHipsNearer * m_scale)
            break;
        hips = p;
    }
    return hips;
}

// The joints from the hips up to the arms' branch joint (the chest), the neck and the head.
void Mapper::ProposeTrunk(int hips, int legBranch, const LimbPair& arms, const int* shoulder)
{
    std::vector<int> spine;
    for (int j = arms.branch; j != hips; j = m_joints[j].parent)
        spine.insert(spine.begin(), j);
    int neckStart = -1;
    for (int child : m_children[arms.branch])
        if (child != arms.child[0] && child != arms.child[1] && !IsTrivial(child) &&
            (neckStart < 0 || LimbReach(child) > LimbReach(neckStart)))
            neckStart = child;
    std::vector<int> neck;
    if (neckStart >= 0)
        neck = MainPath(neckStart);
    // A dummy a hair's breadth past the end is no part of the head.
    while (neck.size() >= 2 && IsTrivial(neck.back()))
        neck.pop_back();
    std::size_t head = neck.empty() ? 0 : neck.size() - 1;
    for (std::size_t i = 0; i < neck.size(); ++i)
        if (SolidChildren(neck[i]) >= 2) {
            head = i;
            break;
        }
    QString headReason = head + 1 == neck.size()
                             ? QStringLiteral("the end of the rising chain above the chest")
                             : QStringLiteral("the first branching joint above the chest");
    double headConfidence = 0.9;
    const auto named = [this](int j, JointNames::Part part) {
        return JointNames::Names(m_joints[j].name, part);
    };
    // A leaf at the end is the head itself or a joint at the top of the skull. The crown
    // stands about a shoulder width above the shoulders, the head's own joint (the skull's base)
    // at most about half that: the height decides where it is clear, the names where it is
    // not, and a leaf long against its parent's bone leans towards the crown.
    if (head >= 1 && head + 1 == neck.size() && m_children[neck[head]].empty()) {
        const int leaf = neck[head];
        const Vec3 shoulders = (Pos(shoulder[0]) + Pos(shoulder[1])) * 0.5;
        const double width = (Pos(shoulder[0]) - Pos(shoulder[1])).Length();
        const double rise = width > 0.0 ? (Pos(leaf) - shoulders).Dot(m_up) / width : 0.0;
        const bool longLeaf = Bone(leaf) >= kHeadTopLeaf * m_scale &&
                              Bone(leaf) >= kHeadTopOverNeck * Bone(neck[head - 1]);
        const bool riseTop = width > 0.0 ? rise >= kCrownRise : longLeaf;
        const bool clear = width > 0.0 && (rise >= kClearCrownRise || rise <= kClearHeadRise);
        const bool namedTop =
            named(leaf, JointNames::Part::HeadEnd) ||
            (!named(leaf, JointNames::Part::Head) && named(neck[head - 1], JointNames::Part::Head));
        const bool namedHead = !namedTop && named(leaf, JointNames::Part::Head);
        const bool namesSay = namedTop || namedHead;
        // Clear height over the names; else the names over a weak height.
        const bool top = clear || !namesSay ? riseTop : namedTop;
        const bool agree = namesSay && namedTop == riseTop;
        headConfidence = clear      ? (agree || !namesSay ? 0.9 : 0.72)
                         : namesSay ? (agree ? 0.85 : 0.8)
                                    : 0.7;
        if (top) {
            --head;
            headReason = QStringLiteral("the joint below the leaf at the top of the skull");
        } else
            headReason = QStringLiteral("the end of the rising chain, too low for the skull's top");
        if (!clear && !namesSay)
            headReason += QStringLiteral(" (the height above the shoulders is a weak cue)");
    }
    // Two joints at the head's place: the lower is the head and the upper a container for
    // the face, unless the names say the upper is the head. Unnamed, an upper joint that
    // carries no face (at most the chain on) is more likely the head above a helper.
    while (head >= 1 && Coincide(neck[head], neck[head - 1])) {
        const bool lowerNamed = named(neck[head - 1], JointNames::Part::Head);
        if (named(neck[head], JointNames::Part::Head) && !lowerNamed)
            break;
        if (!lowerNamed && SolidChildren(neck[head]) <= 1) {
            headConfidence = std::min(headConfidence, 0.72);
            headReason = QStringLiteral("the upper of two joints at the head's place, carrying "
                                        "no face");
            break;
        }
        --head;
        headConfidence = std::min(headConfidence, lowerNamed ? 0.9 : 0.75);
        headReason = QStringLiteral("the lower of two joints at the head's place");
    }
    // Arms hanging from the neck: one short joint above their branch joint that carries a long
    // leaf is the head and the leaf the top of the skull, so the branch joint is the neck.
    // Collars that hang down from the branch joint say the same.
    const bool shortHeadWithTop =
        head == 0 && !neck.empty() &&
        (Pos(neck[0]) - Pos(arms.branch)).Length() < kShortNeck * m_reach[neck[0]];
    bool collarsBelow = !neck.empty() && head == 0;
    for (int child : arms.child)
        collarsBelow = collarsBelow &&
                       (Pos(child) - Pos(arms.branch)).Dot(m_up) < -kCollarsBelowNeck * m_scale;
    const bool armsFromNeck = spine.size() >= 2 && (shortHeadWithTop || collarsBelow);
    if (armsFromNeck) {
        neck.insert(neck.begin(), spine.back());
        spine.pop_back();
        ++head;
        headReason = QStringLiteral("the joint above the neck the arms hang from");
    }
    Propose(kHipsNode, hips, 0.95,
            hips == legBranch
                ? QStringLiteral("the branch joint with two descending chains and one rising "
                                 "chain")
                : QStringLiteral("the joint below the legs' branch at the thighs' centre"));
    const bool spineIsChest = spine.size() == 1;
    for (int k = 0; k < int(spine.size()) && k < kMaxSpine; ++k)
        Propose(
            k == 0 ? kSpineNode : kSpine1Node + k - 1, spine[k], spineIsChest ? 0.8 : 0.92,
            k + 1 == int(spine.size())
                ? (armsFromNeck ? QStringLiteral("the chest: the spine joint below the neck")
                                : QStringLiteral("the chest: where the arms branch off the spine"))
                : QStringLiteral("joint %1 of the spine from the hips to the chest").arg(k + 1));
    if (neck.empty())
        return;
    Propose(kHeadNode, neck[head], headConfidence, headReason);
    for (std::size_t k = 0; k < head && int(k) < kMaxNeck; ++k)
        // A joint standing on the head is as likely a helper of it as a neck joint.
        Propose(k == 0 ? kNeckNode : kNeck1Node + NodeId(k) - 1, neck[k],
                Coincide(neck[k], neck[head]) ? 0.7 : 0.9,
                QStringLiteral("joint %1 of the chain from the chest to the head").arg(k + 1));
}

} // namespace automap
