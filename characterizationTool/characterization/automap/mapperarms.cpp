// Arms and hands: the wrist, the digits and which of them is the thumb.
#include "mapper.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace automap {

// A joint away from its parent that shares its place with a joint hanging from the same arm:
// one of several palm bones starting together at the wrist, which has no joint of its own.
int Mapper::PalmRoot(int j) const
{
    const int parent = m_joints[j].parent;
    if (parent < 0 || Coincide(j, parent))
        return -1;
    for (int root = parent, below = j; root >= 0; below = root, root = m_joints[root].parent) {
        for (int other : m_children[root])
            if (other != below && Coincide(other, j))
                return root;
        if (root != parent || m_children[root].size() != 1)
            break;
    }
    return -1;
}

// The wrist is the first branching joint (or the path's end) with a fitting arm above it, or
// an unbranched joint with a close fit and only a finger's length beyond it.
LimbParse Mapper::ParseArm(int start) const
{
    LimbParse arm;
    arm.path = MainPath(start);
    const int last = static_cast<int>(arm.path.size()) - 1;
    std::vector<double> beyond(arm.path.size(), 0.0); // path length from joint i to the end
    for (int i = last - 1; i >= 0; --i)
        beyond[i] = beyond[i + 1] + Bone(arm.path[i + 1]);
    for (int i = 2; i <= last; ++i) {
        // Palm bones starting together stand for the wrist: the hand's digits are theirs and
        // their siblings'.
        const int palmRoot = PalmRoot(arm.path[i]);
        const bool palms = palmRoot >= 0;
        // Twist helpers do not branch: leaves lying along the segment into or out of the
        // joint, away from it.
        // Beyond the wrist lie only the hand and its digits: its nearest branch that is no
        // leaf (a leaf where all are) ends within reach (a twist, or an elbow branching to a
        // helper, has the forearm beyond it too).
        int branches = 0;
        double nearest = std::numeric_limits<double>::infinity(), nearestLeaf = nearest;
        for (int child : m_children[arm.path[i]]) {
            const bool leaf = m_children[child].empty();
            if (leaf && !Coincide(child, arm.path[i]) &&
                (LiesOn(child, arm.path[i - 1], arm.path[i]) ||
                 (i < last && LiesOn(child, arm.path[i], arm.path[i + 1]))))
                continue;
            ++branches;
            (leaf ? nearestLeaf : nearest) =
                std::min(leaf ? nearestLeaf : nearest, LimbReach(child));
        }
        if (!std::isfinite(nearest))
            nearest = nearestLeaf;
        const bool branching = branches >= 2 || palms;
        const bool plainHand = SolidChildren(palms ? palmRoot : arm.path[i]) >= 3;
        LimbParse trial = arm;
        FitSegments(trial, i, kArmRatio, false);
        // A joint named as a twist is hardly the wrist.
        if (JointNames::Names(m_joints[arm.path[i]].name, JointNames::Part::Twist))
            trial.score += kTwistNameWeight;
        const bool handBeyond =
            trial.upper >= 0 &&
            nearest <= kHandOverForearm * (Pos(arm.path[i]) - Pos(arm.path[trial.middle])).Length();
        // Of palm bones starting together, one that carries nothing is the wrist itself.
        for (std::size_t k = 0; palms && k < m_children[palmRoot].size(); ++k) {
            const int other = m_children[palmRoot][k];
            if (m_children[other].empty() && other != arm.path[i] && Coincide(other, arm.path[i])) {
                trial.path.resize(i + 1);
                trial.path[i] = other;
                break;
            }
        }
        if ((branching && handBeyond) || i == last) {
            trial.plainHand = plainHand;
            if (trial.score <= (plainHand ? kMaxHandRatioScore : kMaxRatioScore))
                return trial;
            continue;
        }
        // A hand with a single finger does not branch: its wrist is where a close fit leaves
        // clearly less beyond it than the forearm's length (a twist halfway leaves as much).
        bool branchesLater = false;
        for (int k = i + 1; k <= last && !branchesLater; ++k)
            branchesLater = m_children[arm.path[k]].size() >= 2;
        if (!branchesLater && trial.upper >= 0 && trial.score <= kMaxRatioScore / 2 &&
            beyond[i] <
                kSingleFingerHand * (Pos(arm.path[i]) - Pos(arm.path[trial.middle])).Length())
            return trial;
    }
    // An arm of two joints ends at the forearm (a rig without hands): upper arm and forearm
    // only, fitted loosely. Joints between them named as twists and lying on the way are rolls.
    bool twoJoints = last >= 1;
    for (int k = 1; k < last && twoJoints; ++k)
        twoJoints = JointNames::Names(m_joints[arm.path[k]].name, JointNames::Part::Twist) &&
                    LiesOn(arm.path[k], arm.path[0], arm.path[last]);
    if (twoJoints && (Pos(arm.path[last]) - Pos(arm.path[0])).Length() >= kTrivialBone * m_scale) {
        arm.upper = 0;
        arm.middle = last;
        arm.end = -1;
        arm.score = arm.ratioScore = kMaxRatioScore / 2;
    }
    return arm;
}

