// Render targets on the recording backend: where they draw, their failures, and device loss.
#include <gtest/gtest.h>

#include "Engine/render/WeRenderTarget.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

using WeRenderTargetCreate = RecordingRender;

TEST_F(WeRenderTargetCreate, PlainTargetsDrawIntoTheirTextureMultisampledOnesIntoASurface)
{
    ASSERT_TRUE(Create());
    // Post-processing's targets are there from the start.
    const int32_t existing = g_RenderTargetManager.m_Targets.Count();
    WeRenderTarget* plain = g_RenderTargetManager.CreateTarget(64, 32, D3DFMT_A8R8G8B8, 0, 0);
    ASSERT_NE(plain, nullptr);
    IDirect3DSurface9* level = nullptr;
    static_cast<IDirect3DTexture9*>(plain->GetTexture())->GetSurfaceLevel(0, &level);
    EXPECT_EQ(plain->GetSurface(0), level);
    EXPECT_EQ(plain->GetResolveSurface(), nullptr);
    level->Release();
    // Creating it again changes nothing.
    size_t calls = g_GfxRecorder.calls.size();
    EXPECT_TRUE(plain->Create2D(8, 8, D3DFMT_X8R8G8B8, 0, 0));
    EXPECT_EQ(g_GfxRecorder.calls.size(), calls);
    EXPECT_EQ(plain->m_Width, 64);

    WeRenderTarget* multi = g_RenderTargetManager.CreateTarget(64, 32, D3DFMT_A8R8G8B8, 4, 0);
    ASSERT_NE(multi, nullptr);
    static_cast<IDirect3DTexture9*>(multi->GetTexture())->GetSurfaceLevel(0, &level);
    EXPECT_NE(multi->GetSurface(0), level);
    EXPECT_EQ(multi->GetResolveSurface(), level);
    D3DSURFACE_DESC desc{};
    multi->GetSurface(0)->GetDesc(&desc);
    EXPECT_EQ(desc.MultiSampleType, D3DMULTISAMPLE_4_SAMPLES);
    level->Release();

    multi->Bind(1, 0);
    IDirect3DSurface9* bound = nullptr;
    g_RenderDevice.GetDevice()->GetRenderTarget(1, &bound);
    EXPECT_EQ(bound, multi->GetSurface(0));
    bound->Release();
    g_RenderDevice.GetDevice()->SetRenderTarget(1, nullptr);

    WeRenderTarget* cube = g_RenderTargetManager.CreateCubeTarget(16, D3DFMT_A8R8G8B8);
    ASSERT_NE(cube, nullptr);
    EXPECT_EQ(cube->m_Created, 1);
    for (int face = 0; face < 6; ++face)
        EXPECT_NE(cube->GetSurface(face), nullptr);
    EXPECT_NE(cube->GetSurface(0), cube->GetSurface(5));
    g_RenderTargetManager.ReleaseTarget(plain);
    g_RenderTargetManager.ReleaseTarget(nullptr);
    EXPECT_EQ(g_RenderTargetManager.m_Targets.Count(), existing + 2);
}

TEST_F(WeRenderTargetCreate, EachHalfOfCreate2DCanFail)
{
    ASSERT_TRUE(Create());
    const int32_t existing = g_RenderTargetManager.m_Targets.Count();
    g_GfxRecorder.FailNext("CreateRenderTarget");
    EXPECT_EQ(g_RenderTargetManager.CreateTarget(64, 32, D3DFMT_A8R8G8B8, 2, 0), nullptr);
    g_GfxRecorder.FailNext("CreateTexture");
    EXPECT_EQ(g_RenderTargetManager.CreateTarget(64, 32, D3DFMT_A8R8G8B8, 0, 0), nullptr);
    // The multisampled surface made before a failing texture is released with it.
    g_GfxRecorder.FailNext("CreateTexture");
    WeRenderTarget target;
    EXPECT_FALSE(target.Create2D(64, 32, D3DFMT_A8R8G8B8, 2, 0));
    EXPECT_EQ(target.m_Surfaces[0], nullptr);
    EXPECT_EQ(target.m_Created, 0);
    g_GfxRecorder.FailNext("CreateCubeTexture");
    EXPECT_EQ(g_RenderTargetManager.CreateCubeTarget(16, D3DFMT_A8R8G8B8), nullptr);
    EXPECT_EQ(g_RenderTargetManager.m_Targets.Count(), existing);
    // Nothing of the default pool is left alive: the device resets.
    g_RenderDevice.ReleaseResources();
    EXPECT_EQ(g_RenderDevice.GetDevice()->Reset(&g_RenderDevice.m_PresentParameters), D3D_OK);
    g_RenderDevice.RestoreResources();
}

TEST_F(WeRenderTargetCreate, LostAndResetKeepSizeAndFormat)
{
    ASSERT_TRUE(Create());
    WeRenderTarget* plain = g_RenderTargetManager.CreateTarget(40, 20, D3DFMT_X8R8G8B8, 0, 0);
    WeRenderTarget* cube = g_RenderTargetManager.CreateCubeTarget(8, D3DFMT_A8R8G8B8);
    ASSERT_TRUE(plain && cube);
    g_RenderDevice.ReleaseResources();
    EXPECT_EQ(plain->m_Created, 0);
    EXPECT_EQ(cube->m_Created, 0);
    EXPECT_EQ(cube->GetTexture(), nullptr);
    EXPECT_EQ(g_RenderDevice.GetDevice()->Reset(&g_RenderDevice.m_PresentParameters), D3D_OK);
    g_RenderDevice.RestoreResources();
    D3DSURFACE_DESC desc{};
    plain->GetSurface(0)->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 40u);
    EXPECT_EQ(desc.Height, 20u);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    cube->GetSurface(3)->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 8u);
    // A rebuild that fails leaves the target uncreated for its users to test.
    g_RenderTargetManager.OnLostDevice();
    g_GfxRecorder.FailNext("CreateTexture");
    g_RenderTargetManager.OnResetDevice();
    EXPECT_EQ(plain->m_Created, 0);
    EXPECT_EQ(cube->m_Created, 1);
}

}  // namespace
