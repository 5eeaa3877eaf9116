// Scoring: how well a chain fits a limb, and the proposals with their confidence.
#include "mapper.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace automap {

// Picks, on path[0..endIndex], the upper and middle joints whose two segments come closest
// to `ratio`. For a leg, an upper joint near the start of the path fits better (a split shin
// must not pass for a whole leg), and one whose bone onwards runs level (a hip collar beside
// the pelvis) worse. Arms need neither: their collars are long and often level with the arm.
void Mapper::FitSegments(LimbParse& limb, int endIndex, double ratio, bool isLeg) const
{
    const Vec3& end = Pos(limb.path[endIndex]);
    std::vector<double> along(endIndex + 1, 0.0); // path length from path[0]
    for (int i = 1; i <= endIndex; ++i)
        along[i] = along[i - 1] + (Pos(limb.path[i]) - Pos(limb.path[i - 1])).Length();
    if (!(along[endIndex] > 0.0))
        return;
    // How far (degrees) the path turns at each joint (0 at its ends), and the length of the
    // straight run that ends at each.
    std::vector<double> turn(endIndex + 1, 0.0), run(endIndex + 1, 0.0);
    for (int i = 1; i <= endIndex; ++i) {
        if (i < endIndex)
            turn[i] =
                std::acos(std::max(
                    -1.0,
                    std::min(1.0,
                             (Pos(limb.path[i]) - Pos(limb.path[i - 1]))
                                 .Normalized()
                                 .Dot((Pos(limb.path[i + 1]) - Pos(limb.path[i])).Normalized())))) *
                180.0 / M_PI;
        run[i] = along[i] - along[i - 1] + (turn[i - 1] < kStraightJoint ? run[i - 1] : 0.0);
    }
    for (int u = 0; u + 1 < endIndex; ++u) {
        // Names weigh in: a joint named as the upper arm starts the arm, one named as a
        // collar does not.
        double named = 0.0;
        if (!isLeg && JointNames::Names(m_joints[limb.path[u]].name, JointNames::Part::Collar))
            named = kNameWeight;
        else if (!isLeg &&
                 JointNames::Names(m_joints[limb.path[u]].name, JointNames::Part::UpperArm))
            named = -kNameWeight;
        double innerTurn = 0.0; // the most the path turns between u and m
        for (int m = u + 1; m < endIndex; innerTurn = std::max(innerTurn, turn[m]), ++m) {
            // An arm's upper joint is not one a hair's breadth before the next (the end of a
            // collar), for the skeleton or for the arm.
            if (!isLeg && (Bone(limb.path[u + 1]) < kTrivialBone * m_scale ||
                           Bone(limb.path[u + 1]) < kShortCollarEnd * along[endIndex]))
                continue;
            const double upper = (Pos(limb.path[m]) - Pos(limb.path[u])).Length();
            const double lower = (end - Pos(limb.path[m])).Length();
            if (upper <= 0.0 || lower <= 0.0)
                continue;
            const double ratioScore = std::abs(std::log(upper / lower / ratio));
            double score =
                ratioScore + (isLeg ? 0.5 : kArmStartWeight) * along[u] / along[endIndex];
            // A leg does not start below a long drop (a thigh split by a twist is still one
            // thigh); a hip offset may come first.
            if (isLeg) {
                const double drop = (Pos(limb.path[0]) - Pos(limb.path[u])).Dot(m_up);
                const double height = (Pos(limb.path[0]) - end).Dot(m_up);
                if (height > 0.0)
                    score += kDropWeight * std::max(0.0, drop / height - kHipDrop);
            }
            // A middle joint the limb runs straight through is a twist where the limb bends
            // inside the upper segment, or where a straight run as long as that segment ends at
            // the upper joint (no collar is that long: the run is the upper segment).
            if (turn[m] < kStraightJoint &&
                (run[u] >= kUpperLikeBone * upper || innerTurn >= kBentJoint))
                score += kStraightMiddleWeight;
            // A joint named as a twist starts no segment.
            for (int j : {limb.path[u], limb.path[m]})
                if (JointNames::Names(m_joints[j].name, JointNames::Part::Twist))
                    score += kTwistNameWeight;
            const Vec3 onwards = Pos(limb.path[u + 1]) - Pos(limb.path[u]);
            if (isLeg && std::abs(onwards.Dot(m_up)) < 0.5 * onwards.Length())
                score += 0.1;
            // Joints inside the upper segment lie on it (twists do, a shoulder past a collar
            // in an A-pose does not).
            const Vec3 axis = (Pos(limb.path[m]) - Pos(limb.path[u])).Normalized();
            for (int k = u + 1; k < m; ++k)
                score += kOffSegmentWeight *
                         (Pos(limb.path[k]) - Pos(limb.path[u])).Across(axis).Length() / upper;
            score += named;
            // The shoulder stands out from the spine at least as far as the thighs do; a joint
            // nearer the spine starts a collar.
            if (!isLeg && m_thighSpread > 0.0) {
                const double out =
                    (Pos(limb.path[u]) - Pos(m_armBranch)).Across(m_up).Length() / m_thighSpread;
                score += kNarrowShoulder * std::max(0.0, 1.0 - out);
            }
            // The best fit with another upper joint: how sure the choice of upper joint is.
            if (u != limb.upper && score < limb.score) {
                limb.runnerUp = limb.score;
                limb.runnerUpUpper = limb.upper;
            } else if (u != limb.upper && score < limb.runnerUp) {
                limb.runnerUp = score;
                limb.runnerUpUpper = u;
            }
            if (score < limb.score) {
                limb.score = score;
                limb.ratioScore = ratioScore;
                limb.upper = u;
                limb.middle = m;
                limb.end = endIndex;
            }
        }
    }
}

