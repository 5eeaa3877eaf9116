#include "scene/rotationorder.h"

#include "scene/matrix4.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

namespace {

// Axes in application order, indexed by the enum value.
const int kOrderAxes[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {1, 0, 2}, {2, 1, 0}};
const char* const kOrderNames[6] = {"xyz", "yzx", "zxy", "xzy", "yxz", "zyx"};

} // namespace

QString RotationOrderName(RotationOrder order)
{
    return QString::fromLatin1(kOrderNames[static_cast<int>(order)]);
}

bool ParseRotationOrder(const QString& name, RotationOrder* order)
{
    const QString lower = name.toLower();
    for (int i = 0; i < 6; ++i) {
        if (lower == QLatin1String(kOrderNames[i])) {
            *order = static_cast<RotationOrder>(i);
            return true;
        }
    }
    return false;
}

bool RotationOrderFromInt(int value, RotationOrder* order)
{
    if (value < 0 || value > 5)
        return false;
    *order = static_cast<RotationOrder>(value);
    return true;
}

int RotationOrderAxis(RotationOrder order, int step)
{
    return kOrderAxes[static_cast<int>(order)][step];
}

Quaternion EulerToQuaternion(const Vector3& radians, RotationOrder order)
{
    // Zero angles are the common case (rest poses, unused rotate axes and orients): they add
    // no turn and cost no trigonometry.
    Quaternion result;
    for (int step = 0; step < 3; ++step) {
        const int axis = RotationOrderAxis(order, step);
        if (radians[axis] != 0.0)
            result = Quaternion::AboutAxis(axis, radians[axis]) * result;
    }
    return result;
}

Vector3 QuaternionToEuler(const Quaternion& rotation, RotationOrder order)
{
    // R = Rk(c) * Rj(b) * Ri(a) with i applied first. For an even permutation of (x, y, z)
    // the sign s is +1, for an odd one -1; then R[k][i] = -s sin(b).
    const int i = RotationOrderAxis(order, 0);
    const int j = RotationOrderAxis(order, 1);
    const int k = RotationOrderAxis(order, 2);
    const double s = ((j - i + 3) % 3 == 1) ? 1.0 : -1.0;
    const Matrix4 r = Matrix4::Rotation(rotation);
    const double sinB = std::clamp(-s * r.m[k][i], -1.0, 1.0);
    Vector3 result;
    result[j] = std::asin(sinB);
    if (std::abs(sinB) < 1.0 - 1e-12) {
        result[i] = std::atan2(s * r.m[k][j], r.m[k][k]);
        result[k] = std::atan2(s * r.m[j][i], r.m[i][i]);
    } else {
        // Gimbal lock: only the sum or difference of the outer angles is defined.
        result[i] = std::atan2(-s * r.m[j][k], r.m[j][j]);
        result[k] = 0.0;
    }
    return result;
}

} // namespace kestrel
