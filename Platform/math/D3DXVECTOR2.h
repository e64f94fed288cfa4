#pragma once

// Two-component vector. A default-constructed vector is zero, so no caller reads garbage.
struct D3DXVECTOR2
{
    float x = 0.0f;
    float y = 0.0f;

    D3DXVECTOR2() = default;
    explicit D3DXVECTOR2(const float* f) : x(f[0]), y(f[1]) {}
    D3DXVECTOR2(float fx, float fy) : x(fx), y(fy) {}

    operator float*() { return &x; }
    operator const float*() const { return &x; }

    D3DXVECTOR2& operator+=(const D3DXVECTOR2& v)
    {
        x += v.x;
        y += v.y;
        return *this;
    }
    D3DXVECTOR2& operator-=(const D3DXVECTOR2& v)
    {
        x -= v.x;
        y -= v.y;
        return *this;
    }
    D3DXVECTOR2& operator*=(float f)
    {
        x *= f;
        y *= f;
        return *this;
    }
    D3DXVECTOR2& operator/=(float f)
    {
        float inv = 1.0f / f;
        x *= inv;
        y *= inv;
        return *this;
    }

    D3DXVECTOR2 operator+() const { return *this; }
    D3DXVECTOR2 operator-() const { return D3DXVECTOR2(-x, -y); }

    D3DXVECTOR2 operator+(const D3DXVECTOR2& v) const { return D3DXVECTOR2(x + v.x, y + v.y); }
    D3DXVECTOR2 operator-(const D3DXVECTOR2& v) const { return D3DXVECTOR2(x - v.x, y - v.y); }
    D3DXVECTOR2 operator*(float f) const { return D3DXVECTOR2(x * f, y * f); }
    D3DXVECTOR2 operator/(float f) const
    {
        float inv = 1.0f / f;
        return D3DXVECTOR2(x * inv, y * inv);
    }
    friend D3DXVECTOR2 operator*(float f, const D3DXVECTOR2& v) { return D3DXVECTOR2(f * v.x, f * v.y); }

    bool operator==(const D3DXVECTOR2& v) const { return x == v.x && y == v.y; }
    bool operator!=(const D3DXVECTOR2& v) const { return x != v.x || y != v.y; }
};

static_assert(sizeof(D3DXVECTOR2) == 8);
