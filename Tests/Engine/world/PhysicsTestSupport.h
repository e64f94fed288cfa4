#pragma once
// Shared set-up for the physics wrapper's tests: actors, a fixture that brings g_Physics up and down,
// and meshes made in code on the recording graphics backend.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "Engine/foundation/WeString.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeMesh.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeActorHandle.h"
#include "Engine/world/WeClothHandle.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeWorld.h"
#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/physics/NxActor.h"
#include "Platform/physics/NxScene.h"
#include "Platform/physics/NxShape.h"
#include "Tests/Platform/gfx/GfxTestDevice.h"

// A world actor with short names for the fields the wrapper reads and writes.
struct TestActor : public WeActor
{
    WePhysicHandle*& handle = m_PhysicHandle;
    bool& pendingDeletion = m_PendingDeletion;
    uint16_t& material = m_PhysicModel.material;
    bool& teleporter = m_Teleporter;
    WeString& target = m_TeleportTargetLabel;
    WeString& label = m_Label;
    D3DXMATRIX& world = m_LocalMatrix;  // the world matrix of an actor without a parent
    float& lastTeleport = m_TeleportTime;
    bool& pendingTeleport = m_TeleportPending;
    D3DXMATRIX& pendingPose = m_TeleportTargetMatrix;

    WeActor* Actor() { return this; }
    // Keeps a new handle as the actor's own, as the actor class does.
    template <class H>
    H* Keep(H* h)
    {
        handle = h;
        return h;
    }
};

inline D3DXMATRIX Translation(float x, float y, float z)
{
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

// The mesh's own 52-byte vertex: position, normal, uv, tangent, second uv.
struct MeshVertex52
{
    float pos[3], normal[3], uv[2], tangent[3], uv1[2];
};
static_assert(sizeof(MeshVertex52) == 52);

inline const D3DVERTEXELEMENT9* MeshDeclaration52()
{
    static const D3DVERTEXELEMENT9 decl[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                             {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0},
                                             {0, 24, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                             {0, 32, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_TANGENT, 0},
                                             {0, 44, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 1},
                                             D3DDECL_END()};
    return decl;
}

// A flat grid of cells x cells quads, size across, centred on the origin at height y, facing up.
inline ID3DXMesh* MakeGrid(IDirect3DDevice9* device, int cells, float size, float y, bool wideIndices)
{
    const int side = cells + 1;
    ID3DXMesh* mesh = nullptr;
    const DWORD options = D3DXMESH_MANAGED | (wideIndices ? D3DXMESH_32BIT : 0);
    if (FAILED(
            D3DXCreateMesh(DWORD(2 * cells * cells), DWORD(side * side), options, MeshDeclaration52(), device, &mesh)))
        return nullptr;
    MeshVertex52* v = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v));
    for (int z = 0; z < side; ++z)
        for (int x = 0; x < side; ++x)
        {
            const float u = float(x) / float(cells), w = float(z) / float(cells);
            v[z * side + x] =
                MeshVertex52{{(u - 0.5f) * size, y, (w - 0.5f) * size}, {0, 1, 0}, {u, w}, {1, 0, 0}, {u, w}};
        }
    mesh->UnlockVertexBuffer();
    void* indices = nullptr;
    mesh->LockIndexBuffer(0, &indices);
    size_t k = 0;
    auto put = [&](int i)
    {
        if (wideIndices)
            static_cast<uint32_t*>(indices)[k++] = uint32_t(i);
        else
            static_cast<uint16_t*>(indices)[k++] = uint16_t(i);
    };
    for (int z = 0; z < cells; ++z)
        for (int x = 0; x < cells; ++x)
        {
            const int a = z * side + x, b = a + 1, c = a + side, d = c + 1;
            put(a), put(c), put(b);
            put(b), put(c), put(d);
        }
    mesh->UnlockIndexBuffer();
    return mesh;
}

class PhysicsFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_Timer.m_FrameDeltaF = 1.0f / 60.0f;
        g_Timer.m_TotalTimeF = 1.0f;
        ASSERT_TRUE(g_Physics.Init(D3DXVECTOR3(0, -9.81f, 0)));
    }
    void TearDown() override
    {
        g_Physics.SetContactCallback(nullptr);
        g_Physics.SetTriggerCallback(nullptr);
        g_Physics.SetSleepCallback(nullptr);
        g_Physics.SetWakeCallback(nullptr);
        g_Physics.m_Paused = 0;
        g_Physics.Shutdown();
        if (labelWorld)
        {
            // The actors are the fixture's: the world must not delete them.
            for (TestActor& a : f)
                labelWorld->RemoveActor(&a);
            labelWorld.reset();
        }
        meshes.clear();
        gfx.reset();
    }
    void Step(int n = 1)
    {
        for (int i = 0; i < n; ++i)
        {
            g_Physics.Simulate();
            g_Physics.FetchResults();
            g_Timer.m_TotalTimeF += g_Timer.m_FrameDeltaF;
        }
    }
    IDirect3DDevice9* Device()
    {
        if (!gfx)
        {
            g_GfxRecorder.ResetAll();
            gfx = std::make_unique<GfxTestDevice>(GfxBackendKind::Recording, 64, 64);
        }
        return gfx->device;
    }
    // A render mesh over the mesh made in code (which it takes), with its bounds; the cooked-mesh cache
    // knows it by the name.
    WeMesh* Wrap(ID3DXMesh* mesh, const char* name)
    {
        if (!mesh)
            return nullptr;
        meshes.push_back(std::make_unique<WeMesh>());
        meshes.back()->m_Name = name;
        meshes.back()->SetMesh(mesh, false);
        return meshes.back().get();
    }
    WeMesh* Grid(int cells, float size, float y, bool wide, const char* name = "Test.Meshes.Grid")
    {
        return Wrap(MakeGrid(Device(), cells, size, y, wide), name);
    }
    // Puts the fixture's actors into a world, where teleporters look up their targets' labels.
    WeWorld& LabelWorld()
    {
        if (!labelWorld)
        {
            labelWorld = std::make_unique<WeWorld>();
            for (TestActor& a : f)
                labelWorld->AddActor(&a);
        }
        return *labelWorld;
    }
    WeActorHandle* Box(TestActor& owner, float x, float y, float z, float half, bool isStatic, uint16_t group = 0,
                       uint16_t flags = 0)
    {
        return owner.Keep(g_Physics.CreateBoxActor(owner.Actor(), Translation(x, y, z), D3DXVECTOR3(half, half, half),
                                                   group, 10.0f, isStatic, flags));
    }
    D3DXVECTOR3 Position(WePhysicHandle* h)
    {
        D3DXVECTOR3 p;
        h->GetPosition(p);
        return p;
    }

    TestActor f[8];  // outlive the handles, which Shutdown in TearDown deletes
    std::unique_ptr<WeWorld> labelWorld;
    std::unique_ptr<GfxTestDevice> gfx;
    std::vector<std::unique_ptr<WeMesh>> meshes;
};
