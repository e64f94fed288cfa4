// Post-processing over OpenGL on the shipped pack: each effect alone on a known input, read back from the
// back buffer, and every technique of the shipped post-process effects built.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WePostProcess.h"
#include "Engine/render/WePostProcessEffect.h"
#include "Engine/render/WeRenderTarget.h"
#include "Engine/render/WeScreenQuad.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeTexture.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

constexpr int Width = 64;
constexpr int Height = 48;

uint32_t Channel(uint32_t pixel, int shift)
{
    return (pixel >> shift) & 0xFFu;
}

class WePostProcessGLFixture : public GLTestFixture
{
protected:
    WePostProcessGLFixture() : GLTestFixture(Width, Height, false) {}
    void SetUp() override
    {
        GLTestFixture::SetUp();
        m_Saved[0] = g_RenderDevice.m_BloomLevel;
        m_Saved[1] = g_RenderDevice.m_MotionBlurMode;
        m_Saved[2] = g_RenderDevice.m_RefractionOn;
        m_Saved[3] = g_RenderDevice.m_DepthOfFieldOn;
        m_Saved[4] = g_RenderDevice.m_FilmGrainOn;
        // Only what a test switches on.
        g_RenderDevice.m_BloomLevel = 0;
        g_RenderDevice.m_MotionBlurMode = 0;
        g_RenderDevice.m_RefractionOn = 0;
        g_RenderDevice.m_DepthOfFieldOn = 0;
        g_RenderDevice.m_FilmGrainOn = 0;
    }
    void TearDown() override
    {
        if (m_Pattern != nullptr)
            g_TextureManager.ReleaseTexture(m_Pattern, true);
        g_PostProcess.DeleteAllEffects();
        GLTestFixture::TearDown();
        g_RenderDevice.m_BloomLevel = m_Saved[0];
        g_RenderDevice.m_MotionBlurMode = m_Saved[1];
        g_RenderDevice.m_RefractionOn = uint8_t(m_Saved[2]);
        g_RenderDevice.m_DepthOfFieldOn = uint8_t(m_Saved[3]);
        g_RenderDevice.m_FilmGrainOn = uint8_t(m_Saved[4]);
    }
    bool Create()
    {
        if (!CreateDevice())
            return false;
        device = m_Device;
        return true;
    }

    // Draws the pixels of `colour(x, y)` into whatever target is bound, through the plain textured quad.
    void DrawPattern(const std::function<uint32_t(int, int)>& colour, int left = 0, int right = Width)
    {
        if (m_Pattern == nullptr)
            m_Pattern = g_TextureManager.CreateTexture(Width, Height, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, true);
        ASSERT_NE(m_Pattern, nullptr);
        void* bits = nullptr;
        int32_t total = 0, pitch = 0;
        ASSERT_TRUE(m_Pattern->Lock(&bits, &total, &pitch));
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(bits) + y * pitch)[x] = colour(x, y);
        m_Pattern->Unlock();
        const float l = float(left), r = float(right), h = float(Height);
        const float quad[4][6] = {{l, 0, 0, 1, l / Width, 0},
                                  {r, 0, 0, 1, r / Width, 0},
                                  {l, h, 0, 1, l / Width, 1},
                                  {r, h, 0, 1, r / Width, 1}};
        SetQuadStates();
        device->SetRenderState(D3DRS_ZENABLE, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        g_RenderDevice.SetTexture(0, m_Pattern);
        device->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
        device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(quad[0]));
        g_RenderDevice.SetTexture(0, nullptr);
    }

    // The scene drawn into the main target, then the chain onto the back buffer.
    std::vector<uint32_t> Run(const std::function<void()>& scene)
    {
        device->BeginScene();
        g_RenderDevice.Clear(true, 0xFF000000u, true, 1.0f, true, 0);
        g_PostProcess.BeginScene();
        g_RenderDevice.Clear(true, 0xFF000000u, true, 1.0f, true, 0);
        scene();
        g_PostProcess.EndScene();
        g_PostProcess.Render();
        device->EndScene();
        return Frame();
    }

    // The depth target filled with one view depth (red channel of the G16R16F target).
    void FillDepth(float depth)
    {
        ASSERT_NE(g_PostProcess.m_DepthTarget, nullptr);
        IDirect3DSurface9* saved = g_RenderDevice.GetRenderTarget();
        g_RenderDevice.SetRenderTarget(0, g_PostProcess.m_DepthTarget);
        uint32_t red = uint32_t(std::lround(std::min(depth, 1.0f) * 255.0f));
        g_RenderDevice.Clear(true, 0xFF000000u | (red << 16), false, 1.0f, false, 0);
        g_RenderDevice.RestoreRenderTarget(saved);
    }

    std::vector<uint32_t> Frame()
    {
        GLTestImage image = ReadBack();
        for (uint32_t& p : image.pixels)
            p &= 0x00FFFFFFu;
        return image.pixels;
    }
    static uint32_t At(const std::vector<uint32_t>& f, int x, int y)
    {
        return f.empty() ? 0xDEADu : f[size_t(y) * Width + size_t(x)];
    }
    // Sum of absolute channel differences over a rectangle.
    static long Difference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int x0, int x1, int y0,
                           int y1)
    {
        long sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                for (int s : {0, 8, 16})
                    sum += std::labs(long(Channel(At(a, x, y), s)) - long(Channel(At(b, x, y), s)));
        return sum;
    }

    IDirect3DDevice9* device = nullptr;
    WeTexture* m_Pattern = nullptr;
    int32_t m_Saved[5] = {};
};

