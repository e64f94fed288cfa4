#include "Tools/movie/MovieScene.h"

#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include <cmath>
#include <string>
#include <vector>

#include "Tests/support/ScratchFolder.h"

namespace
{

MovieScript Parse(const std::string& text)
{
    MovieScript script;
    std::string error;
    EXPECT_TRUE(script.Parse(text, "scene.txt", error)) << error;
    return script;
}

struct Rgb
{
    float r, g, b;
};

Rgb At(const MoviePainter& painter, int x, int y)
{
    float rgb[3];
    painter.Pixel(x, y, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

TEST(MovieScene, ShapesCoverTheirInsideAndSmoothTheirEdge)
{
    // A red square 40 pixels wide in the middle of a 100 x 100 frame, over blue.
    MovieScript script = Parse("movie size=100x100 rate=10 seconds=1\n"
                               "fill colour=#FF0000FF\n"
                               "rect x=0.5 y=0.5 w=0.4 h=0.4 colour=#FFFF0000\n");
    MoviePainter painter(100, 100);
    MovieScene(script).Draw(0.5, painter);
    EXPECT_FLOAT_EQ(At(painter, 50, 50).r, 1.0f);
    EXPECT_FLOAT_EQ(At(painter, 50, 50).b, 0.0f);
    EXPECT_FLOAT_EQ(At(painter, 31, 50).r, 1.0f);  // the last pixel inside
    EXPECT_FLOAT_EQ(At(painter, 29, 50).r, 0.0f);  // the first outside
    EXPECT_FLOAT_EQ(At(painter, 5, 5).b, 1.0f);

    // Half a pixel over the edge: half covered.
    script = Parse("movie size=100x100 rate=10 seconds=1\n"
                   "rect x=0.505 y=0.5 w=0.4 h=0.4 colour=#FFFFFFFF\n");
    MovieScene(script).Draw(0.0, painter);
    EXPECT_NEAR(At(painter, 30, 50).r, 0.5f, 0.01f);
}

TEST(MovieScene, OutlinesAndGlowsReachAsFarAsTheyShould)
{
    // A hexagon outline of corner radius 40 with a glow: lit along its edge, glowing just inside and
    // outside it, untouched at its middle and far outside.
    MovieScript script = Parse("movie size=100x100 rate=10 seconds=1\n"
                               "polygon x=0.5 y=0.5 radius=0.4 sides=6 outline=0.04 glow=0.03 colour=#FFFFFFFF\n");
    MoviePainter painter(100, 100);
    MovieScene(script).Draw(0.0, painter);
    // sides=6 with a flat top: the top edge is at the apothem, 40 * cos(30 degrees) = 34.6 above the centre.
    const int edge = int(std::lround(50.0 - 40.0 * std::cos(3.14159265 / 6.0)));
    EXPECT_GT(At(painter, 50, edge).r, 0.95f);
    EXPECT_GT(At(painter, 50, edge + 5).r, 0.02f) << "glow inside the outline";
    EXPECT_GT(At(painter, 50, edge - 5).r, 0.02f) << "glow outside it";
    EXPECT_EQ(At(painter, 50, 50).r, 0.0f);
    EXPECT_EQ(At(painter, 2, 2).r, 0.0f);
}

TEST(MovieScene, GradientsFadesAndTheFinishedPixels)
{
    MovieScript script = Parse("movie size=64x64 rate=10 seconds=2\n"
                               "fade in=0.5 out=0.5\n"
                               "gradient from=#FF000000 to=#FFFFFFFF angle=90\n");
    MoviePainter painter(64, 64);
    MovieScene scene(script);
    scene.Draw(1.0, painter);
    EXPECT_LT(At(painter, 10, 0).r, 0.02f);
    EXPECT_GT(At(painter, 10, 63).r, 0.98f);
    EXPECT_NEAR(At(painter, 0, 31).r, At(painter, 63, 31).r, 1e-6f) << "the same along a row";

    // From black at the first frame to full and back to black at the last (1.9 s).
    EXPECT_DOUBLE_EQ(scene.Brightness(0.0), 0.0);
    EXPECT_GT(scene.Brightness(0.3), 0.2);
    EXPECT_DOUBLE_EQ(scene.Brightness(1.0), 1.0);
    EXPECT_DOUBLE_EQ(scene.Brightness(1.9), 0.0);

    // B, G, R, 255 in memory, scaled by the brightness.
    MovieScript red = Parse("movie size=8x8 rate=10 seconds=1\nfill colour=#FFFF8000\n");
    MoviePainter small(8, 8);
    MovieScene(red).Draw(0.0, small);
    std::vector<uint8_t> pixels(8 * 8 * 4);
    small.Finish(1.0f, pixels.data());
    EXPECT_EQ(pixels[0], 0);
    EXPECT_NEAR(pixels[1], 128, 1);
    EXPECT_EQ(pixels[2], 255);
    EXPECT_EQ(pixels[3], 255);
    small.Finish(0.0f, pixels.data());
    EXPECT_EQ(pixels[2], 0);
}

TEST(MovieScene, TextIsDrawnInTheBlockFont)
{
    // One "I" seven pixels to a cell: its stem lit, the cells beside the stem dark.
    MovieScript script = Parse("movie size=100x100 rate=10 seconds=1\n"
                               "text x=0.5 y=0.5 size=0.49 string=I colour=#FFFFFFFF\n");
    MoviePainter painter(100, 100);
    MovieScene(script).Draw(0.0, painter);
    EXPECT_GT(At(painter, 50, 50).r, 0.99f);
    EXPECT_LT(At(painter, 43, 50).r, 0.01f);
    EXPECT_GT(At(painter, 43, 29).r, 0.99f) << "the top bar";
    ASSERT_NE(MovieScene::Glyph('k'), nullptr);
    EXPECT_EQ(MovieScene::Glyph('k'), MovieScene::Glyph('K'));
    EXPECT_EQ(MovieScene::Glyph('@'), nullptr);
}

TEST(MovieScene, MovingLayersRepeatWithTheirCycleAndDrawTheSameTwice)
{
    // Each repeats after 2 s: the tunnel moves on by one ring, the streaks and lights finish whole
    // cycles, and its squares turn by a quarter turn (45 degrees a second).
    MovieScript script = Parse("movie size=96x64 rate=10 seconds=6\n"
                               "tunnel sides=4 radius=0.5 count=8 rate=0.5 width=0.02 spin=45 glow=0.01\n"
                               "streaks count=20 rate=0.5 length=0.2 width=0.01 seed=4 blend=add\n"
                               "dots count=20 rate=0.5 radius=0.02 seed=5 blend=add\n");
    MoviePainter a(96, 64), b(96, 64);
    MovieScene scene(script);
    scene.Draw(1.3, a);
    scene.Draw(3.3, b);
    float worst = 0.0f, lit = 0.0f;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x)
        {
            Rgb p = At(a, x, y), q = At(b, x, y);
            worst = std::max(worst, std::fabs(p.r - q.r) + std::fabs(p.g - q.g) + std::fabs(p.b - q.b));
            lit += p.r;
        }
    EXPECT_LT(worst, 0.01f);
    EXPECT_GT(lit, 10.0f) << "something was drawn";
    MoviePainter c(96, 64);
    scene.Draw(1.3, c);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x)
            ASSERT_EQ(At(a, x, y).r, At(c, x, y).r);
}

}  // namespace