// The joints of `limb` whose segments best match `upper` and `lower` in length (each within
// kTwinLengths), joints inside a segment lying on it; false when none do.
bool Mapper::FitToTwin(LimbParse& limb, double upper, double lower, double& cost) const
{
    const int n = std::min<int>(int(limb.path.size()), kMaxTwinPath);
    cost = std::numeric_limits<double>::infinity();
    int best[3] = {-1, -1, -1};
    const auto offSegment = [&](int from, int to) {
        double off = 0.0;
        const Vec3 axis = (Pos(limb.path[to]) - Pos(limb.path[from])).Normalized();
        const double length = (Pos(limb.path[to]) - Pos(limb.path[from])).Length();
        for (int k = from + 1; k < to; ++k)
            off += (Pos(limb.path[k]) - Pos(limb.path[from])).Across(axis).Length() / length;
        return off;
    };
    for (int u = 0; u + 2 < n; ++u)
        for (int m = u + 1; m + 1 < n; ++m)
            for (int e = m + 1; e < n; ++e) {
                const double a = (Pos(limb.path[m]) - Pos(limb.path[u])).Length();
                const double b = (Pos(limb.path[e]) - Pos(limb.path[m])).Length();
                if (!(a > 0.0 && b > 0.0) ||
                    std::max(a, upper) > kTwinLengths * std::min(a, upper) ||
                    std::max(b, lower) > kTwinLengths * std::min(b, lower))
                    continue;
                // Earlier joints win ties: a hand before the prop it holds.
                const double c = std::abs(std::log(a / upper)) + std::abs(std::log(b / lower)) +
                                 offSegment(u, m) + offSegment(m, e) + 0.01 * e;
                if (c < cost) {
                    cost = c;
                    best[0] = u, best[1] = m, best[2] = e;
                }
            }
    if (best[0] < 0)
        return false;
    limb.upper = best[0];
    limb.middle = best[1];
    limb.end = best[2];
    limb.score = cost;
    limb.runnerUp = std::numeric_limits<double>::infinity();
    limb.runnerUpUpper = -1;
    const int wrist = limb.path[limb.end];
    const int palmRoot = PalmRoot(wrist);
    limb.plainHand = SolidChildren(palmRoot >= 0 ? palmRoot : wrist) >= 3;
    limb.twinFitted = true;
    return true;
}

bool Mapper::FitToShortTwin(LimbParse& limb, double upper) const
{
    const int last = int(limb.path.size()) - 1;
    if (last < 1 || last >= kMaxTwinPath)
        return false;
    const double length = (Pos(limb.path[last]) - Pos(limb.path[0])).Length();
    if (!(length > 0.0) || std::max(length, upper) > kTwinLengths * std::min(length, upper))
        return false;
    for (int k = 1; k < last; ++k)
        if (!LiesOn(limb.path[k], limb.path[0], limb.path[last]))
            return false;
    limb.upper = 0;
    limb.middle = last;
    limb.end = -1;
    limb.score = limb.ratioScore = kMaxRatioScore / 2;
    limb.runnerUp = std::numeric_limits<double>::infinity();
    limb.runnerUpUpper = -1;
    limb.twinFitted = true;
    return true;
}

