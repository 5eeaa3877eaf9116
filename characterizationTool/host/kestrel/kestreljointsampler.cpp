#include "kestreljointsampler.h"

#include "host.h"
#include "scene/characternodes.h"
#include "scene/scene.h"
#include "scene/transformquery.h"
#include "solver/nodenames.h"

#include <array>

namespace {

const QString kLockAttribute = QStringLiteral("InputCharacterizationLock");

void Store(const kestrel::Vector3& v, float (&out)[3])
{
    out[0] = float(v.x);
    out[1] = float(v.y);
    out[2] = float(v.z);
}

void Store(const kestrel::Quaternion& q, float (&out)[4])
{
    out[0] = float(q.x);
    out[1] = float(q.y);
    out[2] = float(q.z);
    out[3] = float(q.w);
}

// The rotation, rotate axis and order of a frame, as the solver wants them: Rotate = q * a,
// PostRot = a^-1, PreRot = a.
void StoreRotation(const kestrel::Quaternion& q, const kestrel::Quaternion& axis,
                   kestrel::RotationOrder order, NodeTransformRecord& record)
{
    Store(q * axis, record.Rotate);
    Store(axis.Inverse(), record.PostRot);
    record.RotationOrder = KestrelJointSampler::RotationOrderCode(int(order));
}

bool ReadNumber(const kestrel::Node& node, const QString& name, bool integer, double& value)
{
    const kestrel::Attribute* attribute = node.FindAttribute(name);
    if (!attribute)
        return false;
    const kestrel::ValueType type = attribute->value.Type();
    if (type == kestrel::ValueType::Int) {
        value = attribute->value.ToInt();
        return true;
    }
    if (type == kestrel::ValueType::Double && !integer) {
        value = attribute->value.ToDouble();
        return true;
    }
    return false;
}

} // namespace

KestrelJointSampler::KestrelJointSampler(kestrel::Host& host)
    : m_host(host)
{}

int KestrelJointSampler::RotationOrderCode(int hostOrder)
{
    static constexpr std::array<int, 6> kCodes = {0, 4, 8, 2, 6, 10};
    return hostOrder >= 0 && hostOrder < int(kCodes.size()) ? kCodes[hostOrder] : 0;
}

int KestrelJointSampler::GetNodeTransform(const QString& node, int nodeId,
                                          NodeTransformRecord& record, bool worldSpace) const
{
    const kestrel::Node* joint = node.isEmpty() ? nullptr : m_host.GetScene().Find(node);
    const kestrel::Node* character =
        joint ? m_host.GetCharacterNodes().CharacterOf(*joint) : nullptr;
    if (character && nodeId >= 0) {
        const kestrel::Attribute* lock = character->FindAttribute(kLockAttribute);
        if (lock && lock->value.ToBool() && ReadStoredPose(*character, nodeId, record, worldSpace))
            return 1;
    }
    return ReadLiveNode(node, record, worldSpace);
}

bool KestrelJointSampler::ReadStoredPose(const kestrel::Node& character, int nodeId,
                                         NodeTransformRecord& record, bool) const
{
    const QString slot = QLatin1String(kinetra::NodeName(nodeId));
    if (slot.isEmpty())
        return false;
    static const char* const kChannels[] = {"Tx", "Ty", "Tz", "Rx", "Ry", "Rz", "Sx", "Sy", "Sz"};
    double values[10];
    for (int i = 0; i < 9; ++i) {
        if (!ReadNumber(character, slot + QLatin1String(kChannels[i]), false, values[i]))
            return false;
    }
    if (!ReadNumber(character, slot + QStringLiteral("RotateOrder"), true, values[9]))
        return false;
    kestrel::RotationOrder order = kestrel::RotationOrder::XYZ;
    kestrel::RotationOrderFromInt(int(values[9]), &order);

    // The stored pose is a world-space frame of its own, without rotate axis or joint orient.
    Store(kestrel::Vector3(values[0], values[1], values[2]), record.Translate);
    Store(kestrel::Vector3(values[6], values[7], values[8]), record.Scale);
    const kestrel::Quaternion identity;
    StoreRotation(
        kestrel::EulerToQuaternion(kestrel::Vector3(values[3], values[4], values[5]), order),
        identity, order, record);
    Store(identity, record.PreRot);
    return true;
}

int KestrelJointSampler::ReadLiveNode(const QString& name, NodeTransformRecord& record,
                                      bool worldSpace) const
{
    const kestrel::Node* node = m_host.GetScene().Find(name);
    if (!node || !node->IsTransform())
        return 0;
    const kestrel::Space space = worldSpace ? kestrel::Space::World : kestrel::Space::Object;
    const kestrel::TransformValues& channels = node->Transform();
    Store(kestrel::Translation(*node, space), record.Translate);
    Store(kestrel::Scale(*node, space), record.Scale);

    const kestrel::RotationLimits& limits = channels.limits;
    Store(limits.minimum, record.MinRLimit);
    Store(limits.maximum, record.MaxRLimit);
    record.LimitFlags = 0;
    for (int axis = 0; axis < 3; ++axis) {
        if (limits.minimumEnabled[axis])
            record.LimitFlags |= 1u << axis;
        if (limits.maximumEnabled[axis])
            record.LimitFlags |= 1u << (axis + 3);
    }
    StoreRotation(kestrel::Rotation(*node, space), channels.RotateAxisQuaternion(),
                  channels.rotationOrder, record);
    if (node->IsJoint())
        Store(channels.JointOrientQuaternion(), record.PreRot);
    return 1;
}
