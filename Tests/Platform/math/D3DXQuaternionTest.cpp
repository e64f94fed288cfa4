#include <cmath>

#include "Tests/Platform/math/MathExpect.h"

namespace
{
constexpr float HalfPi = D3DX_PI / 2.0f;

D3DXQUATERNION AboutAxis(D3DXVECTOR3 axis, float angle)
{
    D3DXQUATERNION q;
    D3DXQuaternionRotationAxis(&q, &axis, angle);
    return q;
}

D3DXMATRIX MatrixOf(const D3DXQUATERNION& q)
{
    D3DXMATRIX m;
    D3DXMatrixRotationQuaternion(&m, &q);
    return m;
}

// q and -q are the same rotation.
void ExpectSameRotation(const D3DXQUATERNION& actual, const D3DXQUATERNION& expected)
{
    EXPECT_NEAR(std::fabs(D3DXQuaternionDot(&actual, &expected)), 1.0f, 1e-5f);
}
}  // namespace

TEST(D3DXQuaternion, IdentityConjugateInverseNormalize)
{
    D3DXQUATERNION q;
    EXPECT_EQ(*D3DXQuaternionIdentity(&q), D3DXQUATERNION(0, 0, 0, 1));
    EXPECT_TRUE(D3DXQuaternionIsIdentity(&q));
    const D3DXQUATERNION negated(0, 0, 0, -1);
    EXPECT_FALSE(D3DXQuaternionIsIdentity(&negated));  // same rotation, different quaternion

    const D3DXQUATERNION a(1, -2, 3, 4);
    D3DXQUATERNION r;
    EXPECT_EQ(*D3DXQuaternionConjugate(&r, &a), D3DXQUATERNION(-1, 2, -3, 4));
    EXPECT_FLOAT_EQ(D3DXQuaternionLengthSq(&a), 30.0f);
    EXPECT_FLOAT_EQ(D3DXQuaternionLength(&a), std::sqrt(30.0f));
    EXPECT_FLOAT_EQ(D3DXQuaternionDot(&a, &r), -1 - 4 - 9 + 16);

    D3DXQuaternionInverse(&r, &a);
    ExpectNear(r, D3DXQUATERNION(-1, 2, -3, 4) / 30.0f);
    ExpectNear(a * r, D3DXQUATERNION(0, 0, 0, 1));
    ExpectNear(r * a, D3DXQUATERNION(0, 0, 0, 1));

    const D3DXQUATERNION b(0, 0, 3, 4);
    ExpectNear(*D3DXQuaternionNormalize(&r, &b), {0, 0, 0.6f, 0.8f});

    // Zero stays zero rather than turning into NaN.
    const D3DXQUATERNION zero(0, 0, 0, 0);
    EXPECT_EQ(*D3DXQuaternionNormalize(&r, &zero), zero);
    EXPECT_EQ(*D3DXQuaternionInverse(&r, &zero), zero);
}

TEST(D3DXQuaternion, AxisAngleByHand)
{
    const float h = std::sqrt(0.5f);
    struct Case
    {
        D3DXVECTOR3 axis;
        float angle;
        D3DXQUATERNION q;
    };
    const Case cases[] = {
        {{0, 1, 0}, HalfPi, {0, h, 0, h}},  {{0, 5, 0}, HalfPi, {0, h, 0, h}},  // the axis is normalized
        {{1, 0, 0}, D3DX_PI, {1, 0, 0, 0}}, {{0, 0, 1}, -HalfPi, {0, 0, -h, h}}, {{1, 1, 1}, 0, {0, 0, 0, 1}},
    };
    for (const Case& c : cases)
    {
        D3DXQUATERNION q = AboutAxis(c.axis, c.angle);
        ExpectNear(q, c.q);
        D3DXMATRIX expected;
        D3DXMatrixRotationAxis(&expected, &c.axis, c.angle);
        ExpectNear(MatrixOf(q), expected);

        D3DXVECTOR3 axis;
        float angle = 0;
        D3DXQuaternionToAxisAngle(&q, &axis, &angle);
        EXPECT_NEAR(angle, std::fabs(c.angle), 1e-3f);
    }
}

// Every branch of matrix-to-quaternion: positive trace, and each diagonal element largest.
TEST(D3DXQuaternion, MatrixRoundTripCoversEveryBranch)
{
    const D3DXQUATERNION cases[] = {
        AboutAxis({0.3f, -1, 0.2f}, 0.8f),  AboutAxis({1, 0, 0}, D3DX_PI),     AboutAxis({0, 1, 0}, D3DX_PI),
        AboutAxis({0, 0, 1}, D3DX_PI),      AboutAxis({1, 0.1f, 0.05f}, 3.0f), AboutAxis({0.1f, 1, -0.2f}, 2.9f),
        AboutAxis({-0.1f, 0.2f, 1}, -3.1f), D3DXQUATERNION(0, 0, 0, 1),
    };
    for (const D3DXQUATERNION& q : cases)
    {
        D3DXMATRIX m = MatrixOf(q);
        D3DXQUATERNION back;
        EXPECT_EQ(D3DXQuaternionRotationMatrix(&back, &m), &back);
        ExpectSameRotation(back, q);
        ExpectNear(MatrixOf(back), m);
    }
}

