// Trunk and limbs: the hierarchy, pairs of matching limbs and which pair is legs or arms.
#include "mapper.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace automap {

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
            // Of two alike, a leaf lying on the way to the other is a twist helper on the limb.
            const double straight = (Pos(child) - Pos(j)).Normalized().Dot(incoming);
            const bool equal = best >= 0 && m_size[child] == m_size[best];
            const auto twistOn = [&](int leaf, int limb) {
                return m_children[leaf].empty() && !Coincide(leaf, limb) && LiesOn(leaf, j, limb);
            };
            if (best < 0 || m_size[child] > m_size[best] ||
                (equal &&
                 (twistOn(best, child) || (straight > bestStraight && !twistOn(child, best))))) {
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
                // off a limb (a mis-placed helper) must not hide its twin. Limbs starting alike
                // and of roughly matching reach pair however many joints they carry (a bare hand
                // beside a full one, a prop held, twists on one side), though only where no
                // pair of matching counts branches at the same joint.
                const bool counts =
                    sizeRatio >= 0.75 && reachRatio >= (sizeRatio == 1.0 ? 0.25 : 0.5);
                const double startA = (Pos(a) - Pos(b)).Length(),
                             startC = (Pos(c) - Pos(b)).Length();
                const bool twinStarts =
                    std::max(startA, startC) <= kTrivialBone * m_scale ||
                    std::max(startA, startC) <= kTwinStart * std::min(startA, startC);
                // Or their stems (up to the hand or foot) match where one end carries a far
                // reaching oddity the other lacks.
                const double stemA = StemReach(a), stemC = StemReach(c);
                const bool twinStems =
                    twinStarts && std::max(stemA, stemC) <= kTwinLengths * std::min(stemA, stemC);
                if (counts || (reachRatio >= kTwinReach && twinStarts) || twinStems)
                    pairs.push_back({b, {a, c}, LimbReach(c), counts, twinStems});
            }
    }
    // Per branch joint its longest pair of matching counts, and of the others the two with
    // matching stems or else closest in joint count (a leg beside its twin before the spine
    // beside a leg, a bare arm beside a full one before either beside a neck): five fingers
    // must not crowd out the limbs.
    const auto countRatio = [this](const LimbPair& p) {
        return double(std::min(m_size[p.child[0]], m_size[p.child[1]])) /
                   std::max(m_size[p.child[0]], m_size[p.child[1]]) +
               (p.stemsMatch ? 1.0 : 0.0);
    };
    std::vector<int> matched(m_count, -1), other(m_count, -1), other2(m_count, -1);
    for (int k = 0; k < int(pairs.size()); ++k) {
        const LimbPair& pair = pairs[k];
        const int b = pair.branch;
        if (pair.countsMatch) {
            // Of pairs reaching alike (a limb beside its twin, and beside the neck), the one
            // whose limbs match in reach too.
            const auto closer = [this](const LimbPair& p, const LimbPair& q) {
                return p.reach > q.reach * (1.0 - kAlikeReach) &&
                       p.reach < q.reach * (1.0 + kAlikeReach) &&
                       LimbReach(p.child[0]) < LimbReach(q.child[0]);
            };
            if (matched[b] < 0 || pair.reach > pairs[matched[b]].reach ||
                closer(pair, pairs[matched[b]]))
                matched[b] = k;
        } else if (other[b] < 0 || countRatio(pair) > countRatio(pairs[other[b]])) {
            other2[b] = other[b];
            other[b] = k;
        } else if (other2[b] < 0 || countRatio(pair) > countRatio(pairs[other2[b]]))
            other2[b] = k;
    }
    std::vector<LimbPair> unique;
    for (int b = 0; b < m_count; ++b)
        for (int k : {matched[b], other[b], other2[b]})
            if (k >= 0)
                unique.push_back(pairs[k]);
    std::stable_sort(unique.begin(), unique.end(),
                     [](const LimbPair& a, const LimbPair& b) { return a.reach > b.reach; });
    return unique;
}

