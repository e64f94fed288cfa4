#include <cmath>

#include "Tests/Platform/math/MathExpect.h"

TEST(D3DXVector, Vec3Basics)
{
    const D3DXVECTOR3 a(1, 2, 3), b(-4, 5, 0.5f);
    D3DXVECTOR3 r;
    EXPECT_FLOAT_EQ(D3DXVec3LengthSq(&a), 14.0f);
    EXPECT_FLOAT_EQ(D3DXVec3Length(&a), std::sqrt(14.0f));
    EXPECT_FLOAT_EQ(D3DXVec3Dot(&a, &b), -4 + 10 + 1.5f);
    EXPECT_EQ(*D3DXVec3Add(&r, &a, &b), D3DXVECTOR3(-3, 7, 3.5f));
    EXPECT_EQ(*D3DXVec3Subtract(&r, &a, &b), D3DXVECTOR3(5, -3, 2.5f));
    EXPECT_EQ(*D3DXVec3Scale(&r, &a, -2), D3DXVECTOR3(-2, -4, -6));
    EXPECT_EQ(*D3DXVec3Minimize(&r, &a, &b), D3DXVECTOR3(-4, 2, 0.5f));
    EXPECT_EQ(*D3DXVec3Maximize(&r, &a, &b), D3DXVECTOR3(1, 5, 3));
    EXPECT_EQ(*D3DXVec3Lerp(&r, &a, &b, 0), a);
    EXPECT_EQ(*D3DXVec3Lerp(&r, &a, &b, 1), b);
    ExpectNear(*D3DXVec3Lerp(&r, &a, &b, 0.25f), {-0.25f, 2.75f, 2.375f});
    ExpectNear(*D3DXVec3Lerp(&r, &a, &b, 2), {-9, 8, -2});  // no clamping
}

TEST(D3DXVector, CrossIsLeftHandedAndAliasSafe)
{
    struct Case
    {
        D3DXVECTOR3 a, b, cross;
    };
    const Case cases[] = {
        {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},  {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}},   {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
        {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}}, {{1, 2, 3}, {4, 5, 6}, {-3, 6, -3}}, {{2, 2, 2}, {1, 1, 1}, {0, 0, 0}},
    };
    for (const Case& c : cases)
    {
        D3DXVECTOR3 r;
        EXPECT_EQ(*D3DXVec3Cross(&r, &c.a, &c.b), c.cross);
        D3DXVECTOR3 inPlace = c.a;
        EXPECT_EQ(*D3DXVec3Cross(&inPlace, &inPlace, &c.b), c.cross);
    }
}

TEST(D3DXVector, NormalizeGivesUnitLengthAndZeroForZero)
{
    const D3DXVECTOR3 cases[][2] = {
        {{3, 0, 4}, {0.6f, 0, 0.8f}},
        {{0, -2, 0}, {0, -1, 0}},
        {{1e-20f, 0, 0}, {1, 0, 0}},
        {{0, 0, 0}, {0, 0, 0}},
    };
    for (const auto& c : cases)
    {
        D3DXVECTOR3 r;
        ExpectNear(*D3DXVec3Normalize(&r, &c[0]), c[1]);
    }
    D3DXVECTOR2 v2(0, 0), r2;
    EXPECT_EQ(*D3DXVec2Normalize(&r2, &v2), D3DXVECTOR2(0, 0));
    v2 = D3DXVECTOR2(-5, 12);
    ExpectNear(*D3DXVec2Normalize(&v2, &v2), {-5.0f / 13, 12.0f / 13});
    D3DXVECTOR4 v4(0, 0, 0, 0), r4;
    EXPECT_EQ(*D3DXVec4Normalize(&r4, &v4), D3DXVECTOR4(0, 0, 0, 0));
    v4 = D3DXVECTOR4(1, 1, 1, 1);
    ExpectNear(*D3DXVec4Normalize(&r4, &v4), {0.5f, 0.5f, 0.5f, 0.5f});
}

