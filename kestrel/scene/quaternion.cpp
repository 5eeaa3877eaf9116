#include "scene/quaternion.h"

#include <cmath>

namespace kestrel {

Quaternion Quaternion::FromAxisAngle(const Vector3& axis, double radians)
{
    const double length = std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
    if (length == 0.0)
        return Quaternion();
    const double s = std::sin(radians / 2.0) / length;
    return Quaternion(axis.x * s, axis.y * s, axis.z * s, std::cos(radians / 2.0));
}

Quaternion Quaternion::AboutAxis(int axis, double radians)
{
    Vector3 direction;
    direction[axis] = 1.0;
    return FromAxisAngle(direction, radians);
}

Quaternion Quaternion::operator*(const Quaternion& o) const
{
    return Quaternion(w * o.x + x * o.w + y * o.z - z * o.y, w * o.y - x * o.z + y * o.w + z * o.x,
                      w * o.z + x * o.y - y * o.x + z * o.w, w * o.w - x * o.x - y * o.y - z * o.z);
}

Quaternion Quaternion::Inverse() const
{
    const double norm = x * x + y * y + z * z + w * w;
    if (norm == 0.0)
        return Quaternion();
    return Quaternion(-x / norm, -y / norm, -z / norm, w / norm);
}

Quaternion Quaternion::Normalized() const
{
    const double length = std::sqrt(x * x + y * y + z * z + w * w);
    if (length == 0.0)
        return Quaternion();
    return Quaternion(x / length, y / length, z / length, w / length);
}

Vector3 Quaternion::Rotate(const Vector3& v) const
{
    const Quaternion result = *this * Quaternion(v.x, v.y, v.z, 0.0) * Inverse();
    return Vector3(result.x, result.y, result.z);
}

bool Quaternion::IsSameRotation(const Quaternion& o, double tolerance) const
{
    const auto close = [tolerance](const Quaternion& a, const Quaternion& b) {
        return std::abs(a.x - b.x) <= tolerance && std::abs(a.y - b.y) <= tolerance &&
               std::abs(a.z - b.z) <= tolerance && std::abs(a.w - b.w) <= tolerance;
    };
    return close(*this, o) || close(*this, Quaternion(-o.x, -o.y, -o.z, -o.w));
}

} // namespace kestrel