double Mapper::StemReach(int start) const
{
    // Leaves (twists, helpers, ends) neither branch nor carry the stem on.
    double length = Bone(start);
    for (int j = start;;) {
        int next = -1, inner = 0;
        double leaf = 0.0; // the longest leaf: a bare hand or foot ends the stem
        for (int child : m_children[j])
            if (!m_children[child].empty()) {
                next = child;
                ++inner;
            } else
                leaf = std::max(leaf, Bone(child));
        if (inner != 1)
            return length + (inner == 0 ? leaf : 0.0);
        length += Bone(next);
        j = next;
    }
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

// Tries pairs of limb pairs, the longest first, and keeps the first that makes a biped: two
// pairs apart from each other, the arms' branch above the legs' on one trunk, legs running
// against the spine. Sets m_up. False with the reason the most likely combination failed.
bool Mapper::ChooseLimbs(const std::vector<LimbPair>& pairs, LimbPair& legs, LimbPair& arms,
                         LimbParse* legParse, LimbParse* armParse, QString& refusal)
{
    if (pairs.empty()) {
        refusal = QStringLiteral("no pair of matching limbs");
        return false;
    }
    refusal = QStringLiteral("only one pair of matching limbs");
    // Many matching limbs from one joint are no pair of legs and a pair of arms.
    int alike = 0;
    for (int child : pairs.size() == 1 ? m_children[pairs[0].branch] : std::vector<int>())
        alike += LimbReach(child) >= std::max(kTwinReach * pairs[0].reach, kLimbReach * m_scale);
    if (alike >= 4)
        refusal = QStringLiteral("%1 matching limbs branch from one joint, as in a many-legged "
                                 "body")
                      .arg(alike);
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
                QString why = TrunkProblem(legs, arms);
                if (why.isEmpty()) {
                    // Each limb must hold two segments, else the next reading is tried (a
                    // neck beside a bare arm is no arm).
                    for (int s = 0; s < 2; ++s)
                        legParse[s] = ParseLeg(legs.child[s]);
                    // The thighs' spread, for the arms' fit (see kNarrowShoulder).
                    m_armBranch = arms.branch;
                    m_thighSpread = 0.0;
                    for (int s = 0; s < 2 && legParse[0].upper >= 0 && legParse[1].upper >= 0; ++s)
                        m_thighSpread +=
                            0.5 * (Pos(legParse[s].path[legParse[s].upper]) - Pos(legs.branch))
                                      .Across(m_up)
                                      .Length();
                    for (int s = 0; s < 2; ++s)
                        armParse[s] = ParseArm(arms.child[s]);
                    const bool parsed = ReadLikeTwin(legParse) && ReadLikeTwin(armParse);
                    if (parsed) {
                        refusal.clear();
                        return true;
                    }
                    why = QStringLiteral("a limb has too few joints for two segments");
                }
                // A body whose legs do not run against the spine says most about itself, where
                // its two pairs are alike as four legs are; else no reading makes a biped.
                bool fourLegged = why.contains(QLatin1String("four-legged"));
                if (fourLegged && std::max(legs.reach, arms.reach) >
                                      kFourLegsAlike * std::min(legs.reach, arms.reach)) {
                    fourLegged = false;
                    why = QStringLiteral("no two pairs of matching limbs stand as legs below arms");
                }
                if (!reasoned || (fourLegged && !refusal.contains(QLatin1String("four-legged"))))
                    refusal = why;
                reasoned = true;
            }
        }
    return false;
}

// A limb that fits no proportions of its own is read like its twin, when that one fits.
bool Mapper::ReadLikeTwin(LimbParse* pair) const
{
    for (int k = 0; k < 2; ++k) {
        const LimbParse& twin = pair[1 - k];
        if (pair[k].upper >= 0 || twin.upper < 0)
            continue;
        if (twin.end < 0) {
            if (!FitToShortTwin(
                    pair[k], (Pos(twin.path[twin.middle]) - Pos(twin.path[twin.upper])).Length()))
                return false;
            continue;
        }
        double cost = 0.0;
        if (!FitToTwin(pair[k], (Pos(twin.path[twin.middle]) - Pos(twin.path[twin.upper])).Length(),
                       (Pos(twin.path[twin.end]) - Pos(twin.path[twin.middle])).Length(), cost))
            return false;
        pair[k].runnerUp = pair[k].score + (twin.runnerUp - twin.score);
        pair[k].ratioScore = twin.ratioScore; // its segments are the twin's, within a fifth
        pair[k].plainHand = pair[k].plainHand || twin.plainHand;
    }
    return pair[0].upper >= 0 && pair[1].upper >= 0;
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

} // namespace automap
