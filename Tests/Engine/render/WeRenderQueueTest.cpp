// The render queue on the recording backend: pass and key order, blended groups, state filtering, the
// heap, the item pool, culling in Prepare and the shader variant of an item.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "Engine/render/WeCamera.h"
#include "Engine/render/WeDrawItemPool.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/render/WeShader.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeWorld.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

class WeRenderQueueTest : public RecordingRender
{
protected:
    void SetUp() override
    {
        RecordingRender::SetUp();
        ASSERT_TRUE(Create());
        shader = g_ShaderManager.GetShader("Shaders.Default.Default", false, false);
        ASSERT_NE(shader, nullptr);
        D3DXMatrixIdentity(&camera.m_View);
        D3DXMatrixIdentity(&identity);
        g_RenderQueue.Prepare(nullptr, &camera);
    }
    void TearDown() override
    {
        g_RenderQueue.Prepare(nullptr, nullptr);
        RecordingRender::TearDown();
    }

    // A material told apart in the log by its alpha-test reference.
    WeMaterial* Material(int sortMode, int id, int destBlend = D3DBLEND_INVSRCALPHA)
    {
        materials.push_back(std::make_unique<WeMaterial>());
        WeMaterial* m = materials.back().get();
        m->m_Shader = shader;
        m->m_SortMode = sortMode;
        m->m_AlphaReference = id;
        m->m_DestinationBlend = destBlend;
        m->m_Lit = 0;
        return m;
    }
    WeActor* Actor(float depth, int type = WeActorTypePlain, bool fromMap = true)
    {
        actors.push_back(std::make_unique<WeActor>());
        WeActor* a = actors.back().get();
        a->m_BoundingSphere.Set(0.0f, 0.0f, depth, 0.0f);
        a->m_Type = type;
        a->m_LoadedFromMap = fromMap;
        return a;
    }
    WeRenderItem* Add(WeMaterial* m, WeActor* a) { return g_RenderQueue.AddItem(m, a, nullptr, 0, &identity, &camera); }

    // The alpha references the drawn items' materials sent, in order.
    static std::vector<int> DrawOrder()
    {
        std::vector<int> order;
        for (const GfxCall* c : g_GfxRecorder.Find("SetRenderState"))
            if (c->args[0] == D3DRS_ALPHAREF)
                order.push_back(int(c->args[1]));
        return order;
    }
    static std::vector<int> Render()
    {
        g_GfxRecorder.ClearLog();
        g_RenderQueue.Render();
        return DrawOrder();
    }

    WeShader* shader = nullptr;
    WeCamera camera;
    D3DXMATRIX identity;
    std::vector<std::unique_ptr<WeMaterial>> materials;
    std::vector<std::unique_ptr<WeActor>> actors;
};

TEST_F(WeRenderQueueTest, PassesAndKeysOrderTheItems)
{
    Add(Material(0, 2), Actor(2.0f));    // opaque far
    Add(Material(0, 1), Actor(1.0f));    // opaque near
    Add(Material(6, 3), Actor(0.5f));    // after every mode 0, though nearest
    Add(Material(6, 4), Actor(0.75f));   //
    Add(Material(4, 6), Actor(1.0f));    // last pass: far first
    Add(Material(4, 5), Actor(2.0f));    //
    Add(Material(5, 8), Actor(1.0f));    // background: far first, before everything
    Add(Material(5, 7), Actor(3.0f));    //
    Add(Material(0, 9), Actor(100.0f));  // far opaque still before any mode 6
    EXPECT_EQ(Render(), (std::vector<int>{7, 8, 1, 2, 9, 3, 4, 5, 6}));
    // The heaps are empty afterwards: a second render draws nothing.
    EXPECT_TRUE(Render().empty());
}

