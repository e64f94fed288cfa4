#include <cmath>

#include "Tests/Platform/math/MathExpect.h"

namespace
{
constexpr float HalfPi = D3DX_PI / 2.0f;

D3DXMATRIX Identity()
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

D3DXVECTOR3 Point(const D3DXVECTOR3& v, const D3DXMATRIX& m)
{
    D3DXVECTOR3 r;
    D3DXVec3TransformCoord(&r, &v, &m);
    return r;
}
}  // namespace

// Left-handed rotations of a quarter turn, by hand: each moves one axis onto the next.
TEST(D3DXMatrix, QuarterTurnsMoveAxesLeftHanded)
{
    struct Case
    {
        D3DXMATRIX* (*rotate)(D3DXMATRIX*, float);
        D3DXVECTOR3 in;
        D3DXVECTOR3 out;
    };
    const Case cases[] = {
        {D3DXMatrixRotationX, {0, 1, 0}, {0, 0, 1}}, {D3DXMatrixRotationX, {0, 0, 1}, {0, -1, 0}},
        {D3DXMatrixRotationY, {0, 0, 1}, {1, 0, 0}}, {D3DXMatrixRotationY, {1, 0, 0}, {0, 0, -1}},
        {D3DXMatrixRotationZ, {1, 0, 0}, {0, 1, 0}}, {D3DXMatrixRotationZ, {0, 1, 0}, {-1, 0, 0}},
    };
    for (const Case& c : cases)
    {
        D3DXMATRIX m;
        EXPECT_EQ(c.rotate(&m, HalfPi), &m);
        ExpectNear(Point(c.in, m), c.out);
    }
}

TEST(D3DXMatrix, AxisRotationMatchesPrincipalRotationsForAnyAxisLength)
{
    struct Case
    {
        D3DXMATRIX* (*rotate)(D3DXMATRIX*, float);
        D3DXVECTOR3 axis;
    };
    const Case cases[] = {
        {D3DXMatrixRotationX, {1, 0, 0}},
        {D3DXMatrixRotationY, {0, 3, 0}},
        {D3DXMatrixRotationZ, {0, 0, 0.25f}},
    };
    for (const Case& c : cases)
        for (float angle : {0.3f, -1.2f, 2.9f})
        {
            D3DXMATRIX expected, actual;
            c.rotate(&expected, angle);
            D3DXMatrixRotationAxis(&actual, &c.axis, angle);
            ExpectNear(actual, expected);
        }
}

TEST(D3DXMatrix, YawPitchRollAppliesRollThenPitchThenYaw)
{
    // Hand values: each angle alone.
    D3DXMATRIX m;
    D3DXMatrixRotationYawPitchRoll(&m, HalfPi, 0, 0);
    ExpectNear(Point({0, 0, 1}, m), {1, 0, 0});
    D3DXMatrixRotationYawPitchRoll(&m, 0, HalfPi, 0);
    ExpectNear(Point({0, 0, 1}, m), {0, -1, 0});
    D3DXMatrixRotationYawPitchRoll(&m, 0, 0, HalfPi);
    ExpectNear(Point({1, 0, 0}, m), {0, 1, 0});

    // Combined: roll first, then pitch, then yaw.
    const float angles[][3] = {{0.4f, -0.8f, 1.3f}, {-2.0f, 0.1f, 0.5f}, {3.0f, 1.5f, -3.0f}};
    for (const auto& a : angles)
    {
        D3DXMATRIX yaw, pitch, roll;
        D3DXMatrixRotationY(&yaw, a[0]);
        D3DXMatrixRotationX(&pitch, a[1]);
        D3DXMatrixRotationZ(&roll, a[2]);
        D3DXMatrixRotationYawPitchRoll(&m, a[0], a[1], a[2]);
        ExpectNear(m, roll * pitch * yaw);
    }
}

TEST(D3DXMatrix, MultiplyAppliesLeftOperandFirstAndAllowsAliasing)
{
    D3DXMATRIX s, t;
    D3DXMatrixScaling(&s, 2, 2, 2);
    D3DXMatrixTranslation(&t, 1, 2, 3);
    ExpectNear(Point({1, 1, 1}, s * t), {3, 4, 5});
    ExpectNear(Point({1, 1, 1}, t * s), {4, 6, 8});

    // A hand-multiplied pair.
    D3DXMATRIX a(1, 2, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 3, 0, 0, 1);
    D3DXMATRIX b(0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1);
    D3DXMATRIX ab(2, 1, 0, 0, 1, 0, 0, 0, 0, 0, 2, 0, 0, 3, 0, 1);
    D3DXMATRIX out;
    EXPECT_EQ(D3DXMatrixMultiply(&out, &a, &b), &out);
    EXPECT_EQ(out, ab);
    D3DXMatrixMultiply(&a, &a, &b);
    EXPECT_EQ(a, ab);
    D3DXMATRIX b2 = b;
    D3DXMatrixMultiply(&b2, &b2, &b2);
    EXPECT_EQ(b2, b * b);

    D3DXMATRIX abT;
    D3DXMatrixTranspose(&abT, &ab);
    const D3DXMATRIX a0(1, 2, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 3, 0, 0, 1);
    D3DXMatrixMultiplyTranspose(&out, &a0, &b);
    EXPECT_EQ(out, abT);
}

