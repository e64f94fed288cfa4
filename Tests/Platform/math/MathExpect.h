#pragma once
#include <gtest/gtest.h>

#include "Platform/math/D3DXMath.h"

// Element-wise comparisons within a tolerance, reporting which element differs.
inline void ExpectNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected, float tolerance = 1e-5f)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(actual.m[i][j], expected.m[i][j], tolerance) << "element _" << i + 1 << j + 1;
}

inline void ExpectNear(const D3DXVECTOR2& actual, const D3DXVECTOR2& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

inline void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

inline void ExpectNear(const D3DXVECTOR4& actual, const D3DXVECTOR4& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
    EXPECT_NEAR(actual.w, expected.w, tolerance);
}

inline void ExpectNear(const D3DXQUATERNION& actual, const D3DXQUATERNION& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
    EXPECT_NEAR(actual.w, expected.w, tolerance);
}

inline void ExpectNear(const D3DXPLANE& actual, const D3DXPLANE& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.a, expected.a, tolerance);
    EXPECT_NEAR(actual.b, expected.b, tolerance);
    EXPECT_NEAR(actual.c, expected.c, tolerance);
    EXPECT_NEAR(actual.d, expected.d, tolerance);
}

inline void ExpectNear(const D3DXCOLOR& actual, const D3DXCOLOR& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.r, expected.r, tolerance);
    EXPECT_NEAR(actual.g, expected.g, tolerance);
    EXPECT_NEAR(actual.b, expected.b, tolerance);
    EXPECT_NEAR(actual.a, expected.a, tolerance);
}
