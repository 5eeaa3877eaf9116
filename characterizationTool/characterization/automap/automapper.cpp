#include "automapper.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// Tolerances, as fractions of the skeleton's size (its largest bounding-box extent).
constexpr double kTrivialBone = 0.02;   // leaf joints shorter than this are helpers
constexpr double kLimbReach = 0.2;      // a limb reaches at least this far
constexpr double kKneeOutstand = 0.005; // knees standing out less give no facing

// Joints closer than this stand at one place.
constexpr double kCoincident = 0.002;

// Ratio of the upper to the lower segment of a typical biped limb.
constexpr double kLegRatio = 1.0;
constexpr double kArmRatio = 1.15;
// Segment ratios further than this (in log space) from the typical one are no limb.
constexpr double kMaxRatioScore = 0.5;
// The same where the end is plainly a hand (three or more digit chains).
constexpr double kMaxHandRatioScore = 1.2;
// The least fit of an arm that ends in such a hand.
constexpr double kPlainHandArmFit = 0.7;

// A joint outside a two-joint leg is its foot when it lies on past the shin at least this
// fraction of the thigh's length, and off the leg's line by at most this fraction of that.
constexpr double kDetachedFootMin = 0.3;
constexpr double kDetachedFootOff = 0.35;
// A leaf bone shorter than this fraction of the shin, at the leg's end, is the foot.
constexpr double kShortFootBone = 0.35;

// A parent of the legs' branch at least this much nearer the thighs' centre is the hips.
constexpr double kHipsNearer = 0.01;
// A joint above the arms' branch shorter than this fraction of the leaf above it is the head.
constexpr double kShortNeck = 0.35;

// Legs must run against the spine: cos of the angle between them at most this (135 deg).
constexpr double kMaxLegSpineCos = -0.7;

// Pairs of limbs tried, longest first, before refusing.
constexpr std::size_t kMaxLimbPairTries = 8;

constexpr int kMaxSpine = 10; // Spine, Spine1..Spine9
constexpr int kMaxNeck = 10;  // Neck, Neck1..Neck9

// Node ids the mapper fills by role.
constexpr NodeId kSpineNode = 8;
constexpr NodeId kSpine1Node = 23;
constexpr NodeId kHeadNode = 15;
constexpr NodeId kNeckNode = 20;
constexpr NodeId kNeck1Node = 32;

enum Side
{
    Left = 0,
    Right = 1
};

// Per side: collar, extra collar, upper joint, middle joint, end joint, in-line rolls of the
// two segments, leaf-roll limb columns of the two segments.
struct LimbSlots
{
    NodeId collar, collarExtra, upper, middle, end, upperRoll, lowerRoll;
    int upperLimb, lowerLimb;
};
constexpr LimbSlots kLegSlots[2] = {{-1, -1, 2, 3, 4, 41, 42, 0, 1},
                                    {-1, -1, 5, 6, 7, 43, 44, 2, 3}};
constexpr LimbSlots kArmSlots[2] = {{18, 170, 9, 10, 11, 45, 46, 4, 5},
                                    {19, 171, 12, 13, 14, 47, 48, 6, 7}};

const char* const kSideWord[2] = {"left", "right"};
const char* const kDigitWord[6] = {"thumb", "index", "middle", "ring", "pinky", "extra"};

// A parsed limb: indices into its main path.
struct LimbParse
{
    std::vector<int> path;
    int upper = -1, middle = -1, end = -1;                  // indices into path, -1 when not found
    double score = std::numeric_limits<double>::infinity(); // lower is a better fit
    double ratioScore = 0.0; // log distance of the segment ratio from the typical one
    bool plainHand = false;  // ends in three or more digit chains
};

// A pair of sibling branches that look like a pair of limbs.
struct LimbPair
{
    int branch = -1;
    int child[2] = {-1, -1};
    double reach = 0.0;
};

class Mapper
{
public:
    explicit Mapper(const Skeleton& skeleton)
        : m_joints(skeleton.joints)
        , m_count(skeleton.joints.size())
    {}

