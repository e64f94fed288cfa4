// Projectors on the recording backend: omni and spot lists, never projecting on the owner, the lit flag for
// omni projectors, items grouped by material, the option switch and a missing projector material.
#include <gtest/gtest.h>

#include <vector>

#include "Engine/render/WeBaseModel.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeMeshManager.h"
#include "Engine/render/WeProjectorRenderer.h"
#include "Engine/render/WeRenderItem.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/render/WeTexture.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeWorld.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

class ProjectorFixture : public RecordingRender
{
protected:
    void SetUp() override
    {
        RecordingRender::SetUp();
        ASSERT_TRUE(Create());
        camera.m_Position = D3DXVECTOR3(0, 5, -20);
        camera.m_Direction = D3DXVECTOR3(0, 0, 1);
        camera.SetProjection(1.2f, 1.0f, 500.0f, 1.0f);
        camera.Update();
        mesh = g_MeshManager.GetMesh(WeMeshManager::DefaultMeshName, false);
        ASSERT_NE(mesh, nullptr);
        lit = g_MaterialManager.GetMaterial("Materials.Projectors.Omni", false, false);
        other = g_MaterialManager.GetMaterial("Materials.Projectors.Spot", false, false);
        ASSERT_NE(lit, nullptr);
        ASSERT_NE(other, nullptr);
        D3DXMatrixIdentity(&identity);
    }
    void TearDown() override
    {
        g_ProjectorRenderer.Clear();
        g_RenderQueue.m_OpaqueHeap.Clear();
        g_RenderDevice.m_ProjectorOption = 1;
        for (WeBaseModel* m : models)
            delete m;
        RecordingRender::TearDown();
    }
    WeLight* Projector(bool omni, const D3DXVECTOR3& at, WeActor* owner)
    {
        WeLight* light = new WeLight();
        light->m_Projector = true;
        light->m_OmniProjector = omni;
        light->m_Range = 30.0f;
        world.AddActor(light);
        // Spot projectors look down onto the floor.
        D3DXMATRIX down;
        D3DXMatrixRotationX(&down, 1.5707963f);
        light->SetLocationAndOrientation(at, down);
        light->m_ProjectorMaterial = omni ? lit : other;
        light->m_Parent = owner;
        light->Tick();  // builds the projector's frustum
        return light;
    }
    // An opaque item of the actor with a model whose sphere sits at the point.
    WeRenderItem* Item(WeActor* actor, WeMaterial* material, const D3DXVECTOR3& at)
    {
        WeBaseModel* model = new WeBaseModel();
        model->m_Mesh = mesh;
        model->m_SphereCenter = at;
        model->m_SphereRadius = 1.0f;
        models.push_back(model);
        items.push_back(WeRenderItem{});
        WeRenderItem& item = items.back();
        item.actor = actor;
        item.material = material;
        item.model = model;
        item.worldMatrix = &identity;
        return &item;
    }

    WeWorld world;
    WeCamera camera;
    WeMesh* mesh = nullptr;
    WeMaterial* lit = nullptr;
    WeMaterial* other = nullptr;
    D3DXMATRIX identity;
    std::vector<WeBaseModel*> models;
    std::vector<WeRenderItem> items;  // reserved by each test: the heaps keep pointers
};

using WeProjectorRendererCollect = ProjectorFixture;

