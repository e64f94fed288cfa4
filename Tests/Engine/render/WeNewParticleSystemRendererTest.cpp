// Particle systems on the recording backend: batches of 1,024 through rotating buffers, the vertex contents
// (corners, colour, size, rotation, screen direction, local space), the particle switch and a renderer whose
// buffers could not be made.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "Engine/render/WeCamera.h"
#include "Engine/render/WeNewParticleSystemRenderer.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WeParticle.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

using Vertex = WeNewParticleSystemRenderer::Vertex;

// A system holding particles of its own (not from the shared list), given back before it goes.
class ParticleFixture : public RecordingRender
{
protected:
    void SetUp() override
    {
        RecordingRender::SetUp();
        system = new WeNewParticleSystem();
        camera.m_Direction = D3DXVECTOR3(0, 0, 1);
        camera.UpdateProjection();
        camera.Update();
    }
    void TearDown() override
    {
        system->m_Particles.Reset();
        delete system;
        g_RenderDevice.m_ParticleOption = 1;
        RecordingRender::TearDown();
    }
    void Fill(int count)
    {
        particles.assign(size_t(count), WeParticle{});
        for (int i = 0; i < count; ++i)
        {
            WeParticle& p = particles[size_t(i)];
            p.position = D3DXVECTOR3(float(i), 2.0f, 3.0f);
            p.color[0] = 0.25f;
            p.color[1] = 0.5f;
            p.color[2] = 0.75f;
            p.color[3] = 0.125f;
            p.size = 1.5f + float(i);
            p.rotation = 0.01f * float(i);
        }
        system->m_Particles.Reset();
        for (WeParticle& p : particles)
            system->m_Particles.PushBack(&p);
    }
    static const Vertex* VerticesOf(const GfxDrawRecord* draw)
    {
        return reinterpret_cast<const Vertex*>(draw->vertices.data());
    }

    WeNewParticleSystem* system = nullptr;
    std::vector<WeParticle> particles;
    WeCamera camera;
};

using WeNewParticleSystemRendererDraw = ParticleFixture;

TEST_F(WeNewParticleSystemRendererDraw, BatchesOf1024ThroughDifferentBuffers)
{
    ASSERT_TRUE(Create());
    Fill(2500);
    g_GfxRecorder.ClearLog();
    EXPECT_EQ(g_NewParticleSystemRenderer.RenderParticleSystem(system, &camera), 3);
    std::vector<const GfxDrawRecord*> draws = g_GfxRecorder.Draws();
    ASSERT_EQ(draws.size(), 3u);
    const UINT particlesPerDraw[3] = {1024, 1024, 452};
    std::set<IDirect3DVertexBuffer9*> buffers;
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(draws[size_t(i)]->primitiveCount, particlesPerDraw[i] * 2);
        EXPECT_EQ(draws[size_t(i)]->vertexCount, particlesPerDraw[i] * 4);
        EXPECT_EQ(draws[size_t(i)]->stride, 52u);
        EXPECT_TRUE(draws[size_t(i)]->indexed);
        buffers.insert(draws[size_t(i)]->state.stream0);
    }
    EXPECT_EQ(buffers.size(), 3u);
    // One index pattern a quad, the same in every batch.
    const std::vector<uint32_t>& indices = draws[2]->indices;
    ASSERT_GE(indices.size(), 12u);
    EXPECT_EQ(std::vector<uint32_t>(indices.begin(), indices.begin() + 12),
              (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}));
    // The third batch starts at particle 2048.
    const Vertex* v = VerticesOf(draws[2]);
    EXPECT_FLOAT_EQ(v[0].position[0], 2048.0f);
    EXPECT_FLOAT_EQ(v[451 * 4 + 3].position[0], 2499.0f);
}

TEST_F(WeNewParticleSystemRendererDraw, VertexContents)
{
    ASSERT_TRUE(Create());
    Fill(2);
    g_GfxRecorder.ClearLog();
    ASSERT_EQ(g_NewParticleSystemRenderer.RenderParticleSystem(system, &camera), 1);
    const Vertex* v = VerticesOf(g_GfxRecorder.Draws()[0]);
    const float corners[4][2] = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
    for (int k = 0; k < 4; ++k)
    {
        const Vertex& c = v[4 + k];  // the second particle
        EXPECT_FLOAT_EQ(c.position[0], 1.0f);
        EXPECT_FLOAT_EQ(c.position[1], 2.0f);
        EXPECT_FLOAT_EQ(c.corner[0], corners[k][0]);
        EXPECT_FLOAT_EQ(c.corner[1], corners[k][1]);
        EXPECT_FLOAT_EQ(c.colour[2], 0.75f);
        EXPECT_FLOAT_EQ(c.colour[3], 0.125f);
        EXPECT_FLOAT_EQ(c.size, 2.5f);
        EXPECT_FLOAT_EQ(c.rotation, 0.01f);
        EXPECT_FLOAT_EQ(c.direction[0], 0.0f);
        EXPECT_FLOAT_EQ(c.direction[1], 1.0f);
    }

    // Local space: the system's world matrix moves the particles.
    system->m_LocalSpace = true;
    D3DXMatrixTranslation(system->m_WorldMatrixInUse, 10.0f, 0.0f, -1.0f);
    g_GfxRecorder.ClearLog();
    g_NewParticleSystemRenderer.RenderParticleSystem(system, &camera);
    v = VerticesOf(g_GfxRecorder.Draws()[0]);
    EXPECT_FLOAT_EQ(v[4].position[0], 11.0f);
    EXPECT_FLOAT_EQ(v[4].position[2], 2.0f);
}

