#include "Platform/math/D3DXMATRIX.h"

#include <cstring>

#include "Platform/math/D3DXMatrixFunctions.h"

namespace
{
// Applies op to every element pair, row by row.
template <typename Op>
void EachElement(float (&a)[4][4], const float (&b)[4][4], Op op)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            op(a[i][j], b[i][j]);
}
}  // namespace

D3DXMATRIX::D3DXMATRIX(const float* f) : D3DMATRIX{}
{
    std::memcpy(m, f, sizeof m);
}

D3DXMATRIX::D3DXMATRIX(float f11, float f12, float f13, float f14, float f21, float f22, float f23, float f24,
                       float f31, float f32, float f33, float f34, float f41, float f42, float f43, float f44)
    : D3DMATRIX{}
{
    _11 = f11;
    _12 = f12;
    _13 = f13;
    _14 = f14;
    _21 = f21;
    _22 = f22;
    _23 = f23;
    _24 = f24;
    _31 = f31;
    _32 = f32;
    _33 = f33;
    _34 = f34;
    _41 = f41;
    _42 = f42;
    _43 = f43;
    _44 = f44;
}

D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& mat)
{
    D3DXMatrixMultiply(this, this, &mat);
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator+=(const D3DXMATRIX& mat)
{
    EachElement(m, mat.m, [](float& a, float b) { a += b; });
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator-=(const D3DXMATRIX& mat)
{
    EachElement(m, mat.m, [](float& a, float b) { a -= b; });
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator*=(float f)
{
    EachElement(m, m, [f](float& a, float) { a *= f; });
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator/=(float f)
{
    float inv = 1.0f / f;
    EachElement(m, m, [inv](float& a, float) { a *= inv; });
    return *this;
}

D3DXMATRIX D3DXMATRIX::operator-() const
{
    D3DXMATRIX r(*this);
    EachElement(r.m, r.m, [](float& a, float) { a = -a; });
    return r;
}

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& mat) const
{
    D3DXMATRIX r;
    D3DXMatrixMultiply(&r, this, &mat);
    return r;
}

D3DXMATRIX D3DXMATRIX::operator+(const D3DXMATRIX& mat) const
{
    D3DXMATRIX r(*this);
    r += mat;
    return r;
}

D3DXMATRIX D3DXMATRIX::operator-(const D3DXMATRIX& mat) const
{
    D3DXMATRIX r(*this);
    r -= mat;
    return r;
}

D3DXMATRIX D3DXMATRIX::operator*(float f) const
{
    D3DXMATRIX r(*this);
    r *= f;
    return r;
}

D3DXMATRIX D3DXMATRIX::operator/(float f) const
{
    D3DXMATRIX r(*this);
    r /= f;
    return r;
}

bool D3DXMATRIX::operator==(const D3DXMATRIX& mat) const
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (m[i][j] != mat.m[i][j])
                return false;
    return true;
}
