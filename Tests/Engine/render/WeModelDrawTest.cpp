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
    g_GfxRecorder.ClearLog();
    world.Render(&camera);
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