TEST(D3DXVector, Vec2AndVec4Basics)
{
    const D3DXVECTOR2 a(1, 2), b(3, -1);
    D3DXVECTOR2 r;
    EXPECT_FLOAT_EQ(D3DXVec2Length(&a), std::sqrt(5.0f));
    EXPECT_FLOAT_EQ(D3DXVec2LengthSq(&b), 10.0f);
    EXPECT_FLOAT_EQ(D3DXVec2Dot(&a, &b), 1.0f);
    EXPECT_FLOAT_EQ(D3DXVec2CCW(&a, &b), -7.0f);
    EXPECT_EQ(*D3DXVec2Add(&r, &a, &b), D3DXVECTOR2(4, 1));
    EXPECT_EQ(*D3DXVec2Subtract(&r, &a, &b), D3DXVECTOR2(-2, 3));
    EXPECT_EQ(*D3DXVec2Minimize(&r, &a, &b), D3DXVECTOR2(1, -1));
    EXPECT_EQ(*D3DXVec2Maximize(&r, &a, &b), D3DXVECTOR2(3, 2));
    EXPECT_EQ(*D3DXVec2Scale(&r, &a, 3), D3DXVECTOR2(3, 6));
    EXPECT_EQ(*D3DXVec2Lerp(&r, &a, &b, 0.5f), D3DXVECTOR2(2, 0.5f));

    const D3DXVECTOR4 c(1, 2, 3, 4), d(4, 3, 2, 1);
    D3DXVECTOR4 s;
    EXPECT_FLOAT_EQ(D3DXVec4LengthSq(&c), 30.0f);
    EXPECT_FLOAT_EQ(D3DXVec4Length(&c), std::sqrt(30.0f));
    EXPECT_FLOAT_EQ(D3DXVec4Dot(&c, &d), 20.0f);
    EXPECT_EQ(*D3DXVec4Add(&s, &c, &d), D3DXVECTOR4(5, 5, 5, 5));
    EXPECT_EQ(*D3DXVec4Subtract(&s, &c, &d), D3DXVECTOR4(-3, -1, 1, 3));
    EXPECT_EQ(*D3DXVec4Minimize(&s, &c, &d), D3DXVECTOR4(1, 2, 2, 1));
    EXPECT_EQ(*D3DXVec4Maximize(&s, &c, &d), D3DXVECTOR4(4, 3, 3, 4));
    EXPECT_EQ(*D3DXVec4Scale(&s, &c, 0.5f), D3DXVECTOR4(0.5f, 1, 1.5f, 2));
    EXPECT_EQ(*D3DXVec4Lerp(&s, &c, &d, 0.5f), D3DXVECTOR4(2.5f, 2.5f, 2.5f, 2.5f));
}

TEST(D3DXVector, Vec4CrossIsOrthogonalToAllThree)
{
    const D3DXVECTOR4 e1(1, 0, 0, 0), e2(0, 1, 0, 0), e3(0, 0, 1, 0);
    D3DXVECTOR4 r;
    EXPECT_EQ(*D3DXVec4Cross(&r, &e1, &e2, &e3), D3DXVECTOR4(0, 0, 0, -1));

    const D3DXVECTOR4 a(1, 2, 3, 4), b(-2, 0, 1, 5), c(0.5f, 3, -1, 2);
    D3DXVec4Cross(&r, &a, &b, &c);
    EXPECT_NEAR(D3DXVec4Dot(&r, &a), 0, 1e-4f);
    EXPECT_NEAR(D3DXVec4Dot(&r, &b), 0, 1e-4f);
    EXPECT_NEAR(D3DXVec4Dot(&r, &c), 0, 1e-4f);
    EXPECT_GT(D3DXVec4Length(&r), 1.0f);
}

