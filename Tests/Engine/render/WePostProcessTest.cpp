// Post-processing on the recording backend: which effects the options put in the chain, where each pass
// draws, the shared values, the game's own effects across releases, and the frame surviving missing pieces.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WePostProcess.h"
#include "Engine/render/WePostProcessEffect.h"
#include "Engine/render/WeRenderTarget.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeTexture.h"
#include "Platform/gfx/GfxState.h"
#include "Platform/gfx/GfxSurface.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

// The graphics options these tests change, put back after each.
struct SavedOptions
{
    int32_t bloom = g_RenderDevice.m_BloomLevel;
    int32_t motion = g_RenderDevice.m_MotionBlurMode;
    uint8_t refraction = g_RenderDevice.m_RefractionOn;
    uint8_t refractionOption = g_RenderDevice.m_RefractionOption;
    uint8_t dof = g_RenderDevice.m_DepthOfFieldOn;
    uint8_t grain = g_RenderDevice.m_FilmGrainOn;
    float depthOfField[3] = {g_RenderDevice.m_DepthOfField[0], g_RenderDevice.m_DepthOfField[1],
                             g_RenderDevice.m_DepthOfField[2]};
    float camera[2] = {g_RenderDevice.m_CameraValues[0], g_RenderDevice.m_CameraValues[1]};
    ~SavedOptions()
    {
        g_RenderDevice.m_BloomLevel = bloom;
        g_RenderDevice.m_MotionBlurMode = motion;
        g_RenderDevice.m_RefractionOn = refraction;
        g_RenderDevice.m_RefractionOption = refractionOption;
        g_RenderDevice.m_DepthOfFieldOn = dof;
        g_RenderDevice.m_FilmGrainOn = grain;
        for (int i = 0; i < 3; ++i)
            g_RenderDevice.m_DepthOfField[i] = depthOfField[i];
        g_RenderDevice.m_CameraValues[0] = camera[0];
        g_RenderDevice.m_CameraValues[1] = camera[1];
    }
};

class WePostProcessFixture : public RecordingRender
{
protected:
    void TearDown() override
    {
        g_PostProcess.DeleteAllEffects();
        RecordingRender::TearDown();
        g_PostProcess.m_FlashColor[0] = g_PostProcess.m_FlashColor[1] = g_PostProcess.m_FlashColor[2] =
            g_PostProcess.m_FlashColor[3] = 0.0f;
        g_Timer.m_FrameDeltaF = 0.0f;
        g_Timer.m_RawFrameDeltaF = 0.0f;
    }
    static std::string Chain()
    {
        std::string out;
        for (auto* node = g_PostProcess.m_Effects.FirstNode(); node != nullptr;
             node = g_PostProcess.m_Effects.NextNode(node))
        {
            WePostProcessEffect* e = node->payload;
            out += out.empty() ? "" : " ";
            out += e->m_Shader != nullptr ? e->m_Shader->GetName().c_str() : "(none)";
        }
        return out;
    }
    static void AllOn()
    {
        g_RenderDevice.m_BloomLevel = 1;
        g_RenderDevice.m_MotionBlurMode = 2;
        g_RenderDevice.m_RefractionOn = 1;
        g_RenderDevice.m_DepthOfFieldOn = 1;
        g_RenderDevice.m_FilmGrainOn = 1;
    }
    static GfxSurface* SurfaceOf(WeRenderTarget* t)
    {
        return t != nullptr ? static_cast<GfxSurface*>(t->GetSurface(0)) : nullptr;
    }
    // The draws of the last Render, in order.
    static std::vector<const GfxDrawRecord*> Draws() { return g_GfxRecorder.Draws(); }

    SavedOptions saved;
};

using WePostProcessChain = WePostProcessFixture;
using WePostProcessRender = WePostProcessFixture;
using WePostProcessOutsideEffects = WePostProcessFixture;
using WePostProcessMissingPieces = WePostProcessFixture;

