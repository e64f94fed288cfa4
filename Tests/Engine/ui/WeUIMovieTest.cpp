// The colour frame and the movie widget on the recording backend: one untextured quad in the effective
// colour; a movie widget that draws nothing (children included) until it has a frame, then one quad of the
// movie's texture, with a colour frame over it in a batch of its own; opening fails without a renderer or
// a readable file.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "Engine/render/WeMovieTextureRenderer.h"
#include "Engine/ui/WeUIColorFrame.h"
#include "Engine/ui/WeUIMovie.h"
#include "Tests/Engine/ui/UITestSupport.h"
#include "Tests/Platform/video/TestClipWriter.h"
#include "Tests/support/ScratchFolder.h"

namespace
{

class WeUIMovieTest : public UIRenderTest
{
protected:
    static WeUIColorFrame* Frame(WeUIComponent* parent, const char* name, float x, float y, float w, float h)
    {
        return new WeUIColorFrame(parent, WeString(name), x / 1024, y / 768, w / 1024, h / 768);
    }
    // Updates until the movie's first frame is in its texture (the decoder runs on its own thread).
    static bool WaitForFrame(WeUIMovie* movie)
    {
        for (int i = 0; i < 20000; ++i)
        {
            Ticks(1);
            if (movie->GetRenderer()->GetUploadCount() > 0)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
    // What the canvas binds for a quad without texture.
    static IDirect3DBaseTexture9* Untextured() { return g_TextureManager.m_DefaultWhite->GetD3DTexture(); }
    ScratchFolder scratch;
};

using WeUIColorFrameTest = WeUIMovieTest;

TEST_F(WeUIColorFrameTest, DrawsOneUntexturedQuadInTheEffectiveColour)
{
    WeUIColorFrame* frame = Frame(Root(), "tint", 10, 20, 100, 50);
    frame->m_Colour[0] = 1.0f;
    frame->m_Colour[1] = 0.5f;
    frame->m_Colour[2] = 0.0f;
    frame->m_Colour[3] = 0.5f;
    Ticks(1);
    g_UIMain.DrawMainLayer();
    auto quads = Quads();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].colour, 0x80FF8000u);
    EXPECT_EQ(quads[0].texture, Untextured());
    EXPECT_EQ(quads[0].x0, 10.0f);
    EXPECT_EQ(quads[0].y1, 70.0f);
}

TEST_F(WeUIMovieTest, OpenFailsWithoutARendererOrAReadableFile)
{
    auto* movie = new WeUIMovie(Root(), WeString("movie"), 0, 0, 1, 1);
    EXPECT_EQ(movie->m_InputEnabled, 0);
    EXPECT_FALSE(movie->Open(WeString(scratch.Path("missing.seq").c_str()), 0));
    delete movie->m_Renderer;
    movie->m_Renderer = nullptr;
    EXPECT_FALSE(movie->Open(WeString(scratch.Path("missing.seq").c_str()), 1));
    movie->Play(1);
    Ticks(1);
    g_UIMain.DrawMainLayer();
    EXPECT_TRUE(Quads().empty());
}

TEST_F(WeUIMovieTest, DrawsItsFrameOnlyOnceThereIsOneAndAFrameOverItBatchesApart)
{
    ClipOptions options{"ffv1", "matroska"};
    options.frames = 5;
    options.audio = false;
    std::string path = scratch.Path("clip.mkv");
    ASSERT_TRUE(WriteClip(path, options));
    auto* movie = new WeUIMovie(Root(), WeString("movie"), 0, 0, 0.5f, 0.5f);
    Frame(movie, "child", 0, 0, 10, 10);
    // Nothing before a frame, the child neither.
    Ticks(1);
    g_UIMain.DrawMainLayer();
    EXPECT_TRUE(Quads().empty());
    ASSERT_TRUE(movie->Open(WeString(path.c_str()), 0));
    movie->Play(1);
    ASSERT_TRUE(WaitForFrame(movie));
    WeUIColorFrame* over = Frame(Root(), "over", 0, 0, 1024, 768);
    over->m_Colour[3] = 0.25f;
    Ticks(1);
    g_GfxRecorder.ClearLog();
    g_UIMain.DrawMainLayer();
    auto quads = Quads();
    ASSERT_EQ(quads.size(), 3u);
    EXPECT_EQ(quads[0].texture, movie->GetRenderer()->GetTexture());
    EXPECT_EQ(quads[0].x1, 512.0f);
    EXPECT_EQ(quads[0].y1, 384.0f);
    EXPECT_EQ(quads[0].colour, 0xFFFFFFFFu);
    EXPECT_EQ(quads[1].texture, Untextured());  // the child
    EXPECT_EQ(quads[2].texture, Untextured());  // the frame over it
    EXPECT_NE(quads[0].draw, quads[1].draw);
    EXPECT_EQ(quads[2].Alpha(), 64u);
    movie->GetRenderer()->Stop();
}

}  // namespace
