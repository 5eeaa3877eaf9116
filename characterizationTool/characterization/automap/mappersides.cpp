// Sides and facing: forward from the feet or the knees, left = up x forward, and the names.
#include "mapper.h"

#include <algorithm>
#include <cmath>

namespace automap {

namespace {

// Knees standing forward of the hip-ankle line by at least these angles (degrees) show the
// facing clearly or at all; motion-capture rigs often hold them a degree or so bent back.
constexpr double kClearKneeBend = 5.0;
constexpr double kKneeBend = 2.0;
constexpr double kAnyKneeBend = 0.3;

// How far each combination of cues can be trusted; a weak cue never binds unasked.
constexpr double kToesAndNames = 1.0;
constexpr double kToesAgainstNames = 0.7;
constexpr double kClearKneesAlone = 0.82;
constexpr double kKneesAlone = 0.7;
constexpr double kFaintKneesAlone = 0.55;
constexpr double kKneesAndNames = 0.97;
constexpr double kKneesAgainstNames = 0.75;
constexpr double kNamesAlone = 0.9;
constexpr double kNamesOnOnePair = 0.85;
constexpr double kNamesAndFaintKnees = 0.9;
constexpr double kNamesAgainstFaintKnees = 0.85;

} // namespace

int Mapper::NamedSide(const LimbParse* parses) const
{
    int reads[2] = {0, 0}; // +1 left, -1 right, 0 nothing or mixed
    for (int k = 0; k < 2; ++k) {
        int left = 0, right = 0;
        const LimbParse& limb = parses[k];
        const int last = limb.end >= 0 ? limb.end : limb.middle;
        for (int i = 0; i <= last; ++i) {
            const JointNames::Side side = JointNames::SideOf(m_joints[limb.path[i]].name);
            left += side == JointNames::Side::Left;
            right += side == JointNames::Side::Right;
        }
        reads[k] = left > right && right == 0 ? 1 : right > left && left == 0 ? -1 : 0;
    }
    return reads[0] != 0 && reads[0] == -reads[1] ? reads[0] : 0;
}

Vec3 Mapper::DecideSides(const LimbPair& legs, const LimbPair& arms, LimbParse* legParse,
                         LimbParse* armParse, double& sideConfidence)
{
    // Geometry first: heels to toes, else the knees standing out of the hip-ankle lines.
    Vec3 forward;
    for (int s = 0; s < 2; ++s) {
        const int foot = legParse[s].path[legParse[s].end];
        const int toe = ToeOf(foot);
        if (toe >= 0)
            forward = forward + (Pos(toe) - Pos(foot)).Across(m_up).Normalized();
    }
    const bool toes = forward.Length() >= 0.5;
    double kneeDegrees = 0.0;
    if (!toes) {
        forward = Vec3();
        double thighs = 0.0;
        for (int s = 0; s < 2; ++s) {
            const LimbParse& leg = legParse[s];
            const Vec3 hip = Pos(leg.path[leg.upper]);
            const Vec3 line = Pos(leg.path[leg.end]) - hip;
            const Vec3 knee = Pos(leg.path[leg.middle]) - hip;
            forward = forward + (knee - line * (knee.Dot(line) / line.Dot(line))).Across(m_up);
            thighs += knee.Length();
        }
        kneeDegrees =
            std::asin(std::min(1.0, forward.Length() / std::max(thighs, 1e-12))) * 180.0 / M_PI;
    }
    m_forward = forward.Normalized();
    Vec3 left = m_up.Cross(m_forward).Normalized();
    // Which of each pair is the left one: the one standing farther along `left`.
    const auto leftFirst = [&](const LimbPair& pair, LimbParse* parses) {
        const auto lateral = [&](const LimbParse& limb) {
            return (Pos(limb.path[limb.upper]) - Pos(pair.branch)).Dot(left);
        };
        if (lateral(parses[1]) > lateral(parses[0]))
            std::swap(parses[0], parses[1]);
    };
    const bool anyGeometry = toes || kneeDegrees >= kAnyKneeBend;
    if (anyGeometry) {
        leftFirst(legs, legParse);
        leftFirst(arms, armParse);
    } else {
        // No facing to order by: the parses stay in hierarchy order for the names to judge.
        m_forward = Vec3();
        left = Vec3();
    }

    // Then the names, each pair read in its own order: +1 agree with the order above, -1 say
    // the opposite, 0 say nothing. Without geometry the pairs' orders are unrelated, so each
    // named pair is put left first by its own names and an unnamed one follows it.
    const int legNames = NamedSide(legParse), armNames = NamedSide(armParse);
    if (!anyGeometry && (legNames != 0 || armNames != 0)) {
        if (legNames < 0)
            std::swap(legParse[0], legParse[1]);
        if (armNames < 0)
            std::swap(armParse[0], armParse[1]);
        const bool legsNamed = legNames != 0;
        const LimbParse* named = legsNamed ? legParse : armParse;
        left = (Pos(named[0].path[named[0].upper]) - Pos(named[1].path[named[1].upper]))
                   .Across(m_up)
                   .Normalized();
        m_forward = left.Cross(m_up);
        if (legNames == 0)
            leftFirst(legs, legParse);
        if (armNames == 0)
            leftFirst(arms, armParse);
        sideConfidence = legNames != 0 && armNames != 0 ? kNamesAlone : kNamesOnOnePair;
        m_sideReason = QStringLiteral("side names (nothing in the pose shows the facing)");
        return left;
    }
    // Legs and arms named against each other say nothing.
    const int names = legNames == -armNames && legNames != 0 ? 0
                      : legNames != 0                        ? legNames
                                                             : armNames;
    const bool flipByNames = names < 0;
    if (toes) {
        sideConfidence = names < 0 ? kToesAgainstNames : kToesAndNames;
        m_sideReason = names < 0   ? QStringLiteral("toes show the facing; side names disagree")
                       : names > 0 ? QStringLiteral("toes and side names agree")
                                   : QStringLiteral("the toes show the facing");
        return left;
    }
    if (kneeDegrees >= kKneeBend) {
        sideConfidence = names > 0                       ? kKneesAndNames
                         : names < 0                     ? kKneesAgainstNames
                         : kneeDegrees >= kClearKneeBend ? kClearKneesAlone
                                                         : kKneesAlone;
        m_sideReason = names < 0   ? QStringLiteral("knees show the facing; side names disagree")
                       : names > 0 ? QStringLiteral("knees and side names agree")
                                   : QStringLiteral("only the knees' bend shows the facing");
        return left;
    }
    if (names != 0) {
        // A faint bend (motion-capture knees are often held a degree back) does not outweigh
        // the names, and agreeing with them adds little.
        sideConfidence = names > 0 ? kNamesAndFaintKnees : kNamesAgainstFaintKnees;
        if (flipByNames) {
            std::swap(legParse[0], legParse[1]);
            std::swap(armParse[0], armParse[1]);
            left = left * -1.0;
            m_forward = m_forward * -1.0;
        }
        m_sideReason = names > 0 ? QStringLiteral("side names and a faint knee bend agree")
                                 : QStringLiteral("side names over a faint knee bend");
        return left;
    }
    if (anyGeometry) {
        sideConfidence = kFaintKneesAlone;
        m_sideReason = QStringLiteral("only a faint knee bend shows the facing");
        return left;
    }
    sideConfidence = 0.0;
    m_note = QStringLiteral("left and right are not proposed: no toes, straight knees and no "
                            "side names show which way the body faces");
    return left;
}

} // namespace automap