TEST_F(WePostProcessChain, OptionsGiveTheEffectsInOrder)
{
    struct Case
    {
        int bloom, motion, refraction, dof, grain;
        bool halfFloat;
        const char* chain;
        bool depthTarget;
    } cases[] = {
        {1, 2, 1, 1, 1, true,
         "Shaders.PostProcess.Bloom Shaders.PostProcess.PixelMotionBlur Shaders.PostProcess.Refraction "
         "Shaders.PostProcess.DoF Shaders.PostProcess.FilmGrain",
         true},
        // Without G16R16F targets mode 2 falls back to the radial blur and depth of field goes.
        {1, 2, 1, 1, 1, false,
         "Shaders.PostProcess.Bloom Shaders.PostProcess.RadialBlur Shaders.PostProcess.Refraction "
         "Shaders.PostProcess.FilmGrain",
         false},
        {2, 1, 0, 0, 0, true, "Shaders.PostProcess.RadialBlur", false},
        {0, 0, 0, 1, 0, true, "Shaders.PostProcess.DoF", true},
        {0, 2, 0, 0, 0, true, "Shaders.PostProcess.PixelMotionBlur", true},
        {0, 0, 1, 0, 1, true, "Shaders.PostProcess.Refraction Shaders.PostProcess.FilmGrain", false},
        {0, 0, 0, 0, 0, true, "", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.chain);
        g_GfxRecorder.ResetAll();
        if (!c.halfFloat)
            g_GfxRecorder.refusedFormats.insert(D3DFMT_G16R16F);
        g_RenderDevice.m_BloomLevel = c.bloom;
        g_RenderDevice.m_MotionBlurMode = c.motion;
        g_RenderDevice.m_RefractionOn = uint8_t(c.refraction);
        g_RenderDevice.m_DepthOfFieldOn = uint8_t(c.dof);
        g_RenderDevice.m_FilmGrainOn = uint8_t(c.grain);
        ASSERT_TRUE(Create());
        EXPECT_EQ(Chain(), c.chain);
        EXPECT_EQ(g_PostProcess.m_DepthTarget != nullptr, c.depthTarget);
        EXPECT_EQ(g_PostProcess.m_RefractionTarget != nullptr, c.refraction != 0);
        if (g_PostProcess.m_DepthTarget != nullptr)
        {
            EXPECT_EQ(g_PostProcess.m_DepthTarget->m_Format, D3DFMT_G16R16F);
        }
        ShutdownRendering();
    }
}

TEST_F(WePostProcessChain, EffectRoutingAndSamplerSettings)
{
    AllOn();
    ASSERT_TRUE(Create(640, 480));
    std::vector<WePostProcessEffect*> e;
    for (auto* node = g_PostProcess.m_Effects.FirstNode(); node != nullptr;
         node = g_PostProcess.m_Effects.NextNode(node))
        e.push_back(node->payload);
    ASSERT_EQ(e.size(), 5u);
    for (WePostProcessEffect* effect : e)
        EXPECT_EQ(effect->m_Loaded, 1);
    EXPECT_TRUE(e[0]->m_DownSampling && e[0]->m_BlendFromPass1);
    EXPECT_EQ(e[0]->m_Filter[1], 3);
    EXPECT_EQ(e[1]->m_Filter[3], 3);
    EXPECT_EQ(e[1]->m_Address[2], 1);
    EXPECT_TRUE(e[2]->m_Refraction);
    EXPECT_EQ(e[2]->m_Address[4], 2);
    EXPECT_EQ(e[3]->m_Address[7], 2);
    EXPECT_TRUE(e[4]->m_FilmGrainQuad);
    EXPECT_FLOAT_EQ(e[4]->m_PPParam, g_RenderDevice.m_FilmGrainStrength);
    // Half and quarter sizes truncate at each step.
    EXPECT_EQ(g_PostProcess.m_HalfWidth, 320);
    EXPECT_EQ(g_PostProcess.m_QuarterHeight, 120);
}

TEST_F(WePostProcessChain, DepthOfFieldTapsFollowTheScreenSize)
{
    AllOn();
    ASSERT_TRUE(Create(640, 480));
    auto taps = []()
    {
        std::vector<float> v(48, -1.0f);
        for (auto* node = g_PostProcess.m_Effects.FirstNode(); node != nullptr;
             node = g_PostProcess.m_Effects.NextNode(node))
            if (node->payload->m_Shader->GetName() == "Shaders.PostProcess.DoF")
                node->payload->m_Shader->GetEffect()->GetFloatArray("filterTaps", v.data(), 48);
        return v;
    };
    std::vector<float> v = taps();
    EXPECT_FLOAT_EQ(v[0], -0.326212f / 640.0f);
    EXPECT_FLOAT_EQ(v[1], -0.405805f / 480.0f);
    EXPECT_FLOAT_EQ(v[2], 0.0f);
    EXPECT_FLOAT_EQ(v[44], -0.791559f / 640.0f);
    ASSERT_TRUE(g_RenderDevice.ChangeMode(320, 200, 0, 0, 0, 2));
    v = taps();
    EXPECT_FLOAT_EQ(v[0], -0.326212f / 320.0f);
    EXPECT_FLOAT_EQ(v[45], -0.597705f / 200.0f);
    // The screen-sized targets follow the mode.
    EXPECT_EQ(g_PostProcess.m_MainTarget->m_Width, 320);
    EXPECT_EQ(g_PostProcess.m_FullTargets[1]->m_Height, 200);
    EXPECT_EQ(g_PostProcess.m_DepthTarget->m_Width, 320);
    EXPECT_EQ(g_PostProcess.m_QuarterWidth, 80);
}

