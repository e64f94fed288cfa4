#pragma once

// Plane a*x + b*y + c*z + d = 0; (a, b, c) is the normal, points with a positive dot-coordinate lie in
// front. A default-constructed plane is zero.
struct D3DXPLANE
{
    float a = 0.0f;
    float b = 0.0f;
    float c = 0.0f;
    float d = 0.0f;

    D3DXPLANE() = default;
    explicit D3DXPLANE(const float* f) : a(f[0]), b(f[1]), c(f[2]), d(f[3]) {}
    D3DXPLANE(float fa, float fb, float fc, float fd) : a(fa), b(fb), c(fc), d(fd) {}

    operator float*() { return &a; }
    operator const float*() const { return &a; }

    D3DXPLANE& operator*=(float f)
    {
        a *= f;
        b *= f;
        c *= f;
        d *= f;
        return *this;
    }
    D3DXPLANE& operator/=(float f)
    {
        float inv = 1.0f / f;
        a *= inv;
        b *= inv;
        c *= inv;
        d *= inv;
        return *this;
    }

    D3DXPLANE operator+() const { return *this; }
    D3DXPLANE operator-() const { return D3DXPLANE(-a, -b, -c, -d); }

    D3DXPLANE operator*(float f) const { return D3DXPLANE(a * f, b * f, c * f, d * f); }
    D3DXPLANE operator/(float f) const
    {
        float inv = 1.0f / f;
        return D3DXPLANE(a * inv, b * inv, c * inv, d * inv);
    }
    friend D3DXPLANE operator*(float f, const D3DXPLANE& p) { return D3DXPLANE(f * p.a, f * p.b, f * p.c, f * p.d); }

    bool operator==(const D3DXPLANE& p) const { return a == p.a && b == p.b && c == p.c && d == p.d; }
    bool operator!=(const D3DXPLANE& p) const { return !(*this == p); }
};

static_assert(sizeof(D3DXPLANE) == 16);