TEST(D3DXVector, SplinesHitTheirControlPoints)
{
    const D3DXVECTOR3 p0(0, 0, 0), p1(1, 0, 0), p2(2, 1, 0), p3(3, 1, 5);
    const D3DXVECTOR3 t1(1, 0, 0), t2(0, 3, 0);
    D3DXVECTOR3 r;
    ExpectNear(*D3DXVec3Hermite(&r, &p1, &t1, &p2, &t2, 0), p1);
    ExpectNear(*D3DXVec3Hermite(&r, &p1, &t1, &p2, &t2, 1), p2);
    // At s = 0.5 the weights are 1/2, 1/8, 1/2, -1/8.
    ExpectNear(*D3DXVec3Hermite(&r, &p1, &t1, &p2, &t2, 0.5f), {1.625f, 0.125f, 0});

    ExpectNear(*D3DXVec3CatmullRom(&r, &p0, &p1, &p2, &p3, 0), p1);
    ExpectNear(*D3DXVec3CatmullRom(&r, &p0, &p1, &p2, &p3, 1), p2);
    // At s = 0.5 the weights are -1/16, 9/16, 9/16, -1/16.
    ExpectNear(*D3DXVec3CatmullRom(&r, &p0, &p1, &p2, &p3, 0.5f), {1.5f, 0.5f, -0.3125f});

    ExpectNear(*D3DXVec3BaryCentric(&r, &p0, &p1, &p2, 0, 0), p0);
    ExpectNear(*D3DXVec3BaryCentric(&r, &p0, &p1, &p2, 1, 0), p1);
    ExpectNear(*D3DXVec3BaryCentric(&r, &p0, &p1, &p2, 0, 1), p2);
    ExpectNear(*D3DXVec3BaryCentric(&r, &p0, &p1, &p2, 0.25f, 0.5f), {1.25f, 0.5f, 0});

    const D3DXVECTOR2 q0(0, 0), q1(1, 1), q2(2, 0), q3(3, 1);
    D3DXVECTOR2 r2;
    ExpectNear(*D3DXVec2CatmullRom(&r2, &q0, &q1, &q2, &q3, 0.5f), {1.5f, 0.5f});
    ExpectNear(*D3DXVec2Hermite(&r2, &q1, &q1, &q2, &q1, 1), q2);
    ExpectNear(*D3DXVec2BaryCentric(&r2, &q0, &q1, &q2, 0.5f, 0.5f), {1.5f, 0.5f});
    const D3DXVECTOR4 w0(0, 0, 0, 0), w1(1, 1, 1, 1), w2(2, 2, 2, 2), w3(3, 3, 3, 3);
    D3DXVECTOR4 r4;
    ExpectNear(*D3DXVec4CatmullRom(&r4, &w0, &w1, &w2, &w3, 0.5f), {1.5f, 1.5f, 1.5f, 1.5f});
    ExpectNear(*D3DXVec4Hermite(&r4, &w1, &w1, &w2, &w1, 0.5f), {1.5f, 1.5f, 1.5f, 1.5f});
    ExpectNear(*D3DXVec4BaryCentric(&r4, &w0, &w1, &w2, 0.5f, 0.25f), {1, 1, 1, 1});
}

