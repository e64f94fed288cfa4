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

bool Near(uint32_t got, uint32_t want)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)) > 6)
            return false;
    return true;
}

class WeMovieTextureRendererGL : public GLTestFixture
{
protected:
    WeMovieTextureRendererGL() : GLTestFixture(Width, Height) {}
    void TearDown() override
    {
        if (vb != nullptr)
            vb->Release();
        GLTestFixture::TearDown();
    }
    IDirect3DVertexBuffer9* vb = nullptr;
};

TEST_F(WeMovieTextureRendererGL, AClipIsDrawnUpright)
{
    IDirect3DDevice9* device = m_Device;
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
        const GLTestImage frame = ReadBack();
        ASSERT_EQ(frame.pixels.size(), size_t(Width) * Height);
        EXPECT_TRUE(Near(frame.At(Width / 2, 3), 0xFF0000u)) << std::hex << frame.At(Width / 2, 3);
        EXPECT_TRUE(Near(frame.At(Width / 2, Height - 3), 0x000000u)) << std::hex << frame.At(Width / 2, Height - 3);
    }
}

}  // namespace
