// The canvas on the recording backend: batching by texture, blend mode and video frame, the 1024-quad
// limit, the quads' exact coordinates, and the text queue's order and grouping.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeTexture.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

// Draws each text as one quad on its glyph texture and logs the texts in drawing order.
class FakeFont : public WeCanvasFont
{
public:
    explicit FakeFont(WeTexture* texture) : m_Texture(texture) {}
    WeTexture* GetGlyphTexture() const override { return m_Texture; }
    void DrawTextRecord(WeCanvas& canvas, WeCanvasTextNode& record) override
    {
        drawn.push_back(record.text.c_str());
        records.push_back(record);
        canvas.DrawQuad(record.x, record.y, 4, 4, 0xFFFFFFFF, m_Texture, 0);
    }
    static inline std::vector<std::string> drawn;
    static inline std::vector<WeCanvasTextNode> records;

private:
    WeTexture* m_Texture;
};

class WeCanvasRecording : public RecordingRender
{
protected:
    void SetUp() override
    {
        RecordingRender::SetUp();
        ASSERT_TRUE(Create(1024, 768));
        a = g_TextureManager.CreateTexture(64, 32, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, false);
        b = g_TextureManager.CreateTexture(16, 16, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, false);
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr);
        FakeFont::drawn.clear();
        FakeFont::records.clear();
        g_Canvas.BeginFrame();
        g_GfxRecorder.ClearLog();
    }
    void TearDown() override
    {
        // Made unregistered: the test owns them.
        delete a;
        delete b;
        RecordingRender::TearDown();
    }
    static std::vector<WeCanvasVertex> Vertices(const GfxDrawRecord* draw)
    {
        std::vector<WeCanvasVertex> out(draw->vertices.size() / sizeof(WeCanvasVertex));
        std::memcpy(out.data(), draw->vertices.data(), out.size() * sizeof(WeCanvasVertex));
        return out;
    }
    WeTexture* a = nullptr;
    WeTexture* b = nullptr;
};

TEST_F(WeCanvasRecording, TheQuadAfterAFullBufferFlushesItAndStartsAtSlotZero)
{
    for (int i = 0; i < 1025; ++i)
        g_Canvas.DrawQuad(i % 100, 0, 2, 2, 0xFFFFFFFF, a, 0);
    ASSERT_EQ(g_GfxRecorder.Draws().size(), 1u);
    EXPECT_EQ(g_GfxRecorder.Draws()[0]->primitiveCount, 2048u);
    EXPECT_EQ(g_Canvas.m_WritePosition, 1);
    EXPECT_EQ(g_Canvas.m_BatchStart, 0);
    EXPECT_EQ(g_Canvas.m_BatchCount, 1);
    g_Canvas.Flush();
    auto draws = g_GfxRecorder.Draws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[1]->primitiveCount, 2u);
    // Each batch's indices start at 0.
    EXPECT_EQ(draws[1]->indices, (std::vector<uint32_t>{0, 1, 2, 2, 1, 3}));
}

TEST_F(WeCanvasRecording, BatchesBreakOnTextureBlendAndVideoFrame)
{
    for (int i = 0; i < 4; ++i)
        g_Canvas.DrawQuad(0, 0, 8, 8, 0xFFFFFFFF, i % 2 ? b : a, 0);
    g_Canvas.Flush();
    EXPECT_EQ(g_GfxRecorder.Draws().size(), 4u);
    for (const GfxDrawRecord* d : g_GfxRecorder.Draws())
        EXPECT_EQ(d->primitiveCount, 2u);

    // Blend 2 is additive; every other mode blends by inverse source alpha.
    g_GfxRecorder.ClearLog();
    g_Canvas.DrawQuad(0, 0, 8, 8, 0xFFFFFFFF, a, 2);
    g_Canvas.DrawQuad(0, 0, 8, 8, 0xFFFFFFFF, a, 1);
    g_Canvas.DrawQuad(0, 0, 8, 8, 0xFFFFFFFF, a, 1);
    g_Canvas.Flush();
    auto draws = g_GfxRecorder.Draws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0]->state.renderStates[D3DRS_DESTBLEND], DWORD(D3DBLEND_ONE));
    EXPECT_EQ(draws[0]->state.renderStates[D3DRS_SRCBLEND], DWORD(D3DBLEND_SRCALPHA));
    EXPECT_EQ(draws[0]->state.renderStates[D3DRS_ALPHABLENDENABLE], 1u);
    EXPECT_EQ(draws[0]->state.renderStates[D3DRS_ZENABLE], 0u);
    EXPECT_EQ(draws[1]->state.renderStates[D3DRS_DESTBLEND], DWORD(D3DBLEND_INVSRCALPHA));
    EXPECT_EQ(draws[1]->primitiveCount, 4u);
    // Blending off and depth back on after each batch.
    EXPECT_EQ(g_GfxRecorder.Last("SetRenderState")->args[0], uint64_t(D3DRS_ALPHABLENDENABLE));

    // A colour frame over the movie never joins the movie's batch; with no texture stage 6 takes white.
    g_GfxRecorder.ClearLog();
    IDirect3DTexture9* video = static_cast<IDirect3DTexture9*>(b->GetD3DTexture());
    g_Canvas.DrawD3DTexture(0, 0, 16, 16, 0, 0, 1, 1, 0xFFFFFFFF, video, 0);
    g_Canvas.DrawQuad(0, 0, 16, 16, 0x80000000, nullptr, 0);
    g_Canvas.Flush();
    draws = g_GfxRecorder.Draws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0]->state.textures[6], b->GetD3DTexture());
    EXPECT_EQ(draws[1]->state.textures[6], g_TextureManager.m_DefaultWhite->GetD3DTexture());
}

