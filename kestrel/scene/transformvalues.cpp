#include "scene/transformvalues.h"

namespace kestrel {

bool RotationLimits::operator==(const RotationLimits& other) const
{
    for (int axis = 0; axis < 3; ++axis) {
        if (minimumEnabled[axis] != other.minimumEnabled[axis] ||
            maximumEnabled[axis] != other.maximumEnabled[axis])
            return false;
    }
    return minimum == other.minimum && maximum == other.maximum;
}

Quaternion TransformValues::RotationQuaternion() const
{
    return EulerToQuaternion(rotation, rotationOrder);
}

Quaternion TransformValues::RotateAxisQuaternion() const
{
    return EulerToQuaternion(rotateAxis, RotationOrder::XYZ);
}

Quaternion TransformValues::JointOrientQuaternion() const
{
    return EulerToQuaternion(jointOrient, RotationOrder::XYZ);
}

Matrix4 TransformValues::LocalMatrix(bool isJoint) const
{
    Quaternion rotationPart = RotationQuaternion() * RotateAxisQuaternion();
    if (isJoint)
        rotationPart = JointOrientQuaternion() * rotationPart;
    return Matrix4::Translation(translation) * Matrix4::Rotation(rotationPart) *
           Matrix4::Scaling(scale);
}

bool TransformValues::operator==(const TransformValues& other) const
{
    return translation == other.translation && rotation == other.rotation &&
           rotationOrder == other.rotationOrder && rotateAxis == other.rotateAxis &&
           scale == other.scale && jointOrient == other.jointOrient && limits == other.limits;
}

} // namespace kestrel
