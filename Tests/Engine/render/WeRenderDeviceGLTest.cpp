// The render device over OpenGL, headless, on the shipped pack: creation with a window of the window
// layer, frames read back, render targets sampled right side up, mode changes, and the shipped effects.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "Engine/foundation/WeLog.h"
#include "Engine/render/WeRenderTarget.h"
#include "Engine/render/WeScreenQuad.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeTexture.h"
#include "Platform/system/SysLogFile.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

constexpr int Width = 64;
constexpr int Height = 48;

class GLRender : public GLTestFixture
{
protected:
    GLRender() : GLTestFixture(Width, Height) {}
    void TearDown() override
    {
        if (vb != nullptr)
            vb->Release();
        GLTestFixture::TearDown();
    }

    // The back buffer's pixels as X8R8G8B8, top row first.
    std::vector<uint32_t> Frame()
    {
        GLTestImage image = ReadBack();
        for (uint32_t& p : image.pixels)
            p &= 0x00FFFFFFu;
        frameWidth = UINT(image.width);
        return image.pixels;
    }
    uint32_t At(const std::vector<uint32_t>& frame, int x, int y) const
    {
        return frame.empty() ? 0xDEADu : frame[size_t(y) * frameWidth + size_t(x)];
    }

    // Draws a clip-space rectangle through the effect's "Default" technique.
    static void DrawThrough(WeShader* shader, float left, float top, float right, float bottom)
    {
        const float quad[4][3] = {{left, top, 0.5f}, {right, top, 0.5f}, {left, bottom, 0.5f}, {right, bottom, 0.5f}};
        IDirect3DDevice9* d = g_RenderDevice.GetDevice();
        d->SetFVF(D3DFVF_XYZ);
        ASSERT_TRUE(shader->SetTechnique(0, false));
        UINT passes = shader->Begin(0);
        ASSERT_GE(passes, 1u);
        ASSERT_EQ(shader->BeginPass(0), D3D_OK);
        d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(quad[0]));
        shader->EndPass();
        shader->End();
    }

    WeTexture* Solid(uint32_t argb)
    {
        WeTexture* t = g_TextureManager.CreateTexture(2, 2, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, true);
        void* bits = nullptr;
        int32_t total = 0, pitch = 0;
        if (t != nullptr && t->Lock(&bits, &total, &pitch))
        {
            for (int i = 0; i < total / 4; ++i)
                static_cast<uint32_t*>(bits)[i] = argb;
            t->Unlock();
        }
        return t;
    }

    IDirect3DVertexBuffer9* vb = nullptr;
    UINT frameWidth = 0;
};

using WeRenderDeviceGL = GLRender;
using ShippedEffects = GLRender;

WeShader* g_FrameShader = nullptr;
void DrawGreenHalf()
{
    const float colour[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    g_FrameShader->SetMaterialColor(colour);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    g_FrameShader->GetEffect()->SetMatrix("WorldViewProj", &identity);
    const float quad[4][3] = {{0, 1, 0.5f}, {1, 1, 0.5f}, {0, -1, 0.5f}, {1, -1, 0.5f}};
    IDirect3DDevice9* d = g_RenderDevice.GetDevice();
    d->SetFVF(D3DFVF_XYZ);
    g_FrameShader->SetTechnique(0, false);
    g_FrameShader->Begin(0);
    g_FrameShader->BeginPass(0);
    d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(quad[0]));
    g_FrameShader->EndPass();
    g_FrameShader->End();
}

TEST_F(WeRenderDeviceGL, AFrameThroughTheRenderCallback)
{
    g_FrameShader = g_ShaderManager.GetShader("Shaders.Default.ColorOnly", false, false);
    ASSERT_NE(g_FrameShader, nullptr);
    g_RenderDevice.m_ClearEachFrame = 1;
    g_RenderDevice.m_ClearColor = 0xFF000080u;
    g_RenderDevice.m_RenderCallback = DrawGreenHalf;
    // Present shows the frame; the back buffer keeps it until the next clear.
    g_RenderDevice.Render();
    std::vector<uint32_t> frame = Frame();
    EXPECT_EQ(At(frame, 5, 20), 0x000080u);
    EXPECT_EQ(At(frame, Width - 5, 20), 0x00FF00u);
}

