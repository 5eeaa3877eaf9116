#include "scene/matrix4.h"

#include <cmath>

namespace kestrel {

Matrix4 Matrix4::Translation(const Vector3& offset)
{
    Matrix4 result;
    result.m[0][3] = offset.x;
    result.m[1][3] = offset.y;
    result.m[2][3] = offset.z;
    return result;
}

Matrix4 Matrix4::Rotation(const Quaternion& rotation)
{
    const Quaternion q = rotation.Normalized();
    Matrix4 r;
    r.m[0][0] = 1 - 2 * (q.y * q.y + q.z * q.z);
    r.m[0][1] = 2 * (q.x * q.y - q.z * q.w);
    r.m[0][2] = 2 * (q.x * q.z + q.y * q.w);
    r.m[1][0] = 2 * (q.x * q.y + q.z * q.w);
    r.m[1][1] = 1 - 2 * (q.x * q.x + q.z * q.z);
    r.m[1][2] = 2 * (q.y * q.z - q.x * q.w);
    r.m[2][0] = 2 * (q.x * q.z - q.y * q.w);
    r.m[2][1] = 2 * (q.y * q.z + q.x * q.w);
    r.m[2][2] = 1 - 2 * (q.x * q.x + q.y * q.y);
    return r;
}

Matrix4 Matrix4::Scaling(const Vector3& factors)
{
    Matrix4 result;
    result.m[0][0] = factors.x;
    result.m[1][1] = factors.y;
    result.m[2][2] = factors.z;
    return result;
}

Matrix4 Matrix4::operator*(const Matrix4& other) const
{
    Matrix4 result;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += m[row][k] * other.m[k][column];
            result.m[row][column] = sum;
        }
    }
    return result;
}

Vector3 Matrix4::TransformPoint(const Vector3& p) const
{
    return Vector3(m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3],
                   m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3],
                   m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3]);
}

Matrix4 Matrix4::AffineInverse() const
{
    // Inverse of the 3x3 part through its adjugate, then the translation mapped back.
    const double a = m[0][0], b = m[0][1], c = m[0][2];
    const double d = m[1][0], e = m[1][1], f = m[1][2];
    const double g = m[2][0], h = m[2][1], i = m[2][2];
    const double det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    if (std::abs(det) < 1e-300)
        return Matrix4();
    Matrix4 r;
    r.m[0][0] = (e * i - f * h) / det;
    r.m[0][1] = (c * h - b * i) / det;
    r.m[0][2] = (b * f - c * e) / det;
    r.m[1][0] = (f * g - d * i) / det;
    r.m[1][1] = (a * i - c * g) / det;
    r.m[1][2] = (c * d - a * f) / det;
    r.m[2][0] = (d * h - e * g) / det;
    r.m[2][1] = (b * g - a * h) / det;
    r.m[2][2] = (a * e - b * d) / det;
    for (int row = 0; row < 3; ++row)
        r.m[row][3] = -(r.m[row][0] * m[0][3] + r.m[row][1] * m[1][3] + r.m[row][2] * m[2][3]);
    return r;
}

bool Matrix4::IsIdentity() const
{
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            if (m[row][column] != (row == column ? 1.0 : 0.0))
                return false;
        }
    }
    return true;
}

} // namespace kestrel
