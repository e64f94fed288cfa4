#pragma once
#include "Platform/math/D3DCOLORVALUE.h"
#include <cstdint>

// Floating-point colour (red, green, blue, alpha). Converts to and from packed 0xAARRGGBB; packing
// clamps each channel to 0..1 and rounds. A default-constructed colour is zero (transparent black).
struct D3DXCOLOR
{
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;

    D3DXCOLOR() = default;
    D3DXCOLOR(uint32_t argb);
    explicit D3DXCOLOR(const float* f) : r(f[0]), g(f[1]), b(f[2]), a(f[3]) {}
    D3DXCOLOR(const D3DCOLORVALUE& c) : r(c.r), g(c.g), b(c.b), a(c.a) {}
    D3DXCOLOR(float fr, float fg, float fb, float fa) : r(fr), g(fg), b(fb), a(fa) {}

    operator uint32_t() const;
    operator float*() { return &r; }
    operator const float*() const { return &r; }
    operator D3DCOLORVALUE*() { return reinterpret_cast<D3DCOLORVALUE*>(&r); }
    operator const D3DCOLORVALUE*() const { return reinterpret_cast<const D3DCOLORVALUE*>(&r); }
    operator D3DCOLORVALUE&() { return *reinterpret_cast<D3DCOLORVALUE*>(&r); }
    operator const D3DCOLORVALUE&() const { return *reinterpret_cast<const D3DCOLORVALUE*>(&r); }

    D3DXCOLOR& operator+=(const D3DXCOLOR& c)
    {
        r += c.r;
        g += c.g;
        b += c.b;
        a += c.a;
        return *this;
    }
    D3DXCOLOR& operator-=(const D3DXCOLOR& c)
    {
        r -= c.r;
        g -= c.g;
        b -= c.b;
        a -= c.a;
        return *this;
    }
    D3DXCOLOR& operator*=(float f)
    {
        r *= f;
        g *= f;
        b *= f;
        a *= f;
        return *this;
    }
    D3DXCOLOR& operator/=(float f)
    {
        float inv = 1.0f / f;
        r *= inv;
        g *= inv;
        b *= inv;
        a *= inv;
        return *this;
    }

    D3DXCOLOR operator+() const { return *this; }
    D3DXCOLOR operator-() const { return D3DXCOLOR(-r, -g, -b, -a); }

    D3DXCOLOR operator+(const D3DXCOLOR& c) const { return D3DXCOLOR(r + c.r, g + c.g, b + c.b, a + c.a); }
    D3DXCOLOR operator-(const D3DXCOLOR& c) const { return D3DXCOLOR(r - c.r, g - c.g, b - c.b, a - c.a); }
    D3DXCOLOR operator*(float f) const { return D3DXCOLOR(r * f, g * f, b * f, a * f); }
    D3DXCOLOR operator/(float f) const
    {
        float inv = 1.0f / f;
        return D3DXCOLOR(r * inv, g * inv, b * inv, a * inv);
    }
    friend D3DXCOLOR operator*(float f, const D3DXCOLOR& c) { return D3DXCOLOR(f * c.r, f * c.g, f * c.b, f * c.a); }

    bool operator==(const D3DXCOLOR& c) const { return r == c.r && g == c.g && b == c.b && a == c.a; }
    bool operator!=(const D3DXCOLOR& c) const { return !(*this == c); }
};

static_assert(sizeof(D3DXCOLOR) == 16);