TEST_F(WeCanvasRecording, AxisAlignedQuadsTakeHalfTexelUVsAndEmptyOnesAreSkipped)
{
    g_Canvas.DrawQuadUV(10, 20, 32, 16, 0.25f, 0.5f, 0.75f, 1.0f, 0xFF112233, a, 0);
    // Zero width or height: skipped without ending the batch; negative sizes still draw.
    g_Canvas.DrawQuad(0, 0, 0, 10, 0xFFFFFFFF, b, 0);
    g_Canvas.DrawQuad(0, 0, 10, 0, 0xFFFFFFFF, nullptr, 2);
    g_Canvas.DrawQuad(40, 40, -8, 4, 0xFFFFFFFF, a, 0);
    g_Canvas.Flush();
    auto draws = g_GfxRecorder.Draws();
    ASSERT_EQ(draws.size(), 1u);
    ASSERT_EQ(draws[0]->primitiveCount, 4u);
    std::vector<WeCanvasVertex> v = Vertices(draws[0]);
    ASSERT_GE(v.size(), 8u);
    float tu = 1.0f / 64, tv = 1.0f / 32;
    float left = 0.25f + tu / 2, right = 0.75f + 0.5f / 32 - tu / 2;
    float top = 0.5f + tv / 2, bottom = 1.0f + 0.5f / 16 - tv / 2;
    struct
    {
        float x, y, u, v;
    } expected[] = {{10, 20, left, top}, {42, 20, right, top}, {10, 36, left, bottom}, {42, 36, right, bottom}};
    for (int i = 0; i < 4; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(v[i].x, expected[i].x);
        EXPECT_FLOAT_EQ(v[i].y, expected[i].y);
        EXPECT_FLOAT_EQ(v[i].u, expected[i].u);
        EXPECT_FLOAT_EQ(v[i].v, expected[i].v);
        EXPECT_EQ(v[i].z, 0.0f);
        EXPECT_EQ(v[i].rhw, 1.0f);
        EXPECT_EQ(v[i].colour, 0xFF112233u);
    }
    EXPECT_FLOAT_EQ(v[4].x, 40.0f);
    EXPECT_FLOAT_EQ(v[5].x, 32.0f);
}

TEST_F(WeCanvasRecording, QuadsFarOffTheScreenReachPastTheIntRange)
{
    // A text placed by a hostile layout: the far corner lies beyond what an int holds.
    g_Canvas.DrawQuad(2000000000, -2000000000, 400000000, -400000000, 0xFFFFFFFF, a, 0);
    g_Canvas.Flush();
    auto draws = g_GfxRecorder.Draws();
    ASSERT_EQ(draws.size(), 1u);
    std::vector<WeCanvasVertex> v = Vertices(draws[0]);
    ASSERT_GE(v.size(), 4u);
    EXPECT_FLOAT_EQ(v[3].x, 2.4e9f);
    EXPECT_FLOAT_EQ(v[3].y, -2.4e9f);
}

TEST_F(WeCanvasRecording, RotatedQuadCornersAndExactUVs)
{
    const float pi = 3.14159265f;
    g_Canvas.DrawRotatedQuad(0, 0, 20, 10, pi / 2, 0xFFFFFFFF, a, 0);
    g_Canvas.Flush();
    std::vector<WeCanvasVertex> v = Vertices(g_GfxRecorder.Draws()[0]);
    // A quarter turn about the centre (10, 5): the top-left corner lands at (15, -5).
    struct
    {
        float x, y, u, v;
    } expected[] = {{15, -5, 0, 0}, {15, 15, 1, 0}, {5, -5, 0, 1}, {5, 15, 1, 1}};
    for (int i = 0; i < 4; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_NEAR(v[i].x, expected[i].x, 1e-4);
        EXPECT_NEAR(v[i].y, expected[i].y, 1e-4);
        EXPECT_EQ(v[i].u, expected[i].u);
        EXPECT_EQ(v[i].v, expected[i].v);
    }
}

