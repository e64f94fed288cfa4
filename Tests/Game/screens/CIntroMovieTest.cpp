// The intro movie's screen rectangle, and a movie that cannot be opened.
#include <gtest/gtest.h>

#include "Game/screens/CIntroMovie.h"

TEST(CIntroPhaseMovie, LetterboxPillarboxAndExactFit)
{
    struct Case
    {
        int32_t videoW, videoH, screenW, screenH;
        int32_t x, y, w, h;
    };
    const Case cases[] = {
        {1280, 720, 1024, 768, 0, 96, 1024, 576},  // 16:9 on 4:3: full width, centred vertically
        {640, 480, 1280, 720, 160, 0, 960, 720},   // 4:3 on 16:9: width H x 4 / 3
        {800, 600, 1024, 768, 0, 0, 1024, 768},    // the screen's own aspect
        {640, 360, 1920, 1080, 0, 0, 1920, 1080},
    };
    for (const Case& c : cases)
    {
        CIntroMovie movie;
        movie.Place(c.videoW, c.videoH, c.screenW, c.screenH);
        EXPECT_EQ(movie.m_X, c.x);
        EXPECT_EQ(movie.m_Y, c.y);
        EXPECT_EQ(movie.m_Width, c.w);
        EXPECT_EQ(movie.m_Height, c.h);
    }
}

// A file that does not open leaves no renderer behind (the sanitizer build sees a leak otherwise).
TEST(CIntroPhaseMovie, AMissingFileIsNotOpenAndLeavesNoRenderer)
{
    CIntroMovie movie;
    EXPECT_FALSE(movie.Start("Movies/NoSuchMovie.seq"));
    EXPECT_EQ(movie.m_Opened, 0);
    EXPECT_EQ(movie.m_Playing, 0);
    EXPECT_EQ(movie.GetRenderer(), nullptr);
    movie.Update();
    movie.Close();
}
