// The velocity pass on the recording backend: when it runs, what it draws into, and the targets it gives back.
#include <gtest/gtest.h>

#include <vector>

#include "Engine/render/WeBaseModel.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeMeshManager.h"
#include "Engine/render/WePostProcess.h"
#include "Engine/render/WeRenderItem.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/render/WeRenderTarget.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeVelocityRenderer.h"
#include "Engine/world/WeActor.h"
#include "Platform/gfx/GfxSurface.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

class VelocityFixture : public RecordingRender
{
protected:
    void TearDown() override
    {
        g_RenderQueue.m_OpaqueHeap.Clear();
        g_RenderDevice.m_DepthOfFieldOn = 1;
        g_RenderDevice.m_MotionBlurMode = 2;
        RecordingRender::TearDown();
    }
};

using WeVelocityRendererDraw = VelocityFixture;

TEST_F(WeVelocityRendererDraw, RunsOnlyWhenItsDepthIsWantedAndGivesTheTargetsBack)
{
    ASSERT_TRUE(Create());
    ASSERT_NE(g_VelocityRenderer.m_Shader, nullptr);
    ASSERT_NE(g_VelocityRenderer.m_DoFOnly, nullptr);
    EXPECT_NE(g_VelocityRenderer.m_PixelMotionBlurOnly, nullptr);
    EXPECT_NE(g_VelocityRenderer.m_PixelMotionBlurAndDof, nullptr);
    WeMesh* mesh = g_MeshManager.GetMesh(WeMeshManager::DefaultMeshName, false);
    ASSERT_NE(mesh, nullptr);
    WeBaseModel model;
    model.m_Mesh = mesh;
    WeActor moving, still;
    moving.m_PlainStatic = true;
    moving.m_PlainStaticFactor = 0.75f;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    WeRenderItem items[3];
    items[0].actor = &moving;
    items[0].model = &model;
    items[1].actor = &moving;
    items[1].model = &model;
    items[2].actor = &still;  // no model: not drawn
    for (WeRenderItem& item : items)
    {
        item.material = g_MaterialManager.m_Default;
        item.worldMatrix = &identity;
        g_RenderQueue.m_OpaqueHeap.Push(&item, 0);
    }

    // Outside the post-process scene nothing happens.
    g_GfxRecorder.ClearLog();
    EXPECT_FALSE(g_VelocityRenderer.Draw(nullptr, nullptr));
    EXPECT_TRUE(g_GfxRecorder.Draws().empty());

    g_PostProcess.BeginScene();
    g_GfxRecorder.ClearLog();
    ASSERT_TRUE(g_VelocityRenderer.Draw(nullptr, nullptr));
    std::vector<const GfxDrawRecord*> draws = g_GfxRecorder.Draws();
    ASSERT_EQ(draws.size(), 2u);
    GfxSurface* depth = static_cast<GfxSurface*>(g_PostProcess.m_DepthTarget->GetSurface(0));
    for (const GfxDrawRecord* d : draws)
    {
        EXPECT_EQ(d->state.renderTargets[0], depth);
        EXPECT_EQ(d->state.depthStencil, static_cast<GfxSurface*>(g_RenderDevice.m_OffscreenDepth));
    }
    // Cleared first, then the scene's target and the back buffer's depth again.
    EXPECT_LT(IndexOf("Clear"), IndexOf("DrawIndexedPrimitive"));
    EXPECT_EQ(g_GfxRecorder.Last("SetRenderTarget")->args[1],
              uint64_t(uintptr_t(g_PostProcess.m_MainTarget->GetSurface(0))));
    EXPECT_EQ(g_GfxRecorder.Last("SetDepthStencilSurface")->args[0],
              uint64_t(uintptr_t(g_RenderDevice.m_BackBufferDepth)));
    // A plain-static actor's factor reaches the effect.
    float factor = -1.0f;
    g_VelocityRenderer.m_Shader->GetEffect()->GetFloat("MotionBlurFactor", &factor);
    EXPECT_FLOAT_EQ(factor, 0.75f);

    // Depth of field off and motion-blur mode 1: nothing wants the depth.
    g_RenderDevice.m_DepthOfFieldOn = 0;
    g_RenderDevice.m_MotionBlurMode = 1;
    g_GfxRecorder.ClearLog();
    EXPECT_FALSE(g_VelocityRenderer.Draw(nullptr, nullptr));
    EXPECT_TRUE(g_GfxRecorder.Draws().empty());
    g_PostProcess.EndScene();
}

}  // namespace
