// The OpenGL backend drawing headless: pixels read back after clears, textured and coloured quads, render
// targets, stencil, depth, compressed textures and blending.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "GfxTestDevice.h"
#include "Platform/gfx/GfxDevice.h"
#include "Platform/gfx/GfxShaderInterface.h"

namespace
{

struct ColourVertex
{
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};
const DWORD ColourFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

class GfxGL : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_GfxRecorder.ResetAll();
        gl = std::make_unique<GfxTestDevice>(GfxBackendKind::OpenGL, 64, 64);
        ASSERT_NE(gl->d3d, nullptr) << "no OpenGL 3.3 with clip control (SDL_VIDEODRIVER=offscreen?)";
        ASSERT_NE(gl->device, nullptr);
        dev = gl->device;
    }
    void TearDown() override { gl.reset(); }

    // The pixels of a colour surface as ARGB words, row 0 first.
    std::vector<uint32_t> Read(IDirect3DSurface9* surface)
    {
        D3DSURFACE_DESC desc{};
        surface->GetDesc(&desc);
        IDirect3DSurface9* copy = nullptr;
        EXPECT_EQ(
            dev->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy, nullptr),
            D3D_OK);
        std::vector<uint32_t> pixels(desc.Width * desc.Height);
        if (!copy)
            return pixels;
        EXPECT_EQ(dev->GetRenderTargetData(surface, copy), D3D_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        for (UINT y = 0; y < desc.Height; ++y)
            std::memcpy(&pixels[y * desc.Width], static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch,
                        desc.Width * 4);
        copy->UnlockRect();
        copy->Release();
        return pixels;
    }
    std::vector<uint32_t> ReadBackBuffer()
    {
        IDirect3DSurface9* back = nullptr;
        dev->GetRenderTarget(0, &back);
        std::vector<uint32_t> pixels = Read(back);
        back->Release();
        return pixels;
    }
    void Quad(float left, float top, float right, float bottom, D3DCOLOR colour, float z = 0.0f, float u0 = 0,
              float v0 = 0, float u1 = 1, float v1 = 1)
    {
        ColourVertex v[4] = {{left, top, z, 1, colour, u0, v0},
                             {right, top, z, 1, colour, u1, v0},
                             {left, bottom, z, 1, colour, u0, v1},
                             {right, bottom, z, 1, colour, u1, v1}};
        dev->SetFVF(ColourFvf);
        ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(ColourVertex)), D3D_OK);
    }
    IDirect3DSurface9* DepthSurface(UINT w, UINT h)
    {
        IDirect3DSurface9* depth = nullptr;
        EXPECT_EQ(dev->CreateDepthStencilSurface(w, h, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE, &depth, nullptr),
                  D3D_OK);
        dev->SetDepthStencilSurface(depth);
        return depth;
    }

    std::unique_ptr<GfxTestDevice> gl;
    IDirect3DDevice9* dev = nullptr;
};

