// The real executable started as a user would, headless: its exit statuses, the single instance, the engine's
// failures and the development hooks. Each run gets a data home and a runtime folder of its own, so that runs in
// parallel never meet on the lock or the save folder.
#include "Platform/gfx_d3dx/ImageData.h"
#include "Platform/gfx_d3dx/ImageFile.h"
#include "Tests/support/GameProcess.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace
{
bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}
}  // namespace

// Both passes run and the run ends cleanly after the frame count; the options file is not written by a run.
TEST(kestrovane, TwoPasses)
{
    ScratchFolder scratch;
    // Space skips each of the two intro pictures, which ends pass 1.
    scratch.Write("skip.txt", "2 key 57 down\n3 key 57 up\n6 key 57 down\n7 key 57 up\n");
    GameProcess game(scratch, "game");
    ASSERT_TRUE(game.Start({{"WE_QUIT_AFTER_FRAMES", "40"}, {"WE_INPUT_SCRIPT", scratch.Path("skip.txt")}}));
    EXPECT_EQ(game.Wait(), 0) << game.Error();
    EXPECT_TRUE(Contains(game.Error(), "pass 1 runs")) << game.Error();
    EXPECT_TRUE(Contains(game.Error(), "pass 2 runs at 800 x 600, window mode 2")) << game.Error();
    // The run's log lies beside the saves, not in the game's folder.
    const std::string saves = scratch.Path("data") + "/Kestrovane Demo";
    EXPECT_TRUE(std::filesystem::is_directory(saves));
    bool logged = false;
    for (const auto& entry : std::filesystem::directory_iterator(saves))
        logged = logged || entry.path().filename().string().rfind("debug-", 0) == 0;
    EXPECT_TRUE(logged);
}

// A window-manager close in pass 1 starts no pass 2.
TEST(kestrovane, CloseDuringPassOne)
{
    ScratchFolder scratch;
    scratch.Write("close.txt", "# the window manager's close at once\n0 close\n");
    GameProcess game(scratch, "game");
    ASSERT_TRUE(game.Start({{"WE_INPUT_SCRIPT", scratch.Path("close.txt")}}));
    EXPECT_EQ(game.Wait(), 0) << game.Error();
    EXPECT_TRUE(Contains(game.Error(), "pass 1 runs")) << game.Error();
    EXPECT_FALSE(Contains(game.Error(), "pass 2 runs")) << game.Error();
}

// A device that cannot start shows the box's caption and the engine's text in each pass, and the run exits 1.
TEST(kestrovane, EngineStartFailures)
{
    struct Case
    {
        const char* variable;
        const char* value;
        const char* text;
    };
    const Case cases[] = {
        {"MESA_GL_VERSION_OVERRIDE", "3.0", "Error initializing game engine: Error: Invalid DirectX version"},
        {"ALSOFT_DRIVERS", "none", "Error initializing game engine: "},
    };
    for (const Case& c : cases)
    {
        ScratchFolder scratch;
        GameProcess game(scratch, "game");
        ASSERT_TRUE(game.Start({{c.variable, c.value}, {"WE_QUIT_AFTER_FRAMES", "20"}}));
        EXPECT_EQ(game.Wait(), 1) << c.variable << ": " << game.Error();
        const std::string error = game.Error();
        const size_t first = error.find(c.text);
        ASSERT_NE(first, std::string::npos) << error;
        EXPECT_NE(error.find(c.text, first + 1), std::string::npos) << "once in each pass: " << error;
    }
}

// A window that cannot be created ends the pass with a line naming it, and the run exits 1.
TEST(kestrovane, NoWindow)
{
    ScratchFolder scratch;
    GameProcess game(scratch, "game");
    ASSERT_TRUE(game.Start({{"SDL_VIDEODRIVER", "no-such-driver"}}));
    EXPECT_EQ(game.Wait(), 1) << game.Error();
    EXPECT_TRUE(Contains(game.Error(), "the game window (800 x 600) could not be created")) << game.Error();
}

// A second instance says so and exits 0 while the first runs; after the first is killed, the game starts again.
TEST(kestrovane, SingleInstance)
{
    ScratchFolder scratch;
    GameProcess first(scratch, "first");
    ASSERT_TRUE(first.Start({}));
    ASSERT_TRUE(first.WaitForError("pass 2 runs")) << first.Error();

    GameProcess second(scratch, "second");
    ASSERT_TRUE(second.Start({}));
    EXPECT_EQ(second.Wait(), 0) << second.Error();
    EXPECT_TRUE(Contains(second.Error(), "Game is already running!")) << second.Error();
    EXPECT_FALSE(Contains(second.Error(), "pass 1 runs"));

    first.Kill();
    GameProcess third(scratch, "third");
    ASSERT_TRUE(third.Start({{"WE_QUIT_AFTER_FRAMES", "5"}}));
    EXPECT_EQ(third.Wait(), 0) << third.Error();
    // The intro takes the first frames: the run starts, whichever pass the frame count ends in.
    EXPECT_TRUE(Contains(third.Error(), "pass 1 runs")) << third.Error();
    EXPECT_FALSE(Contains(third.Error(), "Game is already running!"));
}