TEST_F(WeCanvasRecording, TextsDrawAfterTheQuadsGroupedByGlyphTexture)
{
    FakeFont first(a), second(b), third(a);
    g_Canvas.DrawQuad(0, 0, 8, 8, 0xFFFFFFFF, nullptr, 0);
    g_Canvas.DrawText(&first, WeString("one"), 100, 0, 50, 20, 0xFFFFFFFF, 0, 1.0f);
    g_Canvas.DrawText(&second, WeString("two"), 200, 0, 50, 20, 0xFFFFFFFF, 0, 1.0f);
    g_Canvas.DrawText(&third, WeString("three"), 300, 0, 50, 20, 0xFFFFFFFF, 0, 1.0f);
    g_Canvas.DrawText(nullptr, WeString("none"), 0, 0, 50, 20, 0xFFFFFFFF, 0, 1.0f);
    EXPECT_EQ(g_Canvas.GetQueuedTextCount(), 3);
    g_Canvas.DrawQuad(0, 0, 8, 8, 0xFFFFFFFF, nullptr, 0);
    g_Canvas.Flush();
    EXPECT_EQ(FakeFont::drawn, (std::vector<std::string>{"one", "three", "two"}));
    EXPECT_EQ(g_Canvas.GetQueuedTextCount(), 0);
    auto draws = g_GfxRecorder.Draws();
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0]->primitiveCount, 4u);  // both quads, before any text
    EXPECT_EQ(draws[1]->state.textures[6], a->GetD3DTexture());
    EXPECT_EQ(draws[1]->primitiveCount, 4u);
    EXPECT_EQ(draws[2]->state.textures[6], b->GetD3DTexture());
}

TEST_F(WeCanvasRecording, ShadowsAndOutlines)
{
    FakeFont font(a);
    g_ScreenSize = {2048, 1536};
    g_Canvas.DrawTextShadowed(&font, WeString("s"), 10, 20, 50, 20, 0x80FF8040, 0, 0, 1.0f);
    g_Canvas.DrawTextShadowed(&font, WeString("t"), 10, 20, 50, 20, 0xFFFFFFFF, 0x40102030, 0, 1.0f);
    g_Canvas.DrawTextOutlined(&font, WeString("o"), 10, 20, 50, 20, 0xFFFFFFFF, 0xFF000000, 0, 1.0f);
    g_Canvas.Flush();
    g_ScreenSize = {1024, 768};
    const auto& r = FakeFont::records;
    ASSERT_EQ(r.size(), 9u);
    // Shadow colour 0: a quarter of each colour channel, alpha kept, offset by 3 reference pixels.
    EXPECT_EQ(r[0].x, 16);
    EXPECT_EQ(r[0].y, 26);
    EXPECT_FLOAT_EQ(r[0].alpha, 128 / 255.0f);
    EXPECT_FLOAT_EQ(r[0].red, 64 / 255.0f);
    EXPECT_FLOAT_EQ(r[0].green, 32 / 255.0f);
    EXPECT_FLOAT_EQ(r[0].blue, 16 / 255.0f);
    EXPECT_EQ(r[1].x, 10);
    EXPECT_FLOAT_EQ(r[1].red, 1.0f);
    EXPECT_FLOAT_EQ(r[2].alpha, 64 / 255.0f);
    EXPECT_FLOAT_EQ(r[2].red, 16 / 255.0f);
    int offsets[4][2] = {{9, 19}, {11, 19}, {9, 21}, {11, 21}};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(r[4 + i].x, offsets[i][0]);
        EXPECT_EQ(r[4 + i].y, offsets[i][1]);
        EXPECT_FLOAT_EQ(r[4 + i].red, 0.0f);
    }
    EXPECT_EQ(r[8].x, 10);
    EXPECT_FLOAT_EQ(r[8].red, 1.0f);
}

TEST_F(WeCanvasRecording, TheDeviceFrameFlushesWhatTheCallbackQueued)
{
    g_RenderDevice.m_RenderCallback = [] { g_Canvas.DrawQuad(0, 0, 8, 8, 0xFFFFFFFF, nullptr, 0); };
    g_RenderDevice.Render();
    EXPECT_EQ(g_GfxRecorder.Draws().size(), 1u);
    EXPECT_EQ(g_Canvas.m_BatchCount, 0);
}

}  // namespace
