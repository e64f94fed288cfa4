// Models queue one item per mesh subset: the actor's preset, the selection material, a preset out of
// range; actors load their model by name and the sky box its mesh.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Engine/render/WeCamera.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeSkyBox.h"
#include "Engine/world/WeWorld.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

class WeModelDrawTest : public RecordingRender
{
protected:
    void SetUp() override
    {
        RecordingRender::SetUp();
        ASSERT_TRUE(Create());
        D3DXMatrixIdentity(&camera.m_View);
        g_RenderQueue.Prepare(nullptr, &camera);
    }
    void TearDown() override
    {
        g_RenderQueue.Prepare(nullptr, nullptr);
        // The shared view x projection outlives the device; later tests draw with the identity.
        D3DXMatrixIdentity(&g_ShaderManager.m_ViewProj);
        D3DXMatrixIdentity(&g_ShaderManager.m_PrevViewProj);
        RecordingRender::TearDown();
    }
    static std::vector<WeMaterial*> Materials(const WeRenderHeap& heap)
    {
        std::vector<WeMaterial*> out;
        for (int32_t i = 0; i < heap.m_Count; ++i)
            out.push_back(heap.m_Entries[i].item->material);
        return out;
    }
    WeCamera camera;
};

TEST_F(WeModelDrawTest, OneItemPerSubsetOfTheChosenPreset)
{
    // A track segment: road and wall subsets.
    WeModel* model = g_ModelManager.Load("Maps.TestOval.Track01", 0);
    ASSERT_NE(model, nullptr);
    ASSERT_NE(model->m_Mesh, nullptr);
    ASSERT_EQ(model->m_Mesh->m_SubsetCount, 2);
    WeMaterial* road = g_MaterialManager.GetMaterial("Maps.Common.Road", false, false);
    WeMaterial* wall = g_MaterialManager.GetMaterial("Maps.Common.Wall", false, false);
    ASSERT_NE(road, nullptr);
    ASSERT_NE(wall, nullptr);
    WeActor actor;

    // Nothing without an actor.
    model->Draw(&camera, &g_RenderQueue, nullptr, -1);
    EXPECT_EQ(g_RenderQueue.m_OpaqueHeap.m_Count, 0);

    // The actor's preset, then presets outside 0..29, which are reported and draw preset 0.
    for (int32_t preset : {-1, 0, 30, 1000, -3})
    {
        SCOPED_TRACE(preset);
        g_RenderQueue.Prepare(nullptr, &camera);
        model->Draw(&camera, &g_RenderQueue, &actor, preset);
        std::vector<WeMaterial*> drawn = Materials(g_RenderQueue.m_OpaqueHeap);
        std::sort(drawn.begin(), drawn.end());
        std::vector<WeMaterial*> expected{road, wall};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(drawn, expected);
    }

    // The selection material on every subset.
    g_RenderQueue.Prepare(nullptr, &camera);
    model->Draw(&camera, &g_RenderQueue, &actor, -2);
    const std::vector<WeMaterial*> selected = Materials(g_RenderQueue.m_BlendedHeap);
    EXPECT_EQ(selected, (std::vector<WeMaterial*>{g_MaterialManager.m_Selection, g_MaterialManager.m_Selection}));
    delete model;
}

// Whatever the actor's type (the game's shots are type 9), the items carry the model's own matrix, so a
// moving actor's model is drawn where the actor is.
TEST_F(WeModelDrawTest, ItemsFollowTheModelMatrixForEveryActorType)
{
    WeModel* model = g_ModelManager.Load("Maps.TestOval.Track01", 0);
    ASSERT_NE(model, nullptr);
    D3DXMATRIX placed;
    D3DXMatrixTranslation(&placed, 5.0f, 2.0f, 640.0f);
    model->m_WorldMatrix = &placed;
    for (int32_t type : {int32_t(WeActorTypePlain), 9, 8})
    {
        SCOPED_TRACE(type);
        WeActor actor;
        actor.m_Type = type;
        g_RenderQueue.Prepare(nullptr, &camera);
        model->Draw(&camera, &g_RenderQueue, &actor, -1);
        ASSERT_GT(g_RenderQueue.m_OpaqueHeap.m_Count, 0);
        for (int32_t i = 0; i < g_RenderQueue.m_OpaqueHeap.m_Count; ++i)
            EXPECT_EQ(g_RenderQueue.m_OpaqueHeap.m_Entries[i].item->worldMatrix, &placed);
    }
    model->m_WorldMatrix = nullptr;
    delete model;
}

TEST_F(WeModelDrawTest, ActorsAndTheSkyBoxLoadTheirModelsByName)
{
    WeWorld world;
    WeActor* segment = new WeActor();
    segment->m_ModelName = "Maps.TestOval.Track01";
    WeActor* missing = new WeActor();
    missing->m_ModelName = "Maps.Nowhere.Nothing";
    world.AddActor(segment);
    world.AddActor(missing);
    ASSERT_NE(segment->m_Model, nullptr);
    EXPECT_GT(segment->m_BoundingSphere.radius, 10.0f);
    EXPECT_EQ(missing->m_Model, nullptr);

    // The world draws the segment: one item per subset reaches the device.
    camera.m_Position = D3DXVECTOR3(0.0f, 50.0f, -300.0f);
    camera.m_Direction = D3DXVECTOR3(0.0f, 0.0f, 1.0f);
    camera.Update();
    // The main view alone: without the reflection cube's faces and the velocity pass, which draw it too.
    const int32_t quality = g_RenderDevice.m_ReflectionQuality;
    g_RenderDevice.m_ReflectionQuality = 1;
    g_RenderQueue.m_Velocity = 0;
    g_GfxRecorder.ClearLog();
    world.Render(&camera);
    g_RenderDevice.m_ReflectionQuality = quality;
    g_RenderQueue.m_Velocity = 1;
    EXPECT_EQ(g_GfxRecorder.Count("DrawIndexedPrimitive"), 2u);

    WeSkyBox sky;
    sky.m_ModelName = "Maps.Sky.Plain";
    sky.LoadMesh();
    EXPECT_NE(sky.m_Model, nullptr);
    EXPECT_EQ(sky.m_CubeTexture, nullptr);  // its material has no environment map
    sky.m_ModelName = "Maps.Sky.Missing";
    sky.LoadMesh();
    EXPECT_EQ(sky.m_Model, nullptr);
}

}  // namespace
