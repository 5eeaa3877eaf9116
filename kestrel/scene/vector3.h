// A 3-component double vector: positions, Euler angles and scales.
#pragma once

#include <cmath>

namespace kestrel {

// Plain value type; units are those of the quantity it holds (scene units, radians, factors).
struct Vector3
{
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    constexpr Vector3() = default;
    constexpr Vector3(double xValue, double yValue, double zValue)
        : x(xValue)
        , y(yValue)
        , z(zValue)
    {}

    // Component 0, 1 or 2.
    double operator[](int axis) const { return axis == 0 ? x : (axis == 1 ? y : z); }
    double& operator[](int axis) { return axis == 0 ? x : (axis == 1 ? y : z); }

    Vector3 operator+(const Vector3& other) const
    {
        return {x + other.x, y + other.y, z + other.z};
    }
    Vector3 operator-(const Vector3& other) const
    {
        return {x - other.x, y - other.y, z - other.z};
    }
    Vector3 operator*(double factor) const { return {x * factor, y * factor, z * factor}; }
    bool operator==(const Vector3& other) const
    {
        return x == other.x && y == other.y && z == other.z;
    }
    bool operator!=(const Vector3& other) const { return !(*this == other); }
};

inline double Dot(const Vector3& a, const Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline Vector3 Cross(const Vector3& a, const Vector3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline double Length(const Vector3& v)
{
    return std::sqrt(Dot(v, v));
}

// The unit vector along `v`; the zero vector stays zero.
inline Vector3 Normalized(const Vector3& v)
{
    const double length = Length(v);
    return length > 0.0 ? v * (1.0 / length) : v;
}

} // namespace kestrel
