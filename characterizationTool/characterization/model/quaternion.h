// A minimal single-precision quaternion for the rotations the model combines.
#pragma once

// Unit quaternion (x, y, z, w) with the Hamilton product.
struct Quaternion
{
    float x = 0, y = 0, z = 0, w = 1;

    static Quaternion FromArray(const float (&q)[4]) { return {q[0], q[1], q[2], q[3]}; }
    void ToArray(float (&q)[4]) const
    {
        q[0] = x;
        q[1] = y;
        q[2] = z;
        q[3] = w;
    }
    Quaternion Conjugated() const { return {-x, -y, -z, w}; }
};

// Hamilton product: applying `b` first, then `a`.
inline Quaternion operator*(const Quaternion& a, const Quaternion& b)
{
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
            a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}