    AutoMapProposal Run();

private:
    const Vec3& Pos(int j) const { return m_joints[j].position; }
    double Bone(int j) const
    {
        const int parent = m_joints[j].parent;
        return parent < 0 ? 0.0 : (Pos(j) - Pos(parent)).Length();
    }
    bool IsTrivial(int j) const
    {
        return m_children[j].empty() && Bone(j) < kTrivialBone * m_scale;
    }
    double LimbReach(int j) const { return Bone(j) + m_reach[j]; }
    bool Coincide(int a, int b) const { return (Pos(a) - Pos(b)).Length() < kCoincident * m_scale; }
    bool IsPalmStart(int j) const;
    int SolidChildren(int j) const;

    bool BuildTopology(QString& refusal);
    std::vector<int> MainPath(int start) const;
    std::vector<LimbPair> FindLimbPairs() const;
    bool IsAncestor(int ancestor, int j) const;
    bool ChooseLimbs(const std::vector<LimbPair>& pairs, LimbPair& legs, LimbPair& arms,
                     QString& refusal);
    LimbParse ParseLeg(int start) const;
    LimbParse ParseArm(int start) const;
    void FitSegments(LimbParse& limb, int endIndex, double ratio, bool isLeg) const;
    int ToeOf(int foot) const;
    int HipsJoint(int branch, const Vec3& thighs) const;
    QString TrunkProblem(const LimbPair& legs, const LimbPair& arms);
    int DetachedFoot(int thigh, int shin) const;
    void ProposeTrunk(int hips, int legBranch, const LimbPair& arms);
    std::vector<std::vector<int>> DigitChains(int joint) const;

    void Propose(NodeId node, int joint, double confidence, const QString& reason);
    void ProposeLimb(const LimbParse& limb, const LimbSlots& slots, double sideConfidence,
                     const char* limbWord, const char* endWord);
    void ProposeLeafRolls(const LimbParse& limb, int fromIndex, int toIndex, int limbColumn,
                          double sideConfidence, const QString& segmentWord);
    void ProposeHand(const LimbParse& arm, Side side, double sideConfidence);
    void ProposeFoot(int foot, int toe, Side side, const Vec3& left, double sideConfidence);
    bool HasBase(const std::vector<int>& chain, std::size_t minBaseChain) const;
    void ProposeDigits(const std::vector<int>& chain, bool hasBase, NodeId firstSegment,
                       NodeId base, double confidence, const QString& reason);

    const QVector<SkeletonJoint>& m_joints;
    const int m_count;
    std::vector<std::vector<int>> m_children;
    std::vector<int> m_order;    // parents before children
    std::vector<int> m_size;     // joints in the subtree, itself included
    std::vector<double> m_reach; // longest path length below the joint
    double m_scale = 0.0;
    Vec3 m_up;

    std::vector<AutoMapSlot> m_slots; // by node id; joint -1 when empty
    std::vector<bool> m_used;         // by joint
};

bool Mapper::BuildTopology(QString& refusal)
{
    m_children.assign(m_count, {});
    std::vector<int> roots;
    for (int j = 0; j < m_count; ++j) {
        const int parent = m_joints[j].parent;
        if (parent < -1 || parent >= m_count || parent == j) {
            refusal = QStringLiteral("joint %1 has no valid parent").arg(m_joints[j].name);
            return false;
        }
        if (parent < 0)
            roots.push_back(j);
        else
            m_children[parent].push_back(j);
    }
    m_order.clear();
    m_order.reserve(m_count);
    for (int root : roots) {
        m_order.push_back(root);
        for (std::size_t i = m_order.size() - 1; i < m_order.size(); ++i)
            for (int child : m_children[m_order[i]])
                m_order.push_back(child);
    }
    if (static_cast<int>(m_order.size()) != m_count) {
        refusal = QStringLiteral("the parents form a cycle");
        return false;
    }
    Vec3 low = m_count ? Pos(0) : Vec3();
    Vec3 high = low;
    for (const SkeletonJoint& joint : m_joints) {
        low = {std::min(low.x, joint.position.x), std::min(low.y, joint.position.y),
               std::min(low.z, joint.position.z)};
        high = {std::max(high.x, joint.position.x), std::max(high.y, joint.position.y),
                std::max(high.z, joint.position.z)};
    }
    const Vec3 extent = high - low;
    m_scale = std::max({extent.x, extent.y, extent.z});
    if (!(m_scale > 0.0) || !std::isfinite(m_scale)) {
        refusal = QStringLiteral("the joints do not span any space");
        return false;
    }
    m_size.assign(m_count, 1);
    m_reach.assign(m_count, 0.0);
    for (auto it = m_order.rbegin(); it != m_order.rend(); ++it) {
        const int parent = m_joints[*it].parent;
        if (parent < 0)
            continue;
        m_size[parent] += m_size[*it];
        m_reach[parent] = std::max(m_reach[parent], LimbReach(*it));
    }
    return true;
}

