// wemovie end to end, and the pack's movies as the build wrote them.
#include "Platform/video/VideoPlayer.h"
#include "Platform/video/VideoSink.h"
#include "Tests/support/ScratchFolder.h"
#include "Tools/movie/MoviePainter.h"
#include "Tools/movie/MovieScene.h"
#include "Tools/movie/MovieScript.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>

namespace
{

using namespace std::chrono_literals;

bool Exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// Runs the tool; its exit status, with what it printed in `output`.
int RunTool(const std::string& arguments, std::string& output)
{
    std::string command = std::string(WE_WEMOVIE) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    output.clear();
    char buffer[256];
    while (size_t got = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, got);
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Played
{
    int frames = 0;
    double soundSeconds = 0.0;
};

class Counter : public VideoSink
{
public:
    void OnVideoFrame(const uint8_t*, int, int, double) override
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        ++m_Played.frames;
    }
    void OnAudio(const int16_t*, int frameCount, int, int sampleRate) override
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        m_Played.soundSeconds += double(frameCount) / sampleRate;
    }
    std::mutex m_Lock;
    Played m_Played;
};

bool PlayAll(VideoPlayer& player, Played& played)
{
    Counter counter;
    player.SetSink(&counter);
    player.SetRealTime(false);
    player.Run();
    auto end = std::chrono::steady_clock::now() + 30s;
    while (!player.TakeCompletion())
    {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    player.Stop();
    player.SetSink(nullptr);
    played = counter.m_Played;
    return true;
}

TEST(MovieTool, WritesAMovieThatPlaysAsDescribedWithItsSheetAndTheSameBytesAgain)
{
    ScratchFolder scratch;
    const std::string description = scratch.Path("small.txt");
    std::ofstream(description) << "movie size=96x64 rate=10 seconds=1.5\n"
                                  "fade in=0.3 out=0.3\n"
                                  "sound rate=22050\n"
                                  "gradient from=#FF0B1020 to=#FF2A3140 angle=90\n"
                                  "polygon radius=0.3 sides=6 outline=0.03 spin=60 colour=#FFFFB020 glow=0.02\n"
                                  "text size=0.2 string=GO colour=#FF35E0FF\n"
                                  "tone freq=220,330 wave=saw cutoff=1500 attack=0.05 release=0.3\n";
    const std::string movie = scratch.Path("small.seq"), again = scratch.Path("again.seq");
    const std::string sheet = scratch.Path("small.png");
    std::string output;
    ASSERT_EQ(RunTool("--preview " + sheet + " " + description + " " + movie, output), 0) << output;
    EXPECT_NE(output.find("15 frames"), std::string::npos) << output;
    ASSERT_EQ(RunTool(description + " " + again, output), 0) << output;
    EXPECT_TRUE(ScratchFolder::Read(movie) == ScratchFolder::Read(again))
        << "the same description gives the same bytes";
    EXPECT_EQ(ScratchFolder::Read(sheet).substr(1, 3), "PNG");

    VideoPlayer player;
    ASSERT_TRUE(player.Open(movie, true));
    EXPECT_EQ(player.Width(), 96);
    EXPECT_EQ(player.Height(), 64);
    EXPECT_TRUE(player.HasSound());
    Played played;
    ASSERT_TRUE(PlayAll(player, played));
    EXPECT_EQ(played.frames, 15);
    EXPECT_NEAR(played.soundSeconds, 1.5, 0.05);
}

TEST(MovieTool, AFaultyDescriptionStopsWithItsLineAndLeavesNoMovie)
{
    ScratchFolder scratch;
    const std::string description = scratch.Path("faulty.txt");
    std::ofstream(description) << "movie size=96x64 rate=10 seconds=1\npolygon sides=three\n";
    const std::string movie = scratch.Path("faulty.seq");
    std::string output;
    EXPECT_EQ(RunTool(description + " " + movie, output), 1);
    EXPECT_NE(output.find(description + ":2: bad value for \"sides\""), std::string::npos) << output;
    EXPECT_FALSE(Exists(movie));
    EXPECT_FALSE(Exists(movie + ".part"));

    EXPECT_EQ(RunTool(scratch.Path("missing.txt") + " " + movie, output), 1);
    EXPECT_NE(output.find("cannot read"), std::string::npos) << output;
    EXPECT_EQ(RunTool(description, output), 2);
    EXPECT_EQ(RunTool("--loud " + description + " " + movie, output), 2);
}

struct PackMovie
{
    const char* file;
    int width, height;
    int frames;
    bool sound;
};

TEST(MoviePack, TheMoviesTheGameOpensAreThereAtTheirSizesAndSmall)
{
    const PackMovie movies[] = {
        {"Intro.seq", 640, 360, 150, true},
        {"menu.seq", 640, 480, 200, false},
    };
    for (const PackMovie& want : movies)
    {
        SCOPED_TRACE(want.file);
        const std::string path = std::string(WE_MOVIES_OUT) + "/" + want.file;
        struct stat info;
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_LT(info.st_size, 2 * 1024 * 1024);
        VideoPlayer player;
        ASSERT_TRUE(player.Open(path, true));
        EXPECT_EQ(player.Width(), want.width);
        EXPECT_EQ(player.Height(), want.height);
        EXPECT_NEAR(player.Duration(), want.frames / 25.0, 0.1);
        EXPECT_EQ(player.HasSound(), want.sound);
        Played played;
        ASSERT_TRUE(PlayAll(player, played));
        EXPECT_EQ(played.frames, want.frames);
        if (want.sound)
        {
            EXPECT_NEAR(played.soundSeconds, want.frames / 25.0, 0.05);
        }
    }
}

TEST(MoviePack, TheMenuMovieLoopsWithoutASeam)
{
    std::ifstream in(std::string(WE_MOVIE_SOURCES) + "/Menu.txt");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    MovieScript script;
    std::string error;
    ASSERT_TRUE(script.Parse(text, "Menu.txt", error)) << error;
    EXPECT_EQ(script.sampleRate, 0) << "the menu music plays beside it";
    MovieScene scene(script);
    // The frame after the last is the first again, and nothing fades at the ends.
    const double loop = double(script.FrameCount()) / script.rate;
    MoviePainter first(script.width, script.height), after(script.width, script.height);
    scene.Draw(0.0, first);
    scene.Draw(loop, after);
    float worst = 0.0f;
    for (int y = 0; y < script.height; ++y)
        for (int x = 0; x < script.width; ++x)
        {
            float a[3], b[3];
            first.Pixel(x, y, a);
            after.Pixel(x, y, b);
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::fabs(a[c] - b[c]));
        }
    EXPECT_LT(worst, 1.0f / 255.0f);
    EXPECT_DOUBLE_EQ(scene.Brightness(0.0), 1.0);
    EXPECT_DOUBLE_EQ(scene.Brightness(loop - 1.0 / script.rate), 1.0);
}

}  // namespace