// The chains that start at the children of `joint`, each followed along its main path; with
// `reach` > 0, chains reaching farther from `joint` than that are no digits (a prop held)
// unless named as digits.
std::vector<std::vector<int>> Mapper::DigitChains(int joint, double reach) const
{
    std::vector<std::vector<int>> chains;
    for (int child : m_children[joint]) {
        std::vector<int> chain = MainPath(child);
        if (!(reach > 0.0 && LimbReach(child) > reach) || NamedDigit(chain))
            chains.push_back(std::move(chain));
    }
    return chains;
}

bool Mapper::NamedDigit(const std::vector<int>& chain) const
{
    using Part = JointNames::Part;
    for (int j : chain)
        for (Part part :
             {Part::Thumb, Part::Index, Part::Middle, Part::Ring, Part::Pinky, Part::PalmBone})
            if (JointNames::Names(m_joints[j].name, part))
                return true;
    return false;
}

bool Mapper::LiesOn(int j, int a, int b) const
{
    const Vec3 segment = Pos(b) - Pos(a);
    const double length2 = segment.Dot(segment);
    if (!(length2 > 0.0))
        return false;
    const double t = (Pos(j) - Pos(a)).Dot(segment) / length2;
    return t >= -0.05 && t <= 1.05 &&
           ((Pos(j) - Pos(a)) - segment * t).Length() <= 0.15 * std::sqrt(length2);
}

// A long first bone followed by short ones in a chain long enough to hold a base: a
// metacarpal or metatarsal inside the palm or sole. Fingers have at most three segments beyond
// the palm, so a four-joint finger chain needs less evidence than a toe chain. A first joint
// standing on the second (no bone between) is a base placed at the knuckle.
bool Mapper::HasBase(const std::vector<int>& chain, std::size_t minBaseChain) const
{
    const double longer = minBaseChain >= 4 ? 1.3 : 1.5;
    return chain.size() >= minBaseChain &&
           (Bone(chain[1]) > longer * Bone(chain[2]) || Bone(chain[1]) < 0.1 * Bone(chain[2]));
}

void Mapper::ProposeDigits(const std::vector<int>& chain, bool hasBase, NodeId firstSegment,
                           NodeId base, double confidence, const QString& reason)
{
    std::size_t first = 0;
    if (hasBase) {
        Propose(base, chain[0], confidence, reason + QStringLiteral(", base inside the palm"));
        first = 1;
    }
    for (std::size_t k = first; k < chain.size() && k - first < 4; ++k) {
        // A leaf named as the chain's end marks the tip; no segment turns there.
        if (k + 1 == chain.size() && m_children[chain[k]].empty() &&
            JointNames::Names(m_joints[chain[k]].name, JointNames::Part::Tip))
            break;
        Propose(firstSegment + NodeId(k - first), chain[k], confidence,
                QStringLiteral("%1, joint %2").arg(reason).arg(k - first + 1));
    }
}

std::vector<std::vector<int>> Mapper::HandChains(const LimbParse& arm,
                                                 std::vector<int>* palmBases) const
{
    const int hand = arm.path[arm.end];
    // A digit reaches less far than half again the forearm's length; a longer chain is held.
    const double forearm = kDigitOverForearm * (Pos(hand) - Pos(arm.path[arm.middle])).Length();
    std::vector<std::vector<int>> chains = DigitChains(hand, forearm);
    // A hand that is one of several palm bones: the other chains from the arm there are digits
    // too, and the palm bones starting with the hand are their bases.
    const int palmRoot = PalmRoot(hand);
    static const std::vector<int> kNone;
    for (int sibling : palmRoot >= 0 ? m_children[palmRoot] : kNone)
        if (sibling != hand && !IsAncestor(sibling, hand) && !IsTrivial(sibling) &&
            (LimbReach(sibling) <= forearm || NamedDigit(MainPath(sibling)))) {
            chains.push_back(MainPath(sibling));
            if (palmBases && Coincide(sibling, hand))
                palmBases->push_back(sibling);
        }
    return chains;
}

