#include "Tests/Platform/math/MathExpect.h"

TEST(D3DXColor, PackedConversions)
{
    struct Case
    {
        uint32_t argb;
        D3DXCOLOR color;
    };
    const Case cases[] = {
        {0x00000000u, {0, 0, 0, 0}},
        {0xFFFFFFFFu, {1, 1, 1, 1}},
        {0x80FF4000u, {1, 64 / 255.0f, 0, 128 / 255.0f}},
        {0x12345678u, {0x34 / 255.0f, 0x56 / 255.0f, 0x78 / 255.0f, 0x12 / 255.0f}},
    };
    for (const Case& c : cases)
    {
        ExpectNear(D3DXCOLOR(c.argb), c.color);
        EXPECT_EQ(static_cast<uint32_t>(D3DXCOLOR(c.argb)), c.argb);
        EXPECT_EQ(static_cast<uint32_t>(c.color), c.argb);
    }
    // Packing clamps and rounds to the nearest step.
    EXPECT_EQ(static_cast<uint32_t>(D3DXCOLOR(1.5f, -0.2f, 0.5f, 1.0f)), 0xFFFF0080u);
    EXPECT_EQ(static_cast<uint32_t>(D3DXCOLOR(0.499f / 255, 0.501f / 255, 0, 0)), 0x00000100u);
}

TEST(D3DXColor, Functions)
{
    const D3DXCOLOR a(0.2f, 0.4f, 0.6f, 0.8f), b(1, 0.5f, 0, 0.25f);
    D3DXCOLOR r;
    ExpectNear(*D3DXColorNegative(&r, &a), {0.8f, 0.6f, 0.4f, 0.8f});
    ExpectNear(*D3DXColorAdd(&r, &a, &b), {1.2f, 0.9f, 0.6f, 1.05f});  // not clamped
    ExpectNear(*D3DXColorSubtract(&r, &a, &b), {-0.8f, -0.1f, 0.6f, 0.55f});
    ExpectNear(*D3DXColorScale(&r, &a, 2), {0.4f, 0.8f, 1.2f, 1.6f});
    ExpectNear(*D3DXColorModulate(&r, &a, &b), {0.2f, 0.2f, 0, 0.2f});
    ExpectNear(*D3DXColorLerp(&r, &a, &b, 0.5f), {0.6f, 0.45f, 0.3f, 0.525f});

    const float grey = 0.2f * 0.2125f + 0.4f * 0.7154f + 0.6f * 0.0721f;
    ExpectNear(*D3DXColorAdjustSaturation(&r, &a, 0), {grey, grey, grey, 0.8f});
    ExpectNear(*D3DXColorAdjustSaturation(&r, &a, 1), a);
    ExpectNear(*D3DXColorAdjustContrast(&r, &a, 0), {0.5f, 0.5f, 0.5f, 0.8f});
    ExpectNear(*D3DXColorAdjustContrast(&r, &a, 2), {-0.1f, 0.3f, 0.7f, 0.8f});

    r = a;
    D3DXColorLerp(&r, &r, &b, 1);
    EXPECT_EQ(r, b);
}

TEST(D3DXColor, OperatorsAndRecordView)
{
    const D3DXCOLOR a(0.25f, 0.5f, 0.75f, 1);
    EXPECT_EQ(a + a, a * 2.0f);
    EXPECT_EQ(2.0f * a, a * 2.0f);
    EXPECT_EQ((a * 2.0f) / 2.0f, a);
    EXPECT_EQ(a - a, D3DXCOLOR(0, 0, 0, 0));
    EXPECT_EQ(-a, D3DXCOLOR(-0.25f, -0.5f, -0.75f, -1));
    D3DXCOLOR c = a;
    c += a;
    c -= a;
    c *= 4.0f;
    c /= 4.0f;
    EXPECT_EQ(c, a);
    EXPECT_EQ(D3DXCOLOR(), D3DXCOLOR(0, 0, 0, 0));

    const D3DCOLORVALUE& record = a;
    EXPECT_EQ(record.g, 0.5f);
    EXPECT_EQ(D3DXCOLOR(record), a);
    const float* f = a;
    EXPECT_EQ(f[2], 0.75f);
}