TEST_F(GfxGL, ClearFillsTheViewportWithTheColour)
{
    ASSERT_EQ(dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0), D3D_OK);
    for (uint32_t p : ReadBackBuffer())
        ASSERT_EQ(p, 0xFF336699u);
    D3DVIEWPORT9 vp{8, 16, 8, 4, 0.0f, 1.0f};
    ASSERT_EQ(dev->SetViewport(&vp), D3D_OK);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    std::vector<uint32_t> pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[16 * 64 + 8], 0xFFFF0000u);
    EXPECT_EQ(pixels[19 * 64 + 15], 0xFFFF0000u);
    EXPECT_EQ(pixels[20 * 64 + 8], 0xFF336699u);
    EXPECT_EQ(pixels[16 * 64 + 16], 0xFF336699u);
    EXPECT_EQ(dev->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);  // no depth surface
    EXPECT_EQ(dev->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(GfxGL, PretransformedQuadSamplesEveryTexelExactly)
{
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(dev->CreateTexture(64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(tex->LockRect(0, &locked, nullptr, 0), D3D_OK);
    std::vector<uint32_t> texels(64 * 64);
    for (UINT i = 0; i < texels.size(); ++i)
        texels[i] = 0xFF000000u | ((i * 2654435761u) >> 8);
    for (UINT y = 0; y < 64; ++y)
        std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, &texels[y * 64], 256);
    tex->UnlockRect(0);

    dev->SetTexture(0, tex);
    dev->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    dev->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    dev->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    // Point sampling must hit every texel exactly; linear sampling must stay within rounding of it, where
    // half a pixel off would blend each texel half and half with its neighbour.
    for (DWORD filter : {DWORD(D3DTEXF_POINT), DWORD(D3DTEXF_LINEAR)})
    {
        dev->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
        dev->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
        dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        dev->BeginScene();
        // The screen quad of the post-processing chain: uv from 0.5 / w to 1 + 0.5 / w.
        Quad(0, 0, 64, 64, 0xFFFFFFFF, 0, 0.5f / 64, 0.5f / 64, 1 + 0.5f / 64, 1 + 0.5f / 64);
        dev->EndScene();
        std::vector<uint32_t> pixels = ReadBackBuffer();
        int wrong = 0, worst = 0;
        for (UINT i = 0; i < pixels.size(); ++i)
        {
            wrong += pixels[i] != texels[i];
            for (int shift = 0; shift < 24; shift += 8)
                worst = std::max(worst, std::abs(int((pixels[i] >> shift) & 0xFF) - int((texels[i] >> shift) & 0xFF)));
        }
        if (filter == D3DTEXF_POINT)
            EXPECT_EQ(wrong, 0);
        else
            EXPECT_LE(worst, 2);
    }
    dev->SetTexture(0, nullptr);
    tex->Release();
}

TEST_F(GfxGL, RenderTargetsComeOutRightSideUp)
{
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(dev->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr),
              D3D_OK);
    IDirect3DSurface9* surface = nullptr;
    target->GetSurfaceLevel(0, &surface);
    IDirect3DSurface9* back = nullptr;
    dev->GetRenderTarget(0, &back);

    ASSERT_EQ(dev->SetRenderTarget(0, surface), D3D_OK);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    Quad(0, 0, 32, 16, 0xFFFF0000);  // top half red
    // A clip-space triangle through the transforms, in the left half: clip y up is the top.
    struct Vertex
    {
        float x, y, z;
        D3DCOLOR colour;
    } tri[3] = {{-1, 1, 0.5f, 0xFF00FF00}, {0, 1, 0.5f, 0xFF00FF00}, {-1, 0, 0.5f, 0xFF00FF00}};
    dev->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);  // clockwise on screen: front facing, kept
    ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(Vertex)), D3D_OK);
    std::vector<uint32_t> rt = Read(surface);
    EXPECT_EQ(rt[0 * 32 + 1], 0xFF00FF00u);   // triangle corner at the top left
    EXPECT_EQ(rt[0 * 32 + 30], 0xFFFF0000u);  // red top
    EXPECT_EQ(rt[31 * 32 + 0], 0xFF0000FFu);  // blue bottom
    // The same triangle wound the other way is culled.
    std::swap(tri[1], tri[2]);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(Vertex));
    EXPECT_EQ(Read(surface)[1], 0xFF0000FFu);

    // Sampled back into the back buffer with the engine's uv, it keeps its orientation.
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    Quad(0, 0, 32, 16, 0xFFFF0000);
    dev->SetRenderTarget(0, back);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    dev->SetTexture(0, target);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    Quad(0, 0, 64, 64, 0xFFFFFFFF, 0, 0.25f / 32, 0.25f / 32, 1 + 0.25f / 32, 1 + 0.25f / 32);
    std::vector<uint32_t> pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[2 * 64 + 2], 0xFFFF0000u);
    EXPECT_EQ(pixels[60 * 64 + 2], 0xFF0000FFu);

    // StretchRect and ColorFill work on surfaces with the same orientation.
    IDirect3DSurface9* copy = nullptr;
    ASSERT_EQ(dev->CreateRenderTarget(16, 16, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &copy, nullptr), D3D_OK);
    ASSERT_EQ(dev->StretchRect(surface, nullptr, copy, nullptr, D3DTEXF_NONE), D3D_OK);
    std::vector<uint32_t> small = Read(copy);
    EXPECT_EQ(small[1 * 16 + 14], 0xFFFF0000u);
    EXPECT_EQ(small[15 * 16], 0xFF0000FFu);
    RECT corner{12, 12, 16, 16};
    ASSERT_EQ(dev->ColorFill(copy, &corner, 0xFF123456), D3D_OK);
    small = Read(copy);
    EXPECT_EQ(small[15 * 16 + 15], 0xFF123456u);
    EXPECT_EQ(small[11 * 16 + 11], 0xFF0000FFu);
    copy->Release();
    dev->SetTexture(0, nullptr);
    back->Release();
    surface->Release();
    target->Release();
}