TEST(D3DXMatrix, DeterminantAndInverse)
{
    struct Case
    {
        D3DXMATRIX m;
        float determinant;
    };
    D3DXMATRIX rotation, translation;
    D3DXMatrixRotationYawPitchRoll(&rotation, 0.3f, 1.1f, -0.7f);
    D3DXMatrixTranslation(&translation, 5, -6, 7);
    const Case cases[] = {
        {D3DXMATRIX(2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1), 24},
        {D3DXMATRIX(2, 1, 3, 4, 0, 3, 5, 6, 0, 0, 4, 7, 0, 0, 0, 5), 120},
        {D3DXMATRIX(0, 3, 5, 6, 2, 1, 3, 4, 0, 0, 4, 7, 0, 0, 0, 5), -120},  // two rows swapped
        {rotation * translation, 1},
        {D3DXMATRIX(1, 2, 3, 4, 5, 6, 7, 8, 2, 6, 4, 8, 3, 1, 1, 2), 72},
    };
    for (const Case& c : cases)
    {
        EXPECT_NEAR(D3DXMatrixDeterminant(&c.m), c.determinant, 1e-4f);
        D3DXMATRIX inverse;
        float det = 0;
        ASSERT_EQ(D3DXMatrixInverse(&inverse, &det, &c.m), &inverse);
        EXPECT_NEAR(det, c.determinant, 1e-4f);
        ExpectNear(c.m * inverse, Identity());
        ExpectNear(inverse * c.m, Identity());
    }

    D3DXMATRIX inverse;
    D3DXMATRIX diagonal(2, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1);
    D3DXMatrixInverse(&inverse, nullptr, &diagonal);
    EXPECT_EQ(inverse, D3DXMATRIX(0.5f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1));

    // In place.
    D3DXMATRIX m = rotation * translation;
    D3DXMatrixInverse(&m, nullptr, &m);
    ExpectNear(m * rotation * translation, Identity());
}

TEST(D3DXMatrix, InverseOfSingularMatrixReturnsNullAndLeavesOutputAlone)
{
    const D3DXMATRIX singular[] = {
        D3DXMATRIX(), D3DXMATRIX(1, 2, 3, 4, 2, 4, 6, 8, 0, 0, 1, 0, 0, 0, 0, 1),  // dependent rows
        D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1),                // flattened
    };
    for (const D3DXMATRIX& m : singular)
    {
        D3DXMATRIX out(7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7);
        const D3DXMATRIX before = out;
        float det = 99;
        EXPECT_EQ(D3DXMatrixInverse(&out, &det, &m), nullptr);
        EXPECT_EQ(out, before);
        EXPECT_EQ(det, 0.0f);
    }
}

TEST(D3DXMatrix, IdentityTransposeAndScalingTranslationLayout)
{
    D3DXMATRIX i = Identity();
    EXPECT_TRUE(D3DXMatrixIsIdentity(&i));
    i._23 = 1e-7f;
    EXPECT_FALSE(D3DXMatrixIsIdentity(&i));

    D3DXMATRIX m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    D3DXMATRIX t;
    D3DXMatrixTranspose(&t, &m);
    EXPECT_EQ(t, D3DXMATRIX(1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16));
    D3DXMatrixTranspose(&m, &m);
    EXPECT_EQ(m, t);

    D3DXMatrixScaling(&m, 2, 3, 4);
    EXPECT_EQ(m, D3DXMATRIX(2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1));
    D3DXMatrixTranslation(&m, 2, 3, 4);
    EXPECT_EQ(m, D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 2, 3, 4, 1));
}

