#include "scene/transformquery.h"

#include "scene/node.h"

#include <vector>

namespace kestrel {

namespace {

// Works out the node's world frame from its parent's, which must be current.
void UpdateWorldFrame(const Node& node, quint64 revision)
{
    WorldFrame& frame = node.CachedWorldFrame();
    const TransformValues& values = node.Transform();
    Quaternion rotation = values.RotationQuaternion();
    if (node.IsJoint())
        rotation = values.JointOrientQuaternion() * rotation;
    const Vector3& scale = values.scale;
    frame.matrix = LocalMatrix(node);
    frame.scale = scale;
    if (const Node* parent = node.Parent()) {
        const WorldFrame& above = parent->CachedWorldFrame();
        frame.matrix = above.matrix * frame.matrix;
        rotation = above.orientation * rotation;
        frame.scale =
            Vector3(above.scale.x * scale.x, above.scale.y * scale.y, above.scale.z * scale.z);
    }
    frame.orientation = (rotation * values.RotateAxisQuaternion()).Normalized();
    frame.rotation = rotation.Normalized();
    frame.revision = revision;
}

// The world frame of a transform, brought up to date from the nearest current ancestor down.
// Idle scenes answer from the cache; any change of channels or parents anywhere recomputes.
const WorldFrame& CurrentWorldFrame(const Node& node)
{
    const quint64 revision = node.TransformRevision();
    std::vector<const Node*> stale;
    for (const Node* n = &node; n && n->CachedWorldFrame().revision != revision; n = n->Parent())
        stale.push_back(n);
    for (auto it = stale.rbegin(); it != stale.rend(); ++it)
        UpdateWorldFrame(**it, revision);
    return node.CachedWorldFrame();
}

Quaternion ParentOrientation(const Node& node)
{
    return node.Parent() ? WorldOrientation(*node.Parent()) : Quaternion();
}

Vector3 ParentScale(const Node& node)
{
    return node.Parent() ? Scale(*node.Parent(), Space::World) : Vector3(1.0, 1.0, 1.0);
}

} // namespace

Matrix4 LocalMatrix(const Node& node)
{
    if (!node.IsTransform())
        return Matrix4();
    return node.Transform().LocalMatrix(node.IsJoint());
}

Matrix4 WorldMatrix(const Node& node)
{
    if (!node.IsTransform())
        return Matrix4();
    return CurrentWorldFrame(node).matrix;
}

Quaternion WorldOrientation(const Node& node)
{
    if (!node.IsTransform())
        return Quaternion();
    return CurrentWorldFrame(node).orientation;
}

Vector3 Translation(const Node& node, Space space)
{
    if (!node.IsTransform())
        return Vector3();
    if (space == Space::Object)
        return node.Transform().translation;
    return WorldMatrix(node).TranslationPart();
}

Quaternion Rotation(const Node& node, Space space)
{
    if (!node.IsTransform())
        return Quaternion();
    if (space == Space::Object)
        return node.Transform().RotationQuaternion();
    return CurrentWorldFrame(node).rotation;
}

Vector3 Scale(const Node& node, Space space)
{
    if (!node.IsTransform())
        return Vector3(1.0, 1.0, 1.0);
    if (space == Space::Object)
        return node.Transform().scale;
    return CurrentWorldFrame(node).scale;
}

Vector3 ObjectTranslationFor(const Node& node, const Vector3& worldPosition)
{
    if (!node.Parent())
        return worldPosition;
    return WorldMatrix(*node.Parent()).AffineInverse().TransformPoint(worldPosition);
}

Vector3 ObjectRotationFor(const Node& node, const Quaternion& worldRotation)
{
    Quaternion prefix = ParentOrientation(node);
    if (node.IsJoint())
        prefix = prefix * node.Transform().JointOrientQuaternion();
    return QuaternionToEuler(prefix.Inverse() * worldRotation, node.Transform().rotationOrder);
}

Vector3 ObjectScaleFor(const Node& node, const Vector3& worldScale)
{
    const Vector3 parent = ParentScale(node);
    const auto divide = [](double value, double by) { return by == 0.0 ? 0.0 : value / by; };
    return Vector3(divide(worldScale.x, parent.x), divide(worldScale.y, parent.y),
                   divide(worldScale.z, parent.z));
}

} // namespace kestrel
