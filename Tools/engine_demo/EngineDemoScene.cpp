#include "Tools/engine_demo/EngineDemoScene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/ui/WeUIButton.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIText.h"
#include "Engine/ui/WeUIWindow.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeActorHandle.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WePhysics.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/math/D3DXVectorFunctions.h"
#include "Platform/physics/NxTypes.h"
#include "Tools/map_common/MapStartLocation.h"
#include "Tools/map_common/MapWorld.h"

EngineDemoScene g_DemoScene;

namespace
{
// A real fault, not the undefined-behaviour checker's report: the crash handler is what runs.
__attribute__((no_sanitize("undefined"), noinline)) void FaultHere()
{
    // Read back through a volatile pointer, so the compiler cannot see it is null and drop the write.
    static volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

// Runs inside the physics fetch: counts the box's contacts.
WeContactCallback g_PreviousContactCallback = nullptr;
void OnContact(WeActor* first, WeActor* second, const D3DXVECTOR3*, const D3DXVECTOR3*, int, const D3DXVECTOR3*)
{
    if (first == g_DemoScene.boxOwner || second == g_DemoScene.boxOwner)
        ++g_DemoScene.contacts;
}

// The path nodes from the lowest id along their links, once round the loop.
void CollectTrack(MapWorld& world)
{
    WeHashTable<WeActor*>& nodes = world.GetPathNodes();
    WePathNode* first = nullptr;
    for (auto* e = nodes.First(); e; e = nodes.Next())
    {
        WePathNode* node = static_cast<WePathNode*>(e->value);
        if (first == nullptr || node->m_Id < first->m_Id)
            first = node;
    }
    g_DemoScene.track.clear();
    for (WePathNode* node = first; node != nullptr && int(g_DemoScene.track.size()) < nodes.Count();
         node = node->m_Next)
    {
        g_DemoScene.track.push_back(node->GetWorldPosition());
        if (node->m_Next == first)
            break;
    }
}

// Once the map is in: the first start, the box above it (the road's segments are static bodies), contact
// reports, physics on.
void OnMapLoaded()
{
    MapWorld& world = *g_DemoScene.world;
    g_DemoScene.actorCount = world.GetActors().Count();
    CollectTrack(world);
    bool haveStart = false;
    WeHashTable<WeActor*>& all = world.GetActors();
    for (auto* e = all.First(); e; e = all.Next())
        if (e->value->m_Type == MapStartLocation::TypeCode &&
            static_cast<MapStartLocation*>(e->value)->m_StartIndex == 1)
        {
            g_DemoScene.start = e->value->GetWorldPosition();
            haveStart = true;
        }
    if (!haveStart && !g_DemoScene.track.empty())
        g_DemoScene.start = g_DemoScene.track.front();

    g_DemoScene.boxOwner = new WeActor;
    const D3DXVECTOR3& s = g_DemoScene.start;
    D3DXMATRIX pose;
    D3DXMatrixTranslation(&pose, s.x, s.y + 6.0f, s.z);
    g_DemoScene.box =
        g_Physics.CreateBoxActor(g_DemoScene.boxOwner, pose, D3DXVECTOR3(1.0f, 1.0f, 1.0f), 0, 1.0f, false, 0);
    g_DemoScene.boxStartY = g_DemoScene.boxLowestY = s.y + 6.0f;
    g_PreviousContactCallback = g_Physics.SetContactCallback(OnContact);
    g_Physics.SetActorGroupPairFlags(0, 0, NX_NOTIFY_ON_START_TOUCH | NX_NOTIFY_ON_TOUCH);
    g_Engine.m_PhysicsEnabled = 1;
}

int32_t OnButton(int32_t, WeUIComponent*)
{
    ++g_DemoScene.clicks;
    return 1;
}

void UpdateStats()
{
    if (g_DemoScene.stats == nullptr)
        return;
    char text[96];
    std::snprintf(text, sizeof(text), "frame %d, %.0f frames/s", g_DemoScene.frame, g_Timer.m_Fps);
    g_DemoScene.stats->m_Text->m_Text = text;
}

}  // namespace

bool EngineDemoCreateUI()
{
    EngineDemoScene& scene = g_DemoScene;
    scene.window = g_UIMain.CreateWindow(WeString("EngineDemoWindow"), WeString("engine_demo"), WeString(""));
    scene.stats = g_UIMain.CreateLabel(WeString("EngineDemoStats"), WeString(""), WeString("EngineDemoWindow"), -1);
    WeUIButton* button =
        g_UIMain.CreateButton(WeString("EngineDemoButton"), WeString("Click"), WeString("EngineDemoWindow"), OnButton);
    return scene.window != nullptr && scene.stats != nullptr && button != nullptr;
}

// As the game's loading screen and race tick: one map record per tick, then the world's tick.
void EngineDemoTick()
{
    EngineDemoScene& scene = g_DemoScene;
    if (scene.frame == scene.crashAt)
        FaultHere();
    UpdateStats();
    if (scene.loadFailed)
        return;
    if (scene.world == nullptr)
    {
        scene.world = new MapWorld;
        if (!scene.world->BeginLoad(scene.mapName.c_str()))
            scene.loadFailed = true;
        return;
    }
    if (!scene.loaded)
    {
        ++scene.loadTicks;
        if (!scene.world->LoadStep())
            scene.loadFailed = true;
        else if (scene.world->m_Loaded)
        {
            scene.loaded = true;
            OnMapLoaded();
        }
        return;
    }
    scene.world->Tick();
    scene.worldTicking = true;
    if (scene.box != nullptr)
    {
        D3DXVECTOR3 where;
        scene.box->GetPosition(where);
        scene.boxLowestY = std::min(scene.boxLowestY, where.y);
    }
}

namespace
{
bool DrawQuad(WeShader* shader, const D3DXVECTOR3 corners[4], const float colour[4])
{
    struct Vertex
    {
        float x, y, z;
        float nx, ny, nz;
        float u, v;
    };
    Vertex quad[4];
    for (int i = 0; i < 4; ++i)
        quad[i] = {corners[i].x, corners[i].y, corners[i].z, 0, 1, 0, float(i & 1), float(i >> 1)};
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    shader->SetMaterialColor(colour);
    if (!shader->SetTechnique(0, false) || shader->Begin(0) == 0)
        return false;
    bool ok = SUCCEEDED(shader->BeginPass(0)) &&
              SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)));
    shader->EndPass();
    shader->End();
    return ok;
}