TEST_F(WeRenderDeviceGL, ATargetSampledThroughTheScreenQuadComesOutRightSideUp)
{
    WeRenderTarget* target = g_RenderTargetManager.CreateTarget(Width, Height, D3DFMT_A8R8G8B8, 0, 0);
    ASSERT_NE(target, nullptr);
    WeShader* flat = g_ShaderManager.GetShader("Shaders.Default.ColorOnly", false, false);
    ASSERT_NE(flat, nullptr);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    flat->GetEffect()->SetMatrix("WorldViewProj", &identity);

    IDirect3DSurface9* saved = g_RenderDevice.GetRenderTarget();
    ASSERT_EQ(m_Device->BeginScene(), D3D_OK);
    g_RenderDevice.SetRenderTarget(0, target);
    g_RenderDevice.UseOffscreenDepth();
    g_RenderDevice.Clear(true, 0xFF0000FFu, true, 1.0f, false, 0);
    const float red[4] = {1, 0, 0, 1};
    flat->SetMaterialColor(red);
    DrawThrough(flat, -1, 1, 1, 0);  // the top half
    g_RenderDevice.RestoreRenderTarget(saved);
    g_RenderDevice.UseBackBufferDepth();

    g_RenderDevice.Clear(true, 0xFF000000u, true, 1.0f, false, 0);
    ASSERT_EQ(m_Device->CreateVertexBuffer(4 * 24, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, D3DFVF_XYZRHW | D3DFVF_TEX1,
                                           D3DPOOL_DEFAULT, &vb, nullptr),
              D3D_OK);
    ASSERT_TRUE(FillScreenQuad(vb, float(Width), Height));
    SetQuadStates();
    m_Device->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_Device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    g_RenderDevice.SetD3DTexture(0, target->GetTexture());
    DrawScreenQuad(vb);
    g_RenderDevice.SetD3DTexture(0, nullptr);
    m_Device->EndScene();
    std::vector<uint32_t> frame = Frame();
    EXPECT_EQ(At(frame, Width / 2, 3), 0xFF0000u);
    EXPECT_EQ(At(frame, Width / 2, Height - 3), 0x0000FFu);
}

TEST_F(WeRenderDeviceGL, ChangeModeResizesTheBackBufferAndRecreatesTargets)
{
    WeRenderTarget* target = g_RenderTargetManager.CreateTarget(32, 32, D3DFMT_A8R8G8B8, 0, 0);
    ASSERT_NE(target, nullptr);
    ASSERT_TRUE(g_RenderDevice.ChangeMode(96, 80, 0, 0, 0, 2));
    EXPECT_EQ(g_RenderDevice.m_ResetThisFrame, 1);
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(m_Device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    D3DSURFACE_DESC desc{};
    back->GetDesc(&desc);
    back->Release();
    EXPECT_EQ(desc.Width, 96u);
    EXPECT_EQ(desc.Height, 80u);
    EXPECT_EQ(target->m_Created, 1);
    g_RenderDevice.m_BackBufferDepth->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 96u);
    EXPECT_EQ(g_RenderDevice.CheckDeviceLost(), 0);  // GL never loses its device

    // GL has one quality level per sample count: the two-level choices are refused.
    g_RenderDevice.BuildMultisampleList();
    std::vector<std::string> names;
    for (auto* n = g_RenderDevice.m_MultisampleChoices.FirstNode(); n != nullptr;
         n = g_RenderDevice.m_MultisampleChoices.NextNode(n))
        names.push_back(n->payload.name.c_str());
    for (const std::string& name : names)
        EXPECT_TRUE(name == "2x" || name == "4x") << name;
    EXPECT_FALSE(names.empty());
}