TEST_F(WePostProcessChain, FocalRangeOfAZeroOrNegativeFirstFloatIsNoBlur)
{
    struct Case
    {
        float first, range;
    } cases[] = {{200.0f, 0.01f}, {0.0f, 0.0f}, {-5.0f, 0.0f}, {4.0f, 0.5f}};
    for (const Case& c : cases)
    {
        g_RenderDevice.m_DepthOfField[0] = c.first;
        EXPECT_FLOAT_EQ(WePostProcess::FocalRange(), c.range) << c.first;
        EXPECT_TRUE(std::isfinite(WePostProcess::FocalRange()));
    }
    g_RenderDevice.m_DepthOfField[1] = 10.0f;
    g_RenderDevice.m_DepthOfField[2] = 4.0f;
    EXPECT_FLOAT_EQ(WePostProcess::FocalDistance(), 10.0f);
    EXPECT_FLOAT_EQ(WePostProcess::MaxCircleOfConfusion(), 4.0f);
}

TEST_F(WePostProcessRender, EachPassDrawsIntoItsTarget)
{
    AllOn();
    g_RenderDevice.m_RefractionOption = 0;
    ASSERT_TRUE(Create(640, 480));
    WePostProcess& p = g_PostProcess;
    g_GfxRecorder.ClearLog();
    p.BeginScene();
    EXPECT_EQ(g_GfxRecorder.Last("SetRenderTarget")->args[1], uint64_t(uintptr_t(SurfaceOf(p.m_MainTarget))));
    p.EndScene();
    g_GfxRecorder.ClearLog();
    p.Render();
    std::vector<const GfxDrawRecord*> draws = Draws();
    // Bloom 4 passes, pixel motion blur 1, the refraction copy and pass, depth of field 1, grain 1, contrast 1.
    ASSERT_EQ(draws.size(), 10u);
    GfxSurface* half = SurfaceOf(p.m_HalfTarget);
    GfxSurface* quarter[2] = {SurfaceOf(p.m_QuarterTargets[0]), SurfaceOf(p.m_QuarterTargets[1])};
    GfxSurface* full[2] = {SurfaceOf(p.m_FullTargets[0]), SurfaceOf(p.m_FullTargets[1])};
    GfxSurface* refraction = SurfaceOf(p.m_RefractionTarget);
    auto texture = [](WeRenderTarget* t) { return t->GetTexture(); };

    // Bloom: down-sampling into half then the quarter pair, the last pass full size with blending.
    EXPECT_EQ(draws[0]->state.renderTargets[0], half);
    EXPECT_EQ(draws[0]->state.textures[0], texture(p.m_MainTarget));
    EXPECT_EQ(draws[0]->state.renderStates[D3DRS_ALPHABLENDENABLE], 0u);
    EXPECT_EQ(draws[1]->state.renderTargets[0], quarter[0]);
    EXPECT_EQ(draws[1]->state.textures[0], texture(p.m_HalfTarget));
    EXPECT_EQ(draws[1]->state.renderStates[D3DRS_ALPHABLENDENABLE], 1u);
    EXPECT_EQ(draws[2]->state.renderTargets[0], quarter[1]);
    EXPECT_EQ(draws[3]->state.renderTargets[0], full[0]);
    EXPECT_EQ(draws[3]->state.textures[0], texture(p.m_QuarterTargets[1]));
    EXPECT_EQ(draws[3]->state.textures[1], texture(p.m_MainTarget));
    // Quads of the target's size: the half quad's far corner is at the half width.
    auto corner = [](const GfxDrawRecord* d) { return reinterpret_cast<const float*>(d->vertices.data())[6]; };
    EXPECT_FLOAT_EQ(corner(draws[0]), 320.0f);
    EXPECT_FLOAT_EQ(corner(draws[1]), 160.0f);
    EXPECT_FLOAT_EQ(corner(draws[3]), 640.0f);
    // Pixel motion blur reads the bloom's result, writes the other full target, sees the depth target.
    EXPECT_EQ(draws[4]->state.renderTargets[0], full[1]);
    EXPECT_EQ(draws[4]->state.textures[0], texture(p.m_FullTargets[0]));
    EXPECT_EQ(draws[4]->state.textures[1], texture(p.m_FullTargets[0]));
    EXPECT_EQ(draws[4]->state.textures[7], texture(p.m_DepthTarget));
    EXPECT_EQ(draws[4]->state.renderStates[D3DRS_ALPHABLENDENABLE], 0u);
    // Refraction: a plain copy without stencil, then the pass limited to the marked pixels, against the
    // back buffer's depth-stencil surface.
    EXPECT_EQ(draws[5]->state.renderTargets[0], refraction);
    EXPECT_EQ(draws[5]->state.program, 0u);
    EXPECT_EQ(draws[5]->state.renderStates[D3DRS_STENCILENABLE], 0u);
    EXPECT_EQ(draws[6]->state.renderTargets[0], refraction);
    EXPECT_NE(draws[6]->state.program, 0u);
    EXPECT_EQ(draws[6]->state.depthStencil, static_cast<GfxSurface*>(g_RenderDevice.m_BackBufferDepth));
    EXPECT_EQ(draws[6]->state.renderStates[D3DRS_STENCILENABLE], 1u);
    EXPECT_EQ(draws[6]->state.renderStates[D3DRS_STENCILFUNC], DWORD(D3DCMP_EQUAL));
    EXPECT_EQ(draws[6]->state.renderStates[D3DRS_STENCILREF], 1u);
    EXPECT_EQ(draws[6]->state.renderStates[D3DRS_STENCILMASK], 1u);
    EXPECT_EQ(draws[6]->state.renderStates[D3DRS_STENCILWRITEMASK], 0u);
    EXPECT_EQ(draws[6]->state.renderStates[D3DRS_STENCILPASS], DWORD(D3DSTENCILOP_KEEP));
    EXPECT_EQ(draws[6]->state.textures[4], g_PostProcess.m_DistortionTexture->GetD3DTexture());
    // Depth of field reads the refraction result; stencil is off again and the off-screen depth bound.
    EXPECT_EQ(draws[7]->state.textures[0], texture(p.m_RefractionTarget));
    EXPECT_EQ(draws[7]->state.renderStates[D3DRS_STENCILENABLE], 0u);
    EXPECT_EQ(draws[7]->state.depthStencil, static_cast<GfxSurface*>(g_RenderDevice.m_OffscreenDepth));
    EXPECT_EQ(draws[7]->state.samplerStates[7][D3DSAMP_ADDRESSU], DWORD(D3DTADDRESS_WRAP));
    EXPECT_EQ(draws[7]->state.samplerStates[7][D3DSAMP_MAGFILTER], DWORD(D3DTEXF_POINT));
    // Film grain: the 28-byte quad with the grain on stage 6.
    EXPECT_EQ(draws[8]->stride, 28u);
    EXPECT_EQ(draws[8]->state.textures[6], g_PostProcess.m_FilmGrainTexture->GetD3DTexture());
    // The contrast pass lands on the back buffer with Z test back on afterwards.
    IDirect3DSurface9* back = nullptr;
    g_RenderDevice.GetDevice()->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    EXPECT_EQ(draws[9]->state.renderTargets[0], static_cast<GfxSurface*>(back));
    back->Release();
    EXPECT_EQ(draws[9]->state.textures[0],
              draws[8]->state.renderTargets[0] == full[0] ? texture(p.m_FullTargets[0]) : texture(p.m_FullTargets[1]));
    EXPECT_EQ(draws[9]->state.renderStates[D3DRS_ZENABLE], 0u);
    EXPECT_EQ(g_GfxRecorder.Last("SetRenderState")->args[0], uint64_t(D3DRS_ZENABLE));
    EXPECT_EQ(g_GfxRecorder.Last("SetRenderState")->args[1], 1u);
}