TEST_F(GfxGL, MultisampledTargetsResolve)
{
    DWORD levels = 0;
    if (FAILED(gl->d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_A8R8G8B8, TRUE, D3DMULTISAMPLE_4_SAMPLES,
                                                   &levels)))
        GTEST_SKIP() << "no 4x multisampling";
    IDirect3DSurface9* ms = nullptr;
    ASSERT_EQ(dev->CreateRenderTarget(16, 16, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_4_SAMPLES, 0, FALSE, &ms, nullptr),
              D3D_OK);
    IDirect3DSurface9* depth = nullptr;
    ASSERT_EQ(dev->CreateDepthStencilSurface(16, 16, D3DFMT_D24S8, D3DMULTISAMPLE_4_SAMPLES, 0, FALSE, &depth, nullptr),
              D3D_OK);
    dev->SetRenderTarget(0, ms);
    dev->SetDepthStencilSurface(depth);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF00FF00, 1.0f, 0);
    Quad(0, 0, 16, 8, 0xFFFF0000);
    IDirect3DTexture9* tex = nullptr;
    dev->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &tex, nullptr);
    IDirect3DSurface9* resolved = nullptr;
    tex->GetSurfaceLevel(0, &resolved);
    ASSERT_EQ(dev->StretchRect(ms, nullptr, resolved, nullptr, D3DTEXF_NONE), D3D_OK);
    std::vector<uint32_t> pixels = Read(resolved);
    // Rows 0 and 7 are edges that multisampling only half covers.
    EXPECT_EQ(pixels[2 * 16 + 2], 0xFFFF0000u);
    EXPECT_EQ(pixels[14 * 16 + 2], 0xFF00FF00u);
    dev->SetDepthStencilSurface(nullptr);
    IDirect3DSurface9* back = nullptr;
    dev->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    dev->SetRenderTarget(0, back);
    back->Release();
    resolved->Release();
    tex->Release();
    depth->Release();
    ms->Release();
}

TEST_F(GfxGL, StencilMasksLaterDraws)
{
    IDirect3DSurface9* depth = DepthSurface(64, 64);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF000000, 1.0f, 0);
    dev->SetRenderState(D3DRS_ZENABLE, FALSE);
    dev->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    dev->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    dev->SetRenderState(D3DRS_STENCILREF, 1);
    dev->SetRenderState(D3DRS_STENCILMASK, 1);
    dev->SetRenderState(D3DRS_STENCILWRITEMASK, 1);
    dev->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    dev->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
    Quad(0, 0, 32, 64, 0xFFFFFFFF);  // marks the left half only
    dev->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
    dev->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    dev->SetRenderState(D3DRS_STENCILWRITEMASK, 0);
    dev->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    Quad(0, 0, 64, 64, 0xFFFF0000);
    std::vector<uint32_t> pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[10 * 64 + 31], 0xFFFF0000u);
    EXPECT_EQ(pixels[10 * 64 + 32], 0xFF000000u);
    dev->SetDepthStencilSurface(nullptr);
    depth->Release();
}

TEST_F(GfxGL, DepthRunsFromZeroToOne)
{
    IDirect3DSurface9* depth = DepthSurface(64, 64);
    dev->SetRenderState(D3DRS_ZENABLE, TRUE);
    dev->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    Quad(0, 0, 64, 64, 0xFFFF0000, 0.5f);
    Quad(0, 0, 32, 64, 0xFF00FF00, 0.75f);   // behind: hidden
    Quad(32, 0, 64, 64, 0xFF0000FF, 0.25f);  // in front: drawn
    std::vector<uint32_t> pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[5 * 64 + 5], 0xFFFF0000u);
    EXPECT_EQ(pixels[5 * 64 + 40], 0xFF0000FFu);

    // Through the transforms, clip z 0.2 is depth 0.2 (with -1..1 clip depth it would be 0.6).
    struct Vertex
    {
        float x, y, z;
        D3DCOLOR colour;
    };
    auto clipQuad = [&](float z, D3DCOLOR colour)
    {
        Vertex v[4] = {{-1, 1, z, colour}, {1, 1, z, colour}, {-1, -1, z, colour}, {1, -1, z, colour}};
        dev->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(Vertex));
    };
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    dev->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 0.3f, 0);
    clipQuad(0.2f, 0xFFFFFF00);
    EXPECT_EQ(ReadBackBuffer()[32 * 64 + 32], 0xFFFFFF00u);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 0.1f, 0);
    clipQuad(0.2f, 0xFFFFFF00);
    EXPECT_EQ(ReadBackBuffer()[32 * 64 + 32], 0xFF000000u);
    // Depth writes off: a nearer quad drawn without writing leaves the depth for the next one.
    dev->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    dev->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    clipQuad(0.2f, 0xFFFFFF00);
    dev->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    clipQuad(0.5f, 0xFF00FFFF);
    EXPECT_EQ(ReadBackBuffer()[32 * 64 + 32], 0xFF00FFFFu);
    dev->SetDepthStencilSurface(nullptr);
    depth->Release();
}

