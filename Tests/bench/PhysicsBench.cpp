// A scene like a race, through g_Physics: a 20,000-triangle static track mesh, 8 craft-sized boxes
// with continuous collision driven around it, and 200 small dynamic bodies in their way. Measures one
// 1/60 s step, and 100 closest-hit rays straight down onto it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeMesh.h"
#include "Engine/world/WeAABB.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeActorHandle.h"
#include "Engine/world/WePhysics.h"
#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/physics/NxActor.h"
#include "Tests/Platform/gfx/GfxTestDevice.h"

namespace
{

constexpr int Cells = 100;  // 100 x 100 quads: 20,000 triangles
constexpr float TrackSize = 400.0f;
constexpr int Craft = 8;
constexpr int SmallBodies = 200;

struct Vertex
{
    float pos[3], normal[3], uv[2], tangent[3], uv1[2];
};

// A gently rolling ground, so the mesh is not one plane.
float Height(float x, float z)
{
    return 2.0f * std::sin(x * 0.05f) * std::cos(z * 0.05f);
}

ID3DXMesh* MakeTrack(IDirect3DDevice9* device)
{
    static const D3DVERTEXELEMENT9 decl[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                             {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0},
                                             {0, 24, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                             {0, 32, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_TANGENT, 0},
                                             {0, 44, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 1},
                                             D3DDECL_END()};
    const int side = Cells + 1;
    ID3DXMesh* mesh = nullptr;
    if (FAILED(D3DXCreateMesh(2 * Cells * Cells, side * side, D3DXMESH_MANAGED, decl, device, &mesh)))
        return nullptr;
    Vertex* v = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v));
    for (int z = 0; z < side; ++z)
        for (int x = 0; x < side; ++x)
        {
            const float px = (float(x) / Cells - 0.5f) * TrackSize, pz = (float(z) / Cells - 0.5f) * TrackSize;
            v[z * side + x] = Vertex{{px, Height(px, pz), pz}, {0, 1, 0}, {0, 0}, {1, 0, 0}, {0, 0}};
        }
    mesh->UnlockVertexBuffer();
    uint16_t* idx = nullptr;
    mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&idx));
    for (int z = 0; z < Cells; ++z)
        for (int x = 0; x < Cells; ++x)
        {
            const int a = z * side + x, b = a + 1, c = a + side, d = c + 1;
            const uint16_t tri[6] = {uint16_t(a), uint16_t(c), uint16_t(b), uint16_t(b), uint16_t(c), uint16_t(d)};
            for (int k = 0; k < 6; ++k)
                *idx++ = tri[k];
        }
    mesh->UnlockIndexBuffer();
    return mesh;
}

D3DXMATRIX At(float x, float y, float z)
{
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

struct RaceScene
{
    std::unique_ptr<GfxTestDevice> gfx;
    WeMesh track;
    std::vector<WeActorHandle*> craft;
    std::vector<WeActorHandle*> bodies;
    // The handles' owners.
    WeActor owners[1 + Craft + SmallBodies];
    float angle = 0;

    RaceScene()
    {
        gfx = std::make_unique<GfxTestDevice>(GfxBackendKind::Recording, 64, 64);
        track.m_Name = "Bench.Track";
        track.SetMesh(MakeTrack(gfx->device), false);
        g_Timer.m_FrameDeltaF = 1.0f / 60.0f;
        g_Physics.Init(D3DXVECTOR3(0, -9.81f, 0));
        g_Physics.CreateTriangleMeshActor(Owner(0), At(0, 0, 0), &track, false);
        WeAABB craftBox;
        craftBox.Set(D3DXVECTOR3(-1, -0.5f, -2), D3DXVECTOR3(1, 0.5f, 2));
        for (int i = 0; i < Craft; ++i)
        {
            const float a = 6.2831853f * float(i) / Craft;
            WeActorHandle* h = g_Physics.CreateBoxActor(Owner(1 + i), At(60 * std::cos(a), 4, 60 * std::sin(a)),
                                                        D3DXVECTOR3(1, 0.5f, 2), 0, 500, false, 0);
            h->EnableCCD(craftBox, 0);
            h->SetCCDMotionThreshold(0.5f);
            craft.push_back(h);
        }
        for (int i = 0; i < SmallBodies; ++i)
        {
            const float a = 6.2831853f * float(i) / SmallBodies;
            const float r = 55.0f + float(i % 5) * 2.5f;
            const D3DXVECTOR3 p(r * std::cos(a), 3.0f + float(i % 3), r * std::sin(a));
            WeActorHandle* h = (i % 2) ? g_Physics.CreateSphereActor(Owner(1 + Craft + i), p, 0.3f, 0, 5, false, 0)
                                       : g_Physics.CreateBoxActor(Owner(1 + Craft + i), At(p.x, p.y, p.z),
                                                                  D3DXVECTOR3(0.25f, 0.25f, 0.25f), 0, 5, false, 0);
            bodies.push_back(h);
        }
        for (int i = 0; i < 60; ++i)  // let everything land
            Step();
    }
    WeActor* Owner(int i) { return &owners[i]; }
    // Drives the craft round the ring, through the small bodies, then steps 1/60 s.
    void Step()
    {
        angle += 0.01f;
        for (int i = 0; i < Craft; ++i)
        {
            const float a = angle + 6.2831853f * float(i) / Craft;
            D3DXVECTOR3 v;
            craft[i]->GetLinearVelocity(v);
            craft[i]->SetLinearVelocity(D3DXVECTOR3(-30 * std::sin(a), v.y, 30 * std::cos(a)));
        }
        g_Physics.Simulate();
        g_Physics.FetchResults();
    }
};

RaceScene& Scene()
{
    static RaceScene* scene = new RaceScene();
    return *scene;
}

void PhysicsStep(benchmark::State& state)
{
    RaceScene& scene = Scene();
    for (auto _ : state)
        scene.Step();
    // How much of the scene was still moving, and whether the craft stayed on the track.
    int awake = 0;
    for (WeActorHandle* h : scene.bodies)
        awake += !h->m_Actor->isSleeping();
    float lowest = 1e9f;
    for (WeActorHandle* h : scene.craft)
    {
        D3DXVECTOR3 p;
        h->GetPosition(p);
        lowest = std::min(lowest, p.y);
    }
    state.counters["awake_bodies"] = awake;
    state.counters["lowest_craft_y"] = lowest;
}
BENCHMARK(PhysicsStep)->Unit(benchmark::kMillisecond);

void Raycast100Closest(benchmark::State& state)
{
    Scene();
    int frame = 0;
    for (auto _ : state)
    {
        ++frame;
        int hits = 0;
        for (int i = 0; i < 100; ++i)
        {
            const float x = std::fmod(float(i * 37 + frame * 3), TrackSize * 0.9f) - TrackSize * 0.45f;
            const float z = std::fmod(float(i * 91 + frame * 7), TrackSize * 0.9f) - TrackSize * 0.45f;
            WeRaycastHit hit;
            hits += g_Physics.RaycastClosest(D3DXVECTOR3(x, 50, z), D3DXVECTOR3(0, -1, 0), 3, hit, ~0u, 200, 0xFF);
        }
        benchmark::DoNotOptimize(hits);
    }
}
BENCHMARK(Raycast100Closest)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
