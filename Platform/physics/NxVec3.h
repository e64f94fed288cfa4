#pragma once
#include <cmath>

#include "Platform/physics/NxTypes.h"

// The SDK's 3-vector: three packed floats, so arrays of them match the engine's vertex positions.
class NxVec3
{
public:
    NxReal x = 0, y = 0, z = 0;

    constexpr NxVec3() = default;
    constexpr NxVec3(NxReal a, NxReal b, NxReal c) : x(a), y(b), z(c) {}
    explicit NxVec3(const NxReal* v) : x(v[0]), y(v[1]), z(v[2]) {}

    void set(NxReal a, NxReal b, NxReal c)
    {
        x = a;
        y = b;
        z = c;
    }
    void set(const NxReal* v)
    {
        x = v[0];
        y = v[1];
        z = v[2];
    }
    void get(NxReal* v) const
    {
        v[0] = x;
        v[1] = y;
        v[2] = z;
    }
    void zero() { x = y = z = 0; }
    bool isZero() const { return x == 0 && y == 0 && z == 0; }

    NxReal& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    NxReal operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }

    NxVec3 operator+(const NxVec3& v) const { return {x + v.x, y + v.y, z + v.z}; }
    NxVec3 operator-(const NxVec3& v) const { return {x - v.x, y - v.y, z - v.z}; }
    NxVec3 operator-() const { return {-x, -y, -z}; }
    NxVec3 operator*(NxReal s) const { return {x * s, y * s, z * s}; }
    NxVec3 operator/(NxReal s) const { return {x / s, y / s, z / s}; }
    NxVec3& operator+=(const NxVec3& v)
    {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    NxVec3& operator-=(const NxVec3& v)
    {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        return *this;
    }
    NxVec3& operator*=(NxReal s)
    {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    bool operator==(const NxVec3& v) const { return x == v.x && y == v.y && z == v.z; }
    bool operator!=(const NxVec3& v) const { return !(*this == v); }

    NxReal dot(const NxVec3& v) const { return x * v.x + y * v.y + z * v.z; }
    NxVec3 cross(const NxVec3& v) const { return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x}; }
    NxReal magnitudeSquared() const { return dot(*this); }
    NxReal magnitude() const { return std::sqrt(magnitudeSquared()); }
    NxReal distance(const NxVec3& v) const { return (*this - v).magnitude(); }
    // Returns the old length; a zero vector stays zero.
    NxReal normalize()
    {
        const NxReal m = magnitude();
        if (m > 0)
            *this *= 1.0f / m;
        return m;
    }
};

inline NxVec3 operator*(NxReal s, const NxVec3& v)
{
    return v * s;
}
static_assert(sizeof(NxVec3) == 12, "NxVec3 must stay three packed floats");
