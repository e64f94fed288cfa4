// Cloth actors drawn from their handle's copied vertices: one indexed draw the device accepts, with the
// declaration matching the 52-byte cloth vertex.
#include <gtest/gtest.h>

#include <cstring>

#include "Engine/render/WeClothActorRenderer.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeClothHandle.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

using WeClothActorRendererDraw = RecordingRender;

// A cloth of two triangles, its snapshot taken as the physics step leaves it.
struct ClothFixture
{
    ClothFixture()
    {
        handle = new WeClothHandle();
        handle->AllocateBuffers(4, 2);
        for (uint32_t v = 0; v < 4; ++v)
        {
            float* f = reinterpret_cast<float*>(handle->m_Vertices + v * WeClothHandle::VertexSize);
            f[0] = float(v & 1);  // position
            f[1] = float(v >> 1);
            f[6] = 0.25f * float(v);  // first uv
            f[11] = 0.5f;             // second uv's u at 44
        }
        const uint32_t indices[6] = {0, 1, 2, 2, 1, 3};
        std::memcpy(handle->m_Indices, indices, sizeof(indices));
        handle->m_VertexCount = 4;
        handle->m_IndexCount = 6;
        handle->CopyMeshData();
        actor.m_PhysicModel.physicsClass = WePhysicsCloth;
        actor.m_PhysicHandle = handle;
    }
    ~ClothFixture()
    {
        actor.m_PhysicHandle = nullptr;
        delete handle;
    }
    WeActor actor;
    WeClothHandle* handle = nullptr;
};

TEST_F(WeClothActorRendererDraw, OneIndexedDrawOfTheCopiedVertices)
{
    ASSERT_TRUE(Create());
    ASSERT_NE(g_ClothActorRenderer.m_Declaration, nullptr);
    ClothFixture cloth;
    g_GfxRecorder.ClearLog();
    ASSERT_TRUE(g_ClothActorRenderer.DrawClothActor(&cloth.actor));
    std::vector<const GfxDrawRecord*> draws = g_GfxRecorder.Draws();
    ASSERT_EQ(draws.size(), 1u);
    const GfxDrawRecord* d = draws[0];
    EXPECT_EQ(d->stride, 52u);
    EXPECT_EQ(d->primitiveCount, 2u);
    EXPECT_TRUE(d->indexed);
    EXPECT_EQ(d->indices, (std::vector<uint32_t>{0, 1, 2, 2, 1, 3}));
    EXPECT_EQ(d->state.declaration, g_ClothActorRenderer.m_Declaration);
    ASSERT_EQ(d->vertices.size(), 4u * 52u);
    EXPECT_FLOAT_EQ(reinterpret_cast<const float*>(d->vertices.data())[13 + 6], 0.25f);

    // The declaration is the cloth record: nothing reaches past byte 52, no binormal.
    D3DVERTEXELEMENT9 elements[MAXD3DDECLLENGTH];
    UINT count = MAXD3DDECLLENGTH;
    ASSERT_EQ(g_ClothActorRenderer.m_Declaration->GetDeclaration(elements, &count), D3D_OK);
    for (UINT i = 0; i + 1 < count; ++i)
    {
        EXPECT_NE(elements[i].Usage, D3DDECLUSAGE_BINORMAL);
        UINT size = elements[i].Type == D3DDECLTYPE_FLOAT3 ? 12u : 8u;
        EXPECT_LE(elements[i].Offset + size, 52u);
    }
}

TEST_F(WeClothActorRendererDraw, NothingWithoutClothData)
{
    ASSERT_TRUE(Create());
    ClothFixture cloth;
    g_GfxRecorder.ClearLog();
    // Not a cloth actor.
    cloth.actor.m_PhysicModel.physicsClass = WePhysicsNone;
    EXPECT_FALSE(g_ClothActorRenderer.DrawClothActor(&cloth.actor));
    cloth.actor.m_PhysicModel.physicsClass = WePhysicsCloth;
    // A snapshot without triangles.
    cloth.handle->m_CopiedIndexCount = 0;
    EXPECT_FALSE(g_ClothActorRenderer.DrawClothActor(&cloth.actor));
    cloth.handle->m_CopiedIndexCount = 6;
    // No declaration after a lost device.
    g_ClothActorRenderer.OnLostDevice();
    EXPECT_FALSE(g_ClothActorRenderer.DrawClothActor(&cloth.actor));
    EXPECT_FALSE(g_ClothActorRenderer.DrawClothActor(nullptr));
    EXPECT_TRUE(g_GfxRecorder.Draws().empty());
    g_ClothActorRenderer.OnResetDevice();
    EXPECT_TRUE(g_ClothActorRenderer.DrawClothActor(&cloth.actor));
}

}  // namespace
