// The real executable as a new user meets it, headless, watched through its development hooks: the intro movie
// letterboxed, Space skipping it, the splash with the legal text, then the moving menu background with the
// version label.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "Tests/support/GameProcess.h"
#include "Tests/support/ScratchFolder.h"

namespace
{
using Frame = CapturedFrame;

// Runs kestrovane with the headless defaults and the run's own folders; the exit status, -1 on a time-out.
int RunGame(const ScratchFolder& scratch, const GameProcess::Environment& extra,
            const std::vector<std::string>& arguments)
{
    GameProcess game(scratch, "game");
    if (!game.Start(extra, arguments))
        return -1;
    return game.Wait();
}

bool Load(const std::string& path, Frame& frame)
{
    return frame.Load(path);
}

std::vector<std::string> Captures(const ScratchFolder& scratch)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.Path("frames")))
        names.push_back(entry.path().string());
    std::sort(names.begin(), names.end());
    return names;
}
}  // namespace

// The movie plays letterboxed (16:9 on 4:3), and Space ends it: the second pass starts long before the movie
// would have ended by itself.
TEST(kestrovane, IntroMovieIsLetterboxedAndSpaceSkipsIt)
{
    ScratchFolder scratch;
    std::filesystem::create_directories(scratch.Path("frames"));
    scratch.Write("space.txt", "40 key 57 down\n42 key 57 up\n");
    EXPECT_EQ(RunGame(scratch,
                      {{"WE_QUIT_AFTER_FRAMES", "150"},
                       {"WE_INPUT_SCRIPT", scratch.Path("space.txt")},
                       {"WE_CAPTURE_DIR", scratch.Path("frames")},
                       {"WE_CAPTURE_FRAMES", "30"}},
                      {}),
              0)
        << ScratchFolder::Read(scratch.Path("game.err"));
    const std::string error = ScratchFolder::Read(scratch.Path("game.err"));
    EXPECT_NE(error.find("pass 2 runs"), std::string::npos) << error;
    Frame frame;
    ASSERT_TRUE(Load(scratch.Path("frames/frame-00030.png"), frame));
    // Black bands above and below, the picture between them.
    EXPECT_EQ(frame.Bright(0.0f, 0.0f, 1.0f, 0.1f, 8), 0);
    EXPECT_EQ(frame.Bright(0.0f, 0.9f, 1.0f, 1.0f, 8), 0);
    EXPECT_GT(frame.Bright(0.0f, 0.2f, 1.0f, 0.8f, 20), 1000);
}

// After the intro: the splash with the legal text in its lower band, then the menu background moving behind
// the version label.
TEST(kestrovane, IntroSplashThenTheMenuBackground)
{
    ScratchFolder scratch;
    std::filesystem::create_directories(scratch.Path("frames"));
    scratch.Write("space.txt", "20 key 57 down\n22 key 57 up\n");
    EXPECT_EQ(RunGame(scratch,
                      {{"WE_QUIT_AFTER_FRAMES", "1500"},
                       {"WE_INPUT_SCRIPT", scratch.Path("space.txt")},
                       {"WE_CAPTURE_DIR", scratch.Path("frames")},
                       {"WE_CAPTURE_FRAMES", "every:25"}},
                      {}),
              0)
        << ScratchFolder::Read(scratch.Path("game.err"));
    bool splash = false;
    int menuFrames = 0;
    Frame previous;
    bool moved = false;
    for (const std::string& path : Captures(scratch))
    {
        Frame frame;
        ASSERT_TRUE(Load(path, frame)) << path;
        // The legal text: light letters in the band under the title.
        if (frame.Bright(0.1f, 0.75f, 0.9f, 0.97f, 150) > 100)
            splash = true;
        // The menu background with the version label in the lower right corner.
        const bool menu = splash && frame.Bright(0.85f, 0.955f, 1.0f, 0.995f, 80) > 10 &&
                          frame.Bright(0.0f, 0.0f, 1.0f, 0.9f, 30) > 5000;
        if (menu)
        {
            if (menuFrames > 0 && previous.pixels != frame.pixels)
                moved = true;
            previous = frame;
            ++menuFrames;
        }
    }
    EXPECT_TRUE(splash);
    EXPECT_GE(menuFrames, 2);
    EXPECT_TRUE(moved);
}