TEST_F(WePostProcessRender, WithoutTheMarkingByteTheRefractionRunsLikeAnyEffect)
{
    g_RenderDevice.m_BloomLevel = 0;
    g_RenderDevice.m_MotionBlurMode = 0;
    g_RenderDevice.m_DepthOfFieldOn = 0;
    g_RenderDevice.m_FilmGrainOn = 0;
    g_RenderDevice.m_RefractionOn = 1;
    g_RenderDevice.m_RefractionOption = 1;
    ASSERT_TRUE(Create());
    g_GfxRecorder.ClearLog();
    g_PostProcess.Render();
    std::vector<const GfxDrawRecord*> draws = Draws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0]->state.renderTargets[0], SurfaceOf(g_PostProcess.m_FullTargets[0]));
    EXPECT_EQ(draws[0]->state.renderStates[D3DRS_STENCILENABLE], 0u);
}

TEST_F(WePostProcessRender, SharedValuesAndTheFinalPass)
{
    AllOn();
    ASSERT_TRUE(Create());
    float& factor = *g_RenderDevice.m_PixelMotionBlurFactor;
    const float savedFactor = factor;
    factor = 0.05f;
    g_RenderDevice.m_DepthOfField[0] = 200.0f;
    g_RenderDevice.m_DepthOfField[1] = 12.0f;
    g_RenderDevice.m_DepthOfField[2] = 3.0f;
    g_RenderDevice.m_CameraValues[0] = 0.25f;    // contrast
    g_RenderDevice.m_CameraValues[1] = -0.125f;  // brightness
    g_PostProcess.m_RadialBlurStrength = 0.3f;
    const float flash[4] = {1.0f, 0.5f, 0.25f, 0.75f};
    for (int i = 0; i < 4; ++i)
        g_PostProcess.m_FlashColor[i] = flash[i];
    ID3DXEffect* shared = g_ShaderManager.m_Shared->GetEffect();
    auto value = [&](const char* name)
    {
        float v = -1.0f;
        shared->GetFloat(name, &v);
        return v;
    };
    struct Case
    {
        float delta, raw, expected;
    } cases[] = {
        {0.02f, 0.02f, 0.05f / 0.02f * 0.015f},
        {0.0f, 0.02f, 0.05f},
        // A float delta with a raw one of 0 must not divide by it.
        {0.02f, 0.0f, 0.05f},
    };
    for (const Case& c : cases)
    {
        g_Timer.m_FrameDeltaF = c.delta;
        g_Timer.m_RawFrameDeltaF = c.raw;
        g_PostProcess.Render();
        EXPECT_FLOAT_EQ(value("PixelMotionBlurFactor"), c.expected) << c.delta << " " << c.raw;
    }
    factor = savedFactor;
    EXPECT_FLOAT_EQ(value("RadialBlurStrength"), 0.3f);
    EXPECT_FLOAT_EQ(value("FocalRange"), 0.01f);
    EXPECT_FLOAT_EQ(value("FocalDist"), 12.0f);
    EXPECT_FLOAT_EQ(value("MaxCoC"), 3.0f);
    ID3DXEffect* contrast = g_PostProcess.m_Contrast->GetEffect();
    float v = 0.0f;
    contrast->GetFloat("Contrast", &v);
    EXPECT_FLOAT_EQ(v, 0.25f);
    contrast->GetFloat("Brightness", &v);
    EXPECT_FLOAT_EQ(v, -0.125f);
    D3DXVECTOR4 colour;
    contrast->GetVector("FlashColor", &colour);
    EXPECT_FLOAT_EQ(colour.x, 1.0f);
    EXPECT_FLOAT_EQ(colour.w, 0.75f);
}