// From `start`, follow the child with the largest subtree; among equals, the one that
// carries on most straight, so a helper joint beside the limb is not taken for it.
std::vector<int> Mapper::MainPath(int start) const
{
    std::vector<int> path{start};
    for (int j = start; !m_children[j].empty();) {
        const Vec3 incoming =
            (m_joints[j].parent < 0 ? Vec3() : Pos(j) - Pos(m_joints[j].parent)).Normalized();
        int best = -1;
        double bestStraight = 0.0;
        for (int child : m_children[j]) {
            const double straight = (Pos(child) - Pos(j)).Normalized().Dot(incoming);
            if (best < 0 || m_size[child] > m_size[best] ||
                (m_size[child] == m_size[best] && straight > bestStraight)) {
                best = child;
                bestStraight = straight;
            }
        }
        path.push_back(best);
        j = best;
    }
    return path;
}

std::vector<LimbPair> Mapper::FindLimbPairs() const
{
    std::vector<LimbPair> pairs;
    for (int b = 0; b < m_count; ++b) {
        std::vector<int> limbs;
        for (int child : m_children[b])
            if (LimbReach(child) >= kLimbReach * m_scale)
                limbs.push_back(child);
        // Only the longest few branches can be limbs; this keeps wide joints linear.
        std::sort(limbs.begin(), limbs.end(),
                  [this](int a, int c) { return LimbReach(a) > LimbReach(c); });
        limbs.resize(std::min<std::size_t>(limbs.size(), 6));
        for (std::size_t i = 0; i < limbs.size(); ++i)
            for (std::size_t k = i + 1; k < limbs.size(); ++k) {
                const int a = limbs[i], c = limbs[k];
                const double sizeRatio =
                    double(std::min(m_size[a], m_size[c])) / std::max(m_size[a], m_size[c]);
                const double reachRatio = LimbReach(c) / LimbReach(a);
                // Identical joint counts are strong evidence on their own: one stray joint far
                // off a limb (a mis-placed helper) must not hide its twin.
                if (sizeRatio >= 0.75 && reachRatio >= (sizeRatio == 1.0 ? 0.25 : 0.5))
                    pairs.push_back({b, {a, c}, LimbReach(c)});
            }
    }
    std::sort(pairs.begin(), pairs.end(),
              [](const LimbPair& a, const LimbPair& b) { return a.reach > b.reach; });
    // One pair per branch joint (its longest): five fingers must not crowd out the limbs.
    std::vector<LimbPair> unique;
    std::vector<bool> seen(m_count, false);
    for (const LimbPair& pair : pairs)
        if (!seen[pair.branch]) {
            seen[pair.branch] = true;
            unique.push_back(pair);
        }
    return unique;
}

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

int Mapper::SolidChildren(int j) const
{
    int solid = 0;
    for (int child : m_children[j])
        solid += IsTrivial(child) ? 0 : 1;
    return solid;
}

bool Mapper::IsAncestor(int ancestor, int j) const
{
    for (int p = m_joints[j].parent; p >= 0; p = m_joints[p].parent)
        if (p == ancestor)
            return true;
    return false;
}

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
    for (int u = 0; u + 1 < endIndex; ++u)
        for (int m = u + 1; m < endIndex; ++m) {
            // An arm's upper joint is not one a hair's breadth before the next (the end of a
            // collar).
            if (!isLeg && Bone(limb.path[u + 1]) < kTrivialBone * m_scale)
                continue;
            const double upper = (Pos(limb.path[m]) - Pos(limb.path[u])).Length();
            const double lower = (end - Pos(limb.path[m])).Length();
            if (upper <= 0.0 || lower <= 0.0)
                continue;
            const double ratioScore = std::abs(std::log(upper / lower / ratio));
            double score = ratioScore + (isLeg ? 0.5 * along[u] / along[endIndex] : 0.0);
            const Vec3 onwards = Pos(limb.path[u + 1]) - Pos(limb.path[u]);
            if (isLeg && std::abs(onwards.Dot(m_up)) < 0.5 * onwards.Length())
                score += 0.1;
            if (score < limb.score) {
                limb.score = score;
                limb.ratioScore = ratioScore;
                limb.upper = u;
                limb.middle = m;
                limb.end = endIndex;
            }
        }
}

