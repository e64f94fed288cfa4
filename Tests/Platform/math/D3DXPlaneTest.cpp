#include <cmath>

#include "Tests/Platform/math/MathExpect.h"

TEST(D3DXPlane, Construction)
{
    struct Case
    {
        D3DXVECTOR3 p1, p2, p3;
        D3DXPLANE expected;
    };
    const Case cases[] = {
        {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0, 0}},
        {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, -1, 0, 0}},  // other winding, other side
        {{0, 2, 0}, {0, 2, 5}, {3, 2, 0}, {0, 1, 0, -2}},
        {{1, 0, 0},
         {0, 1, 0},
         {0, 0, 1},
         {1 / std::sqrt(3.0f), 1 / std::sqrt(3.0f), 1 / std::sqrt(3.0f), -1 / std::sqrt(3.0f)}},
    };
    for (const Case& c : cases)
    {
        D3DXPLANE p;
        EXPECT_EQ(D3DXPlaneFromPoints(&p, &c.p1, &c.p2, &c.p3), &p);
        ExpectNear(p, c.expected);
    }

    D3DXPLANE p;
    const D3DXVECTOR3 point(1, 2, 3), normal(0, 0, 2);
    ExpectNear(*D3DXPlaneFromPointNormal(&p, &point, &normal), {0, 0, 2, -6});  // normal kept as given
}

TEST(D3DXPlane, DotsNormalizeScale)
{
    const D3DXPLANE p(0, 3, 4, -10);
    const D3DXVECTOR3 v(1, 2, 3);
    const D3DXVECTOR4 w(1, 2, 3, 0.5f);
    EXPECT_FLOAT_EQ(D3DXPlaneDotCoord(&p, &v), 8.0f);
    EXPECT_FLOAT_EQ(D3DXPlaneDotNormal(&p, &v), 18.0f);
    EXPECT_FLOAT_EQ(D3DXPlaneDot(&p, &w), 13.0f);

    D3DXPLANE r;
    ExpectNear(*D3DXPlaneNormalize(&r, &p), {0, 0.6f, 0.8f, -2});
    EXPECT_FLOAT_EQ(D3DXPlaneDotCoord(&r, &v), 1.6f);  // signed distance once normalized
    const D3DXPLANE zero(0, 0, 0, 5);
    EXPECT_EQ(*D3DXPlaneNormalize(&r, &zero), D3DXPLANE(0, 0, 0, 0));
    EXPECT_EQ(*D3DXPlaneScale(&r, &p, 0.5f), D3DXPLANE(0, 1.5f, 2, -5));
}

TEST(D3DXPlane, IntersectLine)
{
    const D3DXPLANE ground(0, 1, 0, 0);
    struct Case
    {
        D3DXVECTOR3 a, b;
        bool hits;
        D3DXVECTOR3 at;
    };
    const Case cases[] = {
        {{0, 1, 0}, {0, -1, 0}, true, {0, 0, 0}}, {{1, 4, 2}, {3, -4, 6}, true, {2, 0, 4}},
        {{1, 2, 0}, {1, 1, 0}, true, {1, 0, 0}},  // a line, not a segment: beyond both points
        {{0, 1, 0}, {5, 1, 3}, false, {}},        // parallel
        {{0, 0, 0}, {5, 0, 3}, false, {}},        // inside the plane
    };
    for (const Case& c : cases)
    {
        D3DXVECTOR3 out(9, 9, 9);
        D3DXVECTOR3* r = D3DXPlaneIntersectLine(&out, &ground, &c.a, &c.b);
        if (c.hits)
        {
            ASSERT_EQ(r, &out);
            ExpectNear(out, c.at);
        }
        else
        {
            EXPECT_EQ(r, nullptr);
            EXPECT_EQ(out, D3DXVECTOR3(9, 9, 9));
        }
    }
}

TEST(D3DXPlane, TransformByInverseTranspose)
{
    D3DXMATRIX move, inverse, inverseTranspose;
    D3DXMatrixRotationZ(&move, D3DX_PI / 2);
    D3DXMATRIX up;
    D3DXMatrixTranslation(&up, 0, 5, 0);
    move = move * up;  // turn x onto y, then lift by 5
    D3DXMatrixInverse(&inverse, nullptr, &move);
    D3DXMatrixTranspose(&inverseTranspose, &inverse);

    const D3DXPLANE facingX(1, 0, 0, -2);  // x = 2
    D3DXPLANE r;
    EXPECT_EQ(D3DXPlaneTransform(&r, &facingX, &inverseTranspose), &r);
    ExpectNear(r, {0, 1, 0, -7});  // y = 7
}

// The six clip planes read off a view-projection matrix point inwards: a point is inside the frustum
// exactly when every plane's dot-coordinate is non-negative.
TEST(D3DXPlane, FrustumPlanesFromViewProjection)
{
    D3DXMATRIX view, projection;
    const D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, 1.0f, 1.0f, 100.0f);
    const D3DXMATRIX m = view * projection;

    D3DXPLANE planes[6] = {
        {m._14 + m._11, m._24 + m._21, m._34 + m._31, m._44 + m._41},  // left
        {m._14 - m._11, m._24 - m._21, m._34 - m._31, m._44 - m._41},  // right
        {m._14 + m._12, m._24 + m._22, m._34 + m._32, m._44 + m._42},  // bottom
        {m._14 - m._12, m._24 - m._22, m._34 - m._32, m._44 - m._42},  // top
        {m._13, m._23, m._33, m._43},                                  // near (clip depth starts at 0)
        {m._14 - m._13, m._24 - m._23, m._34 - m._33, m._44 - m._43},  // far
    };
    const float h = std::sqrt(0.5f);
    const D3DXPLANE expected[6] = {
        {h, 0, h, 0}, {-h, 0, h, 0}, {0, h, h, 0}, {0, -h, h, 0}, {0, 0, 1, -1}, {0, 0, -1, 100},
    };
    for (int i = 0; i < 6; ++i)
    {
        D3DXPlaneNormalize(&planes[i], &planes[i]);
        ExpectNear(planes[i], expected[i], 1e-5f * (1.0f + std::fabs(expected[i].d)));
    }

    struct Probe
    {
        D3DXVECTOR3 point;
        bool inside;
    };
    const Probe probes[] = {
        {{0, 0, 50}, true}, {{0, 0, 0.5f}, false},    {{0, 0, 101}, false},  {{-11, 0, 10}, false},
        {{9, 9, 10}, true}, {{0, -10.5f, 10}, false}, {{0, 0, 99.9f}, true},
    };
    for (const Probe& p : probes)
    {
        bool inside = true;
        for (const D3DXPLANE& plane : planes)
            inside = inside && D3DXPlaneDotCoord(&plane, &p.point) >= 0.0f;
        EXPECT_EQ(inside, p.inside) << p.point.x << "," << p.point.y << "," << p.point.z;
    }
}

TEST(D3DXPlane, Operators)
{
    const D3DXPLANE p(1, 2, 3, 4);
    EXPECT_EQ(p * 2.0f, D3DXPLANE(2, 4, 6, 8));
    EXPECT_EQ(2.0f * p, p * 2.0f);
    EXPECT_EQ(p / 2.0f, D3DXPLANE(0.5f, 1, 1.5f, 2));
    EXPECT_EQ(-p, D3DXPLANE(-1, -2, -3, -4));
    D3DXPLANE q = p;
    q *= 3.0f;
    q /= 3.0f;
    EXPECT_EQ(q, p);
    EXPECT_NE(-p, p);
    EXPECT_EQ(D3DXPLANE(), D3DXPLANE(0, 0, 0, 0));
}