// Footage: a folder of PNG frames, one at the movie's rate, stretched over the frame, the last one held, and
// the layers after it drawn over it.
TEST(MovieScene, FootageShowsItsFramesAtTheMovieRateAndHoldsTheLast)
{
    ScratchFolder scratch;
    const uint8_t red[4 * 4 * 3] = {255, 0,   0,   255, 0,   0,   255, 0,   0,   255, 0,   0,   255, 0,   0,   255,
                                    0,   0,   255, 0,   0,   255, 0,   0,   255, 0,   0,   255, 0,   0,   255, 0,
                                    0,   255, 0,   0,   255, 0,   0,   255, 0,   0,   255, 0,   0,   255, 0,   0};
    uint8_t green[4 * 4 * 3];
    for (int i = 0; i < 16; ++i)
    {
        green[i * 3] = 0;
        green[i * 3 + 1] = 255;
        green[i * 3 + 2] = 0;
    }
    ASSERT_NE(stbi_write_png(scratch.Path("frame-00000.png").c_str(), 4, 4, 3, red, 12), 0);
    ASSERT_NE(stbi_write_png(scratch.Path("frame-00001.png").c_str(), 4, 4, 3, green, 12), 0);

    MovieScript script = Parse("movie size=8x8 rate=10 seconds=1\n"
                               "footage\n"
                               "rect x=0.5 y=0.5 w=0.25 h=0.25 colour=#FF0000FF\n");
    script.footageDir = scratch.Path();
    MoviePainter painter(8, 8);
    MovieScene scene(script);
    scene.Draw(0.0, painter);
    EXPECT_GT(At(painter, 0, 0).r, 0.99f);
    EXPECT_LT(At(painter, 0, 0).g, 0.01f);
    EXPECT_GT(At(painter, 4, 4).b, 0.9f) << "the layer after the footage draws over it";
    scene.Draw(0.1, painter);
    EXPECT_GT(At(painter, 7, 7).g, 0.99f);
    scene.Draw(0.9, painter);
    EXPECT_GT(At(painter, 7, 7).g, 0.99f) << "the last frame holds";

    // A folder of its own in the statement; one without frames draws nothing.
    MovieScript named = Parse("movie size=8x8 rate=10 seconds=1\nfootage dir=" + scratch.Path("none") + "\n");
    MoviePainter empty(8, 8);
    MovieScene(named).Draw(0.0, empty);
    EXPECT_LT(At(empty, 3, 3).r, 0.01f);
}