void Mapper::CompareTwins(LimbParse* pair, double ratio) const
{
    const auto length = [this](const LimbParse& limb, int from, int to) {
        return from < 0 || to < 0 ? 0.0 : (Pos(limb.path[to]) - Pos(limb.path[from])).Length();
    };
    const auto unlike = [](double a, double b) {
        return a > 0.0 && b > 0.0 && std::max(a, b) > kTwinLengths * std::min(a, b);
    };
    const bool differ = unlike(length(pair[0], pair[0].upper, pair[0].middle),
                               length(pair[1], pair[1].upper, pair[1].middle)) ||
                        unlike(length(pair[0], pair[0].middle, pair[0].end),
                               length(pair[1], pair[1].middle, pair[1].end));
    pair[0].unlikeTwin = pair[1].unlikeTwin = differ;
    // Beside a twin that ends at the forearm, a limb read with a hand may be the same two
    // segments with a twist taken for the elbow.
    for (int k = 0; k < 2 && differ; ++k) {
        const LimbParse& twin = pair[1 - k];
        if (twin.end < 0 && pair[k].end >= 0 &&
            FitToShortTwin(pair[k], length(twin, twin.upper, twin.middle))) {
            pair[0].unlikeTwin = pair[1].unlikeTwin = false;
            return;
        }
    }
    if (!differ || pair[0].end < 0 || pair[1].end < 0)
        return;
    // One of the two is misread (a twist, a prop or a helper on one side): refit each to the
    // other's segments and keep the reading where the limb kept fits best.
    LimbParse refit[2] = {pair[0], pair[1]};
    double total[2] = {std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::infinity()};
    for (int k = 0; k < 2; ++k) {
        const LimbParse& kept = pair[1 - k];
        double cost = 0.0;
        if (FitToTwin(refit[k], length(kept, kept.upper, kept.middle),
                      length(kept, kept.middle, kept.end), cost))
            total[k] = kept.score + cost;
    }
    const int k = total[0] <= total[1] ? 0 : 1;
    if (!std::isfinite(total[k]))
        return;
    // The refit is only as sure as the reading it copies, and vouched for as that one is.
    pair[k] = refit[k];
    pair[k].plainHand = pair[k].plainHand || pair[1 - k].plainHand;
    pair[k].runnerUp = pair[k].score + (pair[1 - k].runnerUp - pair[1 - k].score);
    pair[k].ratioScore = std::abs(std::log(length(pair[k], pair[k].upper, pair[k].middle) /
                                           length(pair[k], pair[k].middle, pair[k].end) / ratio));
    pair[0].unlikeTwin = pair[1].unlikeTwin = false;
}

void Mapper::AddRunnerUps(double sideConfidence)
{
    for (AutoMapSlot& slot : m_slots) {
        if (slot.joint < 0)
            continue;
        std::vector<int> candidates;
        double mirrorScore = 0.0;
        const NodeId mirror = MirrorNodeOf(slot.node);
        if (mirror > 0 && m_slots[mirror].joint >= 0 && sideConfidence < 1.0) {
            candidates.push_back(m_slots[mirror].joint);
            mirrorScore = std::min(1.0 - sideConfidence, 1.0 - slot.confidence);
        }
        if (m_alternative[slot.node] >= 0)
            candidates.push_back(m_alternative[slot.node]);
        const int parent = m_joints[slot.joint].parent;
        if (parent >= 0)
            candidates.push_back(parent);
        if (!m_children[slot.joint].empty())
            candidates.push_back(MainPath(slot.joint)[1]);
        // The doubt left after the mirror's share, split evenly between the others.
        double doubt = std::max(0.0, 1.0 - slot.confidence - mirrorScore);
        slot.runnerUps.clear();
        for (std::size_t c = 0; c < candidates.size() && slot.runnerUps.size() < 2; ++c) {
            bool seen = candidates[c] == slot.joint;
            for (const AutoMapRunnerUp& r : slot.runnerUps)
                seen = seen || r.joint == candidates[c];
            if (seen)
                continue;
            const bool isMirror = c == 0 && mirrorScore > 0.0;
            const double score = isMirror ? mirrorScore : doubt / 2.0;
            slot.runnerUps.append({candidates[c], score});
        }
        // With one non-mirror runner-up it takes all of the remaining doubt.
        int others = 0;
        for (const AutoMapRunnerUp& r : slot.runnerUps)
            others += !(mirrorScore > 0.0 && r.joint == candidates[0]);
        if (others == 1)
            for (AutoMapRunnerUp& r : slot.runnerUps)
                if (!(mirrorScore > 0.0 && r.joint == candidates[0]))
                    r.score = doubt;
    }
}

void Mapper::Propose(NodeId node, int joint, double confidence, const QString& reason,
                     int alternative)
{
    if (node < 0 || joint < 0 || m_used[joint] || m_slots[node].joint >= 0 ||
        confidence < AutoMapProposal::kProposeThreshold)
        return;
    m_slots[node] = {node, joint, std::min(confidence, 1.0), reason, {}};
    m_alternative[node] = alternative;
    m_used[joint] = true;
}

