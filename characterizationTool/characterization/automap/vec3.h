// A small double-precision 3-vector for the rest-pose geometry of the auto-mapper.
#pragma once

#include <cmath>

// A point or direction in the host's world space, in the skeleton's own units.
struct Vec3
{
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(double s) const { return {x * s, y * s, z * s}; }
    double Dot(const Vec3& o) const { return x * o.x + y * o.y + z * o.z; }
    Vec3 Cross(const Vec3& o) const
    {
        return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
    }
    double Length() const { return std::sqrt(Dot(*this)); }
    // The unit vector along this one; the zero vector stays zero.
    Vec3 Normalized() const
    {
        const double length = Length();
        return length > 0.0 ? *this * (1.0 / length) : Vec3();
    }
    // This vector without its component along the unit vector `axis`.
    Vec3 Across(const Vec3& axis) const { return *this - axis * Dot(axis); }
};
