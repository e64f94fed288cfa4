#pragma once
#include "Platform/math/D3DMATRIX.h"

// 4x4 matrix over the plain record: row after row, position in the fourth row, applied to row vectors
// (v * M), so A * B applies A first. A default-constructed matrix is all zeros (not identity).
struct D3DXMATRIX : public D3DMATRIX
{
    D3DXMATRIX() : D3DMATRIX{} {}
    explicit D3DXMATRIX(const float* f);
    D3DXMATRIX(const D3DMATRIX& mat) : D3DMATRIX(mat) {}
    D3DXMATRIX(float f11, float f12, float f13, float f14, float f21, float f22, float f23, float f24, float f31,
               float f32, float f33, float f34, float f41, float f42, float f43, float f44);

    float& operator()(unsigned row, unsigned col) { return m[row][col]; }
    float operator()(unsigned row, unsigned col) const { return m[row][col]; }

    operator float*() { return &_11; }
    operator const float*() const { return &_11; }

    D3DXMATRIX& operator*=(const D3DXMATRIX& mat);
    D3DXMATRIX& operator+=(const D3DXMATRIX& mat);
    D3DXMATRIX& operator-=(const D3DXMATRIX& mat);
    D3DXMATRIX& operator*=(float f);
    D3DXMATRIX& operator/=(float f);

    D3DXMATRIX operator+() const { return *this; }
    D3DXMATRIX operator-() const;

    D3DXMATRIX operator*(const D3DXMATRIX& mat) const;
    D3DXMATRIX operator+(const D3DXMATRIX& mat) const;
    D3DXMATRIX operator-(const D3DXMATRIX& mat) const;
    D3DXMATRIX operator*(float f) const;
    D3DXMATRIX operator/(float f) const;
    friend D3DXMATRIX operator*(float f, const D3DXMATRIX& mat) { return mat * f; }

    bool operator==(const D3DXMATRIX& mat) const;
    bool operator!=(const D3DXMATRIX& mat) const { return !(*this == mat); }
};

static_assert(sizeof(D3DXMATRIX) == 64);
