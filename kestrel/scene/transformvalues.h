// The local transformation channels of a transform or joint node and its local matrix.
#pragma once

#include "kestrelexport.h"
#include "scene/matrix4.h"
#include "scene/quaternion.h"
#include "scene/rotationorder.h"
#include "scene/vector3.h"

namespace kestrel {

// Rotation limits in radians about x, y, z. A limit only counts where it is enabled; the host
// stores and reports limits but never clamps rotations with them.
struct KESTREL_EXPORT RotationLimits
{
    Vector3 minimum;
    Vector3 maximum;
    bool minimumEnabled[3] = {false, false, false};
    bool maximumEnabled[3] = {false, false, false};

    bool operator==(const RotationLimits& other) const;
    bool operator!=(const RotationLimits& other) const { return !(*this == other); }
    // True when no limit is enabled and both vectors are zero.
    bool IsDefault() const { return *this == RotationLimits(); }
};

// The channels of a transform. The local matrix, with column vectors, is
//     T * JO * R * RA * S
// T the translation (parent units), JO the joint orient (joints only, xyz order), R the Euler
// rotation in `rotationOrder`, RA the rotate axis (xyz order) and S the scale. All angles are
// radians.
struct KESTREL_EXPORT TransformValues
{
    Vector3 translation;
    Vector3 rotation;
    RotationOrder rotationOrder = RotationOrder::XYZ;
    Vector3 rotateAxis;
    Vector3 scale = Vector3(1.0, 1.0, 1.0);
    Vector3 jointOrient;
    RotationLimits limits;

    // R: the Euler rotation alone.
    Quaternion RotationQuaternion() const;
    // RA: the rotate axis as a quaternion.
    Quaternion RotateAxisQuaternion() const;
    // JO: the joint orient as a quaternion.
    Quaternion JointOrientQuaternion() const;
    // T * JO * R * RA * S; JO is left out when `isJoint` is false.
    Matrix4 LocalMatrix(bool isJoint) const;

    bool operator==(const TransformValues& other) const;
    bool operator!=(const TransformValues& other) const { return !(*this == other); }
};

} // namespace kestrel