TEST_F(WePostProcessRender, MultisampledTargetsAreResolvedBeforeTheyAreRead)
{
    AllOn();
    g_RenderDevice.m_RefractionOption = 0;
    ASSERT_TRUE(Create(640, 480, 2, 0));
    ASSERT_EQ(g_PostProcess.m_MainTarget->m_MultisampleType, 2);
    g_GfxRecorder.ClearLog();
    g_PostProcess.Render();
    // The main target before the chain, the refraction target after its pass.
    EXPECT_EQ(g_GfxRecorder.Count("StretchRect"), 2u);
    EXPECT_LT(IndexOf("StretchRect"), IndexOf("DrawPrimitive"));
}

class CountedEffect : public WePostProcessEffect
{
public:
    explicit CountedEffect(int* deaths) : m_Deaths(deaths) {}
    ~CountedEffect() override { ++*m_Deaths; }

private:
    int* m_Deaths;
};

TEST_F(WePostProcessOutsideEffects, SurviveReinitializeAndAResetInTheirOrder)
{
    AllOn();
    ASSERT_TRUE(Create());
    int deaths = 0;
    CountedEffect* mono = new CountedEffect(&deaths);
    CountedEffect* wave = new CountedEffect(&deaths);
    ASSERT_TRUE(mono->Load("Shaders.PostProcess.Monochrome"));
    ASSERT_TRUE(wave->Load("Shaders.PostProcess.Wave"));
    EXPECT_EQ(g_PostProcess.AddEffect(mono), mono);
    EXPECT_EQ(g_PostProcess.AddEffect(wave), wave);
    EXPECT_EQ(g_PostProcess.AddEffect(nullptr), nullptr);
    const std::string expected =
        "Shaders.PostProcess.Bloom Shaders.PostProcess.PixelMotionBlur Shaders.PostProcess.Refraction "
        "Shaders.PostProcess.DoF Shaders.PostProcess.FilmGrain Shaders.PostProcess.Monochrome "
        "Shaders.PostProcess.Wave";
    EXPECT_EQ(Chain(), expected);

    g_PostProcess.Reinitialize();
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(Chain(), expected);

    // A lost device with every option on: the recorder refuses the reset while anything of the chain lives
    // or is still bound.
    mono->m_PPParam = 0.5f;
    g_PostProcess.Render();
    g_GfxRecorder.cooperativeLevels = {D3DERR_DEVICENOTRESET};
    ASSERT_EQ(g_RenderDevice.CheckDeviceLost(), 0);
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(Chain(), expected);
    EXPECT_FLOAT_EQ(mono->m_PPParam, 0.5f);
    g_PostProcess.Render();

    // The game removes its effect while the chain is released, as a slot does during set-up.
    g_PostProcess.Release();
    EXPECT_TRUE(g_PostProcess.RemoveEffect(wave));
    EXPECT_FALSE(g_PostProcess.RemoveEffect(wave));
    delete wave;
    EXPECT_EQ(deaths, 1);
    g_PostProcess.Init();
    EXPECT_EQ(Chain(), "Shaders.PostProcess.Bloom Shaders.PostProcess.PixelMotionBlur Shaders.PostProcess.Refraction "
                       "Shaders.PostProcess.DoF Shaders.PostProcess.FilmGrain Shaders.PostProcess.Monochrome");

    // Removing a built effect takes it out of the chain's care too: a release does not destroy it.
    WePostProcessEffect* bloom = g_PostProcess.m_Effects.FirstNode()->payload;
    EXPECT_TRUE(g_PostProcess.RemoveEffect(bloom));
    g_PostProcess.Reinitialize();
    delete bloom;

    // An explicit DeleteAllEffects destroys them all.
    g_PostProcess.DeleteAllEffects();
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(Chain(), "");
}

