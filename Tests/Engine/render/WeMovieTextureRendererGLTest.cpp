// A movie's texture over OpenGL, headless: frames arrive top row first and are drawn the right way up.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "Engine/render/WeMovieTextureRenderer.h"
#include "Engine/render/WeScreenQuad.h"
#include "Platform/video/VideoPlayer.h"
#include "Tests/Engine/render/RenderTestSupport.h"
#include "Tests/Platform/video/TestClipWriter.h"

namespace
{

constexpr int Width = 64;
constexpr int Height = 48;

// The back buffer's pixels as 0x00RRGGBB, top row first.
std::vector<uint32_t> BackBuffer(IDirect3DDevice9* device)
{
    std::vector<uint32_t> pixels;
    IDirect3DSurface9* back = nullptr;
    IDirect3DSurface9* copy = nullptr;
    D3DSURFACE_DESC desc{};
    if (SUCCEEDED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back)) && SUCCEEDED(back->GetDesc(&desc)) &&
        SUCCEEDED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy,
                                                      nullptr)) &&
        SUCCEEDED(device->GetRenderTargetData(back, copy)))
    {
        D3DLOCKED_RECT r{};
        copy->LockRect(&r, nullptr, D3DLOCK_READONLY);
        pixels.resize(size_t(desc.Width) * desc.Height);
        for (UINT y = 0; y < desc.Height; ++y)
            for (UINT x = 0; x < desc.Width; ++x)
                pixels[y * desc.Width + x] =
                    reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(r.pBits) + y * r.Pitch)[x] &
                    0x00FFFFFFu;
        copy->UnlockRect();
    }
    if (copy)
        copy->Release();
    if (back)
        back->Release();
    return pixels;
}

bool Near(uint32_t got, uint32_t want)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)) > 6)
            return false;
    return true;
}

TEST(WeMovieTextureRendererGL, AClipIsDrawnUpright)
{
    GfxSelectBackend(GfxBackendKind::OpenGL);
    g_Engine.m_ErrorText = "";
    HWND window = MakeRenderTestWindow(Width, Height);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(g_RenderDevice.Create(nullptr, window, Width, Height, 0, 0, 0, 2, 2, 1))
        << g_Engine.m_ErrorText.c_str();
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    IDirect3DVertexBuffer9* vb = nullptr;
    {
        ScratchFolder scratch;
        ClipOptions options{"ffv1", "matroska"};
        options.frames = 1;
        options.audio = false;
        options.splitRows = true;  // the top half red (frame 0), the bottom half black
        ASSERT_TRUE(WriteClip(scratch.Path("upright.mkv"), options));

        WeMovieTextureRenderer movie;
        ASSERT_TRUE(movie.Open(scratch.Path("upright.mkv").c_str(), false, false));
        movie.GetPlayer()->SetRealTime(false);
        movie.Play(false);
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (movie.GetTexture() == nullptr && std::chrono::steady_clock::now() < end)
        {
            movie.Update();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_NE(movie.GetTexture(), nullptr);

        ASSERT_EQ(device->BeginScene(), D3D_OK);
        g_RenderDevice.Clear(true, 0xFF0000FFu, true, 1.0f, false, 0);
        ASSERT_EQ(device->CreateVertexBuffer(4 * 24, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, D3DFVF_XYZRHW | D3DFVF_TEX1,
                                             D3DPOOL_DEFAULT, &vb, nullptr),
                  D3D_OK);
        ASSERT_TRUE(FillScreenQuad(vb, float(Width), Height));
        SetQuadStates();
        device->SetRenderState(D3DRS_ZENABLE, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        g_RenderDevice.SetD3DTexture(0, movie.GetTexture());
        DrawScreenQuad(vb);
        g_RenderDevice.SetD3DTexture(0, nullptr);
        device->EndScene();
        std::vector<uint32_t> frame = BackBuffer(device);
        ASSERT_EQ(frame.size(), size_t(Width) * Height);
        EXPECT_TRUE(Near(frame[3 * Width + Width / 2], 0xFF0000u)) << std::hex << frame[3 * Width + Width / 2];
        EXPECT_TRUE(Near(frame[(Height - 3) * Width + Width / 2], 0x000000u))
            << std::hex << frame[(Height - 3) * Width + Width / 2];
    }
    if (vb != nullptr)
        vb->Release();
    ShutdownRendering();
    DestroyWindow(window);
    GfxSelectBackend(GfxBackendKind::Recording);
}

}  // namespace
