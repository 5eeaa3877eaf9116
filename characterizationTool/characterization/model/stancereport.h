// How far the rest pose is from the stance the pose rules ask for, in degrees.
#pragma once

#include "nodecatalogue.h"

#include <QString>

#include <functional>
#include <vector>

class Characterization;

// One pose rule measured on a characterization's rest pose (world space).
struct StanceAngle
{
    QString rule;   // "hips", "leftArm", "rightArm" or "up"
    double degrees; // 0 when the pose is exactly what the rule asks for; 180 for no direction
};

// The pose rules: the hips (right thigh to left thigh) along +X, so the body faces +Z; the
// left arm (upper arm to hand) along +X and the right one along -X; and the body's up axis
// (hips to head) along +Y. The first three are the validators' axis rules, measured the same
// way. The up axis is what a Z-up file gets wrong; it is measured across the body (its part
// along X, a head leaning to one side, is the rig's build, not its orientation).
class StanceReport
{
public:
    // World position (any unit) of a slot's joint; false when the slot has none.
    using PositionOf = std::function<bool(NodeId, double position[3])>;

    // Every rule whose two joints are bound, in the order hips, leftArm, rightArm, up: from the
    // rest pose the characterization holds (what its validation judges).
    static std::vector<StanceAngle> Measure(const Characterization& characterization);
    // The same from any source of positions (a scene's joints).
    static std::vector<StanceAngle> Measure(const PositionOf& positionOf);
    // A line for people: "Left arm: 41.3° off the X axis (limit 2.0°)".
    static QString Describe(const StanceAngle& angle);
    // The rule's joints: the base and tip slots, and the direction they should point along.
    struct Rule
    {
        const char* name;
        NodeId base;
        NodeId tip;
        double axis[3];
        bool acrossX; // measured with the X part of the direction left out
    };
    static const std::vector<Rule>& Rules();

    static constexpr double kLimitDegrees = 2.0;
};
