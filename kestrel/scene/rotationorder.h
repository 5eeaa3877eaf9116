// Euler rotation orders and the conversions between Euler angles and quaternions.
#pragma once

#include "kestrelexport.h"
#include "scene/quaternion.h"
#include "scene/vector3.h"

#include <QString>

namespace kestrel {

// The order in which the three axis rotations apply: XYZ rotates about x first, then y, then
// z, so its matrix is Rz * Ry * Rx (column vectors). The values are stored in scene files and
// attributes ("rotateOrder", N+"RotateOrder") and never change.
enum class RotationOrder
{
    XYZ = 0,
    YZX = 1,
    ZXY = 2,
    XZY = 3,
    YXZ = 4,
    ZYX = 5,
};

// "xyz", "yzx", "zxy", "xzy", "yxz" or "zyx".
KESTREL_EXPORT QString RotationOrderName(RotationOrder order);
// Reads a name as written by RotationOrderName (case-insensitive); false for anything else.
KESTREL_EXPORT bool ParseRotationOrder(const QString& name, RotationOrder* order);
// Reads the stored integer 0..5; false outside that range.
KESTREL_EXPORT bool RotationOrderFromInt(int value, RotationOrder* order);
// The axis (0 x, 1 y, 2 z) applied at `step` 0, 1 or 2 of `order`.
KESTREL_EXPORT int RotationOrderAxis(RotationOrder order, int step);

// Rotation of the Euler angles `radians` (about x, y, z) composed in `order`.
KESTREL_EXPORT Quaternion EulerToQuaternion(const Vector3& radians, RotationOrder order);
// Euler angles (radians, about x, y, z) that compose to `rotation` in `order`. The middle
// rotation lies in [-pi/2, pi/2]; at gimbal lock the last rotation is zero.
KESTREL_EXPORT Vector3 QuaternionToEuler(const Quaternion& rotation, RotationOrder order);

} // namespace kestrel