using WePostProcessGL = WePostProcessGLFixture;

uint32_t Stripes(int x, int)
{
    return (x / 4) % 2 ? 0xFFFFFFFFu : 0xFF000000u;
}

TEST_F(WePostProcessGL, ContrastBrightnessAndFlashByTheFormula)
{
    ASSERT_TRUE(Create()) << g_Engine.m_ErrorText.c_str();
    EXPECT_EQ(g_PostProcess.m_Effects.Count(), 0);
    const uint32_t input = 0xFF664D33u;  // 0.4, 0.3, 0.2
    const float in[3] = {0.4f, 0.3f, 0.2f};
    struct Case
    {
        float contrast, brightness;
        float flash[4];
    } cases[] = {
        {0.0f, 0.0f, {0.0f, 0.0f, 0.0f, 0.0f}},
        {0.5f, 0.1f, {0.0f, 0.0f, 0.0f, 0.0f}},
        {-0.5f, 0.0f, {1.0f, 0.0f, 1.0f, 0.25f}},
        {0.0f, 0.0f, {0.0f, 1.0f, 0.0f, 1.0f}},
    };
    const float savedCamera[2] = {g_RenderDevice.m_CameraValues[0], g_RenderDevice.m_CameraValues[1]};
    for (const Case& c : cases)
    {
        g_RenderDevice.m_CameraValues[0] = c.contrast;
        g_RenderDevice.m_CameraValues[1] = c.brightness;
        for (int i = 0; i < 4; ++i)
            g_PostProcess.m_FlashColor[i] = c.flash[i];
        std::vector<uint32_t> f = Run([&] { DrawPattern([&](int, int) { return input; }); });
        for (int k = 0; k < 3; ++k)
        {
            float v = (in[k] - 0.5f) * (1.0f + c.contrast) + 0.5f + c.brightness;
            v = v * (1.0f - c.flash[3]) + c.flash[k] * c.flash[3];
            v = std::min(1.0f, std::max(0.0f, v));
            EXPECT_NEAR(double(Channel(At(f, 30, 20), 16 - 8 * k)), double(v * 255.0f), 3.0)
                << "channel " << k << " contrast " << c.contrast;
        }
    }
    g_RenderDevice.m_CameraValues[0] = savedCamera[0];
    g_RenderDevice.m_CameraValues[1] = savedCamera[1];
    for (float& v : g_PostProcess.m_FlashColor)
        v = 0.0f;
}