TEST(D3DXMatrix, LookAtLH)
{
    struct Case
    {
        D3DXVECTOR3 eye, at, up;
        D3DXMATRIX expected;
    };
    const Case cases[] = {
        // Looking down +z from z = -5: rotation is identity, the eye moves to the origin.
        {{0, 0, -5}, {0, 0, 0}, {0, 1, 0}, D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1)},
        // Looking down +x: x axis (right) is -z, forward is +x.
        {{3, 0, 0}, {4, 0, 0}, {0, 1, 0}, D3DXMATRIX(0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, -3, 1)},
        // An up vector off the perpendicular is straightened; the target's distance does not matter.
        {{0, 0, 0}, {0, 0, 10}, {0, 1, 1}, D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1)},
        // Looking straight down with z as up.
        {{0, 10, 0}, {0, 0, 0}, {0, 0, 1}, D3DXMATRIX(1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 10, 1)},
    };
    for (const Case& c : cases)
    {
        D3DXMATRIX view;
        EXPECT_EQ(D3DXMatrixLookAtLH(&view, &c.eye, &c.at, &c.up), &view);
        ExpectNear(view, c.expected);
        // The target ends up straight ahead.
        D3DXVECTOR3 at = Point(c.at, view);
        EXPECT_NEAR(at.x, 0, 1e-5f);
        EXPECT_NEAR(at.y, 0, 1e-5f);
        EXPECT_GT(at.z, 0);
    }
}

TEST(D3DXMatrix, ProjectionsByHand)
{
    struct Case
    {
        D3DXMATRIX actual;
        D3DXMATRIX expected;
    };
    D3DXMATRIX fov, fovSquare, persp, perspOff, ortho, orthoOff, orthoScreen;
    D3DXMatrixPerspectiveFovLH(&fov, HalfPi, 2.0f, 1.0f, 101.0f);
    D3DXMatrixPerspectiveFovLH(&fovSquare, HalfPi, 1.0f, 1.0f, 10.0f);
    D3DXMatrixPerspectiveLH(&persp, 2.0f, 2.0f, 1.0f, 10.0f);
    D3DXMatrixPerspectiveOffCenterLH(&perspOff, 0.0f, 2.0f, -1.0f, 3.0f, 1.0f, 10.0f);
    D3DXMatrixOrthoLH(&ortho, 10.0f, 20.0f, 1.0f, 11.0f);
    D3DXMatrixOrthoOffCenterLH(&orthoOff, 0.0f, 800.0f, 600.0f, 0.0f, 0.0f, 1.0f);
    D3DXMatrixOrthoOffCenterLH(&orthoScreen, -5.0f, 5.0f, -10.0f, 10.0f, 1.0f, 11.0f);
    const float q = 10.0f / 9.0f;
    const Case cases[] = {
        {fov, D3DXMATRIX(0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.01f, 1, 0, 0, -1.01f, 0)},
        {fovSquare, D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, q, 1, 0, 0, -q, 0)},
        {persp, fovSquare},
        {perspOff, D3DXMATRIX(1, 0, 0, 0, 0, 0.5f, 0, 0, -1, -0.5f, q, 1, 0, 0, -q, 0)},
        {ortho, D3DXMATRIX(0.2f, 0, 0, 0, 0, 0.1f, 0, 0, 0, 0, 0.1f, 0, 0, 0, -0.1f, 1)},
        {orthoOff, D3DXMATRIX(0.0025f, 0, 0, 0, 0, -1.0f / 300.0f, 0, 0, 0, 0, 1, 0, -1, 1, 0, 1)},
        {orthoScreen, ortho},
    };
    for (const Case& c : cases)
        ExpectNear(c.actual, c.expected);

    // Clip depth runs 0..1 from the near to the far plane.
    EXPECT_NEAR(Point({0, 0, 1}, fov).z, 0.0f, 1e-6f);
    EXPECT_NEAR(Point({0, 0, 101}, fov).z, 1.0f, 1e-6f);
    EXPECT_NEAR(Point({0, 0, 1}, ortho).z, 0.0f, 1e-6f);
    EXPECT_NEAR(Point({0, 0, 11}, ortho).z, 1.0f, 1e-6f);
    // Pixel (0, 0) is the top-left corner of clip space, (800, 600) the bottom-right.
    ExpectNear(Point({0, 0, 0}, orthoOff), {-1, 1, 0});
    ExpectNear(Point({800, 600, 1}, orthoOff), {1, -1, 1});
}