TEST_F(WePostProcessOutsideEffects, AddEffectByNameLoadsOrLeavesUnloaded)
{
    g_RenderDevice.m_BloomLevel = 0;
    g_RenderDevice.m_MotionBlurMode = 0;
    g_RenderDevice.m_RefractionOn = 0;
    g_RenderDevice.m_DepthOfFieldOn = 0;
    g_RenderDevice.m_FilmGrainOn = 0;
    ASSERT_TRUE(Create());
    WePostProcessEffect* wave = g_PostProcess.AddEffectByName("Shaders.PostProcess.Wave2");
    WePostProcessEffect* missing = g_PostProcess.AddEffectByName("Shaders.PostProcess.NoSuchEffect");
    ASSERT_NE(wave, nullptr);
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(wave->m_Loaded, 1);
    EXPECT_EQ(missing->m_Loaded, 0);
    // The unloaded effect draws nothing: the wave and the final pass.
    g_GfxRecorder.ClearLog();
    g_PostProcess.Render();
    EXPECT_EQ(Draws().size(), 2u);
}

TEST_F(WePostProcessMissingPieces, NothingBeforeInitAndNoChainWithoutAMainTarget)
{
    // Before the device exists nothing happens at all.
    g_PostProcess.BeginScene();
    g_PostProcess.Render();
    g_PostProcess.EndScene();
    EXPECT_EQ(g_PostProcess.m_SceneOpen, 0);

    AllOn();
    ASSERT_TRUE(Create());
    g_PostProcess.Release();
    g_GfxRecorder.ClearLog();
    g_PostProcess.BeginScene();
    g_PostProcess.Render();
    g_PostProcess.EndScene();
    EXPECT_EQ(g_GfxRecorder.Count("SetRenderTarget"), 0u);
    EXPECT_TRUE(Draws().empty());

    // Every try at the main target fails (four), the rest is made: the scene stays on the back buffer.
    g_GfxRecorder.FailNext("CreateTexture", 4);
    ASSERT_TRUE(g_PostProcess.Init());
    EXPECT_EQ(g_PostProcess.m_MainTarget, nullptr);
    EXPECT_NE(g_PostProcess.m_FullTargets[0], nullptr);
    g_GfxRecorder.ClearLog();
    g_PostProcess.BeginScene();
    EXPECT_EQ(g_PostProcess.m_SceneOpen, 1);
    EXPECT_EQ(g_GfxRecorder.Count("SetRenderTarget"), 0u);
    g_PostProcess.Render();
    g_PostProcess.EndScene();
    EXPECT_TRUE(Draws().empty());
}