TEST_F(WeRenderDeviceGL, TheSystemBlockNamesTheRendererWhileTheDeviceLives)
{
    ScratchFolder scratch;
    auto block = [&scratch]()
    {
        std::string path = scratch.Path("system.txt");
        {
            SysLogFile file;
            file.Create(path.c_str());
            WriteSystemInfo(file);
        }
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    D3DADAPTER_IDENTIFIER9 id{};
    ASSERT_EQ(g_RenderDevice.GetDirect3D()->GetAdapterIdentifier(0, 0, &id), D3D_OK);
    ASSERT_GT(std::strlen(id.Description), 0u);
    std::string text = block();
    EXPECT_NE(text.find("Video Card:"), std::string::npos);
    EXPECT_NE(text.find(id.Description), std::string::npos);
    ShutdownRendering();
    EXPECT_EQ(block().find("Video Card:"), std::string::npos);
}

TEST_F(ShippedEffects, EveryEffectBuildsEveryTechniqueTheEngineCanAsk)
{
    const char* names[] = {"Shaders.Default.SharedHandles", "Shaders.Default.ColorOnly",
                           "Shaders.Default.Default",       "Shaders.Default.AlphaFalloff",
                           "Shaders.Default.Billboard",     "Shaders.Default.NewParticleSystem",
                           "Shaders.Special.Trail",         "Shaders.Default.2D"};
    for (const char* name : names)
    {
        WeShader* shader = g_ShaderManager.GetShader(name, false, false);
        ASSERT_NE(shader, nullptr) << name;
        ID3DXEffect* e = shader->GetEffect();
        D3DXEFFECT_DESC desc{};
        e->GetDesc(&desc);
        std::vector<D3DXHANDLE> techniques;
#if defined(__SANITIZE_ADDRESS__)
        // Under the sanitizers each letter alone and all together stand for the 1024 variants.
        for (int bit = 0; bit <= 10; ++bit)
            if (D3DXHANDLE t = e->GetTechniqueByName(g_ShaderTechniqueNames[1 << bit]))
                techniques.push_back(t);
        techniques.push_back(e->GetTechniqueByName("Default"));
        if (D3DXHANDLE all = e->GetTechniqueByName("Default3FDSBELVGW"))
            techniques.push_back(all);
#else
        for (UINT i = 0; i < desc.Techniques; ++i)
            techniques.push_back(e->GetTechnique(i));
#endif
        for (D3DXHANDLE technique : techniques)
        {
            ASSERT_NE(technique, nullptr) << name;
            ASSERT_EQ(e->SetTechnique(technique), D3D_OK);
            UINT passes = 0;
            ASSERT_EQ(e->Begin(&passes, 0), D3D_OK);
            for (UINT p = 0; p < passes; ++p)
            {
                D3DXTECHNIQUE_DESC td{};
                e->GetTechniqueDesc(technique, &td);
                EXPECT_EQ(e->BeginPass(p), D3D_OK) << name << " " << td.Name;
                e->EndPass();
            }
            e->End();
        }
    }
}

TEST_F(ShippedEffects, ColorOnlyDrawsTheMaterialColourExactly)
{
    WeShader* shader = g_ShaderManager.GetShader("Shaders.Default.ColorOnly", false, false);
    ASSERT_NE(shader, nullptr);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    shader->SetWorldMatrix(identity);  // the manager's view x projection is the identity
    const float colour[4] = {0.2f, 0.4f, 0.6f, 1.0f};
    shader->SetMaterialColor(colour);
    m_Device->BeginScene();
    g_RenderDevice.Clear(true, 0xFF000000u, true, 1.0f, false, 0);
    DrawThrough(shader, -1, 1, 1, -1);
    m_Device->EndScene();
    std::vector<uint32_t> frame = Frame();
    EXPECT_EQ(At(frame, 10, 10), 0x336699u);
    EXPECT_EQ(At(frame, Width - 1, Height - 1), 0x336699u);
}

TEST_F(ShippedEffects, TheCanvasEffectGivesStage6TimesVertexColour)
{
    WeShader* shader = g_ShaderManager.GetShader("Shaders.Default.2D", false, false);
    ASSERT_NE(shader, nullptr);
    WeTexture* grey = Solid(0xFF808080u);
    ASSERT_NE(grey, nullptr);
    struct Vertex
    {
        float x, y, z, rhw;
        D3DCOLOR colour;
        float u, v;
    };
    const Vertex quad[4] = {{0, 0, 0, 1, 0xFFFF8000u, 0, 0},
                            {float(Width), 0, 0, 1, 0xFFFF8000u, 1, 0},
                            {0, float(Height), 0, 1, 0xFFFF8000u, 0, 1},
                            {float(Width), float(Height), 0, 1, 0xFFFF8000u, 1, 1}};
    m_Device->BeginScene();
    g_RenderDevice.Clear(true, 0xFF000000u, true, 1.0f, false, 0);
    m_Device->SetRenderState(D3DRS_ZENABLE, FALSE);
    g_RenderDevice.SetTexture(6, grey);
    g_RenderDevice.SetTexture(0, g_TextureManager.m_DefaultBlack);  // stage 0 is not read
    m_Device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    ASSERT_TRUE(shader->SetTechnique(0, false));
    shader->Begin(0);
    ASSERT_EQ(shader->BeginPass(0), D3D_OK);
    m_Device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
    shader->EndPass();
    shader->End();
    m_Device->EndScene();
    std::vector<uint32_t> frame = Frame();
    uint32_t p = At(frame, Width / 2, Height / 2);
    EXPECT_NEAR(int((p >> 16) & 0xFF), 128, 1);
    EXPECT_NEAR(int((p >> 8) & 0xFF), 64, 1);
    EXPECT_EQ(p & 0xFF, 0u);
}

TEST_F(ShippedEffects, DefaultWithoutLightsIsDiffuseTimesMaterialTimesAmbient)
{
    WeShader* shader = g_ShaderManager.GetShader("Shaders.Default.Default", false, false);
    ASSERT_NE(shader, nullptr);
    WeTexture* diffuse = Solid(0xFF80FF40u);
    ASSERT_NE(diffuse, nullptr);
    const float ambient[4] = {0.5f, 1.0f, 1.0f, 1.0f};
    g_RenderDevice.SetAmbientColor(ambient);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    shader->SetWorldMatrix(identity);
    const float colour[4] = {1.0f, 0.5f, 1.0f, 1.0f};
    shader->SetMaterialColor(colour);
    m_Device->BeginScene();
    g_RenderDevice.Clear(true, 0xFF000000u, true, 1.0f, false, 0);
    m_Device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    g_RenderDevice.SetTexture(0, diffuse);
    DrawThrough(shader, -1, 1, 1, -1);
    m_Device->EndScene();
    std::vector<uint32_t> frame = Frame();
    uint32_t p = At(frame, Width / 2, Height / 2);
    // 0x80 x 1 x 0.5, 0xFF x 0.5 x 1, 0x40 x 1 x 1.
    EXPECT_NEAR(int((p >> 16) & 0xFF), 64, 1);
    EXPECT_NEAR(int((p >> 8) & 0xFF), 128, 1);
    EXPECT_NEAR(int(p & 0xFF), 64, 1);
}

}  // namespace
