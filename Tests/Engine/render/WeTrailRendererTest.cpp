// Trails on the recording backend: the ribbon copied and drawn in one call, a ribbon longer than the
// buffers drawn by its newest 1,000 quads, and a renderer whose buffers could not be made.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Engine/render/WeTrailRenderer.h"
#include "Engine/world/WeTrail.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

using WeTrailRendererDraw = RecordingRender;

// A trail with room for `capacity` quads, `quads` of them filled; quad q's vertices carry x = q.
void Build(WeTrail& trail, int capacity, int quads)
{
    trail.Setup(nullptr, 1.0f, 1.0f, 1.0f, 1.0f, 0.3f, (capacity + 3) / 4, 0.5f, 1.0f, 0.0f);
    trail.Init();
    ASSERT_GE(trail.m_MaxQuads, quads);
    for (int q = 0; q < quads; ++q)
        for (int k = 0; k < 4; ++k)
        {
            WeTrail::Vertex& v = trail.m_Vertices[q * 4 + k];
            v.position[0] = float(q);
            v.position[1] = float(k);
            v.color = WeTrail::PackColor(float(q) / float(quads), 1.0f, 1.0f, 1.0f);
        }
    trail.m_QuadCount = quads;
    trail.m_VertexCount = quads * 4;
}

TEST_F(WeTrailRendererDraw, TheRibbonInOneDraw)
{
    ASSERT_TRUE(Create());
    WeTrail trail;
    Build(trail, 20, 3);
    g_GfxRecorder.ClearLog();
    ASSERT_TRUE(g_TrailRenderer.DrawTrail(&trail));
    std::vector<const GfxDrawRecord*> draws = g_GfxRecorder.Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0]->primitiveCount, 6u);
    EXPECT_EQ(draws[0]->stride, 24u);
    EXPECT_EQ(draws[0]->state.fvf, DWORD(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1));
    ASSERT_EQ(draws[0]->vertices.size(), 12u * 24u);
    EXPECT_EQ(std::memcmp(draws[0]->vertices.data(), trail.m_Vertices, 12 * 24), 0);
    EXPECT_EQ(draws[0]->indices, (std::vector<uint32_t>{0, 1, 2, 1, 3, 2, 4, 5, 6, 5, 7, 6, 8, 9, 10, 9, 11, 10}));
}

TEST_F(WeTrailRendererDraw, ALongerRibbonDrawsItsNewest1000Quads)
{
    ASSERT_TRUE(Create());
    WeTrail trail;
    Build(trail, 1600, 1500);
    g_GfxRecorder.ClearLog();
    ASSERT_TRUE(g_TrailRenderer.DrawTrail(&trail));
    std::vector<const GfxDrawRecord*> draws = g_GfxRecorder.Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0]->primitiveCount, 2000u);
    EXPECT_EQ(draws[0]->vertexCount, 4000u);
    // Quads 500 to 1499: the newest, the head of the ribbon included.
    const WeTrail::Vertex* v = reinterpret_cast<const WeTrail::Vertex*>(draws[0]->vertices.data());
    EXPECT_FLOAT_EQ(v[0].position[0], 500.0f);
    EXPECT_FLOAT_EQ(v[3999].position[0], 1499.0f);
    EXPECT_EQ(draws[0]->indices.back(), 3998u);
}

TEST_F(WeTrailRendererDraw, NothingWithoutARibbonOrBuffers)
{
    ASSERT_TRUE(Create());
    WeTrail trail;
    Build(trail, 20, 0);
    g_GfxRecorder.ClearLog();
    EXPECT_FALSE(g_TrailRenderer.DrawTrail(&trail));
    EXPECT_FALSE(g_TrailRenderer.DrawTrail(nullptr));
    Build(trail, 20, 2);
    g_TrailRenderer.OnLostDevice();
    g_GfxRecorder.FailNext("CreateIndexBuffer");
    g_TrailRenderer.OnResetDevice();
    EXPECT_EQ(g_TrailRenderer.m_Initialised, 0);
    EXPECT_EQ(g_TrailRenderer.m_VertexBuffer, nullptr);
    EXPECT_FALSE(g_TrailRenderer.DrawTrail(&trail));
    EXPECT_TRUE(g_GfxRecorder.Draws().empty());
    // Init makes it whole again.
    EXPECT_TRUE(g_TrailRenderer.Init());
    EXPECT_TRUE(g_TrailRenderer.DrawTrail(&trail));
}

}  // namespace
