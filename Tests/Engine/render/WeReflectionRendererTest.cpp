// The reflection cube on the recording backend: how often it is drawn per quality, its six faces, a cube
// that cannot be made, a quality raised without a reset, the queue's switches lowered and given back, and
// the quality kept within the tables.
#include <gtest/gtest.h>

#include <vector>

#include "Engine/render/WeCamera.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeReflectionRenderer.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/render/WeRenderTarget.h"
#include "Engine/render/WeTexture.h"
#include "Engine/world/WeWorld.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

class ReflectionFixture : public RecordingRender
{
protected:
    void TearDown() override
    {
        g_RenderQueue.m_Blended = 1;
        g_RenderQueue.m_Flares = 1;
        RecordingRender::TearDown();
    }
    bool CreateWithQuality(int quality)
    {
        return g_RenderDevice.Create(nullptr, window, 640, 480, 0, 0, 0, 2, quality, 1);
    }
    // How many of the frames drew the cube (one face bound each draws all six).
    int FramesDrawn(int frames)
    {
        int drawn = 0;
        for (int i = 0; i < frames; ++i)
        {
            g_GfxRecorder.ClearLog();
            g_ReflectionRenderer.Render(&world, &camera);
            drawn += CubeFacesBound() == 6;
        }
        return drawn;
    }
    int CubeFacesBound()
    {
        WeRenderTarget* cube = g_ReflectionRenderer.m_Cube;
        if (cube == nullptr)
            return 0;
        int faces = 0;
        for (const GfxCall* call : g_GfxRecorder.Find("SetRenderTarget"))
            if (call->args[1] == uint64_t(uintptr_t(cube->GetSurface(faces % 6))))
                ++faces;
        return faces;
    }

    WeWorld world;
    WeCamera camera;
};

using WeReflectionRendererFrames = ReflectionFixture;

TEST_F(WeReflectionRendererFrames, FirstRenderAtOnceThenOneFrameInSevenOrFour)
{
    struct Case
    {
        int quality, frames, drawn, size;
    } cases[] = {{2, 15, 3, 32}, {3, 9, 3, 64}, {4, 5, 5, 64}, {1, 5, 0, 0}, {0, 5, 0, 0}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.quality);
        g_GfxRecorder.ResetAll();
        ASSERT_TRUE(CreateWithQuality(c.quality));
        g_ReflectionRenderer.m_FrameCounter = 100;
        if (c.size > 0)
        {
            ASSERT_NE(g_ReflectionRenderer.m_Cube, nullptr);
            EXPECT_EQ(g_ReflectionRenderer.m_Cube->m_Size, c.size);
            EXPECT_EQ(g_ReflectionRenderer.m_Cube->m_Format, D3DFMT_X1R5G5B5);
            ASSERT_NE(WeMaterial::s_ReflectionCube, nullptr);
            EXPECT_EQ(WeMaterial::s_ReflectionCube()->GetD3DTexture(), g_ReflectionRenderer.m_Cube->GetTexture());
        }
        else
        {
            EXPECT_EQ(g_ReflectionRenderer.m_Cube, nullptr);
        }
        EXPECT_EQ(FramesDrawn(c.frames), c.drawn);
        ShutdownRendering();
    }
}

TEST_F(WeReflectionRendererFrames, EachFaceClearedAndTheStateGivenBack)
{
    g_RenderDevice.m_RefractionOn = 1;
    ASSERT_TRUE(CreateWithQuality(2));
    g_ReflectionRenderer.m_FrameCounter = 100;
    // A switch the game had turned off stays off.
    g_RenderQueue.m_Blended = 0;
    const float ambient[4] = {0.1f, 0.2f, 0.3f, 1.0f};
    g_RenderDevice.SetAmbientColor(ambient);
    g_GfxRecorder.ClearLog();
    g_ReflectionRenderer.Render(&world, &camera);
    EXPECT_EQ(CubeFacesBound(), 6);
    std::vector<const GfxCall*> clears = g_GfxRecorder.Find("Clear");
    ASSERT_EQ(clears.size(), 6u);
    EXPECT_EQ(clears[0]->args[1], uint64_t(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL));
    EXPECT_EQ(clears[0]->args[2], 0u);
    EXPECT_EQ(clears[0]->args[4], 1u);
    // The off-screen depth during the faces, the back buffer's after.
    EXPECT_EQ(g_GfxRecorder.Find("SetDepthStencilSurface").front()->args[0],
              uint64_t(uintptr_t(g_RenderDevice.m_OffscreenDepth)));
    EXPECT_EQ(g_GfxRecorder.Last("SetDepthStencilSurface")->args[0],
              uint64_t(uintptr_t(g_RenderDevice.m_BackBufferDepth)));
    IDirect3DSurface9* back = nullptr;
    g_RenderDevice.GetDevice()->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    EXPECT_EQ(g_GfxRecorder.Last("SetRenderTarget")->args[1], uint64_t(uintptr_t(back)));
    back->Release();
    EXPECT_EQ(g_RenderQueue.m_Velocity, 1);
    EXPECT_EQ(g_RenderQueue.m_Projectors, 1);
    EXPECT_EQ(g_RenderQueue.m_Blended, 0);
    EXPECT_EQ(g_RenderQueue.m_Last, 1);
    EXPECT_EQ(g_RenderQueue.m_Flares, 1);
    EXPECT_EQ(g_RenderQueue.m_Sky, 1);
    EXPECT_FALSE(g_RenderQueue.m_FillingReflectionCube);
    EXPECT_FALSE(g_ReflectionRenderer.IsRendering());
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(g_RenderDevice.m_AmbientColor[i], ambient[i]);
    // The last face looked along -Z from the point the game set.
    EXPECT_EQ(g_ReflectionRenderer.m_Camera->m_Direction, D3DXVECTOR3(0, 0, -1));
}