void Mapper::ProposeLimb(const LimbParse& limb, const LimbSlots& slots, double sideConfidence,
                         const char* limbWord, const char* endWord)
{
    // Digits vouch for an arm of odd proportions, though not enough to bind it unreviewed.
    // An upper joint that barely beats another is a guess, however well it fits.
    const double sure = limb.runnerUp - limb.score < kSureFitMargin || limb.unlikeTwin ? kUnsureFit
                        : limb.twinFitted                                              ? kTwinFitted
                                                                                       : 1.0;
    // A leg that stands on the ground vouches for itself the same way.
    bool grounded = false;
    if (slots.collar < 0 && limb.end >= 0) {
        double ground = std::numeric_limits<double>::infinity();
        for (const SkeletonJoint& joint : m_joints)
            ground = std::min(ground, joint.position.Dot(m_up));
        grounded = Pos(limb.path[limb.end]).Dot(m_up) - ground < kGroundedFoot * m_scale;
    }
    const double own =
        std::max(limb.plainHand || grounded ? kPlainHandArmFit : 0.0, 1.0 - 0.5 * limb.ratioScore) *
        sure;
    // Each factor alone worth proposing, the limb is proposed, however low their product.
    const auto withSides = [&](double confidence) {
        return std::max(confidence * sideConfidence,
                        std::min({confidence, sideConfidence, kLeastLimb}));
    };
    const double fit = withSides(own);
    const QString chain =
        QStringLiteral("the chain to the %1").arg(QLatin1String(endWord)) +
        (limb.unlikeTwin   ? QStringLiteral(" (its segments unlike the other side's)")
         : limb.twinFitted ? QStringLiteral(" (read to match the other side's segments)")
         : limb.runnerUp - limb.score < kSureFitMargin
             ? QStringLiteral(" (another first joint fits nearly as well)")
             : QString());
    Propose(
        slots.upper, limb.path[limb.upper], 0.98 * fit,
        QStringLiteral("first joint of %1, its segments proportioned like %2").arg(chain, limbWord),
        limb.runnerUpUpper >= 0 ? limb.path[limb.runnerUpUpper] : -1);
    Propose(slots.middle, limb.path[limb.middle], 0.98 * fit,
            QStringLiteral("second joint of %1, where its two long segments meet").arg(chain));
    if (limb.end >= 0)
        Propose(slots.end, limb.path[limb.end], 0.97 * fit,
                QStringLiteral("third joint of %1, where its long segments end").arg(chain));
    if (slots.collar >= 0 && limb.upper > 0) {
        Propose(slots.collar, limb.path[0], withSides(0.9 * sure),
                QStringLiteral("joint between the chest and the upper arm"));
        if (limb.upper > 1)
            Propose(slots.collarExtra, limb.path[limb.upper - 1], withSides(0.75 * sure),
                    QStringLiteral("second joint between the chest and the upper arm"));
    }
    if (limb.middle - limb.upper > 1)
        Propose(slots.upperRoll, limb.path[limb.upper + 1], 0.85 * fit,
                QStringLiteral("in-line joint on the upper segment of %1").arg(chain));
    if (limb.end < 0)
        return;
    if (limb.end - limb.middle > 1)
        Propose(slots.lowerRoll, limb.path[limb.middle + 1], 0.85 * fit,
                QStringLiteral("in-line joint on the lower segment of %1").arg(chain));
    ProposeLeafRolls(limb, limb.upper, limb.middle, slots.upperLimb, sideConfidence,
                     QStringLiteral("upper segment of %1").arg(chain));
    ProposeLeafRolls(limb, limb.middle, limb.end, slots.lowerLimb, sideConfidence,
                     QStringLiteral("lower segment of %1").arg(chain));
}

// Leaf joints hanging from the joints of one segment that lie on that segment.
void Mapper::ProposeLeafRolls(const LimbParse& limb, int fromIndex, int toIndex, int limbColumn,
                              double sideConfidence, const QString& segmentWord)
{
    int index = 1;
    for (int i = fromIndex; i < toIndex && index <= kLeafRollsPerLimb; ++i)
        for (int child : m_children[limb.path[i]]) {
            if (!m_children[child].empty() || child == limb.path[i + 1] ||
                index > kLeafRollsPerLimb ||
                !LiesOn(child, limb.path[fromIndex], limb.path[toIndex]))
                continue;
            Propose(LeafRollNode(limbColumn, index++), child, 0.7 * sideConfidence,
                    QStringLiteral("leaf joint lying on the %1").arg(segmentWord));
        }
}

} // namespace automap
