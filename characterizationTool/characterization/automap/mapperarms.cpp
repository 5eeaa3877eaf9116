// Arms and hands: the wrist, the digits and which of them is the thumb.
#include "mapper.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace automap {

// A joint away from its parent that shares its place with a sibling: one of several palm bones
// starting together at the wrist, which has no joint of its own.
bool Mapper::IsPalmStart(int j) const
{
    const int parent = m_joints[j].parent;
    if (parent < 0 || Coincide(j, parent))
        return false;
    for (int sibling : m_children[parent])
        if (sibling != j && Coincide(sibling, j))
            return true;
    return false;
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
        const bool palms = IsPalmStart(arm.path[i]);
        const bool branching = m_children[arm.path[i]].size() >= 2 || palms;
        const bool plainHand = SolidChildren(palms ? arm.path[i - 1] : arm.path[i]) >= 3;
        LimbParse trial = arm;
        FitSegments(trial, i, kArmRatio, false);
        if (branching || i == last) {
            trial.plainHand = plainHand;
            if (trial.score <= (plainHand ? kMaxHandRatioScore : kMaxRatioScore))
                return trial;
            continue;
        }
        // A hand with a single finger does not branch: its wrist is where a close fit leaves
        // less beyond it than the forearm's length.
        if (trial.upper >= 0 && trial.score <= kMaxRatioScore / 2 &&
            beyond[i] < (Pos(arm.path[i]) - Pos(arm.path[trial.middle])).Length())
            return trial;
    }
    // An arm of two joints ends at the forearm (a rig without hands): upper arm and forearm
    // only, fitted loosely.
    if (last == 1 && Bone(arm.path[1]) >= kTrivialBone * m_scale) {
        arm.upper = 0;
        arm.middle = 1;
        arm.end = -1;
        arm.score = arm.ratioScore = kMaxRatioScore / 2;
    }
    return arm;
}

// The chains that start at the children of `joint`, each followed along its main path.
std::vector<std::vector<int>> Mapper::DigitChains(int joint) const
{
    std::vector<std::vector<int>> chains;
    for (int child : m_children[joint])
        chains.push_back(MainPath(child));
    return chains;
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
    for (std::size_t k = first; k < chain.size() && k - first < 4; ++k)
        Propose(firstSegment + NodeId(k - first), chain[k], confidence,
                QStringLiteral("%1, joint %2").arg(reason).arg(k - first + 1));
}

void Mapper::ProposeHand(const LimbParse& arm, Side side, double sideConfidence)
{
    if (arm.end < 0)
        return;
    const int hand = arm.path[arm.end];
    const Vec3 axis = (Pos(hand) - Pos(arm.path[arm.middle])).Normalized();
    std::vector<std::vector<int>> chains = DigitChains(hand);
    // A hand that is one of several palm bones: its siblings' chains are digits too, and the
    // palm bones starting with the hand are their bases.
    std::vector<int> palmBases;
    if (IsPalmStart(hand))
        for (int sibling : m_children[m_joints[hand].parent])
            if (sibling != hand && !IsTrivial(sibling)) {
                chains.push_back(MainPath(sibling));
                if (Coincide(sibling, hand))
                    palmBases.push_back(sibling);
            }
    const auto onPalmBase = [&](const std::vector<int>& chain) {
        return std::find(palmBases.begin(), palmBases.end(), chain[0]) != palmBases.end();
    };
    if (chains.empty())
        return;
    const auto direction = [&](const std::vector<int>& chain) {
        return (Pos(chain.back()) - Pos(hand)).Normalized();
    };
    // The thumb: a chain named so, else the chain farthest off the hand's axis.
    int thumb = -1;
    double thumbConfidence = 0.0;
    QString thumbReason;
    for (std::size_t c = 0; c < chains.size() && thumb < 0; ++c)
        for (int j : chains[c])
            if (m_joints[j].name.contains(QLatin1String("thumb"), Qt::CaseInsensitive)) {
                thumb = int(c);
                thumbConfidence = 0.9;
                thumbReason = QStringLiteral("name hint: thumb");
                break;
            }
    if (thumb < 0 && chains.size() >= 2) {
        std::vector<std::pair<double, int>> offAxis;
        for (std::size_t c = 0; c < chains.size(); ++c)
            offAxis.push_back({direction(chains[c]).Dot(axis), int(c)});
        std::sort(offAxis.begin(), offAxis.end());
        thumb = offAxis[0].second;
        const double margin = offAxis[1].first - offAxis[0].first;
        thumbConfidence = chains.size() == 2 ? 0.6 : std::min(0.9, 0.6 + margin);
        thumbReason = QStringLiteral("the digit farthest off the hand's axis");
    }
    const NodeId digits = side == Left ? 50 : 74;
    const NodeId bases = side == Left ? 146 : 152;
    if (thumb >= 0)
        ProposeDigits(chains[thumb], onPalmBase(chains[thumb]) || HasBase(chains[thumb], 4), digits,
                      bases, thumbConfidence * sideConfidence, thumbReason);
    std::vector<std::vector<int>> fingers;
    for (std::size_t c = 0; c < chains.size(); ++c)
        if (int(c) != thumb && !(chains[c].size() == 1 && IsTrivial(chains[c][0])))
            fingers.push_back(chains[c]);
    if (fingers.size() == 1) {
        Propose(side == Left ? 21 : 22, fingers[0][0], 0.8 * sideConfidence,
                thumb >= 0 ? QStringLiteral("the hand's one chain besides the thumb")
                           : QStringLiteral("the hand's one chain of digits"));
        return;
    }
    // The others in order across the hand, starting beside the thumb.
    const auto centre = [&](const std::vector<int>& chain) {
        Vec3 sum;
        for (int j : chain)
            sum = sum + Pos(j);
        return sum * (1.0 / chain.size()) - Pos(hand);
    };
    if (thumb < 0)
        return;
    const Vec3 across = centre(chains[thumb]).Across(axis).Normalized();
    std::stable_sort(fingers.begin(), fingers.end(), [&](const auto& a, const auto& b) {
        return centre(a).Dot(across) > centre(b).Dot(across);
    });
    // The fingers of one hand are built alike: when most long ones show a base inside the
    // palm, every long one has one (a base whose head was placed carelessly must not become
    // the finger's first joint).
    std::size_t longFingers = 0, withBase = 0;
    for (const std::vector<int>& finger : fingers) {
        longFingers += finger.size() >= 4;
        withBase += HasBase(finger, 4);
    }
    const bool handHasBases = withBase > 0 && 2 * withBase >= longFingers;
    for (std::size_t f = 0; f < fingers.size() && f < 5; ++f)
        ProposeDigits(fingers[f],
                      onPalmBase(fingers[f]) || (handHasBases && fingers[f].size() >= 4),
                      digits + NodeId(4 * (f + 1)), bases + NodeId(f + 1), 0.8 * sideConfidence,
                      QStringLiteral("%1 finger, %2 from the thumb across the hand")
                          .arg(QLatin1String(kDigitWord[f + 1]))
                          .arg(f + 1));
}

} // namespace automap
