// Rotates a characterization's joints in the host scene so its rest pose passes the pose rules.
#pragma once

#include "model/nodecatalogue.h"

#include <QString>
#include <QVector>

namespace kestrel {
class Host;
class Node;
} // namespace kestrel

// The fix, in rotations only (bone lengths, names, bindings and joint count stay):
// 1. the hips joint turns the whole body about its own pivot so the hips run along +X (the
//    body faces +Z) and the hips-to-head axis points up +Y, which also turns a Z-up file
//    upright; without a bound head, the body turns about the vertical alone, and without
//    bound thighs it only tilts about X until the head is above the hips;
// 2. each upper arm turns about its shoulder joint so the upper-arm-to-hand line runs along
//    +X (left) or -X (right). The elbow keeps its bend: the rule measures shoulder to hand.
// Every change is a host statement (xform -rotation) run through the host's undo, so a fix
// made inside one statement is one undo step.
class StanceFixer
{
public:
    // `joints` holds the joint bound to each slot (empty for none), as the characterization has
    // them.
    StanceFixer(kestrel::Host& host, const QVector<QString>& joints);

    // Applies the fix; answers the number of joints it rotated (0 when the pose already
    // passed), or -1 with `error` when a statement failed.
    int Apply(QString* error);

    // Turns below this many degrees are left alone: the rules allow 2 degrees.
    static constexpr double kNegligibleDegrees = 0.01;

private:
    kestrel::Node* Joint(NodeId id) const;
    bool FixBody(bool* rotated, QString* error);
    bool FixArm(NodeId base, NodeId tip, double axisX, bool* rotated, QString* error);

    kestrel::Host& m_host;
    QVector<QString> m_joints;
};