TEST_F(WeProjectorRendererCollect, OmniAndSpotListsNeverTheOwnerAndGroupedByMaterial)
{
    items.reserve(8);
    WeActor craft, rock, wall;
    WeLight* omni = Projector(true, D3DXVECTOR3(0, 2, 0), &craft);
    WeLight* spot = Projector(false, D3DXVECTOR3(0, 10, 5), &craft);
    ASSERT_TRUE(omni && spot);
    // Within both projectors' reach: the owner's item, and three others of two materials.
    WeRenderItem* own = Item(&craft, lit, D3DXVECTOR3(0, 0, 4));
    WeRenderItem* a = Item(&rock, lit, D3DXVECTOR3(1, 0, 5));
    WeRenderItem* b = Item(&wall, other, D3DXVECTOR3(-1, 0, 5));
    WeRenderItem* c = Item(&rock, lit, D3DXVECTOR3(0, 0, 6));
    // Far beyond the omni's range and outside the spot's frustum.
    WeRenderItem* far = Item(&rock, lit, D3DXVECTOR3(200, 0, 200));
    for (WeRenderItem* item : {own, a, b, c, far})
        g_RenderQueue.m_OpaqueHeap.Push(item, 0);

    g_ProjectorRenderer.Clear();
    g_ProjectorRenderer.Collect(&world, &camera);
    ASSERT_EQ(g_ProjectorRenderer.m_OmniList.size(), 1u);
    ASSERT_EQ(g_ProjectorRenderer.m_SpotList.size(), 1u);
    EXPECT_EQ(g_ProjectorRenderer.m_OmniList[0].light, omni);
    EXPECT_EQ(g_ProjectorRenderer.m_SpotList[0].light, spot);

    // The owner's item and the far one never come.
    std::vector<WeRenderItem*> popped;
    while (WeRenderItem* item = g_ProjectorRenderer.m_SpotList[0].heap->Pop())
        popped.push_back(item);
    ASSERT_EQ(popped.size(), 3u);
    for (WeRenderItem* item : popped)
    {
        EXPECT_NE(item, own);
        EXPECT_NE(item, far);
    }
    // Items of one material come out together.
    EXPECT_EQ(popped[0]->material, popped[1]->material);
    EXPECT_NE(popped[1]->material, popped[2]->material);

    // The omni projector skips materials that are not lit.
    other->m_Lit = 0;
    g_ProjectorRenderer.Clear();
    g_ProjectorRenderer.Collect(&world, &camera);
    popped.clear();
    while (WeRenderItem* item = g_ProjectorRenderer.m_OmniList[0].heap->Pop())
        popped.push_back(item);
    other->m_Lit = 1;
    EXPECT_EQ(popped.size(), 2u);
    for (WeRenderItem* item : popped)
        EXPECT_EQ(item->material, lit);

    // Drawing: one draw an item, spot ones with the cookie on stage 6 and border addressing.
    g_ProjectorRenderer.Clear();
    g_ProjectorRenderer.Collect(&world, &camera);
    g_GfxRecorder.ClearLog();
    g_ProjectorRenderer.Draw(&world, &camera);
    std::vector<const GfxDrawRecord*> draws = g_GfxRecorder.Draws();
    ASSERT_EQ(draws.size(), 6u);
    const GfxDrawRecord* last = draws.back();
    EXPECT_EQ(last->state.textures[6], other->m_Textures[0]->GetD3DTexture());
    EXPECT_EQ(last->state.samplerStates[6][D3DSAMP_ADDRESSU], DWORD(D3DTADDRESS_BORDER));
    EXPECT_EQ(last->state.renderStates[D3DRS_ALPHABLENDENABLE], 1u);
    EXPECT_EQ(last->state.renderStates[D3DRS_ZWRITEENABLE], 0u);
    EXPECT_EQ(last->state.renderStates[D3DRS_DESTBLEND], DWORD(D3DBLEND_ONE));
    EXPECT_EQ(draws[0]->state.textures[4], lit->m_Textures[4]->GetD3DTexture());
}

TEST_F(WeProjectorRendererCollect, NothingWithTheOptionOffOrWithoutAProjectorMaterial)
{
    items.reserve(2);
    WeActor rock;
    WeLight* spot = Projector(false, D3DXVECTOR3(0, 10, 5), nullptr);
    g_RenderQueue.m_OpaqueHeap.Push(Item(&rock, lit, D3DXVECTOR3(0, 0, 5)), 0);
    g_RenderDevice.m_ProjectorOption = 0;
    g_ProjectorRenderer.Clear();
    g_ProjectorRenderer.Collect(&world, &camera);
    EXPECT_TRUE(g_ProjectorRenderer.m_SpotList.empty());
    g_RenderDevice.m_ProjectorOption = 1;
    spot->m_ProjectorMaterial = nullptr;
    g_ProjectorRenderer.Clear();
    g_ProjectorRenderer.Collect(&world, &camera);
    EXPECT_EQ(g_ProjectorRenderer.m_SpotList.size(), 1u);
    g_GfxRecorder.ClearLog();
    g_ProjectorRenderer.Draw(&world, &camera);
    EXPECT_TRUE(g_GfxRecorder.Draws().empty());
}

}  // namespace