TEST_F(GfxGL, Dxt1TexturesDecode)
{
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(dev->CreateTexture(8, 4, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &tex, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(tex->LockRect(0, &locked, nullptr, 0), D3D_OK);
    ASSERT_EQ(locked.Pitch, 16);  // one row of two 8-byte blocks
    // Block 0: every texel colour 0 (pure red); block 1: every texel colour 1 (pure blue).
    const uint8_t blocks[16] = {0x00, 0xF8, 0x1F, 0x00, 0, 0, 0, 0, 0x00, 0xF8, 0x1F, 0x00, 0x55, 0x55, 0x55, 0x55};
    std::memcpy(locked.pBits, blocks, 16);
    tex->UnlockRect(0);
    dev->SetTexture(0, tex);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    Quad(0, 0, 8, 4, 0xFFFFFFFF, 0, 0.5f / 8, 0.5f / 4, 1 + 0.5f / 8, 1 + 0.5f / 4);
    std::vector<uint32_t> pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[0], 0xFFFF0000u);
    EXPECT_EQ(pixels[3 * 64 + 3], 0xFFFF0000u);
    EXPECT_EQ(pixels[4], 0xFF0000FFu);
    EXPECT_EQ(pixels[3 * 64 + 7], 0xFF0000FFu);
    dev->SetTexture(0, nullptr);
    tex->Release();
}

TEST_F(GfxGL, AlphaTestDiscardsInTheFragmentProgram)
{
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    dev->SetRenderState(D3DRS_ALPHAREF, 0x80);
    Quad(0, 0, 32, 64, 0x7FFF0000);   // below the reference: discarded
    Quad(32, 0, 64, 64, 0x80FF0000);  // equal: kept
    std::vector<uint32_t> pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[0], 0xFF000000u);
    EXPECT_EQ(pixels[31], 0xFF000000u);
    EXPECT_EQ(pixels[32], 0xFFFF0000u);
    EXPECT_EQ(pixels[63 * 64 + 63], 0xFFFF0000u);
}

