// The canvas over OpenGL, headless, on the shipped pack: a 1:1 quad comes back texel for texel through the
// 2-D effect, and a white text lights pixels inside its box and none outside.
#include <gtest/gtest.h>

#include <vector>

#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeTexture.h"
#include "Engine/ui/WeFont.h"
#include "Engine/ui/WeFontTable.h"
#include "Tests/support/GLTestFixture.h"

namespace
{

constexpr int Width = 128;
constexpr int Height = 96;

class WeCanvasGL : public GLTestFixture
{
protected:
    WeCanvasGL() : GLTestFixture(Width, Height) {}
    void SetUp() override
    {
        GLTestFixture::SetUp();
        g_RenderDevice.m_ClearEachFrame = 1;
        g_RenderDevice.m_ClearColor = 0xFF000000;
    }
    std::vector<uint32_t> Frame()
    {
        GLTestImage image = ReadBack();
        for (uint32_t& p : image.pixels)
            p &= 0x00FFFFFFu;
        return image.pixels;
    }
};

WeTexture* g_Gradient = nullptr;
WeFont* g_TextFont = nullptr;

TEST_F(WeCanvasGL, AOneToOneQuadReadsBackItsTexels)
{
    g_Gradient = g_TextureManager.CreateTexture(16, 16, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, false);
    ASSERT_NE(g_Gradient, nullptr);
    void* bits = nullptr;
    int32_t total = 0, pitch = 0;
    ASSERT_TRUE(g_Gradient->Lock(&bits, &total, &pitch));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(bits) + y * pitch)[x] =
                0xFF000000u | uint32_t(x * 16) << 16 | uint32_t(y * 16) << 8 | 0x40u;
    g_Gradient->Unlock();
    g_RenderDevice.m_RenderCallback = [] { g_Canvas.DrawQuad(10, 20, 16, 16, 0xFFFFFFFF, g_Gradient, 0); };
    g_RenderDevice.Render();
    std::vector<uint32_t> frame = Frame();
    EXPECT_FALSE(frame.empty());
    frame.resize(size_t(Width) * Height);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(frame[size_t((20 + y) * Width + 10 + x)], uint32_t(x * 16) << 16 | uint32_t(y * 16) << 8 | 0x40u)
                << x << ", " << y;
    EXPECT_EQ(frame[size_t(19 * Width + 10)], 0u);
    EXPECT_EQ(frame[size_t(20 * Width + 26)], 0u);
    delete g_Gradient;  // made unregistered: the test owns it
    g_Gradient = nullptr;
}

TEST_F(WeCanvasGL, AWhiteTextLightsItsBoxOnly)
{
    // 20 pixels on this small screen.
    g_TextFont = g_FontTable.GetFont(WeString("DejaVu Sans:160"));
    ASSERT_NE(g_TextFont->GetGlyphTexture(), nullptr);
    g_RenderDevice.m_RenderCallback = []
    { g_Canvas.DrawText(g_TextFont, WeString("Hi!"), 20, 30, 80, 40, 0xFFFFFFFF, 1 | 4, 1.0f); };
    g_RenderDevice.Render();
    std::vector<uint32_t> frame = Frame();
    ASSERT_FALSE(frame.empty());
    int inside = 0, outside = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
        {
            if (frame[size_t(y * Width + x)] == 0)
                continue;
            bool in = x >= 20 && x < 100 && y >= 30 && y < 70;
            (in ? inside : outside) += 1;
        }
    EXPECT_GT(inside, 30);
    EXPECT_EQ(outside, 0);
    g_FontTable.DestroyAll();
}

}  // namespace
