// Builds a small scene the way the race sets up physics, through the engine's physics wrapper only: a
// static floor cooked from a mesh made in code, dynamic boxes and balls from physics descriptions, a
// trigger sphere in group 10 that a falling box passes through, and a teleporter whose target label
// names an actor elsewhere; then the group table is reset and a small pair table enabled. Prints one
// line per callback and event, applies pending teleports as the race does, casts one ray down onto
// the floor, and exits 0 when every dynamic body sleeps and all of that happened (1 otherwise).
#include <cstdio>
#include <vector>

#include "Engine/foundation/WeString.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeModel.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeWorld.h"
#include "Platform/gfx/GfxBackend.h"
#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/physics/NxActor.h"
#include "Platform/physics/NxUserContactReport.h"

namespace
{

const char* Label(WeActor* a)
{
    return a ? a->m_Label.c_str() : "(none)";
}

bool g_Entered = false, g_Left = false;

void OnContact(WeActor* a, WeActor* b, const D3DXVECTOR3*, const D3DXVECTOR3*, int events, const D3DXVECTOR3*)
{
    std::printf("contact %s %s events %d\n", Label(a), Label(b), events);
}

void OnTrigger(WeActor* trigger, WeActor* other, int status)
{
    std::printf("trigger %s %s %d\n", Label(trigger), Label(other), status);
    g_Entered = g_Entered || status == 1;
    g_Left = g_Left || status == 2;
}

void OnSleep(WeActor* a)
{
    std::printf("sleep %s\n", Label(a));
}

void OnWake(WeActor* a)
{
    std::printf("wake %s\n", Label(a));
}

D3DXMATRIX At(float x, float y, float z)
{
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

// A flat floor of 8 x 8 quads, 40 units across, with the mesh's own 52-byte vertex.
ID3DXMesh* MakeFloor(IDirect3DDevice9* device)
{
    static const D3DVERTEXELEMENT9 decl[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                             {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0},
                                             {0, 24, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                             {0, 32, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_TANGENT, 0},
                                             {0, 44, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 1},
                                             D3DDECL_END()};
    struct Vertex
    {
        float pos[3], normal[3], uv[2], tangent[3], uv1[2];
    };
    constexpr int Cells = 8, Side = Cells + 1;
    ID3DXMesh* mesh = nullptr;
    if (FAILED(D3DXCreateMesh(2 * Cells * Cells, Side * Side, D3DXMESH_MANAGED, decl, device, &mesh)))
        return nullptr;
    Vertex* v = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v));
    for (int z = 0; z < Side; ++z)
        for (int x = 0; x < Side; ++x)
        {
            const float u = float(x) / Cells, w = float(z) / Cells;
            v[z * Side + x] = Vertex{{(u - 0.5f) * 40, 0, (w - 0.5f) * 40}, {0, 1, 0}, {u, w}, {1, 0, 0}, {u, w}};
        }
    mesh->UnlockVertexBuffer();
    uint16_t* idx = nullptr;
    mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&idx));
    for (int z = 0; z < Cells; ++z)
        for (int x = 0; x < Cells; ++x)
        {
            const int a = z * Side + x, b = a + 1, c = a + Side, d = c + 1;
            const int tri[6] = {a, c, b, b, c, d};
            for (int k : tri)
                *idx++ = uint16_t(k);
        }
    mesh->UnlockIndexBuffer();
    return mesh;
}

// A labelled actor with a physics description, not yet in the world.
WeActor* Add(const char* label, int32_t physicsClass, uint16_t group, const D3DXMATRIX& placement)
{
    WeActor* a = new WeActor();
    a->m_Label = label;
    a->m_PhysicModel.physicsClass = physicsClass;
    a->m_PhysicModel.collisionGroup = group;
    a->m_PhysicModel.startAsleep = false;
    a->m_RadiusOverride = 0.5f;  // the radius of a ball without a size or a model
    a->SetTransform(placement);
    return a;
}

// Enters the actor into the world, whose start-up of it builds its body from its physics description.
bool Build(WeWorld& world, WeActor* a)
{
    world.AddActor(a);
    if (!a->m_PhysicHandle)
        std::printf("no body for %s\n", a->m_Label.c_str());
    return a->m_PhysicHandle != nullptr;
}

}  // namespace

