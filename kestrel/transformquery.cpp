#include "transformquery.h"

#include "node.h"

namespace kestrel {

namespace {

// JO * R * RA of one node.
Quaternion LocalOrientation(const Node& node)
{
    const TransformValues& values = node.Transform();
    Quaternion result = values.RotationQuaternion() * values.RotateAxisQuaternion();
    if (node.IsJoint())
        result = values.JointOrientQuaternion() * result;
    return result;
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
    Matrix4 result = LocalMatrix(node);
    for (const Node* parent = node.Parent(); parent; parent = parent->Parent())
        result = LocalMatrix(*parent) * result;
    return result;
}

Quaternion WorldOrientation(const Node& node)
{
    if (!node.IsTransform())
        return Quaternion();
    return (ParentOrientation(node) * LocalOrientation(node)).Normalized();
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
    const TransformValues& values = node.Transform();
    if (space == Space::Object)
        return values.RotationQuaternion();
    Quaternion result = values.RotationQuaternion();
    if (node.IsJoint())
        result = values.JointOrientQuaternion() * result;
    return (ParentOrientation(node) * result).Normalized();
}

Vector3 Scale(const Node& node, Space space)
{
    if (!node.IsTransform())
        return Vector3(1.0, 1.0, 1.0);
    const Vector3& own = node.Transform().scale;
    if (space == Space::Object)
        return own;
    const Vector3 parent = ParentScale(node);
    return Vector3(parent.x * own.x, parent.y * own.y, parent.z * own.z);
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
