#pragma once

// Rotation quaternion (x, y, z vector part, w scalar part). Products compose like matrices:
// q1 * q2 rotates by q1 first, then by q2. A default-constructed quaternion is zero (not identity).
struct D3DXQUATERNION
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    D3DXQUATERNION() = default;
    explicit D3DXQUATERNION(const float* f) : x(f[0]), y(f[1]), z(f[2]), w(f[3]) {}
    D3DXQUATERNION(float fx, float fy, float fz, float fw) : x(fx), y(fy), z(fz), w(fw) {}

    operator float*() { return &x; }
    operator const float*() const { return &x; }

    D3DXQUATERNION& operator+=(const D3DXQUATERNION& q)
    {
        x += q.x;
        y += q.y;
        z += q.z;
        w += q.w;
        return *this;
    }
    D3DXQUATERNION& operator-=(const D3DXQUATERNION& q)
    {
        x -= q.x;
        y -= q.y;
        z -= q.z;
        w -= q.w;
        return *this;
    }
    D3DXQUATERNION& operator*=(const D3DXQUATERNION& q);
    D3DXQUATERNION& operator*=(float f)
    {
        x *= f;
        y *= f;
        z *= f;
        w *= f;
        return *this;
    }
    D3DXQUATERNION& operator/=(float f)
    {
        float inv = 1.0f / f;
        x *= inv;
        y *= inv;
        z *= inv;
        w *= inv;
        return *this;
    }

    D3DXQUATERNION operator+() const { return *this; }
    D3DXQUATERNION operator-() const { return D3DXQUATERNION(-x, -y, -z, -w); }

    D3DXQUATERNION operator+(const D3DXQUATERNION& q) const
    {
        return D3DXQUATERNION(x + q.x, y + q.y, z + q.z, w + q.w);
    }
    D3DXQUATERNION operator-(const D3DXQUATERNION& q) const
    {
        return D3DXQUATERNION(x - q.x, y - q.y, z - q.z, w - q.w);
    }
    D3DXQUATERNION operator*(const D3DXQUATERNION& q) const;
    D3DXQUATERNION operator*(float f) const { return D3DXQUATERNION(x * f, y * f, z * f, w * f); }
    D3DXQUATERNION operator/(float f) const
    {
        float inv = 1.0f / f;
        return D3DXQUATERNION(x * inv, y * inv, z * inv, w * inv);
    }
    friend D3DXQUATERNION operator*(float f, const D3DXQUATERNION& q)
    {
        return D3DXQUATERNION(f * q.x, f * q.y, f * q.z, f * q.w);
    }

    bool operator==(const D3DXQUATERNION& q) const { return x == q.x && y == q.y && z == q.z && w == q.w; }
    bool operator!=(const D3DXQUATERNION& q) const { return !(*this == q); }
};

static_assert(sizeof(D3DXQUATERNION) == 16);