TEST(D3DXQuaternion, MultiplyComposesLikeMatrices)
{
    const D3DXQUATERNION a = AboutAxis({0, 1, 0}, 0.7f);
    const D3DXQUATERNION b = AboutAxis({1, 0.5f, 0}, -1.3f);
    D3DXQUATERNION ab;
    EXPECT_EQ(D3DXQuaternionMultiply(&ab, &a, &b), &ab);
    ExpectNear(MatrixOf(ab), MatrixOf(a) * MatrixOf(b));
    EXPECT_EQ(a * b, ab);
    D3DXQUATERNION c = a;
    c *= b;
    EXPECT_EQ(c, ab);
    D3DXQuaternionMultiply(&c, &c, &c);
    ExpectNear(c, a * b * (a * b));

    // Quarter turns about y then x, by hand: the Hamilton product x * y = (h, 0, 0, h)(0, h, 0, h).
    ExpectNear(AboutAxis({0, 1, 0}, HalfPi) * AboutAxis({1, 0, 0}, HalfPi), {0.5f, 0.5f, 0.5f, 0.5f});
}

TEST(D3DXQuaternion, YawPitchRollMatchesMatrix)
{
    const float angles[][3] = {
        {0.4f, -0.8f, 1.3f}, {HalfPi, 0, 0}, {0, HalfPi, 0}, {0, 0, HalfPi}, {-2.0f, 1.0f, 3.0f}};
    for (const auto& a : angles)
    {
        D3DXQUATERNION q;
        D3DXQuaternionRotationYawPitchRoll(&q, a[0], a[1], a[2]);
        EXPECT_NEAR(D3DXQuaternionLength(&q), 1.0f, 1e-5f);
        D3DXMATRIX expected;
        D3DXMatrixRotationYawPitchRoll(&expected, a[0], a[1], a[2]);
        ExpectNear(MatrixOf(q), expected);
    }
}

TEST(D3DXQuaternion, SlerpEndsMiddleShorterArcAndNearlyParallel)
{
    const D3DXQUATERNION from(0, 0, 0, 1);
    const D3DXQUATERNION to = AboutAxis({0, 0, 1}, HalfPi);
    const D3DXQUATERNION toFlipped = -to;
    struct Case
    {
        const D3DXQUATERNION* q2;
        float t;
        D3DXQUATERNION expected;
    };
    const Case cases[] = {
        {&to, 0.0f, from},
        {&to, 0.5f, AboutAxis({0, 0, 1}, HalfPi / 2)},
        {&to, 1.0f, to},
        {&to, 0.25f, AboutAxis({0, 0, 1}, HalfPi / 4)},
        // -q is the same rotation: the blend still takes the quarter-turn arc, not the long way.
        {&toFlipped, 0.0f, from},
        {&toFlipped, 0.5f, AboutAxis({0, 0, 1}, HalfPi / 2)},
        {&toFlipped, 1.0f, to},
    };
    for (const Case& c : cases)
    {
        D3DXQUATERNION r;
        EXPECT_EQ(D3DXQuaternionSlerp(&r, &from, c.q2, c.t), &r);
        ExpectNear(r, c.expected);
    }

    // Nearly parallel: a plain linear blend (no division by a vanishing sine).
    const D3DXQUATERNION near = AboutAxis({0, 0, 1}, 0.01f);
    D3DXQUATERNION r;
    D3DXQuaternionSlerp(&r, &from, &near, 0.5f);
    EXPECT_EQ(r, 0.5f * from + 0.5f * near);
    D3DXQuaternionSlerp(&r, &from, &from, 0.3f);
    ExpectNear(r, from);
    EXPECT_FALSE(std::isnan(r.w));
}

TEST(D3DXQuaternion, Operators)
{
    D3DXQUATERNION a(1, 2, 3, 4), b(0.5f, 0.5f, 0.5f, 0.5f);
    EXPECT_EQ(a + b, D3DXQUATERNION(1.5f, 2.5f, 3.5f, 4.5f));
    EXPECT_EQ(a - b, D3DXQUATERNION(0.5f, 1.5f, 2.5f, 3.5f));
    EXPECT_EQ(a * 2.0f, 2.0f * a);
    EXPECT_EQ(a / 2.0f, D3DXQUATERNION(0.5f, 1, 1.5f, 2));
    EXPECT_EQ(-a, D3DXQUATERNION(-1, -2, -3, -4));
    D3DXQUATERNION c = a;
    c += b;
    c -= b;
    c *= 4.0f;
    c /= 4.0f;
    EXPECT_EQ(c, a);
    EXPECT_NE(a, b);
    EXPECT_EQ(D3DXQUATERNION(), D3DXQUATERNION(0, 0, 0, 0));
    const float f[4] = {1, 2, 3, 4};
    EXPECT_EQ(D3DXQUATERNION(f), a);
}