TEST_F(WeRenderQueueTest, BlendedItemsGoByOriginThenKindThenFarFirst)
{
    Add(Material(2, 5), Actor(1.0f, WeActorTypePlain, false));  // spawned: after every map object
    Add(Material(2, 1), Actor(5.0f));                           // map plain, far
    Add(Material(2, 2), Actor(1.0f));                           // map plain, near
    Add(Material(2, 4, D3DBLEND_ONE), Actor(50.0f, WeActorTypeParticleSystem));
    Add(Material(2, 3), Actor(1.0f, WeActorTypeParticleSystem));
    Add(Material(2, 7, D3DBLEND_ONE), Actor(1.0f, WeActorTypeTrail, false));
    Add(Material(2, 6), Actor(9.0f, WeActorTypeTrail, false));
    EXPECT_EQ(Render(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(WeRenderQueueTest, DepthKeysAreClampedSoFarItemsKeepTheirBands)
{
    // Beyond about 65,536 the fixed-point depth used to overflow; blended items of large negative depth
    // crossed into the next group's band, and mode-6 keys wrapped below mode 0.
    Add(Material(0, 3), Actor(1.0e6f));
    Add(Material(0, 2), Actor(40000.0f));
    Add(Material(0, 1), Actor(100.0f));
    Add(Material(6, 4), Actor(-1.0e9f));
    Add(Material(2, 5), Actor(-1.0e6f));                           // map plain (group 1)
    Add(Material(2, 6), Actor(1.0e6f, WeActorTypePlain, false));   // spawned (group 9)
    Add(Material(2, 7), Actor(-1.0e6f, WeActorTypePlain, false));  //
    std::vector<int> order = Render();
    ASSERT_EQ(order.size(), 7u);
    EXPECT_EQ(order[0], 1);
    EXPECT_EQ(order[3], 4);
    EXPECT_EQ(std::vector<int>(order.begin() + 4, order.end()), (std::vector<int>{5, 6, 7}));
}

TEST_F(WeRenderQueueTest, AddItemRefusesWhatCannotBeDrawn)
{
    WeMaterial* noShader = Material(0, 1);
    noShader->m_Shader = nullptr;  // as a failed load leaves it
    EXPECT_EQ(Add(noShader, Actor(1.0f)), nullptr);
    EXPECT_EQ(Add(nullptr, Actor(1.0f)), nullptr);
    EXPECT_EQ(g_RenderQueue.AddItem(Material(0, 2), nullptr, nullptr, 0, nullptr, &camera), nullptr);
    for (int mode : {1, 3, 7, -1})
        EXPECT_EQ(Add(Material(mode, 3), Actor(1.0f)), nullptr) << mode;
    EXPECT_TRUE(Render().empty());

    // Without an actor the depth is 0.
    WeRenderItem* item = g_RenderQueue.AddItem(Material(0, 4), nullptr, nullptr, 3, &identity, &camera);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->depth, 0.0f);
    EXPECT_EQ(item->subset, 3);
    // ChooseLights on an item without an actor takes the plain list rather than reading the actor.
    g_RenderQueue.ChooseLights(item);
    EXPECT_EQ(item->pixelLightCount + item->vertexLightCount, 0);
}

TEST_F(WeRenderQueueTest, RepeatedMaterialAndStatesAreNotSentAgain)
{
    WeMaterial* a = Material(0, 1);
    WeMaterial* b = Material(0, 2);
    b->m_SourceBlend = a->m_SourceBlend;
    Add(a, Actor(1.0f));
    Add(a, Actor(2.0f));
    Add(b, Actor(3.0f));
    EXPECT_EQ(Render(), (std::vector<int>{1, 2}));
    int sourceBlends = 0;
    for (const GfxCall* c : g_GfxRecorder.Find("SetRenderState"))
        sourceBlends += c->args[0] == D3DRS_SRCBLEND;
    EXPECT_EQ(sourceBlends, 1);
}

TEST_F(WeRenderQueueTest, AnUnknownPassOnlyRestoresTheDefaultStates)
{
    Add(Material(0, 1), Actor(1.0f));
    g_GfxRecorder.ClearLog();
    g_RenderQueue.RenderPass(3);
    EXPECT_EQ(g_GfxRecorder.Count("SetEffectProgram"), 0u);
    EXPECT_TRUE(g_GfxRecorder.Draws().empty());
    std::vector<std::pair<uint64_t, uint64_t>> states;
    for (const GfxCall* c : g_GfxRecorder.Find("SetRenderState"))
        states.emplace_back(c->args[0], c->args[1]);
    for (auto expected : std::vector<std::pair<uint64_t, uint64_t>>{{D3DRS_ALPHABLENDENABLE, 0},
                                                                    {D3DRS_ZENABLE, 1},
                                                                    {D3DRS_ZWRITEENABLE, 1},
                                                                    {D3DRS_ALPHATESTENABLE, 0},
                                                                    {D3DRS_CULLMODE, D3DCULL_CCW},
                                                                    {D3DRS_FILLMODE, D3DFILL_SOLID}})
        EXPECT_NE(std::find(states.begin(), states.end(), expected), states.end()) << expected.first;
    // The item is still queued for its own pass.
    EXPECT_EQ(Render(), std::vector<int>{1});
}

TEST_F(WeRenderQueueTest, HeapKeepsEveryItemAcrossGrowth)
{
    WeRenderHeap heap;
    std::vector<WeRenderItem> items(1100);
    uint32_t x = 12345;
    std::vector<int32_t> keys;
    for (WeRenderItem& item : items)
    {
        x = x * 214013u + 2531011u;
        int32_t key = int32_t((x >> 16) & 0x7FFF) - 16000;
        keys.push_back(key);
        heap.Push(&item, key);
    }
    EXPECT_GE(heap.m_Capacity, 1100);
    std::vector<int32_t> popped;
    std::vector<WeRenderItem*> seen;
    while (WeRenderItem* item = heap.Pop())
    {
        popped.push_back(keys[size_t(item - items.data())]);
        seen.push_back(item);
    }
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(popped, keys);
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end());
    EXPECT_EQ(seen.size(), items.size());
}

TEST_F(WeRenderQueueTest, ASecondFrameReusesItsItems)
{
    WeMaterial* m = Material(0, 1);
    for (int i = 0; i < 40; ++i)
        Add(m, Actor(float(i)));
    Render();
    const int32_t allocated = g_DrawItemPool.Allocated();
    EXPECT_GE(allocated, 40);
    g_RenderQueue.Prepare(nullptr, &camera);
    for (int i = 0; i < 40; ++i)
        Add(m, actors[size_t(i)].get());
    Render();
    EXPECT_EQ(g_DrawItemPool.Allocated(), allocated);
}

// Queues one item of its material when the queue walks it.
class QueuingActor : public WeActor
{
public:
    void Render(int32_t) override
    {
        ++rendered;
        g_RenderQueue.AddItem(material, this, nullptr, 0, &GetWorldMatrix(), g_RenderQueue.m_Camera);
    }
    WeMaterial* material = nullptr;
    int rendered = 0;
};

TEST_F(WeRenderQueueTest, PrepareCullsAndCountsTheWorldsActors)
{
    WeWorld world;
    world.m_TickCounter = 42;
    camera.m_Position = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    camera.m_Direction = D3DXVECTOR3(0.0f, 0.0f, 1.0f);
    camera.Update();
    struct Case
    {
        D3DXVECTOR3 centre;
        float radius;
        bool visible;
        bool pending;
        bool drawn;
    } cases[] = {
        {{0, 0, 50}, 1.0f, true, false, true},     // in front
        {{0, 0, -50}, 1.0f, true, false, false},   // behind: culled
        {{0, 0, -50}, 0.0f, true, false, true},    // no radius: never culled
        {{0, 0, -0.5f}, 2.0f, true, false, true},  // reaching into the view
        {{0, 0, 50}, 1.0f, false, false, false},   // hidden: not even tested
        {{0, 0, 50}, 1.0f, true, true, false},     // pending deletion
    };
    std::vector<QueuingActor*> made;
    for (const Case& c : cases)
    {
        QueuingActor* a = new QueuingActor();
        a->material = Material(0, int(made.size()) + 1);
        world.AddActor(a);
        a->m_BoundingSphere.Set(c.centre.x, c.centre.y, c.centre.z, c.radius);
        a->m_ModelVisible = c.visible;
        a->m_PendingDeletion = c.pending;
        made.push_back(a);
    }
    g_RenderQueue.Prepare(&world, &camera);
    for (size_t i = 0; i < made.size(); ++i)
    {
        EXPECT_EQ(made[i]->rendered, cases[i].drawn ? 1 : 0) << i;
        EXPECT_EQ(made[i]->m_LastDrawnTick, cases[i].drawn ? 42 : 0) << i;
    }
    EXPECT_EQ(g_RenderQueueActorsTested, 5);
    EXPECT_EQ(g_RenderQueue.m_OpaqueHeap.m_Queued, 3);
    EXPECT_EQ(world.m_EditorDistance2Squared, 1000.0f * 1000.0f);
    for (QueuingActor* a : made)
        a->m_PendingDeletion = false;
    g_RenderQueue.Prepare(nullptr, &camera);
}

TEST_F(WeRenderQueueTest, ShaderVariantFollowsLightsMapsAndOptions)
{
    WeTexture* some = reinterpret_cast<WeTexture*>(uintptr_t(0x1000));
    WeMaterial m;
    WeRenderItem item;
    item.material = &m;
    EXPECT_EQ(ComputeShaderVariant(&item), 0);

    item.pixelLightCount = 2;
    item.vertexLightCount = 1;
    m.m_Textures[1] = some;
    m.m_Textures[2] = some;
    m.m_Textures[3] = some;
    EXPECT_EQ(ComputeShaderVariant(&item), 0x80 | 0x40 | 0x20 | 0x04 | 0x02);
    g_RenderDevice.m_SpecularOption = 0;
    g_RenderDevice.m_BumpOption = 0;
    EXPECT_EQ(ComputeShaderVariant(&item), 0x80 | 0x04 | 0x02);
    g_RenderDevice.m_SpecularOption = 1;
    g_RenderDevice.m_BumpOption = 1;

    WeMaterial env;
    WeRenderItem e;
    e.material = &env;
    env.m_Reflective = 1;
    g_RenderDevice.m_ReflectionQuality = 1;
    EXPECT_EQ(ComputeShaderVariant(&e), 0);
    g_RenderDevice.m_ReflectionQuality = 2;
    EXPECT_EQ(ComputeShaderVariant(&e), 0x10);
    env.m_Textures[5] = some;
    EXPECT_EQ(ComputeShaderVariant(&e), 0x11);
    g_RenderDevice.m_ReflectionQuality = 0;
    EXPECT_EQ(ComputeShaderVariant(&e), 0);
    g_RenderDevice.m_ReflectionQuality = 2;

    // While the reflection cube is filled every item takes the plain variant.
    g_RenderQueue.m_FillingReflectionCube = true;
    EXPECT_EQ(ComputeShaderVariant(&item), 0);
    g_RenderQueue.m_FillingReflectionCube = false;
}

TEST_F(WeRenderQueueTest, LightsAreChosenByKindReachAndList)
{
    WeWorld world;
    camera.m_Position = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    camera.m_Direction = D3DXVECTOR3(0.0f, 0.0f, 1.0f);
    camera.Update();
    const D3DXVECTOR3 centre(0.0f, 0.0f, 100.0f);
    auto light = [&](int kind, float x, float range = 10.0f)
    {
        WeLight* l = new WeLight();
        l->m_Kind = kind;
        l->m_Range = range;
        l->SetLocation(centre + D3DXVECTOR3(x, 0.0f, 0.0f));
        world.AddActor(l);
        return l;
    };
    for (int i = 0; i < 6; ++i)
        light(1, float(i));
    for (int i = 0; i < 9; ++i)
        light(2, float(i));
    WeLight* touching = light(1, 12.0f);  // range 10 + radius 2: just touches
    touching->m_Kind = 2;
    WeLight* beyond = light(2, 36.01f);
    WeLight* off = light(1, 0.0f);
    off->m_SwitchedOn = false;
    WeLight* mapLight = light(1, 0.0f);  // placed by the map, neither dynamic nor of the kind-2 flag
    mapLight->m_Dynamic = false;
    WeLight* flagged = light(2, 0.0f);
    flagged->m_Kind2 = true;
    WeLight* behind = light(1, 0.0f);
    behind->SetLocation(D3DXVECTOR3(0.0f, 0.0f, -500.0f));

    g_RenderQueue.Prepare(&world, &camera);
    EXPECT_EQ(g_RenderQueue.m_AllLights.Count(), 6 + 9 + 2 + 1);
    EXPECT_EQ(g_RenderQueue.m_PlainLights.Count(), 6 + 9 + 2);

    WeActor* actor = Actor(0.0f);
    actor->m_BoundingSphere.Set(centre.x, centre.y, centre.z, 2.0f);
    WeRenderItem item;
    item.actor = actor;
    g_RenderQueue.ChooseLights(&item);
    // The first four kind-1 lights of the list go per pixel, the first eight others per vertex.
    std::vector<WeLight*> pixel, vertex;
    for (auto* n = g_RenderQueue.m_PlainLights.FirstNode(); n; n = g_RenderQueue.m_PlainLights.NextNode(n))
    {
        if (n->payload == beyond)
            continue;
        if (n->payload->m_Kind == 1 && pixel.size() < 4)
            pixel.push_back(n->payload);
        else if (n->payload->m_Kind != 1 && vertex.size() < 8)
            vertex.push_back(n->payload);
    }
    ASSERT_EQ(item.pixelLightCount, 4);
    ASSERT_EQ(item.vertexLightCount, 8);
    EXPECT_EQ(std::vector<WeLight*>(item.pixelLights, item.pixelLights + 4), pixel);
    EXPECT_EQ(std::vector<WeLight*>(item.vertexLights, item.vertexLights + 8), vertex);

    // From a sphere between the touching light and the one just beyond reach, only the first counts.
    WeRenderItem lone;
    lone.actor = Actor(0.0f);
    lone.actor->m_BoundingSphere.Set(centre.x + 24.0f, centre.y, centre.z, 2.0f);
    g_RenderQueue.ChooseLights(&lone);
    ASSERT_EQ(lone.vertexLightCount, 1);
    EXPECT_EQ(lone.vertexLights[0], touching);

    // An actor that takes every light also gets the flagged one; an item without an actor the plain list.
    auto holds = [](const WeRenderItem& i, WeLight* l) {
        return std::find(i.vertexLights, i.vertexLights + i.vertexLightCount, l) != i.vertexLights + i.vertexLightCount;
    };
    for (auto* n = g_RenderQueue.m_PlainLights.FirstNode(); n; n = g_RenderQueue.m_PlainLights.NextNode(n))
        n->payload->m_SwitchedOn = n->payload == touching;
    g_RenderQueue.Prepare(&world, &camera);
    WeRenderItem all;
    all.actor = Actor(0.0f);
    all.actor->m_BoundingSphere.Set(centre.x, centre.y, centre.z, 2.0f);
    all.actor->m_AllLights = true;
    g_RenderQueue.ChooseLights(&all);
    EXPECT_TRUE(holds(all, flagged));
    WeRenderItem none;
    D3DXMATRIX at;
    D3DXMatrixTranslation(&at, centre.x, centre.y, centre.z);
    none.worldMatrix = &at;
    g_RenderQueue.ChooseLights(&none);
    EXPECT_FALSE(holds(none, flagged));
    EXPECT_EQ(none.pixelLightCount + none.vertexLightCount, 0);
    g_RenderQueue.Prepare(nullptr, &camera);
}

TEST_F(WeRenderQueueTest, AnItemsLightsReachTheEffect)
{
    WeLight pixel, vertex;
    pixel.SetLocation(D3DXVECTOR3(1.0f, 2.0f, 3.0f));
    pixel.m_FadeFactor = 1.0f;
    pixel.m_Current.color[0] = 0.5f;
    pixel.m_Current.intensity = 2.0f;
    pixel.m_Range = 4.0f;
    vertex.SetLocation(D3DXVECTOR3(3.0f, 0.0f, 0.0f));
    vertex.m_FadeFactor = 1.0f;
    vertex.m_Range = 4.0f;
    WeRenderItem item;
    item.pixelLights[0] = &pixel;
    item.pixelLightCount = 1;
    item.vertexLights[0] = &vertex;
    item.vertexLightCount = 1;
    ID3DXEffect* e = shader->GetEffect();
    shader->SetPerPixelLights(&item);
    float count = 0, colour[4] = {}, position[4] = {}, range = 0;
    e->GetFloat("PerPixelLightsCount", &count);
    e->GetFloatArray("PerPixelLightsColor", colour, 4);
    e->GetFloatArray("PerPixelLightsPosition", position, 4);
    e->GetFloatArray("PerPixelLightsRange", &range, 1);
    EXPECT_EQ(count, 1.0f);
    EXPECT_FLOAT_EQ(colour[0], 1.0f);
    EXPECT_FLOAT_EQ(position[2], 3.0f);
    EXPECT_FLOAT_EQ(range, 0.25f);
    // With the sphere of an actor that takes every light, the light 3 away of reach 4 + 1 fades to 0.8.
    WeBoundingSphere sphere;
    sphere.Set(0.0f, 0.0f, 0.0f, 1.0f);
    shader->SetPerVertexLights(&item, &sphere);
    float vertexColour[4] = {};
    e->GetFloatArray("PerVertexLightsColor", vertexColour, 4);
    EXPECT_NEAR(vertexColour[0], 0.8f, 1e-4f);
    shader->SetPerVertexLights(&item, nullptr);
    e->GetFloatArray("PerVertexLightsColor", vertexColour, 4);
    EXPECT_FLOAT_EQ(vertexColour[0], 1.0f);
}

TEST_F(WeRenderQueueTest, TheWorldClearsThenDrawsThroughTheQueue)
{
    WeWorld world;
    camera.m_Position = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    camera.m_Direction = D3DXVECTOR3(0.0f, 0.0f, 1.0f);
    camera.Update();
    QueuingActor* near = new QueuingActor();
    near->material = Material(0, 1);
    world.AddActor(near);
    near->m_BoundingSphere.Set(0.0f, 0.0f, 10.0f, 1.0f);
    QueuingActor* far = new QueuingActor();
    far->material = Material(0, 2);
    world.AddActor(far);
    far->m_BoundingSphere.Set(0.0f, 0.0f, 20.0f, 1.0f);
    g_GfxRecorder.ClearLog();
    world.Render(&camera);
    const int clear = IndexOf("Clear");
    ASSERT_GE(clear, 0);
    EXPECT_LT(clear, IndexOf("SetEffectProgram"));
    EXPECT_EQ(DrawOrder(), (std::vector<int>{1, 2}));
    g_RenderQueue.Prepare(nullptr, &camera);
}

}  // namespace