// A plain texture copy (the stage selecting the texture) takes a program of its own: its alpha test and its
// texels agree with the general stage's, here a modulation by white.
TEST_F(GfxGL, TextureCopiesHonourTheAlphaTestLikeTheGeneralStage)
{
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(dev->CreateTexture(2, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(tex->LockRect(0, &locked, nullptr, 0), D3D_OK);
    static_cast<uint32_t*>(locked.pBits)[0] = 0x7F20C040u;  // below the reference
    static_cast<uint32_t*>(locked.pBits)[1] = 0x8040A060u;  // equal to it
    tex->UnlockRect(0);
    dev->SetTexture(0, tex);
    dev->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    dev->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    dev->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    for (DWORD op : {DWORD(D3DTOP_SELECTARG1), DWORD(D3DTOP_MODULATE)})
    {
        SCOPED_TRACE(op);
        dev->SetTextureStageState(0, D3DTSS_COLOROP, op);
        dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        dev->SetTextureStageState(0, D3DTSS_ALPHAOP, op);
        dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        dev->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        for (BOOL tested : {FALSE, TRUE})
        {
            SCOPED_TRACE(tested);
            dev->SetRenderState(D3DRS_ALPHATESTENABLE, tested);
            dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
            dev->SetRenderState(D3DRS_ALPHAREF, 0x80);
            dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
            dev->BeginScene();
            Quad(0, 0, 64, 64, 0xFFFFFFFF);
            dev->EndScene();
            std::vector<uint32_t> pixels = ReadBackBuffer();
            // The back buffer keeps no alpha.
            EXPECT_EQ(pixels[10] & 0xFFFFFFu, tested ? 0u : 0x20C040u);
            EXPECT_EQ(pixels[50] & 0xFFFFFFu, 0x40A060u);
        }
    }
    dev->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    dev->SetTexture(0, nullptr);
    tex->Release();
}

// Every source and destination factor a material can store, against the blending formula.
TEST_F(GfxGL, BlendingMatchesEveryStoredFactorPair)
{
    IDirect3DSurface9* target = nullptr;
    ASSERT_EQ(dev->CreateRenderTarget(4, 4, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &target, nullptr), D3D_OK);
    dev->SetRenderTarget(0, target);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    const D3DCOLOR src = 0x99CC6633, dst = 0x663399FF;
    auto channel = [](D3DCOLOR c, int i) { return float((c >> (16 - 8 * i)) & 0xFF) / 255.0f; };  // r g b, then a at 3
    auto alpha = [](D3DCOLOR c) { return float(c >> 24) / 255.0f; };
    float s[4], d[4];
    for (int i = 0; i < 3; ++i)
        s[i] = channel(src, i), d[i] = channel(dst, i);
    s[3] = alpha(src);
    d[3] = alpha(dst);
    auto factor = [&](int blend, int i, bool& valid) -> float
    {
        switch (blend)
        {
        case D3DBLEND_ZERO: return 0;
        case D3DBLEND_ONE: return 1;
        case D3DBLEND_SRCCOLOR: return s[i];
        case D3DBLEND_INVSRCCOLOR: return 1 - s[i];
        case D3DBLEND_SRCALPHA: return s[3];
        case D3DBLEND_INVSRCALPHA: return 1 - s[3];
        case D3DBLEND_DESTALPHA: return d[3];
        case D3DBLEND_INVDESTALPHA: return 1 - d[3];
        case D3DBLEND_DESTCOLOR: return d[i];
        case D3DBLEND_INVDESTCOLOR: return 1 - d[i];
        case D3DBLEND_SRCALPHASAT: return i == 3 ? 1 : std::min(s[3], 1 - d[3]);
        case D3DBLEND_BLENDFACTOR: return 1;  // the default factor is white
        case D3DBLEND_INVBLENDFACTOR: return 0;
        default: valid = false; return 0;
        }
    };
    int failures = 0;
    for (int sb = D3DBLEND_ZERO; sb <= D3DBLEND_INVBLENDFACTOR; ++sb)
    {
        for (int db = D3DBLEND_ZERO; db <= D3DBLEND_INVBLENDFACTOR; ++db)
        {
            if (db == D3DBLEND_BOTHSRCALPHA || db == D3DBLEND_BOTHINVSRCALPHA)
                continue;  // source-only values
            dev->Clear(0, nullptr, D3DCLEAR_TARGET, dst, 1.0f, 0);
            dev->SetRenderState(D3DRS_SRCBLEND, DWORD(sb));
            dev->SetRenderState(D3DRS_DESTBLEND, DWORD(db));
            Quad(0, 0, 4, 4, src);
            uint32_t got = Read(target)[5];
            int es = sb, ed = db;
            if (sb == D3DBLEND_BOTHSRCALPHA)
                es = D3DBLEND_SRCALPHA, ed = D3DBLEND_INVSRCALPHA;
            if (sb == D3DBLEND_BOTHINVSRCALPHA)
                es = D3DBLEND_INVSRCALPHA, ed = D3DBLEND_SRCALPHA;
            bool valid = true;
            for (int i = 0; i < 4; ++i)
            {
                float value = s[i] * factor(es, i, valid) + d[i] * factor(ed, i, valid);
                int expected = int(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
                int shift = i == 3 ? 24 : 16 - 8 * i;
                int actual = int((got >> shift) & 0xFF);
                if (std::abs(actual - expected) > 2)
                {
                    ++failures;
                    ADD_FAILURE() << "src " << sb << " dst " << db << " channel " << i << ": " << actual << " vs "
                                  << expected;
                }
            }
            ASSERT_TRUE(valid);
        }
    }
    EXPECT_EQ(failures, 0);
    IDirect3DSurface9* back = nullptr;
    dev->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    dev->SetRenderTarget(0, back);
    back->Release();
    target->Release();
}

TEST_F(GfxGL, BufferDrawsAndResetResizeTheBackBuffer)
{
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(dev->CreateVertexBuffer(4 * sizeof(ColourVertex), D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, ColourFvf,
                                      D3DPOOL_DEFAULT, &vb, nullptr),
              D3D_OK);
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(dev->CreateIndexBuffer(12, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib,
                                     nullptr),
              D3D_OK);
    ColourVertex* v = nullptr;
    vb->Lock(0, 0, reinterpret_cast<void**>(&v), D3DLOCK_DISCARD);
    v[0] = {0, 0, 0, 1, 0xFF00FF00, 0, 0};
    v[1] = {16, 0, 0, 1, 0xFF00FF00, 0, 0};
    v[2] = {16, 16, 0, 1, 0xFF00FF00, 0, 0};
    v[3] = {0, 16, 0, 1, 0xFF00FF00, 0, 0};
    vb->Unlock();
    uint16_t* idx = nullptr;
    ib->Lock(0, 0, reinterpret_cast<void**>(&idx), D3DLOCK_DISCARD);
    const uint16_t quad[6] = {0, 1, 2, 0, 2, 3};
    std::memcpy(idx, quad, sizeof(quad));
    ib->Unlock();
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    dev->SetFVF(ColourFvf);
    dev->SetStreamSource(0, vb, 0, sizeof(ColourVertex));
    dev->SetIndices(ib);
    ASSERT_EQ(dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    std::vector<uint32_t> pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[15 * 64 + 15], 0xFF00FF00u);
    EXPECT_EQ(pixels[16 * 64 + 16], 0xFF000000u);
    // Drawn while locked, a buffer draws what its CPU copy holds now, the indices its bounds were checked on.
    ASSERT_EQ(ib->Lock(0, 0, reinterpret_cast<void**>(&idx), 0), D3D_OK);
    idx[0] = 40000;  // far past the four vertices, in the copy GL holds after the unlock
    ib->Unlock();
    ASSERT_EQ(ib->Lock(0, 0, reinterpret_cast<void**>(&idx), 0), D3D_OK);
    std::memcpy(idx, quad, sizeof(quad));
    ASSERT_EQ(vb->Lock(0, 0, reinterpret_cast<void**>(&v), 0), D3D_OK);
    for (int i = 0; i < 4; ++i)
        v[i].colour = 0xFF0000FF;
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    vb->Unlock();
    ib->Unlock();
    pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[15 * 64 + 15], 0xFF0000FFu);
    EXPECT_EQ(pixels[1 * 64 + 14], 0xFF0000FFu);
    // A scissor rectangle far outside the target clips to the target.
    const RECT huge{-0x7FFFFFFF, -0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF};
    ASSERT_EQ(dev->SetScissorRect(&huge), D3D_OK);
    dev->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    EXPECT_EQ(ReadBackBuffer()[8 * 64 + 8], 0xFF0000FFu);
    dev->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
    dev->SetStreamSource(0, nullptr, 0, 0);
    dev->SetIndices(nullptr);
    vb->Release();
    ib->Release();

    D3DPRESENT_PARAMETERS pp = TestParams(40, 30);
    ASSERT_EQ(dev->Reset(&pp), D3D_OK);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF445566, 1.0f, 0);
    pixels = ReadBackBuffer();
    ASSERT_EQ(pixels.size(), 40u * 30u);
    EXPECT_EQ(pixels.back(), 0xFF445566u);
    EXPECT_EQ(dev->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    // A refused Reset leaves the device to be reset again, as the engine's lost-device loop expects.
    D3DPRESENT_PARAMETERS bad = TestParams(0, 30);
    EXPECT_EQ(dev->Reset(&bad), D3DERR_INVALIDCALL);
    EXPECT_EQ(dev->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(dev->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    ASSERT_EQ(dev->Reset(&pp), D3D_OK);
    EXPECT_EQ(dev->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(dev->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

}  // namespace

namespace
{

// The hook the effect layer draws through: a program of its own, its uniforms, and back to the built-ins.
TEST_F(GfxGL, ExternalProgramsDrawWithTheirUniforms)
{
    GfxBackend& backend = static_cast<GfxDevice*>(dev)->Backend();
    std::string head = "#version 330 core\n";
    std::string vertex =
        head + GfxShaderInterface::VertexPrelude +
        "layout(location = 0) in vec4 aPosition;\nvoid main() { gl_Position = weClipFromScreen(aPosition); }\n";
    std::string fragment = head + GfxShaderInterface::FragmentPrelude +
                           "uniform vec4 Tint;\nout vec4 c;\nvoid main() { weAlphaTest(Tint.a); c = Tint; }\n";
    std::string log;
    uint32_t program = backend.BuildProgram(vertex, fragment, &log);
    ASSERT_NE(program, 0u) << log;
    const float tint[4] = {0.0f, 0.5f, 1.0f, 1.0f};
    backend.SetUniform(program, backend.UniformLocation(program, "Tint"), GfxBackend::UniformType::Float4, 1, tint);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    static_cast<GfxDevice*>(dev)->SetEffectProgram(program);
    Quad(0, 0, 32, 64, 0xFFFFFFFF);
    // The alpha test reaches external programs too.
    dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_LESS);
    dev->SetRenderState(D3DRS_ALPHAREF, 0x80);
    Quad(32, 0, 64, 64, 0xFFFFFFFF);
    dev->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    static_cast<GfxDevice*>(dev)->SetEffectProgram(0);
    Quad(0, 60, 64, 64, 0xFFFF0000);
    std::vector<uint32_t> pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[10 * 64 + 10], 0xFF0080FFu);
    EXPECT_EQ(pixels[10 * 64 + 40], 0xFF000000u);
    EXPECT_EQ(pixels[62 * 64 + 10], 0xFFFF0000u);
    EXPECT_EQ(backend.BuildProgram(vertex, head + "void main() { undefined(); }\n", &log), 0u);
    EXPECT_NE(log.find("fragment program"), std::string::npos) << log;
    backend.DestroyProgram(program);
}

}  // namespace

namespace
{

// Cube faces drawn into keep Direct3D's orientation when sampled: for the side faces row 0 (where a quad
// at the top lands) is the +y half; for +Y it is the -z half.
TEST_F(GfxGL, CubeTargetFacesSampleInDirect3DOrientation)
{
    IDirect3DCubeTexture9* cube = nullptr;
    ASSERT_EQ(dev->CreateCubeTexture(8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &cube, nullptr),
              D3D_OK);
    IDirect3DSurface9* back = nullptr;
    dev->GetRenderTarget(0, &back);
    for (int f = 0; f < 6; ++f)
    {
        IDirect3DSurface9* face = nullptr;
        cube->GetCubeMapSurface(D3DCUBEMAP_FACES(f), 0, &face);
        dev->SetRenderTarget(0, face);
        dev->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 40 * f, 0, 0), 1.0f, 0);
        Quad(0, 0, 8, 4, D3DCOLOR_ARGB(255, 40 * f, 255, 0));  // top half marked green
        face->Release();
    }
    dev->SetRenderTarget(0, back);
    back->Release();

    GfxBackend& backend = static_cast<GfxDevice*>(dev)->Backend();
    std::string head = "#version 330 core\n";
    std::string log;
    uint32_t program = backend.BuildProgram(
        head + GfxShaderInterface::VertexPrelude +
            "layout(location = 0) in vec4 aPosition;\nvoid main() { gl_Position = weClipFromScreen(aPosition); }\n",
        head + GfxShaderInterface::FragmentPrelude +
            "uniform samplerCube Cube;\nuniform vec4 Dir;\nout vec4 c;\nvoid main() { c = texture(Cube, Dir.xyz); }\n",
        &log);
    ASSERT_NE(program, 0u) << log;
    int unit = 0;
    backend.SetUniform(program, backend.UniformLocation(program, "Cube"), GfxBackend::UniformType::Int1, 1, &unit);
    dev->SetTexture(0, cube);
    static_cast<GfxDevice*>(dev)->SetEffectProgram(program);
    struct Case
    {
        float dir[4];
        D3DCOLOR expected;
    } cases[] = {
        {{1, 0.5f, 0, 0}, D3DCOLOR_ARGB(255, 0, 255, 0)},   {{1, -0.5f, 0, 0}, D3DCOLOR_ARGB(255, 0, 0, 0)},
        {{-1, 0.5f, 0, 0}, D3DCOLOR_ARGB(255, 40, 255, 0)}, {{0, 0.5f, 1, 0}, D3DCOLOR_ARGB(255, 160, 255, 0)},
        {{0, -0.5f, -1, 0}, D3DCOLOR_ARGB(255, 200, 0, 0)}, {{0, 1, -0.5f, 0}, D3DCOLOR_ARGB(255, 80, 255, 0)},
        {{0, 1, 0.5f, 0}, D3DCOLOR_ARGB(255, 80, 0, 0)},    {{0, -1, 0.5f, 0}, D3DCOLOR_ARGB(255, 120, 255, 0)},
    };
    for (const Case& c : cases)
    {
        backend.SetUniform(program, backend.UniformLocation(program, "Dir"), GfxBackend::UniformType::Float4, 1, c.dir);
        dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
        Quad(0, 0, 4, 4, 0xFFFFFFFF);
        EXPECT_EQ(ReadBackBuffer()[64 + 1], c.expected) << c.dir[0] << " " << c.dir[1] << " " << c.dir[2];
    }
    static_cast<GfxDevice*>(dev)->SetEffectProgram(0);
    dev->SetTexture(0, nullptr);
    backend.DestroyProgram(program);
    cube->Release();
}

}  // namespace

namespace
{

// Nothing another caller does to GL leaks into the device: an error left pending by a mistyped uniform
// does not fail the next creation, and a second Direct3D object (whose probe makes and drops a context of
// its own) leaves the device's context current.
TEST_F(GfxGL, ForeignGLErrorsAndProbesLeaveTheDeviceWorking)
{
    GfxBackend& backend = static_cast<GfxDevice*>(dev)->Backend();
    std::string head = "#version 330 core\n";
    std::string log;
    uint32_t program = backend.BuildProgram(
        head + GfxShaderInterface::VertexPrelude +
            "layout(location = 0) in vec4 aPosition;\nvoid main() { gl_Position = weClipFromScreen(aPosition); }\n",
        head + GfxShaderInterface::FragmentPrelude + "uniform float F;\nout vec4 c;\nvoid main() { c = vec4(F); }\n",
        &log);
    ASSERT_NE(program, 0u) << log;
    const float four[4] = {1, 1, 1, 1};
    backend.SetUniform(program, backend.UniformLocation(program, "F"), GfxBackend::UniformType::Float4, 1, four);
    IDirect3DTexture9* tex = nullptr;
    EXPECT_EQ(dev->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr), D3D_OK);
    if (tex)
        tex->Release();
    backend.SetUniform(program, backend.UniformLocation(program, "F"), GfxBackend::UniformType::Float4, 1, four);
    IDirect3DVertexBuffer9* vb = nullptr;
    EXPECT_EQ(dev->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
    if (vb)
        vb->Release();
    backend.DestroyProgram(program);

    // A creation GL refuses keeps no object behind: the device drops such an image without destroying it.
    const GfxFormatInfo bogus = {D3DFMT_A8R8G8B8, 4, false, false, true, 0x1234, 0x1234, 0x1234, 0};
    for (GfxImageKind kind : {GfxImageKind::Texture2D, GfxImageKind::ColorSurface})
    {
        GfxImage image;
        image.kind = kind;
        image.info = &bogus;
        image.width = image.height = 4;
        image.usage = kind == GfxImageKind::ColorSurface ? D3DUSAGE_RENDERTARGET : 0;
        image.Layout();
        EXPECT_FALSE(backend.CreateImage(image));
        EXPECT_EQ(image.glName, 0u);
    }

    IDirect3D9* other = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(other, nullptr);
    other->Release();
    ASSERT_EQ(dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF205080, 1.0f, 0), D3D_OK);
    EXPECT_EQ(ReadBackBuffer()[33 * 64 + 17], 0xFF205080u);

    // A second device alive beside this one: each draws into its own context, whichever was made last.
    {
        GfxTestDevice second(GfxBackendKind::OpenGL, 32, 32);
        ASSERT_NE(second.device, nullptr);
        ASSERT_EQ(dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), D3D_OK);
        ASSERT_EQ(second.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0), D3D_OK);
        Quad(0, 0, 8, 8, 0xFF0000FF);
        std::vector<uint32_t> pixels = ReadBackBuffer();
        EXPECT_EQ(pixels[2 * 64 + 2], 0xFF0000FFu);
        EXPECT_EQ(pixels[40 * 64 + 40], 0xFF00FF00u);
    }
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF101010, 1.0f, 0);
    EXPECT_EQ(ReadBackBuffer()[40 * 64 + 40], 0xFF101010u);
}

}  // namespace

