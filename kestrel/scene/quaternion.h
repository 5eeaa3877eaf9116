// Rotation quaternions (x, y, z, w) in double precision.
#pragma once

#include "kestrelexport.h"
#include "scene/vector3.h"

namespace kestrel {

// A rotation. Products follow the column-vector convention: (a * b) rotates by b first, then
// by a. Operations expect unit quaternions unless stated.
struct KESTREL_EXPORT Quaternion
{
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double w = 1.0;

    constexpr Quaternion() = default;
    constexpr Quaternion(double xValue, double yValue, double zValue, double wValue)
        : x(xValue)
        , y(yValue)
        , z(zValue)
        , w(wValue)
    {}

    // Rotation of `radians` about `axis` (need not be unit length; a zero axis gives identity).
    static Quaternion FromAxisAngle(const Vector3& axis, double radians);
    // Rotation of `radians` about the x (0), y (1) or z (2) axis.
    static Quaternion AboutAxis(int axis, double radians);

    Quaternion operator*(const Quaternion& other) const;
    // The inverse rotation (the conjugate, for unit quaternions).
    Quaternion Inverse() const;
    // Scaled to unit length; identity for a zero quaternion.
    Quaternion Normalized() const;
    // `vector` rotated by this rotation.
    Vector3 Rotate(const Vector3& vector) const;
    // True when both stand for the same rotation within `tolerance` per component (q and -q
    // are the same rotation).
    bool IsSameRotation(const Quaternion& other, double tolerance = 1e-9) const;
};

} // namespace kestrel