TEST_F(WePostProcessGL, BloomBrightensRoundABrightSpotAndLeavesDarkCornersAlone)
{
    g_RenderDevice.m_BloomLevel = 1;
    ASSERT_TRUE(Create()) << g_Engine.m_ErrorText.c_str();
    ASSERT_EQ(g_PostProcess.m_Effects.Count(), 1);
    auto spot = [](int x, int y) { return (std::abs(x - 32) < 5 && std::abs(y - 24) < 5) ? 0xFFFFFFFFu : 0xFF000000u; };
    std::vector<uint32_t> f = Run([&] { DrawPattern(spot); });
    EXPECT_EQ(At(f, 32, 24), 0xFFFFFFu);
    // Next to the spot the glow shows; the far corner stays black.
    EXPECT_GT(Channel(At(f, 39, 24), 8), 8u);
    EXPECT_GT(Channel(At(f, 32, 31), 8), 8u);
    EXPECT_EQ(At(f, 2, 2), 0u);
    EXPECT_EQ(At(f, Width - 2, Height - 2), 0u);
}

TEST_F(WePostProcessGL, RadialBlurGrowsWithTheStrength)
{
    g_RenderDevice.m_MotionBlurMode = 1;
    ASSERT_TRUE(Create()) << g_Engine.m_ErrorText.c_str();
    std::vector<uint32_t> sharp, weak, strong;
    g_PostProcess.m_RadialBlurStrength = 0.0f;
    sharp = Run([&] { DrawPattern(Stripes); });
    g_PostProcess.m_RadialBlurStrength = 0.1f;
    weak = Run([&] { DrawPattern(Stripes); });
    g_PostProcess.m_RadialBlurStrength = 0.3f;
    strong = Run([&] { DrawPattern(Stripes); });
    long none = Difference(sharp, sharp, 0, Width, 0, Height);
    long a = Difference(sharp, weak, 0, Width, 0, Height);
    long b = Difference(sharp, strong, 0, Width, 0, Height);
    EXPECT_EQ(none, 0);
    EXPECT_GT(a, 1000);
    EXPECT_GT(b, a);
    // At strength 0 the stripes come through unchanged.
    EXPECT_EQ(At(sharp, 1, 10), 0u);
    EXPECT_EQ(At(sharp, 5, 10), 0xFFFFFFu);
}

TEST_F(WePostProcessGL, RefractionMovesOnlyStencilMarkedPixels)
{
    g_RenderDevice.m_RefractionOn = 1;
    const uint8_t savedOption = g_RenderDevice.m_RefractionOption;
    g_RenderDevice.m_RefractionOption = 0;
    ASSERT_TRUE(Create()) << g_Engine.m_ErrorText.c_str();
    auto scene = [&](bool mark)
    {
        DrawPattern(Stripes);
        if (!mark)
            return;
        // Mark the left half as a refractive material would, without changing its colour.
        device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
        device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
        device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
        device->SetRenderState(D3DRS_STENCILREF, 1);
        device->SetRenderState(D3DRS_STENCILMASK, 1);
        device->SetRenderState(D3DRS_STENCILWRITEMASK, 1);
        DrawPattern(Stripes, 0, Width / 2);
        device->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    };
    auto strongRefraction = [&]
    {
        g_ShaderManager.SetSharedFloat(g_ShaderManager.m_RefractionStrength, 0.05f);
        g_ShaderManager.SetSharedFloat(g_ShaderManager.m_ElapsedTime, 0.3f);
    };
    strongRefraction();
    std::vector<uint32_t> unmarked = Run([&] { scene(false); });
    strongRefraction();
    std::vector<uint32_t> marked = Run([&] { scene(true); });
    // Nothing marked: the stripes unchanged everywhere.
    EXPECT_EQ(At(unmarked, 1, 10), 0u);
    EXPECT_EQ(At(unmarked, 5, 10), 0xFFFFFFu);
    EXPECT_EQ(At(unmarked, 37, 10), 0xFFFFFFu);
    // Marked: the left half moved, the right half untouched.
    EXPECT_GT(Difference(unmarked, marked, 0, Width / 2 - 1, 0, Height), 2000);
    EXPECT_EQ(Difference(unmarked, marked, Width / 2 + 1, Width, 0, Height), 0);
    g_RenderDevice.m_RefractionOption = savedOption;
}

