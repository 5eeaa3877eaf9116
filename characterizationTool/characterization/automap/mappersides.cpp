// Sides and facing: forward from the feet or the knees, left = up x forward.
#include "mapper.h"

#include <algorithm>
#include <cmath>

namespace automap {

Vec3 Mapper::DecideSides(const LimbPair& legs, const LimbPair& arms, LimbParse* legParse,
                         LimbParse* armParse, double& sideConfidence) const
{
    // Facing: heels to toes, else the knees standing out of the hip-ankle lines.
    Vec3 forward;
    int toes[2] = {-1, -1};
    for (int s = 0; s < 2; ++s) {
        const int foot = legParse[s].path[legParse[s].end];
        toes[s] = ToeOf(foot);
        if (toes[s] >= 0)
            forward = forward + (Pos(toes[s]) - Pos(foot)).Across(m_up).Normalized();
    }
    sideConfidence = 1.0;
    if (forward.Length() < 0.5) {
        forward = Vec3();
        for (int s = 0; s < 2; ++s) {
            const LimbParse& leg = legParse[s];
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
    return left;
}

} // namespace automap