D3DXVECTOR3 TrackPoint(int index)
{
    const std::vector<D3DXVECTOR3>& track = g_DemoScene.track;
    const int count = int(track.size());
    return track[size_t(((index % count) + count) % count)];
}

}  // namespace

// The camera flies above the path nodes looking a few nodes ahead; the world draws the track through the
// render queue, the box (a body without a model) is drawn on top of it. Until the map is in, the frame
// stays clear.
void EngineDemoRender()
{
    EngineDemoScene& scene = g_DemoScene;
    if (!scene.loaded || scene.track.empty())
    {
        g_RenderDevice.Clear(true, 0xFF0B1020u, true, 1.0f, true, 0);
        return;
    }
    const float t = float(scene.frame - scene.loadTicks) * 0.2f;
    const int node = int(std::floor(t));
    const float blend = t - float(node);
    const D3DXVECTOR3 a = TrackPoint(node), b = TrackPoint(node + 1);
    static WeCamera camera;
    camera.m_Position = a + (b - a) * blend + D3DXVECTOR3(0.0f, 7.0f, 0.0f);
    D3DXVECTOR3 direction = TrackPoint(node + 4) - camera.m_Position;
    D3DXVec3Normalize(&direction, &direction);
    camera.m_Direction = direction;
    camera.m_Up = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    camera.SetProjection(1.0f, 0.5f, 2000.0f, 0.0f);
    camera.Update();
    g_RenderDevice.m_ClearColor = 0xFF0B1020u;
    // The test tracks hold no lights: a moderate ambient shows the surfaces under their glow.
    const float ambient[4] = {0.45f, 0.45f, 0.5f, 1.0f};
    g_RenderDevice.SetAmbientColor(ambient);
    scene.world->Render(&camera);

    if (scene.box == nullptr)
        return;
    WeShader* flat = g_ShaderManager.GetShader("Shaders.Default.ColorOnly", false, false);
    if (flat == nullptr)
    {
        scene.drawFailed = true;
        return;
    }
    g_ShaderManager.SetViewProjection(camera.m_View, camera.m_Projection, nullptr);
    g_RenderDevice.GetDevice()->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    g_RenderDevice.SetTexture(0, g_TextureManager.m_DefaultWhite);
    D3DXMATRIX pose;
    scene.box->GetPose(pose);
    flat->SetWorldMatrix(pose);
    const float red[4] = {1.0f, 0x3B / 255.0f, 0x3B / 255.0f, 1.0f};
    // Three faces of the unit-half-extent box, enough to see it fall from any side of the road.
    const D3DXVECTOR3 faces[3][4] = {
        {{-1, 1, -1}, {1, 1, -1}, {-1, 1, 1}, {1, 1, 1}},
        {{-1, -1, -1}, {1, -1, -1}, {-1, 1, -1}, {1, 1, -1}},
        {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, -1}, {-1, 1, 1}},
    };
    bool ok = true;
    for (const auto& face : faces)
        ok = DrawQuad(flat, face, red) && ok;
    if (!ok)
        scene.drawFailed = true;
}

void EngineDemoRelease()
{
    EngineDemoScene& scene = g_DemoScene;
    if (scene.box != nullptr)
        g_Physics.SetContactCallback(g_PreviousContactCallback);
    delete scene.box;
    scene.box = nullptr;
    // The queue lets go of the world's items before the world goes.
    g_RenderQueue.Prepare(nullptr, nullptr);
    g_RenderQueue.FreeItemPool();
    delete scene.world;
    scene.world = nullptr;
    delete scene.boxOwner;
    scene.boxOwner = nullptr;
}