TEST_F(WePostProcessGL, DepthOfFieldBlursAnEdgeFarFromFocusAndKeepsOneAtIt)
{
    g_RenderDevice.m_DepthOfFieldOn = 1;
    const float saved[3] = {g_RenderDevice.m_DepthOfField[0], g_RenderDevice.m_DepthOfField[1],
                            g_RenderDevice.m_DepthOfField[2]};
    g_RenderDevice.m_DepthOfField[0] = 0.1f;  // range 20 per unit of depth
    g_RenderDevice.m_DepthOfField[2] = 4.0f;
    ASSERT_TRUE(Create()) << g_Engine.m_ErrorText.c_str();
    ASSERT_EQ(g_PostProcess.m_Effects.Count(), 1);
    auto edge = [](int x, int) { return x < Width / 2 ? 0xFFFFFFFFu : 0xFF000000u; };
    auto frame = [&](float focus)
    {
        g_RenderDevice.m_DepthOfField[1] = focus;
        return Run(
            [&]
            {
                DrawPattern(edge);
                FillDepth(1.0f);
            });
    };
    std::vector<uint32_t> focused = frame(1.0f);
    std::vector<uint32_t> blurred = frame(0.0f);
    EXPECT_EQ(At(focused, Width / 2 - 1, 20), 0xFFFFFFu);
    EXPECT_EQ(At(focused, Width / 2, 20), 0u);
    EXPECT_LT(Channel(At(blurred, Width / 2 - 1, 20), 8), 250u);
    EXPECT_GT(Channel(At(blurred, Width / 2, 20), 8), 5u);
    // Far from the edge nothing changes.
    EXPECT_EQ(At(blurred, 4, 20), 0xFFFFFFu);
    EXPECT_EQ(At(blurred, Width - 5, 20), 0u);
    for (int i = 0; i < 3; ++i)
        g_RenderDevice.m_DepthOfField[i] = saved[i];
}

TEST_F(WePostProcessGL, FilmGrainStaysWithinItsStrength)
{
    g_RenderDevice.m_FilmGrainOn = 1;
    ASSERT_TRUE(Create()) << g_Engine.m_ErrorText.c_str();
    ASSERT_EQ(g_PostProcess.m_Effects.Count(), 1);
    WePostProcessEffect* grain = g_PostProcess.m_Effects.FirstNode()->payload;
    ASSERT_EQ(grain->m_Loaded, 1);
    grain->m_PPParam = 0.2f;
    std::vector<uint32_t> f = Run([&] { DrawPattern([](int, int) { return 0xFF808080u; }); });
    int changed = 0;
    for (uint32_t p : f)
    {
        int g = int(Channel(p, 8));
        EXPECT_LE(std::abs(g - 128), int(0.5f * 0.2f * 255.0f) + 2);
        changed += g != 128;
    }
    EXPECT_GT(changed, Width * Height / 4);
}

