// Legs and feet: the ankle, a foot placed elsewhere, the toes.
#include "mapper.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace automap {

// The ankle is the first low joint from which the path turns level (towards the toes), or
// the path's end.
LimbParse Mapper::ParseLeg(int start) const
{
    LimbParse leg;
    leg.path = MainPath(start);
    // A short leg ending well above the ground (a helper may stand before the thigh) carries
    // on to a foot placed elsewhere.
    double lowest = std::numeric_limits<double>::infinity();
    for (const SkeletonJoint& joint : m_joints)
        lowest = std::min(lowest, joint.position.Dot(m_up));
    const std::size_t n = leg.path.size();
    if (n == 2 || (n == 3 && Pos(leg.path[2]).Dot(m_up) - lowest > kGroundedFoot * m_scale)) {
        const int foot = DetachedFoot(leg.path[n - 2], leg.path[n - 1]);
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
    // ankle-to-toe one. The shin is half the leg above it, whatever twists split it.
    const int last = static_cast<int>(leg.path.size()) - 1;
    double above = 0.0;
    for (int i = 1; i < last; ++i)
        above += Bone(leg.path[i]);
    if (endIndex == last && last >= 3 && Bone(leg.path[last]) < kShortFootBone * 0.5 * above)
        endIndex = last - 1;
    FitSegments(leg, endIndex, kLegRatio, true);
    return leg;
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

} // namespace automap