// The ankle is the first low joint from which the path turns level (towards the toes), or
// the path's end.
LimbParse Mapper::ParseLeg(int start) const
{
    LimbParse leg;
    leg.path = MainPath(start);
    if (leg.path.size() == 2) {
        const int foot = DetachedFoot(leg.path[0], leg.path[1]);
        if (foot >= 0)
            leg.path.push_back(foot);
    }
    double ground = std::numeric_limits<double>::infinity();
    for (int j : leg.path)
        ground = std::min(ground, Pos(j).Dot(m_up));
    const double top = Pos(start).Dot(m_up);
    int endIndex = static_cast<int>(leg.path.size()) - 1;
    for (int i = 2; i + 1 < static_cast<int>(leg.path.size()); ++i) {
        bool level = false;
        for (int child : m_children[leg.path[i]]) {
            const Vec3 out = Pos(child) - Pos(leg.path[i]);
            level = level || (!IsTrivial(child) && std::abs(out.Dot(m_up)) < 0.75 * out.Length());
        }
        const bool low = Pos(leg.path[i]).Dot(m_up) - ground < 0.35 * (top - ground);
        if (level && low) {
            endIndex = i;
            break;
        }
    }
    // A steep foot never turns level: a short last bone below a much longer shin is the
    // ankle-to-toe one.
    const int last = static_cast<int>(leg.path.size()) - 1;
    if (endIndex == last && last >= 3 &&
        Bone(leg.path[last]) < kShortFootBone * Bone(leg.path[last - 1]))
        endIndex = last - 1;
    FitSegments(leg, endIndex, kLegRatio, true);
    return leg;
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
    return arm;
}

// A leg of thigh and shin alone may have its foot elsewhere in the hierarchy (a rig whose feet
// hang from the root for inverse kinematics): the joint nearest below the shin that carries
// the leg's line on, or -1.
int Mapper::DetachedFoot(int thigh, int shin) const
{
    const Vec3 line = (Pos(shin) - Pos(thigh)).Normalized();
    const double thighLength = (Pos(shin) - Pos(thigh)).Length();
    int foot = -1;
    double nearest = std::numeric_limits<double>::infinity();
    for (int j = 0; j < m_count; ++j) {
        const Vec3 beyond = Pos(j) - Pos(shin);
        const double along = beyond.Dot(line);
        if (j == shin || along < kDetachedFootMin * thighLength || along >= nearest ||
            (beyond - line * along).Length() > kDetachedFootOff * along || IsAncestor(j, shin))
            continue;
        nearest = along;
        foot = j;
    }
    return foot;
}

// The foot's child that runs farthest level: the toe, or -1.
int Mapper::ToeOf(int foot) const
{
    int toe = -1;
    double best = 0.0;
    for (int child : m_children[foot]) {
        const double level = (Pos(child) - Pos(foot)).Across(m_up).Length();
        if (!IsTrivial(child) && level > best) {
            best = level;
            toe = child;
        }
    }
    return toe;
}

// The chains that start at the children of `joint`, each followed along its main path.
std::vector<std::vector<int>> Mapper::DigitChains(int joint) const
{
    std::vector<std::vector<int>> chains;
    for (int child : m_children[joint])
        chains.push_back(MainPath(child));
    return chains;
}

void Mapper::Propose(NodeId node, int joint, double confidence, const QString& reason)
{
    if (node < 0 || joint < 0 || m_used[joint] || m_slots[node].joint >= 0 ||
        confidence < AutoMapProposal::kProposeThreshold)
        return;
    m_slots[node] = {node, joint, std::min(confidence, 1.0), reason};
    m_used[joint] = true;
}