// F9 from a script and a captured frame: a PNG of the window's size in which the overlay's text shows.
TEST(kestrovane, CaptureWithTheFrameRateOverlay)
{
    ScratchFolder scratch;
    scratch.Write("f9.txt", "20 key 67 down\n22 key 67 up\n");
    std::filesystem::create_directories(scratch.Path("frames"));
    GameProcess game(scratch, "game");
    // With the intro movie, drawn under the overlay and letterboxed, so that the overlay's corner is dark but
    // for the overlay (a full-screen picture of the UI would cover it).
    ASSERT_TRUE(game.Start({{"WE_QUIT_AFTER_FRAMES", "60"},
                            {"WE_INPUT_SCRIPT", scratch.Path("f9.txt")},
                            {"WE_CAPTURE_DIR", scratch.Path("frames")},
                            {"WE_CAPTURE_FRAMES", "10,50"}},
                           {}));
    EXPECT_EQ(game.Wait(), 0) << game.Error();
    // Light pixels in the overlay's corner (the lower left), in the movie's lower black band.
    auto cornerLights = [&](const std::string& name)
    {
        const std::string bytes = ScratchFolder::Read(scratch.Path("frames/" + name));
        ImageData image;
        ImageFileType type;
        int lights = 0;
        EXPECT_TRUE(ImageFile::Decode(bytes.data(), bytes.size(), &image, &type)) << name;
        if (image.subs.empty())
            return lights;
        EXPECT_EQ(image.width, 800u);
        EXPECT_EQ(image.height, 600u);
        const ImageLevel& level = image.subs[0];
        for (uint32_t y = image.height * 94 / 100; y < image.height; ++y)
            for (uint32_t x = 0; x < image.width / 5; ++x)
            {
                uint32_t pixel = 0;
                std::memcpy(&pixel, &level.bytes[(size_t(y) * image.width + x) * 4], 4);
                const uint32_t r = pixel >> 16 & 0xFF, g = pixel >> 8 & 0xFF, b = pixel & 0xFF;
                lights += std::max({r, g, b}) > 128 ? 1 : 0;
            }
        return lights;
    };
    // Before F9 no overlay; after it the overlay's text.
    EXPECT_EQ(cornerLights("frame-00010.png"), 0);
    EXPECT_GT(cornerLights("frame-00050.png"), 0);
}

// A bad script line or capture list refuses to start, naming the place.
TEST(kestrovane, BadHooksRefuseToStart)
{
    ScratchFolder scratch;
    scratch.Write("bad.txt", "# fine\n10 key 30 down\n\n12 jump high\n");
    GameProcess script(scratch, "script");
    ASSERT_TRUE(script.Start({{"WE_INPUT_SCRIPT", scratch.Path("bad.txt")}}));
    EXPECT_EQ(script.Wait(), 2);
    EXPECT_TRUE(Contains(script.Error(), scratch.Path("bad.txt") + ":4: unknown event \"jump\"")) << script.Error();
    EXPECT_FALSE(Contains(script.Error(), "pass 1 runs"));

    GameProcess frames(scratch, "frames");
    ASSERT_TRUE(frames.Start({{"WE_CAPTURE_DIR", scratch.Path("")}, {"WE_CAPTURE_FRAMES", "1,two"}}));
    EXPECT_EQ(frames.Wait(), 2);
    EXPECT_TRUE(Contains(frames.Error(), "WE_CAPTURE_FRAMES: \"two\" is not a frame number")) << frames.Error();
}

// On the fixed step the run says where it is at each change of the top phase: the intro first, then the start-up
// screens of pass 2.
TEST(kestrovane, FixedStepRunNamesItsPhases)
{
    ScratchFolder scratch;
    scratch.Write("skip.txt", "2 key 57 down\n3 key 57 up\n6 key 57 down\n7 key 57 up\n");
    GameProcess game(scratch, "game");
    ASSERT_TRUE(game.Start({{"WE_QUIT_AFTER_FRAMES", "40"},
                            {"WE_INPUT_SCRIPT", scratch.Path("skip.txt")},
                            {"WE_FIXED_STEP", "0.02"},
                            {"WE_AUTOPILOT", "1"}}));
    EXPECT_EQ(game.Wait(), 0) << game.Error();
    const std::string error = game.Error();
    const size_t intro = error.find("phase CIntroPhase");
    ASSERT_NE(intro, std::string::npos) << error;
    const size_t pass2 = error.find("pass 2 runs");
    ASSERT_NE(pass2, std::string::npos) << error;
    EXPECT_NE(error.find("phase C", pass2), std::string::npos) << "pass 2's first screen is named:\n" << error;
}
