#pragma once
#include "Platform/physics/NxVec3.h"

// Rotation quaternion, x, y, z then w.
class NxQuat
{
public:
    NxReal x = 0, y = 0, z = 0, w = 1;

    constexpr NxQuat() = default;
    constexpr NxQuat(NxReal qx, NxReal qy, NxReal qz, NxReal qw) : x(qx), y(qy), z(qz), w(qw) {}

    void id()
    {
        x = y = z = 0;
        w = 1;
    }
    void setXYZW(NxReal qx, NxReal qy, NxReal qz, NxReal qw)
    {
        x = qx;
        y = qy;
        z = qz;
        w = qw;
    }
    void setWXYZ(NxReal qw, NxReal qx, NxReal qy, NxReal qz)
    {
        x = qx;
        y = qy;
        z = qz;
        w = qw;
    }
    void getXYZW(NxReal* v) const
    {
        v[0] = x;
        v[1] = y;
        v[2] = z;
        v[3] = w;
    }
    // Angle in degrees, as the SDK's own convention has it.
    void fromAngleAxis(NxReal degrees, const NxVec3& axis)
    {
        NxVec3 a = axis;
        a.normalize();
        const NxReal half = degrees * 3.14159265358979f / 360.0f;
        const NxReal s = std::sin(half);
        x = a.x * s;
        y = a.y * s;
        z = a.z * s;
        w = std::cos(half);
    }
    NxReal magnitudeSquared() const { return x * x + y * y + z * z + w * w; }
    void normalize()
    {
        const NxReal m = std::sqrt(magnitudeSquared());
        if (m > 0)
        {
            x /= m;
            y /= m;
            z /= m;
            w /= m;
        }
    }
    NxQuat operator*(const NxQuat& q) const
    {
        return {w * q.x + x * q.w + y * q.z - z * q.y, w * q.y + y * q.w + z * q.x - x * q.z,
                w * q.z + z * q.w + x * q.y - y * q.x, w * q.w - x * q.x - y * q.y - z * q.z};
    }
    NxVec3 rot(const NxVec3& v) const
    {
        const NxVec3 u(x, y, z);
        const NxVec3 t = u.cross(v) * 2.0f;
        return v + t * w + u.cross(t);
    }
};
