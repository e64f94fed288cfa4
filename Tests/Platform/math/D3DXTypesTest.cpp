#include <cstddef>
#include <type_traits>

#include <gtest/gtest.h>

#include "Platform/math/D3DXMath.h"

// Layouts other code (files, uploads, physics) relies on.
static_assert(std::is_standard_layout_v<D3DXMATRIX> && std::is_trivially_copyable_v<D3DXMATRIX>);
static_assert(std::is_standard_layout_v<D3DXVECTOR3> && std::is_trivially_copyable_v<D3DXVECTOR3>);
static_assert(std::is_trivially_copyable_v<D3DXQUATERNION> && std::is_trivially_copyable_v<D3DXCOLOR>);
static_assert(offsetof(D3DMATRIX, _41) == 48 && offsetof(D3DMATRIX, _23) == 24);

TEST(D3DXTypes, MatrixIsRowAfterRowWithPositionInFourthRow)
{
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, 1.0f, 2.0f, 3.0f);
    const float* f = m;
    EXPECT_EQ(f[12], 1.0f);
    EXPECT_EQ(f[13], 2.0f);
    EXPECT_EQ(f[14], 3.0f);
    EXPECT_EQ(m(3, 1), 2.0f);
    EXPECT_EQ(m.m[3][2], 3.0f);
}

TEST(D3DXTypes, ViewportEqualityAndAngleConstants)
{
    const D3DVIEWPORT9 a{0, 0, 800, 600, 0.0f, 1.0f};
    D3DVIEWPORT9 b = a;
    EXPECT_EQ(a, b);
    b.MaxZ = 0.5f;
    EXPECT_NE(a, b);
    EXPECT_FLOAT_EQ(D3DXToRadian(180.0f), D3DX_PI);
    EXPECT_FLOAT_EQ(D3DXToDegree(D3DX_PI / 2), 90.0f);
    EXPECT_FLOAT_EQ(D3DX_1BYPI * D3DX_PI, 1.0f);
}