TEST(D3DXVector, TransformsTreatPointsAndDirectionsApart)
{
    // Projection with a w that is not 1, and a translation.
    D3DXMATRIX m(2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1, 1, 10, 20, 30, 1);
    const D3DXVECTOR3 v(1, 1, 3);
    D3DXVECTOR4 r4;
    D3DXVECTOR3 r3;
    EXPECT_EQ(*D3DXVec3Transform(&r4, &v, &m), D3DXVECTOR4(12, 23, 33, 4));
    EXPECT_EQ(*D3DXVec3TransformCoord(&r3, &v, &m), D3DXVECTOR3(3, 5.75f, 8.25f));
    EXPECT_EQ(*D3DXVec3TransformNormal(&r3, &v, &m), D3DXVECTOR3(2, 3, 3));
    const D3DXVECTOR4 w(1, 1, 3, 0);
    EXPECT_EQ(*D3DXVec4Transform(&r4, &w, &m), D3DXVECTOR4(2, 3, 3, 3));

    const D3DXVECTOR2 v2(1, 2);
    D3DXVECTOR2 r2;
    EXPECT_EQ(*D3DXVec2Transform(&r4, &v2, &m), D3DXVECTOR4(12, 26, 30, 1));
    EXPECT_EQ(*D3DXVec2TransformCoord(&r2, &v2, &m), D3DXVECTOR2(12, 26));
    EXPECT_EQ(*D3DXVec2TransformNormal(&r2, &v2, &m), D3DXVECTOR2(2, 6));

    // In place.
    D3DXVECTOR3 p = v;
    D3DXVec3TransformCoord(&p, &p, &m);
    EXPECT_EQ(p, D3DXVECTOR3(3, 5.75f, 8.25f));
}

namespace
{
struct Camera
{
    D3DXMATRIX view, projection;
    D3DVIEWPORT9 viewport;
};

// Looking down +z from the origin, 90 degrees vertical field, 800 x 600, near 1, far 100.
Camera MakeCamera(uint32_t x, uint32_t y)
{
    Camera c;
    D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1), up(0, 1, 0);
    D3DXMatrixLookAtLH(&c.view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&c.projection, D3DX_PI / 2, 800.0f / 600.0f, 1.0f, 100.0f);
    c.viewport = D3DVIEWPORT9{x, y, 800, 600, 0.0f, 1.0f};
    return c;
}
}  // namespace

TEST(D3DXVector, ProjectAndUnprojectThroughViewport)
{
    struct Case
    {
        uint32_t x, y;
        D3DXVECTOR3 world;
        D3DXVECTOR3 screen;
    };
    const float a = 800.0f / 600.0f;
    const Case cases[] = {
        {0, 0, {0, 0, 1}, {400, 300, 0}},
        {0, 0, {0, 0, 100}, {400, 300, 1}},
        {0, 0, {-a, 1, 1}, {0, 0, 0}},                                // top-left corner on the near plane
        {0, 0, {100 * a, -100, 100}, {800, 600, 1}},                  // bottom-right corner on the far plane
        {100, 50, {-a, 1, 1}, {100, 50, 0}},                          // the viewport's own origin
        {100, 50, {a * 4, 4, 4}, {900, 50, 100.0f / 99.0f * 0.75f}},  // top-right, at depth 4
        {100, 50, {a, -0.5f, 2}, {700, 425, 100.0f / 99.0f * 0.5f}},
    };
    for (const Case& c : cases)
    {
        Camera cam = MakeCamera(c.x, c.y);
        D3DXVECTOR3 screen, world;
        EXPECT_EQ(D3DXVec3Project(&screen, &c.world, &cam.viewport, &cam.projection, &cam.view, nullptr), &screen);
        ExpectNear(screen, c.screen, 1e-3f);
        ASSERT_EQ(D3DXVec3Unproject(&world, &c.screen, &cam.viewport, &cam.projection, &cam.view, nullptr), &world);
        ExpectNear(world, c.world, 1e-3f);
    }

    // A narrowed depth range: clip depth 0..1 lands on MinZ..MaxZ, and comes back from it.
    {
        Camera cam = MakeCamera(0, 0);
        cam.viewport.MinZ = 0.25f;
        cam.viewport.MaxZ = 0.75f;
        const Case depthCases[] = {
            {0, 0, {0, 0, 1}, {400, 300, 0.25f}},
            {0, 0, {0, 0, 100}, {400, 300, 0.75f}},
            {0, 0, {a * 4, 4, 4}, {800, 0, 0.25f + 0.5f * (100.0f / 99.0f * 0.75f)}},
        };
        for (const Case& c : depthCases)
        {
            D3DXVECTOR3 screen, world;
            D3DXVec3Project(&screen, &c.world, &cam.viewport, &cam.projection, &cam.view, nullptr);
            ExpectNear(screen, c.screen, 1e-3f);
            ASSERT_NE(D3DXVec3Unproject(&world, &c.screen, &cam.viewport, &cam.projection, &cam.view, nullptr),
                      nullptr);
            ExpectNear(world, c.world, 1e-3f);
        }
    }

    // A world matrix moves the point before the camera sees it.
    Camera cam = MakeCamera(0, 0);
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0, 0, 99);
    const D3DXVECTOR3 origin(0, 0, 1);
    D3DXVECTOR3 screen;
    D3DXVec3Project(&screen, &origin, &cam.viewport, &cam.projection, &cam.view, &world);
    ExpectNear(screen, {400, 300, 1}, 1e-4f);
}

