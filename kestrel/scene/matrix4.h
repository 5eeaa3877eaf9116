// 4x4 affine transformation matrices in double precision.
#pragma once

#include "kestrelexport.h"
#include "scene/quaternion.h"
#include "scene/vector3.h"

namespace kestrel {

// Column-vector convention: a point p maps to M * p, the translation sits in the last column
// and (A * B) applies B first. Element m[row][column].
struct KESTREL_EXPORT Matrix4
{
    double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    static Matrix4 Identity() { return Matrix4(); }
    static Matrix4 Translation(const Vector3& offset);
    static Matrix4 Rotation(const Quaternion& rotation);
    static Matrix4 Scaling(const Vector3& factors);

    Matrix4 operator*(const Matrix4& other) const;
    Vector3 TransformPoint(const Vector3& point) const;
    // The translation column.
    Vector3 TranslationPart() const { return Vector3(m[0][3], m[1][3], m[2][3]); }
    // True when every element is exactly that of the identity.
    bool IsIdentity() const;
    // Inverse of an affine matrix (last row 0 0 0 1); identity when the 3x3 part is singular.
    Matrix4 AffineInverse() const;
};

} // namespace kestrel