TEST_F(WePostProcessGL, PixelMotionBlurOnlyWhenTheCameraMoved)
{
    g_RenderDevice.m_MotionBlurMode = 2;
    ASSERT_TRUE(Create()) << g_Engine.m_ErrorText.c_str();
    ASSERT_EQ(g_PostProcess.m_Effects.Count(), 1);
    float& factor = *g_RenderDevice.m_PixelMotionBlurFactor;
    const float savedFactor = factor;
    factor = 1.0f;
    g_Timer.m_FrameDeltaF = 0.0f;
    D3DXMATRIX projection, moved;
    D3DXMatrixPerspectiveFovLH(&projection, 1.0f, float(Width) / float(Height), 0.1f, 100.0f);
    D3DXMatrixTranslation(&moved, 0.3f, 0.0f, 0.0f);
    moved = moved * projection;
    auto frame = [&](const D3DXMATRIX& invViewMulPrevViewProj)
    {
        return Run(
            [&]
            {
                DrawPattern(Stripes);
                FillDepth(1.0f);
                g_ShaderManager.SetSharedMatrix(g_ShaderManager.m_Projection, projection);
                g_ShaderManager.SetSharedMatrix(g_ShaderManager.m_InvViewMulPrevViewProj, invViewMulPrevViewProj);
            });
    };
    std::vector<uint32_t> still = frame(projection);
    std::vector<uint32_t> moving = frame(moved);
    factor = savedFactor;
    EXPECT_EQ(At(still, 1, 10), 0u);
    EXPECT_EQ(At(still, 5, 10), 0xFFFFFFu);
    long diff = Difference(still, moving, 0, Width, 0, Height);
    EXPECT_GT(diff, 5000);
    // Blurred across the stripes: greys where there was black or white.
    int greys = 0;
    for (uint32_t p : moving)
        greys += Channel(p, 8) > 40 && Channel(p, 8) < 215;
    EXPECT_GT(greys, Width * Height / 4);
}

TEST_F(WePostProcessGL, TheGamesEffectsDrawInTheChain)
{
    ASSERT_TRUE(Create()) << g_Engine.m_ErrorText.c_str();
    WePostProcessEffect* mono = g_PostProcess.AddEffectByName("Shaders.PostProcess.Monochrome");
    ASSERT_EQ(mono->m_Loaded, 1);
    mono->m_PPParam = 1.0f;
    std::vector<uint32_t> f = Run([&] { DrawPattern([](int, int) { return 0xFFFF0000u; }); });
    // Pure red becomes its grey, 0.299.
    uint32_t p = At(f, 10, 10);
    EXPECT_NEAR(double(Channel(p, 16)), 76.0, 3.0);
    EXPECT_NEAR(double(Channel(p, 8)), 76.0, 3.0);
    EXPECT_NEAR(double(Channel(p, 0)), 76.0, 3.0);
}

TEST_F(WePostProcessGL, EveryTechniqueOfTheShippedEffectsBuilds)
{
    ASSERT_TRUE(Create()) << g_Engine.m_ErrorText.c_str();
    const char* names[] = {"Shaders.PostProcess.Contrast",   "Shaders.PostProcess.Bloom",
                           "Shaders.PostProcess.RadialBlur", "Shaders.PostProcess.PixelMotionBlur",
                           "Shaders.PostProcess.Refraction", "Shaders.PostProcess.DoF",
                           "Shaders.PostProcess.FilmGrain",  "Shaders.PostProcess.Monochrome",
                           "Shaders.PostProcess.Wave",       "Shaders.PostProcess.Wave2"};
    for (const char* name : names)
    {
        WeShader* shader = g_ShaderManager.GetShader(name, false, false);
        ASSERT_NE(shader, nullptr) << name;
        ID3DXEffect* e = shader->GetEffect();
        int techniques = 0;
        for (UINT t = 0; e->GetTechnique(t) != nullptr; ++t, ++techniques)
        {
            ASSERT_EQ(e->SetTechnique(e->GetTechnique(t)), D3D_OK) << name;
            UINT passes = 0;
            ASSERT_EQ(e->Begin(&passes, 0), D3D_OK) << name;
            EXPECT_GE(passes, 1u);
            for (UINT p = 0; p < passes; ++p)
            {
                EXPECT_EQ(e->BeginPass(p), D3D_OK) << name << " pass " << p;
                e->EndPass();
            }
            e->End();
        }
        EXPECT_GE(techniques, 1) << name;
    }
}

}  // namespace