void Mapper::ProposeHand(const LimbParse& arm, Side side, double sideConfidence)
{
    if (arm.end < 0)
        return;
    const int hand = arm.path[arm.end];
    const Vec3 axis = (Pos(hand) - Pos(arm.path[arm.middle])).Normalized();
    std::vector<int> palmBases;
    std::vector<std::vector<int>> chains = HandChains(arm, &palmBases);
    const auto onPalmBase = [&](const std::vector<int>& chain) {
        return std::find(palmBases.begin(), palmBases.end(), chain[0]) != palmBases.end();
    };
    if (chains.empty())
        return;
    const auto direction = [&](const std::vector<int>& chain) {
        return (Pos(chain.back()) - Pos(hand)).Normalized();
    };
    const auto chainNames = [&](const std::vector<int>& chain, JointNames::Part part) {
        for (int j : chain)
            if (JointNames::Names(m_joints[j].name, part))
                return true;
        return false;
    };
    // The thumb: a chain named so, else the chain standing most forward of the hand (a thumb
    // points forward in a T- or A-pose) where that is also the one farthest off the hand's
    // axis; where the two cues disagree, the forward one at low confidence.
    int thumb = -1;
    double thumbConfidence = 0.0;
    QString thumbReason;
    // A lone digit is the finger base whatever its name.
    for (std::size_t c = 0; c < chains.size() && thumb < 0 && chains.size() >= 2; ++c)
        if (chainNames(chains[c], JointNames::Part::Thumb)) {
            thumb = int(c);
            thumbConfidence = 0.9;
            thumbReason = QStringLiteral("named as the thumb");
        }
    const auto centre = [&](const std::vector<int>& chain) {
        Vec3 sum;
        for (int j : chain)
            sum = sum + Pos(j);
        return sum * (1.0 / chain.size()) - Pos(hand);
    };
    // Of two digits, the thumb stands clearly farther off the axis and reaches less far along it.
    const auto along = [&](const std::vector<int>& chain) {
        return (Pos(chain.back()) - Pos(hand)).Dot(axis);
    };
    if (thumb < 0 && chains.size() == 2) {
        const int off = direction(chains[0]).Dot(axis) < direction(chains[1]).Dot(axis) ? 0 : 1;
        if (direction(chains[1 - off]).Dot(axis) - direction(chains[off]).Dot(axis) >=
                kThumbOffAxis &&
            along(chains[off]) < along(chains[1 - off])) {
            thumb = off;
            thumbConfidence = kWeakDigit;
            thumbReason = QStringLiteral("the digit farther off the hand's axis and shorter along "
                                         "it (a weak cue)");
        }
    }
    if (thumb < 0 && chains.size() >= 3) {
        std::vector<std::pair<double, int>> offAxis;
        int forwardMost = -1;
        for (std::size_t c = 0; c < chains.size(); ++c) {
            offAxis.push_back({direction(chains[c]).Dot(axis), int(c)});
            if (forwardMost < 0 ||
                centre(chains[c]).Dot(m_forward) > centre(chains[forwardMost]).Dot(m_forward))
                forwardMost = int(c);
        }
        std::sort(offAxis.begin(), offAxis.end());
        const double margin = offAxis[1].first - offAxis[0].first;
        const bool agree = m_forward.Length() > 0.5 && forwardMost == offAxis[0].second;
        // Disagreeing, the shorter chain wins (fingers carry palm bones more often than
        // thumbs); on a tie the one farthest off the axis where its tip also reaches least far
        // along it (a thumb is short and starts by the wrist), else the forward one.
        const int farthest = offAxis[0].second;
        int leastAlong = 0;
        for (std::size_t c = 1; c < chains.size(); ++c)
            if (along(chains[c]) < along(chains[leastAlong]))
                leastAlong = int(c);
        const bool shortOff = !agree && farthest == leastAlong;
        thumb = m_forward.Length() < 0.5 || shortOff                   ? farthest
                : chains[farthest].size() < chains[forwardMost].size() ? farthest
                                                                       : forwardMost;
        thumbConfidence = agree ? std::min(kThumbByGeometry, 0.6 + margin) : kWeakDigit;
        thumbReason =
            agree      ? QStringLiteral("the digit most forward and farthest off the hand's axis")
            : shortOff ? QStringLiteral("the digit farthest off the hand's axis and shortest "
                                        "along it (a weak cue)")
                       : QStringLiteral("the digit most forward of the hand (a weak cue)");
    }
    const NodeId digits = side == Left ? 50 : 74;
    const NodeId bases = side == Left ? 146 : 152;
    // The digits of one hand are built alike: when most show a base inside the palm (a long
    // first bone before short ones), every one of three or more joints has one, the thumb too.
    std::size_t longChains = 0, withBase = 0;
    for (const std::vector<int>& chain : chains) {
        longChains += chain.size() >= 3;
        withBase += HasBase(chain, 3) || HasBase(chain, 4);
    }
    const bool handHasBases = chains.size() >= 3 && withBase > 0 && 2 * withBase > longChains;
    std::size_t longest = 0;
    for (const std::vector<int>& chain : chains)
        longest = std::max(longest, chain.size());
    // Names say it first: a chain whose first joint is not named as the digit but whose
    // second is starts with a base. Else the shape: a base of its own, or the hand's bases
    // on a chain as long as the longest.
    const auto hasBase = [&](const std::vector<int>& chain, JointNames::Part part) {
        const auto is = [&](int j) { return JointNames::Names(m_joints[j].name, part); };
        if (JointNames::Names(m_joints[chain[0]].name, JointNames::Part::PalmBone))
            return true;
        if (chain.size() >= 2 && (is(chain[0]) || is(chain[1])))
            return !is(chain[0]);
        return onPalmBase(chain) || HasBase(chain, 4) ||
               (handHasBases && chain.size() >= 3 && chain.size() == longest);
    };
    if (thumb >= 0)
        ProposeDigits(chains[thumb], hasBase(chains[thumb], JointNames::Part::Thumb), digits, bases,
                      thumbConfidence * sideConfidence, thumbReason);
    std::vector<std::vector<int>> fingers;
    for (std::size_t c = 0; c < chains.size(); ++c)
        if (int(c) != thumb && !(chains[c].size() == 1 && IsTrivial(chains[c][0])))
            fingers.push_back(chains[c]);
    const bool namedFinger =
        fingers.size() == 1 && (chainNames(fingers[0], JointNames::Part::Index) ||
                                chainNames(fingers[0], JointNames::Part::Middle));
    // A lone finger named beside a thumb takes its named slot; alone it is the finger base.
    if (fingers.size() == 1 && (!namedFinger || thumb < 0)) {
        const QString reason = thumb >= 0 ? QStringLiteral("the hand's one chain besides the thumb")
                                          : QStringLiteral("the hand's one chain of digits");
        // Its base inside the palm, if it has one, is the index finger's.
        const bool base = fingers[0].size() >= 2 &&
                          (hasBase(fingers[0], JointNames::Part::Index) || HasBase(fingers[0], 3));
        if (base)
            Propose(bases + 1, fingers[0][0], kWeakDigit * sideConfidence,
                    reason + QStringLiteral(", base inside the palm"));
        Propose(side == Left ? 21 : 22, fingers[0][base ? 1 : 0], kWeakDigit * sideConfidence,
                reason);
        return;
    }
    if (thumb < 0)
        return;
    // The others in order across the hand, starting beside the thumb.
    const Vec3 across = centre(chains[thumb]).Across(axis).Normalized();
    std::stable_sort(fingers.begin(), fingers.end(), [&](const auto& a, const auto& b) {
        return centre(a).Dot(across) > centre(b).Dot(across);
    });
    // Names decide the order when every finger names a different one; agreeing with the
    // geometry they make it sure, disagreeing they win at a lower confidence.
    const JointNames::Part parts[4] = {JointNames::Part::Index, JointNames::Part::Middle,
                                       JointNames::Part::Ring, JointNames::Part::Pinky};
    std::vector<int> namedAs(fingers.size(), -1);
    bool allNamed = fingers.size() <= 4, namesAgree = true;
    for (std::size_t f = 0; f < fingers.size() && allNamed; ++f) {
        for (int p = 0; p < 4; ++p)
            if (chainNames(fingers[f], parts[p]))
                namedAs[f] = namedAs[f] < 0 ? p : 9;
        allNamed = namedAs[f] >= 0 && namedAs[f] < 4;
        for (std::size_t g = 0; g < f && allNamed; ++g)
            allNamed = namedAs[g] != namedAs[f];
        namesAgree = namesAgree && allNamed && (f == 0 || namedAs[f] > namedAs[f - 1]);
    }
    std::vector<int> slotOf(fingers.size());
    for (std::size_t f = 0; f < fingers.size(); ++f)
        slotOf[f] = allNamed ? namedAs[f] : int(f);
    const double fingerConfidence = !allNamed ? kWeakDigit : namesAgree ? 0.9 : 0.75;
    for (std::size_t f = 0; f < fingers.size() && f < 5; ++f)
        ProposeDigits(fingers[f], hasBase(fingers[f], parts[std::min(slotOf[f], 3)]),
                      digits + NodeId(4 * (slotOf[f] + 1)), bases + NodeId(slotOf[f] + 1),
                      fingerConfidence * sideConfidence,
                      allNamed ? QStringLiteral("named as the %1 finger")
                                     .arg(QLatin1String(kDigitWord[slotOf[f] + 1]))
                               : QStringLiteral("%1 finger, %2 from the thumb across the hand")
                                     .arg(QLatin1String(kDigitWord[f + 1]))
                                     .arg(f + 1));
}

} // namespace automap
