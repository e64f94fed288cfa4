#include <cmath>
#include <cstring>

#include "Tests/Platform/math/MathExpect.h"

namespace
{
// Interleaved vertices: position, then a normal and a uv that the bounds must skip.
struct Vertex
{
    float position[3];
    float normal[3];
    float uv[2];
};
}  // namespace

TEST(D3DXBounds, BoxAndSphereOverStridedPositions)
{
    const Vertex vertices[] = {
        {{1, 2, 3}, {9, 9, 9}, {99, 99}},
        {{-1, 4, 3}, {9, 9, 9}, {99, 99}},
        {{1, 2, -5}, {-9, -9, -9}, {-99, -99}},
        {{3, 0, 3}, {9, 9, 9}, {99, 99}},
    };
    const auto* first = reinterpret_cast<const D3DXVECTOR3*>(vertices[0].position);
    D3DXVECTOR3 lo, hi;
    ASSERT_TRUE(D3DXComputeBoundingBox(first, 4, sizeof(Vertex), &lo, &hi));
    EXPECT_EQ(lo, D3DXVECTOR3(-1, 0, -5));
    EXPECT_EQ(hi, D3DXVECTOR3(3, 4, 3));

    D3DXVECTOR3 centre;
    float radius = 0;
    ASSERT_TRUE(D3DXComputeBoundingSphere(first, 4, sizeof(Vertex), &centre, &radius));
    ExpectNear(centre, {1, 2, 1});
    EXPECT_NEAR(radius, 6.0f, 1e-5f);  // (1, 2, -5) is 6 from the mean

    // A single vertex: a point box and a zero sphere.
    ASSERT_TRUE(D3DXComputeBoundingBox(first, 1, sizeof(Vertex), &lo, &hi));
    EXPECT_EQ(lo, hi);
    ASSERT_TRUE(D3DXComputeBoundingSphere(first, 1, sizeof(Vertex), &centre, &radius));
    EXPECT_EQ(centre, D3DXVECTOR3(1, 2, 3));
    EXPECT_EQ(radius, 0.0f);
}

TEST(D3DXBounds, UnalignedPositionsAreRead)
{
    // Positions at an odd byte offset, as a packed vertex layout can leave them.
    unsigned char bytes[1 + 2 * 13] = {};
    const float a[3] = {1, -1, 2}, b[3] = {-3, 5, 0};
    std::memcpy(bytes + 1, a, sizeof a);
    std::memcpy(bytes + 14, b, sizeof b);
    D3DXVECTOR3 lo, hi;
    ASSERT_TRUE(D3DXComputeBoundingBox(reinterpret_cast<const D3DXVECTOR3*>(bytes + 1), 2, 13, &lo, &hi));
    EXPECT_EQ(lo, D3DXVECTOR3(-3, -1, 0));
    EXPECT_EQ(hi, D3DXVECTOR3(1, 5, 2));
}

TEST(D3DXBounds, NothingToBoundFailsAndWritesNothing)
{
    const D3DXVECTOR3 p(1, 2, 3);
    D3DXVECTOR3 lo(7, 7, 7), hi(7, 7, 7), centre(7, 7, 7);
    float radius = 7;
    EXPECT_FALSE(D3DXComputeBoundingBox(&p, 0, 12, &lo, &hi));
    EXPECT_FALSE(D3DXComputeBoundingBox(nullptr, 3, 12, &lo, &hi));
    EXPECT_FALSE(D3DXComputeBoundingBox(&p, 1, 12, nullptr, &hi));
    EXPECT_FALSE(D3DXComputeBoundingSphere(&p, 0, 12, &centre, &radius));
    EXPECT_FALSE(D3DXComputeBoundingSphere(nullptr, 1, 12, &centre, &radius));
    EXPECT_FALSE(D3DXComputeBoundingSphere(&p, 1, 12, &centre, nullptr));
    EXPECT_EQ(lo, D3DXVECTOR3(7, 7, 7));
    EXPECT_EQ(hi, D3DXVECTOR3(7, 7, 7));
    EXPECT_EQ(centre, D3DXVECTOR3(7, 7, 7));
    EXPECT_EQ(radius, 7.0f);
}