TEST(D3DXMatrix, DecomposeRecoversScaleRotationTranslation)
{
    D3DXQUATERNION rotation;
    D3DXQuaternionRotationYawPitchRoll(&rotation, 0.5f, -0.25f, 2.0f);
    D3DXVECTOR3 scale(2, 0.5f, 3), translation(-1, 8, 4);
    D3DXMATRIX s, r, t;
    D3DXMatrixScaling(&s, scale.x, scale.y, scale.z);
    D3DXMatrixRotationQuaternion(&r, &rotation);
    D3DXMatrixTranslation(&t, translation.x, translation.y, translation.z);
    D3DXMATRIX m = s * r * t;

    D3DXVECTOR3 outScale, outTranslation;
    D3DXQUATERNION outRotation;
    ASSERT_TRUE(D3DXMatrixDecompose(&outScale, &outRotation, &outTranslation, &m));
    ExpectNear(outScale, scale);
    ExpectNear(outTranslation, translation);
    EXPECT_NEAR(std::fabs(D3DXQuaternionDot(&outRotation, &rotation)), 1.0f, 1e-5f);

    D3DXMATRIX flat;
    D3DXMatrixScaling(&flat, 1, 0, 1);
    EXPECT_FALSE(D3DXMatrixDecompose(&outScale, &outRotation, &outTranslation, &flat));
}

TEST(D3DXMatrix, TransformationComposesAboutCentres)
{
    D3DXQUATERNION quarterZ;
    D3DXVECTOR3 zAxis(0, 0, 1);
    D3DXQuaternionRotationAxis(&quarterZ, &zAxis, HalfPi);
    D3DXVECTOR3 centre(1, 0, 0), translation(0, 0, 5);

    // Scale by 2 about the origin, turn a quarter about (1, 0, 0), then move 5 along z:
    // (1, 1, 0) -> (2, 2, 0) -> relative (1, 2, 0) -> (-2, 1, 0) -> (-1, 1, 0) -> (-1, 1, 5).
    D3DXMATRIX affine;
    EXPECT_EQ(D3DXMatrixAffineTransformation(&affine, 2.0f, &centre, &quarterZ, &translation), &affine);
    ExpectNear(Point({1, 1, 0}, affine), {-1, 1, 5});

    D3DXVECTOR3 scaling(2, 2, 2);
    D3DXMATRIX full;
    D3DXMatrixTransformation(&full, nullptr, nullptr, &scaling, &centre, &quarterZ, &translation);
    ExpectNear(full, affine);

    // Non-uniform scaling about a centre along rotated axes: scale x by 3 along the y axis about (0, 1, 0).
    D3DXVECTOR3 scaleCentre(0, 1, 0), stretch(3, 1, 1);
    D3DXMatrixTransformation(&full, &scaleCentre, &quarterZ, &stretch, nullptr, nullptr, nullptr);
    ExpectNear(Point({0, 2, 0}, full), {0, 4, 0});
    ExpectNear(Point({1, 1, 0}, full), {1, 1, 0});

    D3DXMatrixTransformation(&full, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(D3DXMatrixIsIdentity(&full));
}

TEST(D3DXMatrix, ReflectAboutPlane)
{
    struct Case
    {
        D3DXPLANE plane;
        D3DXVECTOR3 in, out;
    };
    const Case cases[] = {
        {{0, 1, 0, 0}, {1, 2, 3}, {1, -2, 3}},
        {{0, 1, 0, -1}, {0, 3, 0}, {0, -1, 0}},
        {{0, 2, 0, -2}, {0, 3, 0}, {0, -1, 0}},  // unnormalized plane
        {{1, 0, 1, 0}, {1, 0, 0}, {0, 0, -1}},
    };
    for (const Case& c : cases)
    {
        D3DXMATRIX m;
        D3DXMatrixReflect(&m, &c.plane);
        ExpectNear(Point(c.in, m), c.out);
    }
}

TEST(D3DXMatrix, Operators)
{
    D3DXMATRIX a(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const float f[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    EXPECT_EQ(D3DXMATRIX(f), a);
    EXPECT_EQ(a(1, 2), 7.0f);
    EXPECT_EQ(a._34, 12.0f);
    EXPECT_EQ(static_cast<const float*>(a)[7], 8.0f);

    D3DXMATRIX twice = a + a;
    EXPECT_EQ(twice, a * 2.0f);
    EXPECT_EQ(twice, 2.0f * a);
    EXPECT_EQ(twice / 2.0f, a);
    EXPECT_EQ(twice - a, a);
    EXPECT_EQ(-a + a, D3DXMATRIX());
    EXPECT_NE(twice, a);

    D3DXMATRIX b;
    D3DXMatrixRotationX(&b, 0.5f);
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, &a, &b);
    D3DXMATRIX c = a;
    c *= b;
    EXPECT_EQ(c, product);
    c = a;
    c += a;
    c -= a;
    c *= 3.0f;
    c /= 3.0f;
    ExpectNear(c, a);
    D3DXMATRIX zero;
    EXPECT_EQ(zero, D3DXMATRIX(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
}