namespace
{

// Draws through a viewport that does not start at the corner land inside it, in Direct3D's coordinates:
// pre-transformed vertices keep their pixel positions, clip space fills exactly the viewport.
TEST_F(GfxGL, DrawsStayInsideAnOffsetViewport)
{
    D3DVIEWPORT9 vp{8, 16, 16, 8, 0.0f, 1.0f};
    for (bool pretransformed : {true, false})
    {
        IDirect3DSurface9* back = nullptr;
        dev->GetRenderTarget(0, &back);
        dev->SetRenderTarget(0, back);  // the whole target again
        back->Release();
        dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        ASSERT_EQ(dev->SetViewport(&vp), D3D_OK);
        dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        if (pretransformed)
        {
            Quad(12, 18, 20, 22, 0xFFFF0000);
        }
        else
        {
            struct Vertex
            {
                float x, y, z;
                D3DCOLOR colour;
            } v[4] = {{-1, 1, 0.5f, 0xFFFF0000},
                      {1, 1, 0.5f, 0xFFFF0000},
                      {-1, -1, 0.5f, 0xFFFF0000},
                      {1, -1, 0.5f, 0xFFFF0000}};
            dev->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
            ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(Vertex)), D3D_OK);
        }
        std::vector<uint32_t> pixels = ReadBackBuffer();
        int left = pretransformed ? 12 : 8, right = pretransformed ? 20 : 24;
        int top = pretransformed ? 18 : 16, bottom = pretransformed ? 22 : 24;
        int wrong = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
            {
                bool inside = x >= left && x < right && y >= top && y < bottom;
                wrong += pixels[y * 64 + x] != (inside ? 0xFFFF0000u : 0xFF000000u);
            }
        EXPECT_EQ(wrong, 0) << (pretransformed ? "pre-transformed" : "clip space");
    }
}

}  // namespace