TEST(D3DXVector, UnprojectThroughSingularMatricesFailsAndLeavesOutputAlone)
{
    Camera cam = MakeCamera(0, 0);
    D3DXMATRIX flat;
    D3DXMatrixScaling(&flat, 1, 1, 0);
    const D3DXVECTOR3 screen(10, 10, 0.5f);
    D3DXVECTOR3 out(7, 7, 7);
    EXPECT_EQ(D3DXVec3Unproject(&out, &screen, &cam.viewport, &cam.projection, &cam.view, &flat), nullptr);
    EXPECT_EQ(out, D3DXVECTOR3(7, 7, 7));

    // No viewport: the input is taken as clip coordinates after the divide.
    const D3DXVECTOR3 clip(0, 0, 0);
    ASSERT_NE(D3DXVec3Unproject(&out, &clip, nullptr, &cam.projection, &cam.view, nullptr), nullptr);
    ExpectNear(out, {0, 0, 1}, 1e-5f);
}

TEST(D3DXVector, Operators)
{
    D3DXVECTOR3 a(1, 2, 3), b(4, 5, 6);
    EXPECT_EQ(a + b, D3DXVECTOR3(5, 7, 9));
    EXPECT_EQ(b - a, D3DXVECTOR3(3, 3, 3));
    EXPECT_EQ(a * 2.0f, D3DXVECTOR3(2, 4, 6));
    EXPECT_EQ(2.0f * a, D3DXVECTOR3(2, 4, 6));
    EXPECT_EQ(b / 2.0f, D3DXVECTOR3(2, 2.5f, 3));
    EXPECT_EQ(-a, D3DXVECTOR3(-1, -2, -3));
    EXPECT_EQ(+a, a);
    EXPECT_NE(a, b);
    D3DXVECTOR3 c = a;
    c += b;
    c -= a;
    c *= 2.0f;
    c /= 4.0f;
    EXPECT_EQ(c, D3DXVECTOR3(2, 2.5f, 3));
    const float f[3] = {7, 8, 9};
    EXPECT_EQ(D3DXVECTOR3(f), D3DXVECTOR3(7, 8, 9));
    EXPECT_EQ(static_cast<const float*>(a)[2], 3.0f);
    D3DVECTOR plain = a;
    EXPECT_EQ(D3DXVECTOR3(plain), a);
    EXPECT_EQ(D3DXVECTOR3(), D3DXVECTOR3(0, 0, 0));

    D3DXVECTOR2 p(1, 2);
    EXPECT_EQ(p * 3.0f - D3DXVECTOR2(1, 1), D3DXVECTOR2(2, 5));
    EXPECT_EQ(D3DXVECTOR2(), D3DXVECTOR2(0, 0));
    D3DXVECTOR4 q(a, 1);
    EXPECT_EQ(q, D3DXVECTOR4(1, 2, 3, 1));
    EXPECT_EQ(0.5f * q + q / 2.0f, q);
    EXPECT_EQ(D3DXVECTOR4(), D3DXVECTOR4(0, 0, 0, 0));
}