void Mapper::ProposeLimb(const LimbParse& limb, const LimbSlots& slots, double sideConfidence,
                         const char* limbWord, const char* endWord)
{
    // Digits vouch for an arm of odd proportions, though not enough to bind it unreviewed.
    const double fit =
        std::max(limb.plainHand ? kPlainHandArmFit : 0.0, 1.0 - 0.5 * limb.ratioScore) *
        sideConfidence;
    const QString chain = QStringLiteral("the chain to the %1").arg(QLatin1String(endWord));
    Propose(slots.upper, limb.path[limb.upper], 0.98 * fit,
            QStringLiteral("first joint of %1, its segments proportioned like %2")
                .arg(chain, limbWord));
    Propose(slots.middle, limb.path[limb.middle], 0.98 * fit,
            QStringLiteral("second joint of %1, where its two long segments meet").arg(chain));
    Propose(slots.end, limb.path[limb.end], 0.97 * fit,
            QStringLiteral("third joint of %1, where its long segments end").arg(chain));
    if (slots.collar >= 0 && limb.upper > 0) {
        Propose(slots.collar, limb.path[0], 0.9 * sideConfidence,
                QStringLiteral("joint between the chest and the upper arm"));
        if (limb.upper > 1)
            Propose(slots.collarExtra, limb.path[limb.upper - 1], 0.8 * sideConfidence,
                    QStringLiteral("second joint between the chest and the upper arm"));
    }
    if (limb.middle - limb.upper > 1)
        Propose(slots.upperRoll, limb.path[limb.upper + 1], 0.85 * fit,
                QStringLiteral("in-line joint on the upper segment of %1").arg(chain));
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
    const Vec3 a = Pos(limb.path[fromIndex]);
    const Vec3 segment = Pos(limb.path[toIndex]) - a;
    const double length2 = segment.Dot(segment);
    int index = 1;
    for (int i = fromIndex; i < toIndex && index <= kLeafRollsPerLimb; ++i)
        for (int child : m_children[limb.path[i]]) {
            if (!m_children[child].empty() || child == limb.path[i + 1] ||
                index > kLeafRollsPerLimb)
                continue;
            const double t = (Pos(child) - a).Dot(segment) / length2;
            const double off = ((Pos(child) - a) - segment * t).Length();
            if (t < -0.05 || t > 1.05 || off > 0.15 * std::sqrt(length2))
                continue;
            Propose(LeafRollNode(limbColumn, index++), child, 0.7 * sideConfidence,
                    QStringLiteral("leaf joint lying on the %1").arg(segmentWord));
        }
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

void Mapper::ProposeFoot(int foot, int toe, Side side, const Vec3& left, double sideConfidence)
{
    std::vector<std::vector<int>> chains;
    for (const std::vector<int>& chain : DigitChains(foot))
        if (!(chain.size() == 1 && IsTrivial(chain[0])))
            chains.push_back(chain);
    int digitsOf = foot;
    if (chains.size() < 3 && toe >= 0) {
        Propose(side == Left ? 16 : 17, toe, 0.9 * sideConfidence,
                QStringLiteral("the joint running level from the ankle to the toes"));
        chains = DigitChains(toe);
        digitsOf = toe;
    }
    if (chains.size() < 2)
        return;
    // The big toe is the innermost: left foot, least to the left.
    const double inward = side == Left ? 1.0 : -1.0;
    const auto outwards = [&](const std::vector<int>& chain) {
        return (Pos(chain.back()) - Pos(digitsOf)).Dot(left) * inward;
    };
    std::stable_sort(chains.begin(), chains.end(),
                     [&](const auto& a, const auto& b) { return outwards(a) < outwards(b); });
    for (std::size_t d = 0; d < chains.size() && d < 6; ++d)
        ProposeDigits(chains[d], HasBase(chains[d], 3), NodeId((side == Left ? 98 : 122) + 4 * d),
                      NodeId((side == Left ? 158 : 164) + d), 0.75 * sideConfidence,
                      QStringLiteral("toe %1 from the inside of the foot").arg(d + 1));
}

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
void Mapper::ProposeTrunk(int hips, int legBranch, const LimbPair& arms)
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
    std::size_t head = neck.empty() ? 0 : neck.size() - 1;
    for (std::size_t i = 0; i < neck.size(); ++i)
        if (SolidChildren(neck[i]) >= 2) {
            head = i;
            break;
        }
    QString headReason = head + 1 == neck.size()
                             ? QStringLiteral("the end of the rising chain above the chest")
                             : QStringLiteral("the first branching joint above the chest");
    // Arms hanging from the neck: one short joint above their branch joint that carries a long
    // leaf is the head and the leaf the top of the skull, so the branch joint is the neck.
    const bool armsFromNeck =
        neck.size() == 2 && m_children[neck[1]].empty() && spine.size() >= 2 &&
        (Pos(neck[0]) - Pos(arms.branch)).Length() < kShortNeck * Bone(neck[1]);
    if (armsFromNeck) {
        neck.insert(neck.begin(), spine.back());
        spine.pop_back();
        head = 1;
        headReason = QStringLiteral("the short joint above the arms' branch, below the top of "
                                    "the skull");
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
    Propose(kHeadNode, neck[head], 0.9, headReason);
    for (std::size_t k = 0; k < head && int(k) < kMaxNeck; ++k)
        Propose(k == 0 ? kNeckNode : kNeck1Node + NodeId(k) - 1, neck[k], 0.9,
                QStringLiteral("joint %1 of the chain from the chest to the head").arg(k + 1));
}

// Tries pairs of limb pairs, the longest first, and keeps the first that makes a biped: two
// pairs apart from each other, the arms' branch above the legs' on one trunk, legs running
// against the spine. Sets m_up. False with the reason the most likely combination failed.
bool Mapper::ChooseLimbs(const std::vector<LimbPair>& pairs, LimbPair& legs, LimbPair& arms,
                         QString& refusal)
{
    if (pairs.empty()) {
        refusal = QStringLiteral("no pair of matching limbs");
        return false;
    }
    refusal = QStringLiteral("only one pair of matching limbs");
    const auto endDistance = [this](const LimbPair& limbs, const LimbPair& other) {
        double sum = 0.0;
        for (int child : limbs.child)
            sum += (Pos(MainPath(child).back()) - Pos(other.branch)).Length();
        return sum;
    };
    const auto within = [this](const LimbPair& outer, int j) {
        return j == outer.child[0] || j == outer.child[1] || IsAncestor(outer.child[0], j) ||
               IsAncestor(outer.child[1], j);
    };
    bool reasoned = false;
    const std::size_t tries = std::min<std::size_t>(pairs.size(), kMaxLimbPairTries);
    for (std::size_t a = 0; a < tries; ++a)
        for (std::size_t b = a + 1; b < tries; ++b) {
            const LimbPair& first = pairs[a];
            const LimbPair& second = pairs[b];
            if (first.branch == second.branch || within(first, second.branch) ||
                within(second, first.branch))
                continue;
            // Legs are most likely the pair whose ends lie farthest from the other pair's
            // branch joint; a body with long arms and short legs needs the other reading.
            const bool firstAreLegs = endDistance(first, second) >= endDistance(second, first);
            for (bool swap : {false, true}) {
                legs = firstAreLegs != swap ? first : second;
                arms = firstAreLegs != swap ? second : first;
                const QString why = TrunkProblem(legs, arms);
                if (why.isEmpty()) {
                    refusal.clear();
                    return true;
                }
                if (!reasoned)
                    refusal = why;
                reasoned = true;
            }
        }
    return false;
}

// Why `legs` and `arms` make no biped, or empty when they do (and then m_up is set): the arms'
// branch must lie above the legs' on one trunk, and both legs, not just their mean, must run
// down against the spine (a leg and a tail do not).
QString Mapper::TrunkProblem(const LimbPair& legs, const LimbPair& arms)
{
    if (!IsAncestor(legs.branch, arms.branch))
        return QStringLiteral("the arms do not hang from a trunk above the legs");
    m_up = (Pos(arms.branch) - Pos(legs.branch)).Normalized();
    double cosine = -1.0;
    for (int child : legs.child) {
        // From the leg's own first joint, so that wide hips do not tilt a straight leg.
        const std::vector<int> path = MainPath(child);
        const int from = path.size() >= 2 ? child : legs.branch;
        cosine = std::max(cosine, (Pos(path.back()) - Pos(from)).Normalized().Dot(m_up));
    }
    if (cosine <= kMaxLegSpineCos)
        return QString();
    return QStringLiteral("the legs run at %1 degrees to the spine instead of against it, as "
                          "in a four-legged body")
        .arg(qRound(std::acos(std::max(-1.0, std::min(1.0, cosine))) * 180.0 / M_PI));
}

AutoMapProposal Mapper::Run()
{
    AutoMapProposal proposal;
    if (m_count == 0) {
        proposal.refusal = QStringLiteral("the skeleton has no joints");
        return proposal;
    }
    if (!BuildTopology(proposal.refusal))
        return proposal;

    // 1-2. Limbs and trunk.
    const std::vector<LimbPair> pairs = FindLimbPairs();
    LimbPair legs, arms;
    if (!ChooseLimbs(pairs, legs, arms, proposal.refusal))
        return proposal;
    // 3. The limbs.
    LimbParse legParse[2] = {ParseLeg(legs.child[0]), ParseLeg(legs.child[1])};
    LimbParse armParse[2] = {ParseArm(arms.child[0]), ParseArm(arms.child[1])};
    for (const LimbParse& limb : {legParse[0], legParse[1], armParse[0], armParse[1]})
        if (limb.upper < 0) {
            proposal.refusal = QStringLiteral("a limb has too few joints for two segments");
            return proposal;
        }

    // 4. Facing: heels to toes, else the knees standing out of the hip-ankle lines.
    Vec3 forward;
    int toes[2] = {-1, -1};
    for (int s = 0; s < 2; ++s) {
        const int foot = legParse[s].path[legParse[s].end];
        toes[s] = ToeOf(foot);
        if (toes[s] >= 0)
            forward = forward + (Pos(toes[s]) - Pos(foot)).Across(m_up).Normalized();
    }
    double sideConfidence = 1.0;
    if (forward.Length() < 0.5) {
        forward = Vec3();
        for (const LimbParse& leg : legParse) {
            const Vec3 hip = Pos(leg.path[leg.upper]);
            const Vec3 line = Pos(leg.path[leg.end]) - hip;
            const Vec3 knee = Pos(leg.path[leg.middle]) - hip;
            forward = forward + (knee - line * (knee.Dot(line) / line.Dot(line))).Across(m_up);
        }
        sideConfidence = forward.Length() > 2.0 * kKneeOutstand * m_scale ? 0.85 : 0.4;
    }
    const Vec3 left = m_up.Cross(forward.Normalized()).Normalized();
    // Which of each pair is the left one: the one standing farther along `left`.
    const auto leftFirst = [&](const LimbPair& pair, LimbParse* parses) {
        const auto lateral = [&](const LimbParse& limb) {
            return (Pos(limb.path[limb.upper]) - Pos(pair.branch)).Dot(left);
        };
        if (lateral(parses[1]) > lateral(parses[0]))
            std::swap(parses[0], parses[1]);
    };
    leftFirst(legs, legParse);
    leftFirst(arms, armParse);
    const int hips = HipsJoint(legs.branch, (Pos(legParse[0].path[legParse[0].upper]) +
                                             Pos(legParse[1].path[legParse[1].upper])) *
                                                0.5);

    // 5. Proposals, most certain first: a joint goes to the first slot that claims it.
    m_slots.assign(NodeCount, AutoMapSlot());
    m_used.assign(m_count, false);
    ProposeTrunk(hips, legs.branch, arms);
    for (int s = 0; s < 2; ++s) {
        const QString side = QLatin1String(kSideWord[s]);
        const QByteArray foot = (side + QStringLiteral(" foot")).toLatin1();
        const QByteArray hand = (side + QStringLiteral(" hand")).toLatin1();
        ProposeLimb(legParse[s], kLegSlots[s], sideConfidence, "a leg", foot.constData());
        ProposeLimb(armParse[s], kArmSlots[s], sideConfidence, "an arm", hand.constData());
    }
    for (int s = 0; s < 2; ++s) {
        const int foot = legParse[s].path[legParse[s].end];
        ProposeFoot(foot, ToeOf(foot), Side(s), left, sideConfidence);
        ProposeHand(armParse[s], Side(s), sideConfidence);
    }
    for (const AutoMapSlot& slot : m_slots)
        if (slot.joint >= 0)
            proposal.entries.append(slot);
    return proposal;
}

} // namespace

const AutoMapSlot* AutoMapProposal::SlotOf(NodeId node) const
{
    for (const AutoMapSlot& slot : entries)
        if (slot.node == node)
            return &slot;
    return nullptr;
}

AutoMapProposal AutoMapper::Propose(const Skeleton& skeleton)
{
    return Mapper(skeleton).Run();
}