TEST_F(WePostProcessMissingPieces, WithoutPingPongTargetsOrContrastTheResultStillReachesTheScreen)
{
    g_RenderDevice.m_BloomLevel = 0;
    g_RenderDevice.m_MotionBlurMode = 1;
    g_RenderDevice.m_RefractionOn = 0;
    g_RenderDevice.m_DepthOfFieldOn = 0;
    g_RenderDevice.m_FilmGrainOn = 0;
    ASSERT_TRUE(Create());
    // Both full ping-pong targets missing.
    for (WeRenderTarget*& t : g_PostProcess.m_FullTargets)
    {
        g_RenderTargetManager.ReleaseTarget(t);
        t = nullptr;
    }
    g_GfxRecorder.ClearLog();
    g_PostProcess.Render();
    std::vector<const GfxDrawRecord*> draws = Draws();
    // The radial blur is skipped; the contrast pass draws the main target's texture.
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_NE(draws[0]->state.program, 0u);
    EXPECT_EQ(draws[0]->state.textures[0], g_PostProcess.m_MainTarget->GetTexture());

    // Without the contrast effect the plain textured quad copies the result.
    g_PostProcess.m_Contrast = nullptr;
    g_GfxRecorder.ClearLog();
    g_PostProcess.Render();
    draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0]->state.program, 0u);
    EXPECT_EQ(draws[0]->state.textures[0], g_PostProcess.m_MainTarget->GetTexture());
    EXPECT_EQ(draws[0]->stride, 24u);
}

}  // namespace

namespace
{

using WePostProcessFilmGrain = WePostProcessFixture;

TEST_F(WePostProcessFilmGrain, TheMaterialsShaderOnlyWhenItHasOne)
{
    g_RenderDevice.m_BloomLevel = 0;
    g_RenderDevice.m_MotionBlurMode = 0;
    g_RenderDevice.m_RefractionOn = 0;
    g_RenderDevice.m_DepthOfFieldOn = 0;
    g_RenderDevice.m_FilmGrainOn = 1;
    ASSERT_TRUE(Create());
    WeMaterial* material = g_PostProcess.m_FilmGrainMaterial;
    ASSERT_NE(material, nullptr);
    ASSERT_NE(g_PostProcess.m_FilmGrainTexture, nullptr);
    EXPECT_EQ(Chain(), "Shaders.PostProcess.FilmGrain");
    WeShader* own = material->m_Shader;
    // A material with a shader of its own lends it to the effect.
    material->m_Shader = g_ShaderManager.GetShader("Shaders.PostProcess.Monochrome", false, false);
    g_PostProcess.Reinitialize();
    EXPECT_EQ(Chain(), "Shaders.PostProcess.Monochrome");
    // Without one the effect keeps the grain effect rather than drawing with nothing or the default.
    material->m_Shader = nullptr;
    g_PostProcess.Reinitialize();
    EXPECT_EQ(Chain(), "Shaders.PostProcess.FilmGrain");
    EXPECT_EQ(g_PostProcess.m_Effects.FirstNode()->payload->m_Loaded, 1);
    material->m_Shader = own;
}

}  // namespace