TEST_F(WeNewParticleSystemRendererDraw, VelocityAlignedDirectionsHaveUnitLengthOnScreen)
{
    ASSERT_TRUE(Create());
    Fill(3);
    system->m_VelocityAligned = true;
    // The camera looks along +Z: world x and y are screen x and y.
    particles[0].velocity = D3DXVECTOR3(3.0f, 4.0f, 0.0f);
    particles[1].velocity = D3DXVECTOR3(0.0f, 0.0f, 7.0f);  // straight into the screen: upright
    particles[2].velocity = D3DXVECTOR3(-0.001f, 0.0f, 50.0f);
    g_GfxRecorder.ClearLog();
    g_NewParticleSystemRenderer.RenderParticleSystem(system, &camera);
    const Vertex* v = VerticesOf(g_GfxRecorder.Draws()[0]);
    EXPECT_NEAR(v[0].direction[0], 0.6f, 1e-5);
    EXPECT_NEAR(v[0].direction[1], 0.8f, 1e-5);
    EXPECT_FLOAT_EQ(v[4].direction[0], 0.0f);
    EXPECT_FLOAT_EQ(v[4].direction[1], 1.0f);
    EXPECT_NEAR(v[8].direction[0], -1.0f, 1e-5);
    EXPECT_NEAR(v[8].direction[1], 0.0f, 1e-5);

    // A local-space system turns the velocity by its world matrix first: a quarter turn about z.
    system->m_LocalSpace = true;
    D3DXMatrixRotationZ(system->m_WorldMatrixInUse, 1.5707963f);
    particles[0].velocity = D3DXVECTOR3(1.0f, 0.0f, 0.0f);
    g_GfxRecorder.ClearLog();
    g_NewParticleSystemRenderer.RenderParticleSystem(system, &camera);
    v = VerticesOf(g_GfxRecorder.Draws()[0]);
    EXPECT_NEAR(v[0].direction[0], 0.0f, 1e-5);
    EXPECT_NEAR(v[0].direction[1], 1.0f, 1e-5);
}

TEST_F(WeNewParticleSystemRendererDraw, NothingWithTheSwitchOffWithoutParticlesOrBuffers)
{
    ASSERT_TRUE(Create());
    Fill(10);
    g_GfxRecorder.ClearLog();
    g_RenderDevice.m_ParticleOption = 0;
    EXPECT_EQ(g_NewParticleSystemRenderer.RenderParticleSystem(system, &camera), 0);
    g_RenderDevice.m_ParticleOption = 1;
    EXPECT_EQ(g_NewParticleSystemRenderer.RenderParticleSystem(nullptr, &camera), 0);
    system->m_Particles.Reset();
    EXPECT_EQ(g_NewParticleSystemRenderer.RenderParticleSystem(system, &camera), 0);
    EXPECT_TRUE(g_GfxRecorder.Draws().empty());

    // The third vertex buffer cannot be made: everything made so far goes and the renderer draws nothing.
    Fill(10);
    g_NewParticleSystemRenderer.OnLostDevice();
    g_GfxRecorder.FailNext("CreateVertexBuffer");
    g_GfxRecorder.ClearLog();
    g_NewParticleSystemRenderer.OnResetDevice();
    EXPECT_FALSE(g_NewParticleSystemRenderer.IsUsable());
    EXPECT_EQ(g_NewParticleSystemRenderer.m_Declaration, nullptr);
    EXPECT_EQ(g_NewParticleSystemRenderer.m_IndexBuffer, nullptr);
    for (IDirect3DVertexBuffer9* vb : g_NewParticleSystemRenderer.m_VertexBuffers)
        EXPECT_EQ(vb, nullptr);
    EXPECT_EQ(g_NewParticleSystemRenderer.RenderParticleSystem(system, &camera), 0);
    EXPECT_TRUE(g_GfxRecorder.Draws().empty());
    // The next reset makes it whole again.
    g_NewParticleSystemRenderer.OnResetDevice();
    EXPECT_EQ(g_NewParticleSystemRenderer.RenderParticleSystem(system, &camera), 1);
}

}  // namespace
