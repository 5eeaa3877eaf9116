// Sides and facing: forward from the cues the pose shows (toes, knees, thumbs, elbows) weighed
// together, left = up x forward, and the names.
#include "mapper.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <vector>

namespace automap {

namespace {

// Knees standing forward of the hip-ankle line by at least these angles (degrees) show the
// facing clearly or at all; motion-capture rigs often hold them a degree or so bent back.
constexpr double kClearKneeBend = 5.0;
constexpr double kKneeBend = 2.0;
constexpr double kAnyKneeBend = 0.3;
// Elbows standing behind the shoulder-wrist line by at least this (degrees) hint at the facing.
constexpr double kElbowBend = 0.5;
// Thumbs standing off the fingers towards the facing: the least mean cosine that counts.
constexpr double kThumbsForward = 0.3;
// A knee's target stands at least this near and at most this far from it (in thigh lengths),
// within this fraction of that distance of its level along the leg, and mostly in front of or
// behind it (its sideways part at most this fraction of its part off the leg's line).
constexpr double kKneeTargetNear = 0.1;
constexpr double kKneeTargetFar = 3.0;
constexpr double kKneeTargetAlong = 0.3;
constexpr double kKneeTargetAside = 0.35;

// How far each combination of cues can be trusted; a weak cue never binds unasked.
constexpr double kToesAndNames = 1.0;
constexpr double kToesAgainstNames = 0.7;
constexpr double kClearKneesAndThumbs = 0.9;
constexpr double kKneesAndThumbs = 0.85;
constexpr double kClearKneesAlone = 0.82;
constexpr double kThumbsAndElbows = 0.78;
constexpr double kThumbsAlone = 0.75;
constexpr double kKneesAlone = 0.7;
constexpr double kThumbsAgainstElbows = 0.65;
constexpr double kCuesDisagree = 0.6;
constexpr double kFaintCueAlone = 0.55;
constexpr double kPoseAndNames = 0.97;
constexpr double kNamesAndDisputedPose = 0.85;
constexpr double kNamesAndFaintPose = 0.9;
constexpr double kPoseAgainstNames = 0.75;
constexpr double kNamesAgainstDisputedPose = 0.7;
// Side words alone never bind unasked: some files label left and right as the viewer sees
// them, and without a cue in the pose nothing tells such a file from one that does not.
constexpr double kNamesAgainstFaintPose = 0.7;
constexpr double kNamesAlone = 0.78;
constexpr double kNamesOnOnePair = 0.74;

double Degrees(double sine)
{
    return std::asin(std::max(-1.0, std::min(1.0, sine))) * 180.0 / M_PI;
}

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

double Mapper::BendTowards(const LimbParse* pair, const Vec3& ahead) const
{
    double out = 0.0, upper = 0.0;
    for (int k = 0; k < 2; ++k) {
        const LimbParse& limb = pair[k];
        if (limb.end < 0)
            continue;
        const Vec3 from = Pos(limb.path[limb.upper]);
        const Vec3 line = Pos(limb.path[limb.end]) - from;
        const Vec3 joint = Pos(limb.path[limb.middle]) - from;
        if (!(line.Dot(line) > 0.0))
            continue;
        out += (joint - line * (joint.Dot(line) / line.Dot(line))).Dot(ahead);
        upper += joint.Length();
    }
    return upper > 0.0 ? Degrees(out / upper) : 0.0;
}

double Mapper::ThumbsTowards(const LimbParse* arms, const Vec3& ahead) const
{
    double sum = 0.0;
    int hands = 0;
    for (int k = 0; k < 2; ++k) {
        const LimbParse& arm = arms[k];
        if (arm.end < 0)
            continue;
        const int hand = arm.path[arm.end];
        const Vec3 axis = (Pos(hand) - Pos(arm.path[arm.middle])).Normalized();
        std::vector<std::vector<int>> chains;
        for (std::vector<int>& chain : HandChains(arm))
            if (!(chain.size() == 1 && IsTrivial(chain[0])))
                chains.push_back(std::move(chain));
        if (chains.size() < 3)
            continue;
        // The thumb: named so, else the digit clearly farthest off the hand's axis.
        int thumb = -1;
        for (std::size_t c = 0; c < chains.size() && thumb < 0; ++c)
            for (int j : chains[c])
                if (JointNames::Names(m_joints[j].name, JointNames::Part::Thumb))
                    thumb = int(c);
        if (thumb < 0) {
            double least = 2.0, next = 2.0;
            for (std::size_t c = 0; c < chains.size(); ++c) {
                const double along = (Pos(chains[c].back()) - Pos(hand)).Normalized().Dot(axis);
                if (along < least) {
                    next = least;
                    least = along;
                    thumb = int(c);
                } else
                    next = std::min(next, along);
            }
            if (next - least < kThumbOffAxis)
                continue;
        }
        // Where the thumb stands off the other digits, across the hand's axis.
        Vec3 fingers, own;
        for (std::size_t c = 0; c < chains.size(); ++c)
            for (int j : chains[c])
                (int(c) == thumb ? own : fingers) =
                    (int(c) == thumb ? own : fingers) + (Pos(j) - Pos(hand));
        own = own * (1.0 / chains[thumb].size());
        std::size_t others = 0;
        for (std::size_t c = 0; c < chains.size(); ++c)
            others += int(c) == thumb ? 0 : chains[c].size();
        fingers = fingers * (1.0 / others);
        sum += (own - fingers).Across(axis).Across(m_up).Normalized().Dot(ahead);
        ++hands;
    }
    return hands ? sum / hands : 0.0;
}

int Mapper::KneeTargetsTowards(const LimbParse* legs, int body, const Vec3& lateral,
                               const Vec3& ahead) const
{
    // The body: the legs' branch joint, what hangs from it and what it hangs from.
    std::vector<bool> inBody(m_count, false);
    inBody[body] = true;
    for (int j : m_order)
        inBody[j] = inBody[j] || (m_joints[j].parent >= 0 && inBody[m_joints[j].parent]);
    for (int j = m_joints[body].parent; j >= 0; j = m_joints[j].parent)
        inBody[j] = true;
    int target[2] = {-1, -1};
    double side[2] = {0.0, 0.0};
    for (int k = 0; k < 2; ++k) {
        const LimbParse& leg = legs[k];
        if (leg.end < 0)
            return 0;
        const Vec3 knee = Pos(leg.path[leg.middle]);
        const Vec3 line = (Pos(leg.path[leg.end]) - Pos(leg.path[leg.upper])).Normalized();
        const double thigh = (knee - Pos(leg.path[leg.upper])).Length();
        double nearest = kKneeTargetFar * thigh;
        for (int j = 0; j < m_count; ++j) {
            const Vec3 offset = Pos(j) - knee;
            const double distance = offset.Length();
            const Vec3 across = offset - line * offset.Dot(line);
            if (inBody[j] || distance < kKneeTargetNear * thigh || distance > nearest ||
                std::abs(offset.Dot(line)) > kKneeTargetAlong * distance ||
                std::abs(across.Dot(lateral)) > kKneeTargetAside * across.Length())
                continue;
            nearest = distance;
            target[k] = j;
            side[k] = across.Dot(ahead);
        }
    }
    if (target[0] < 0 || target[1] < 0 || target[0] == target[1] || side[0] * side[1] <= 0.0)
        return 0;
    return side[0] > 0.0 ? 1 : -1;
}

Vec3 Mapper::DecideSides(const LimbPair& legs, const LimbPair& arms, LimbParse* legParse,
                         LimbParse* armParse, double& sideConfidence)
{
    // Every cue is read along `ahead`: the facing were legParse[0] the left leg.
    const auto joints = [this](const LimbParse& limb) {
        Vec3 sum;
        for (int i : {limb.upper, limb.middle, limb.end})
            if (i >= 0)
                sum = sum + Pos(limb.path[i]);
        return sum;
    };
    const Vec3 lateral = (joints(legParse[0]) - joints(legParse[1])).Across(m_up).Normalized();
    const Vec3 ahead = lateral.Cross(m_up);
    // Heels to toes say it best; then the knees bend forward, the thumbs stand forward of the
    // fingers and the elbows bend back, weighed together.
    Vec3 toes;
    for (int s = 0; s < 2; ++s) {
        const int foot = legParse[s].path[legParse[s].end];
        const int toe = ToeOf(foot);
        if (toe >= 0)
            toes = toes + (Pos(toe) - Pos(foot)).Across(m_up).Normalized();
    }
    const bool hasToes = toes.Length() >= 0.5;
    const double knees = BendTowards(legParse, ahead);
    const double elbows = -BendTowards(armParse, ahead);
    const double thumbs = ThumbsTowards(armParse, ahead);
    const int targets = hasToes ? 0 : KneeTargetsTowards(legParse, legs.branch, lateral, ahead);
    const double vote = hasToes ? toes.Dot(ahead)
                                : std::max(-1.0, std::min(1.0, knees / kClearKneeBend)) + thumbs +
                                      0.5 * std::max(-1.0, std::min(1.0, elbows / kClearKneeBend)) +
                                      targets;
    const double sign = vote < 0.0 ? -1.0 : 1.0;
    // Each cue signed along the chosen facing, and how far the pose alone can be trusted. The
    // knees' targets count as knees bent towards them, though not clearly.
    const double k = knees * sign, t = thumbs * sign, e = elbows * sign;
    const double kt = targets * sign;
    const bool thumbsShow = t >= kThumbsForward;
    QStringList shown;
    if (k >= kKneeBend)
        shown << QStringLiteral("knees");
    if (kt > 0.0)
        shown << QStringLiteral("knee targets");
    if (thumbsShow)
        shown << QStringLiteral("thumbs");
    if (e >= kElbowBend)
        shown << QStringLiteral("elbows");
    double pose = 0.0;
    if (hasToes)
        pose = 1.0;
    else if (k <= -kKneeBend || t <= -kThumbsForward || kt < 0.0)
        pose = kCuesDisagree;
    else if (k >= kClearKneeBend)
        pose = thumbsShow ? kClearKneesAndThumbs : kClearKneesAlone;
    else if (k >= kKneeBend || kt > 0.0)
        pose = thumbsShow ? kKneesAndThumbs : kKneesAlone;
    else if (thumbsShow)
        pose = e >= kElbowBend    ? kThumbsAndElbows
               : e <= -kElbowBend ? kThumbsAgainstElbows
                                  : kThumbsAlone;
    else if (k >= kAnyKneeBend || e >= kElbowBend) {
        pose = kFaintCueAlone;
        if (k >= kAnyKneeBend)
            shown << QStringLiteral("a faint knee bend");
    }
    const QString cues = hasToes                 ? QStringLiteral("the toes")
                         : pose == kCuesDisagree ? QStringLiteral("pose cues that disagree")
                                                 : shown.join(QStringLiteral(" and "));

    m_forward = pose > 0.0 ? (hasToes ? toes.Normalized() : ahead * sign) : Vec3();
    Vec3 left = m_up.Cross(m_forward).Normalized();
    // Which of each pair is the left one: the one standing farther along `left`.
    const auto leftFirst = [&](const LimbPair& pair, LimbParse* parses) {
        const auto lateral = [&](const LimbParse& limb) {
            return (Pos(limb.path[limb.upper]) - Pos(pair.branch)).Dot(left);
        };
        if (lateral(parses[1]) > lateral(parses[0]))
            std::swap(parses[0], parses[1]);
    };
    if (pose > 0.0) {
        leftFirst(legs, legParse);
        leftFirst(arms, armParse);
    }

    // Then the names, each pair read in its own order: +1 agree with the order above, -1 say
    // the opposite, 0 say nothing. Without geometry the pairs' orders are unrelated, so each
    // named pair is put left first by its own names and an unnamed one follows it.
    const int legNames = NamedSide(legParse), armNames = NamedSide(armParse);
    if (pose == 0.0 && (legNames != 0 || armNames != 0)) {
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
    if (pose == 0.0) {
        // Nothing decides: the legs as the hierarchy lists them, the arms beside them.
        m_forward = ahead;
        left = lateral;
        leftFirst(arms, armParse);
        sideConfidence = kGuessedSides;
        m_sidesGuessed = true;
        m_sideReason = QStringLiteral("a guess: nothing in the pose or the names shows which "
                                      "way the body faces");
        return left;
    }
    // Legs and arms named against each other say nothing.
    const int names = legNames == -armNames && legNames != 0 ? 0
                      : legNames != 0                        ? legNames
                                                             : armNames;
    const bool faint = pose == kFaintCueAlone, disputed = pose == kCuesDisagree;
    if (names == 0) {
        sideConfidence = pose;
        m_sideReason = disputed ? QStringLiteral("decided by ") + cues
                                : (pose < 0.8 ? QStringLiteral("only ") : QString()) + cues +
                                      (shown.size() == 1 && shown[0].startsWith('a')
                                           ? QStringLiteral(" shows the facing")
                                           : QStringLiteral(" show the facing"));
    } else if (names > 0) {
        sideConfidence = hasToes    ? kToesAndNames
                         : disputed ? kNamesAndDisputedPose
                         : faint    ? kNamesAndFaintPose
                                    : kPoseAndNames;
        m_sideReason = cues + QStringLiteral(" and side names agree");
    } else if (hasToes || !(faint || disputed)) {
        sideConfidence = hasToes ? kToesAgainstNames : kPoseAgainstNames;
        m_sideReason = cues + QStringLiteral(" show the facing; side names disagree");
    } else {
        // A faint or disputed pose does not outweigh the names.
        sideConfidence = faint ? kNamesAgainstFaintPose : kNamesAgainstDisputedPose;
        std::swap(legParse[0], legParse[1]);
        std::swap(armParse[0], armParse[1]);
        left = left * -1.0;
        m_forward = m_forward * -1.0;
        m_sideReason = QStringLiteral("side names over ") + cues;
    }
    return left;
}

} // namespace automap