TEST_F(WeReflectionRendererFrames, AFailedCubeLeavesQualityOne)
{
    ASSERT_TRUE(CreateWithQuality(1));
    g_RenderDevice.SetReflectionQuality(3);
    g_ReflectionRenderer.OnLostDevice();
    g_GfxRecorder.FailNext("CreateCubeTexture");
    g_ReflectionRenderer.OnResetDevice();
    EXPECT_EQ(g_ReflectionRenderer.m_Cube, nullptr);
    EXPECT_EQ(g_ReflectionRenderer.m_Quality, 1);
    ASSERT_NE(g_ReflectionRenderer.GetCubeTexture(), nullptr);
    EXPECT_EQ(g_ReflectionRenderer.GetCubeTexture()->GetD3DTexture(), nullptr);
    EXPECT_EQ(FramesDrawn(3), 0);
}

TEST_F(WeReflectionRendererFrames, ARaisedQualityDrawsOnlyAfterTheNextReset)
{
    ASSERT_TRUE(CreateWithQuality(1));
    g_RenderDevice.SetReflectionQuality(3);
    EXPECT_EQ(g_ReflectionRenderer.m_Quality, 3);
    g_ReflectionRenderer.m_FrameCounter = 100;
    EXPECT_EQ(FramesDrawn(5), 0);
    g_GfxRecorder.cooperativeLevels = {D3DERR_DEVICENOTRESET};
    ASSERT_EQ(g_RenderDevice.CheckDeviceLost(), 0);
    ASSERT_NE(g_ReflectionRenderer.m_Cube, nullptr);
    EXPECT_EQ(g_ReflectionRenderer.m_Cube->m_Size, 64);
    EXPECT_EQ(FramesDrawn(4), 1);
}

TEST_F(WeReflectionRendererFrames, QualityStaysInTheTablesAndOneCameraAndCubeAreKept)
{
    ASSERT_TRUE(CreateWithQuality(2));
    struct Case
    {
        int given, kept;
    } cases[] = {{-3, 0}, {7, 4}, {5, 4}, {4, 4}, {2, 2}};
    for (const Case& c : cases)
    {
        g_ReflectionRenderer.SetQuality(c.given);
        EXPECT_EQ(g_ReflectionRenderer.m_Quality, c.kept) << c.given;
    }
    // Out of range at initialisation too; a second one keeps the camera and swaps the cube.
    WeCamera* first = g_ReflectionRenderer.m_Camera;
    const int32_t targets = g_RenderTargetManager.m_Targets.Count();
    EXPECT_TRUE(g_ReflectionRenderer.InitWithQuality(9));
    EXPECT_EQ(g_ReflectionRenderer.m_Quality, 4);
    EXPECT_EQ(g_ReflectionRenderer.m_Camera, first);
    EXPECT_EQ(g_RenderTargetManager.m_Targets.Count(), targets);
    EXPECT_FLOAT_EQ(first->m_Fov, 1.5707963f);
    EXPECT_FLOAT_EQ(first->m_Far, 250.0f);
    g_ReflectionRenderer.SetPosition(D3DXVECTOR3(1, 2, 3));
    EXPECT_EQ(first->m_Position, D3DXVECTOR3(1, 2, 3));
    // A reset while the cube is held gives it back before making another.
    g_ReflectionRenderer.m_Quality = 2;
    g_ReflectionRenderer.OnResetDevice();
    EXPECT_EQ(g_RenderTargetManager.m_Targets.Count(), targets);
}

}  // namespace