int main()
{
    GfxSelectBackend(GfxBackendKind::Recording);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = 64;
    pp.BackBufferHeight = 64;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.Windowed = TRUE;
    IDirect3DDevice9* device = nullptr;
    if (!d3d ||
        FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device)))
    {
        std::fprintf(stderr, "no recording device\n");
        return 1;
    }
    WeMesh floorMesh;
    floorMesh.m_Name = "Demo.Meshes.Floor";
    floorMesh.SetMesh(MakeFloor(device), false);

    g_Timer.m_FrameDeltaF = 1.0f / 60.0f;
    g_Timer.m_TotalTimeF = 0.0f;
    if (!floorMesh.HasGeometry() || !g_Physics.Init(D3DXVECTOR3(0, -9.81f, 0)))
    {
        std::fprintf(stderr, "physics did not start\n");
        return 1;
    }
    g_Physics.SetContactCallback(OnContact);
    g_Physics.SetTriggerCallback(OnTrigger);
    g_Physics.SetSleepCallback(OnSleep);
    g_Physics.SetWakeCallback(OnWake);

    // Groups: 0 the level, 3 the bodies, 10 the sensor; the sensor's solid twin sits in group 1.
    WeWorld* world = new WeWorld();
    WeActor* floor = Add("floor", WePhysicsStaticMesh, 0, At(0, 0, 0));
    floor->m_Model = new WeModel();  // the actor deletes its model; the mesh stays the demo's
    floor->m_Model->m_Mesh = &floorMesh;
    bool built = Build(*world, floor);
    std::vector<WeActor*> dynamics;
    const float boxes[3][2] = {{-3, 2}, {0, 4}, {3, 6}};
    char name[32];
    for (int i = 0; i < 3; ++i)
    {
        std::snprintf(name, sizeof name, "box%d", i + 1);
        WeActor* a = Add(name, WePhysicsDynamicBox, 3, At(boxes[i][0], boxes[i][1], 0));
        a->m_PhysicModel.explicitSize = true;
        a->m_PhysicModel.size = D3DXVECTOR3(0.5f, 0.5f, 0.5f);
        built = Build(*world, a) && built;
        dynamics.push_back(a);
    }
    for (int i = 0; i < 2; ++i)
    {
        std::snprintf(name, sizeof name, "ball%d", i + 1);
        WeActor* a = Add(name, WePhysicsDynamicSphere, 3, At(-2.0f + 4 * i, 3, 4));
        built = Build(*world, a) && built;
        dynamics.push_back(a);
    }
    WeActor* sensor = Add("sensor", WePhysicsStaticSphere, 10, At(8, 3, 0));
    sensor->m_PhysicModel.shapeFlags = 7;  // enter, leave, stay
    sensor->m_PhysicModel.explicitSize = true;
    sensor->m_PhysicModel.size = D3DXVECTOR3(1, 0, 0);
    built = Build(*world, sensor) && built;
    WeActor* probe = Add("probe", WePhysicsDynamicBox, 3, At(8, 6, 0));
    probe->m_PhysicModel.explicitSize = true;
    probe->m_PhysicModel.size = D3DXVECTOR3(0.25f, 0.25f, 0.25f);
    built = Build(*world, probe) && built;
    dynamics.push_back(probe);
    WeActor* gate = Add("gate", WePhysicsStaticBox, 0, At(-8, 0.5f, 0));
    gate->m_PhysicModel.explicitSize = true;
    gate->m_PhysicModel.size = D3DXVECTOR3(1, 0.5f, 1);
    gate->m_Teleporter = true;
    gate->m_TeleportTargetLabel = "exit";
    built = Build(*world, gate) && built;
    world->AddActor(Add("exit", WePhysicsNone, 0, At(12, 4, 10)));  // a marker without a body
    WeActor* traveller = Add("traveller", WePhysicsDynamicBox, 3, At(-8, 3, 0));
    traveller->m_PhysicModel.explicitSize = true;
    traveller->m_PhysicModel.size = D3DXVECTOR3(0.5f, 0.5f, 0.5f);
    traveller->m_TeleportTime = -1.0f;
    built = Build(*world, traveller) && built;
    dynamics.push_back(traveller);

    g_Physics.ResetGroupFlags();
    const uint16_t pairs[][2] = {{0, 3}, {3, 3}, {10, 3}};
    for (const auto& p : pairs)
    {
        g_Physics.SetGroupCollisionFlag(p[0], p[1], true);
        g_Physics.SetActorGroupPairFlags(p[0], p[1], 0x7FE);
    }

    bool teleported = false, allAsleep = false;
    float t = 0.0f;
    for (int frame = 0; frame < 60 * 60 && !allAsleep; ++frame)
    {
        // As the race's update does: carry out the teleports the reports left pending.
        for (WeActor* a : dynamics)
            if (a->m_TeleportPending && a->m_PhysicHandle)
            {
                a->SetTransform(a->m_TeleportTargetMatrix);
                a->m_PhysicHandle->SetPose(a->m_TeleportTargetMatrix);
                a->OnTeleport();
                a->m_TeleportPending = false;
                teleported = true;
                std::printf("teleport %s -> %s\n", Label(a), gate->m_TeleportTargetLabel.c_str());
            }
        g_Physics.Simulate();
        g_Physics.FetchResults();
        g_Timer.m_TotalTimeF += g_Timer.m_FrameDeltaF;
        t += g_Timer.m_FrameDeltaF;
        allAsleep = frame > 0;
        for (WeActor* a : dynamics)
            allAsleep = allAsleep && a->m_PhysicHandle && a->m_PhysicHandle->m_Actor->isSleeping();
        allAsleep = allAsleep && !traveller->m_TeleportPending;
    }

    WeRaycastHit hit;
    const bool rayHit =
        g_Physics.RaycastClosest(D3DXVECTOR3(-15, 20, -15), D3DXVECTOR3(0, -1, 0), 3, hit, ~0u, 100, 0xFF);
    if (rayHit)
        std::printf("ray %s distance %.3f face %u\n", Label(hit.actor), hit.distance, hit.face);
    if (allAsleep)
        std::printf("all asleep after %.2f s\n", t);

    D3DXVECTOR3 where;
    traveller->m_PhysicHandle->GetPosition(where);
    const bool ok =
        built && allAsleep && teleported && where.x > 10 && g_Entered && g_Left && rayHit && hit.actor == floor;
    g_Physics.Shutdown();
    delete world;  // and its actors
    floorMesh.SetMesh(nullptr, false);
    device->Release();
    d3d->Release();
    if (!ok)
        std::fprintf(stderr, "incomplete: built %d asleep %d teleported %d entered %d left %d ray %d\n", built,
                     allAsleep, teleported, g_Entered, g_Left, rayHit);
    return ok ? 0 : 1;
}
