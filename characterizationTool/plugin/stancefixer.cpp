#include "stancefixer.h"

#include "host.h"
#include "scene/node.h"
#include "scene/quaternion.h"
#include "scene/rotationorder.h"
#include "scene/scene.h"
#include "scene/transformquery.h"
#include "script/scriptlexer.h"

#include <cmath>

namespace {

using kestrel::Cross;
using kestrel::Dot;
using kestrel::Length;

constexpr double kDegreesPerRadian = 57.29577951308232;

// The smallest rotation that turns the direction `from` onto the unit direction `to`; the
// identity for a zero `from`. Opposite directions turn half a turn about an axis at right
// angles to `to` (Y for a target along X, else X).
kestrel::Quaternion Arc(const kestrel::Vector3& from, const kestrel::Vector3& to)
{
    const double length = Length(from);
    if (!(length > 0.0))
        return {};
    const kestrel::Vector3 unit = from * (1.0 / length);
    const double cosine = std::fmax(-1.0, std::fmin(1.0, Dot(unit, to)));
    kestrel::Vector3 axis = Cross(unit, to);
    if (Length(axis) < 1e-12) {
        if (cosine > 0.0)
            return {};
        axis = std::fabs(to.x) > 0.5 ? kestrel::Vector3(0.0, 1.0, 0.0)
                                     : kestrel::Vector3(1.0, 0.0, 0.0);
    }
    return kestrel::Quaternion::FromAxisAngle(axis * (1.0 / Length(axis)), std::acos(cosine));
}

double AngleDegrees(const kestrel::Quaternion& q)
{
    return 2.0 * std::acos(std::fmin(1.0, std::fabs(q.w))) * kDegreesPerRadian;
}

} // namespace

StanceFixer::StanceFixer(kestrel::Host& host, const QVector<QString>& joints)
    : m_host(host)
    , m_joints(joints)
{}

kestrel::Node* StanceFixer::Joint(NodeId id) const
{
    const QString& name = m_joints.value(id);
    kestrel::Node* node = name.isEmpty() ? nullptr : m_host.GetScene().Find(name);
    return node && node->IsTransform() ? node : nullptr;
}

int StanceFixer::Apply(QString* error)
{
    int rotated = 0;
    bool turned = false;
    if (!FixBody(&turned, error))
        return -1;
    rotated += turned ? 1 : 0;
    for (const auto& arm :
         {std::make_pair(NodeId(9), NodeId(11)), std::make_pair(NodeId(12), NodeId(14))}) {
        turned = false;
        if (!FixArm(arm.first, arm.second, arm.first == 9 ? 1.0 : -1.0, &turned, error))
            return -1;
        rotated += turned ? 1 : 0;
    }
    return rotated;
}

// Turns `joint` by the world rotation `turn` about its own pivot, through the host.
static bool Turn(kestrel::Host& host, kestrel::Node& joint, const kestrel::Quaternion& turn,
                 QString* error)
{
    const kestrel::Quaternion world = turn * kestrel::Rotation(joint, kestrel::Space::World);
    const kestrel::Vector3 euler = kestrel::ObjectRotationFor(joint, world.Normalized());
    const QString statement = QStringLiteral("xform -rotation %1 %2 %3 %4")
                                  .arg(euler.x * kDegreesPerRadian, 0, 'g', 17)
                                  .arg(euler.y * kDegreesPerRadian, 0, 'g', 17)
                                  .arg(euler.z * kDegreesPerRadian, 0, 'g', 17)
                                  .arg(kestrel::ScriptLexer::Quote(joint.Name()));
    kestrel::ExecuteOptions options;
    options.undoable = true;
    if (host.ExecuteScript(statement, options).status == kestrel::Status::Success)
        return true;
    *error = QStringLiteral("the joint \"%1\" could not be turned.").arg(joint.Name());
    return false;
}

bool StanceFixer::FixBody(bool* rotated, QString* error)
{
    kestrel::Node* hips = Joint(1);
    kestrel::Node* left = Joint(2);
    kestrel::Node* right = Joint(5);
    kestrel::Node* head = Joint(15);
    if (!hips || (!head && (!left || !right)))
        return true; // nothing the hips or up rules could measure
    const auto at = [](const kestrel::Node& node) {
        return kestrel::Translation(node, kestrel::Space::World);
    };
    kestrel::Quaternion turn;
    if (!left || !right) {
        // Without legs only the up rule speaks: about X until the head is above the hips.
        const kestrel::Vector3 up = at(*head) - at(*hips);
        if (std::hypot(up.y, up.z) > 0.0)
            turn = kestrel::Quaternion::AboutAxis(0, -std::atan2(up.z, up.y));
    } else if (head) {
        const kestrel::Vector3 across = at(*left) - at(*right);
        // Hips onto +X first, then about X until the head is straight above the hips.
        turn = Arc(across, {1.0, 0.0, 0.0});
        const kestrel::Vector3 up = turn.Rotate(at(*head) - at(*hips));
        if (std::hypot(up.y, up.z) > 0.0)
            turn = kestrel::Quaternion::AboutAxis(0, -std::atan2(up.z, up.y)) * turn;
    } else {
        // About the vertical alone: the hips' horizontal direction onto +X.
        const kestrel::Vector3 across = at(*left) - at(*right);
        turn = Arc({across.x, 0.0, across.z}, {1.0, 0.0, 0.0});
    }
    if (AngleDegrees(turn) < kNegligibleDegrees)
        return true;
    *rotated = true;
    return Turn(m_host, *hips, turn, error);
}

bool StanceFixer::FixArm(NodeId base, NodeId tip, double axisX, bool* rotated, QString* error)
{
    kestrel::Node* shoulder = Joint(base);
    kestrel::Node* hand = Joint(tip);
    if (!shoulder || !hand)
        return true;
    const kestrel::Vector3 along = kestrel::Translation(*hand, kestrel::Space::World) -
                                   kestrel::Translation(*shoulder, kestrel::Space::World);
    const kestrel::Quaternion turn = Arc(along, {axisX, 0.0, 0.0});
    if (AngleDegrees(turn) < kNegligibleDegrees)
        return true;
    *rotated = true;
    return Turn(m_host, *shoulder, turn, error);
}
