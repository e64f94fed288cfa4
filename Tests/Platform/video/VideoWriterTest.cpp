#include "Platform/video/VideoWriter.h"
#include "Platform/video/VideoPlayer.h"
#include "Platform/video/VideoSink.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{

using namespace std::chrono_literals;

bool Exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

constexpr int Width = 64;
constexpr int Height = 48;
constexpr int Frames = 10;
constexpr int Rate = 22050;

// Frame i: a flat colour that changes from frame to frame.
std::vector<uint8_t> Picture(int i)
{
    std::vector<uint8_t> pixels(size_t(Width) * Height * 4);
    for (size_t p = 0; p < pixels.size(); p += 4)
    {
        pixels[p] = uint8_t(40 + 20 * i);  // B
        pixels[p + 1] = uint8_t(200 - 15 * i);
        pixels[p + 2] = uint8_t(i % 2 ? 230 : 30);  // R
        pixels[p + 3] = 255;
    }
    return pixels;
}

// A 441 Hz tone on the left, silence on the right, for one second at 10 frames a second.
bool WriteMovie(const std::string& path, bool sound)
{
    VideoWriter writer;
    VideoWriter::Settings settings;
    settings.width = Width;
    settings.height = Height;
    settings.frameRate = 10;
    settings.videoBitRate = 400000;
    settings.sampleRate = sound ? Rate : 0;
    if (!writer.Open(path, settings))
        return false;
    for (int i = 0; i < Frames; ++i)
    {
        if (!writer.WriteFrame(Picture(i).data()))
            return false;
        if (sound)
        {
            std::vector<float> samples(size_t(Rate / 10) * 2);
            for (int s = 0; s < Rate / 10; ++s)
            {
                double t = double(i * Rate / 10 + s) / Rate;
                samples[size_t(s) * 2] = float(0.5 * std::sin(2.0 * 3.14159265358979 * 441.0 * t));
                samples[size_t(s) * 2 + 1] = 0.0f;
            }
            if (!writer.WriteSound(samples.data(), Rate / 10))
                return false;
        }
    }
    return writer.Close();
}

class Playback : public VideoSink
{
public:
    void OnVideoFrame(const uint8_t* pixels, int width, int height, double) override
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        // The middle pixel, away from the block edges.
        const uint8_t* p = pixels + (size_t(height / 2) * width + width / 2) * 4;
        m_Colours.push_back({p[0], p[1], p[2]});
    }
    void OnAudio(const int16_t* samples, int frameCount, int channels, int sampleRate) override
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        m_Channels = channels;
        m_Rate = sampleRate;
        for (int i = 0; i < frameCount; ++i)
        {
            m_Left.push_back(samples[i * channels]);
            m_Right.push_back(channels > 1 ? samples[i * channels + 1] : 0);
        }
    }
    std::mutex m_Lock;
    std::vector<std::vector<uint8_t>> m_Colours;
    std::vector<int16_t> m_Left, m_Right;
    int m_Channels = 0;
    int m_Rate = 0;
};

bool Play(VideoPlayer& player, Playback& sink)
{
    player.SetSink(&sink);
    player.SetRealTime(false);
    player.Run();
    auto end = std::chrono::steady_clock::now() + 10s;
    while (!player.TakeCompletion())
    {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    player.Stop();
    return true;
}

TEST(VideoWriter, WrittenMoviePlaysBackWithItsPicturesAndSound)
{
    ScratchFolder scratch;
    const std::string path = scratch.Path("written.seq");
    ASSERT_TRUE(WriteMovie(path, true));
    VideoPlayer player;
    ASSERT_TRUE(player.Open(path, true));
    EXPECT_EQ(player.Width(), Width);
    EXPECT_EQ(player.Height(), Height);
    EXPECT_NEAR(player.Duration(), 1.0, 0.1);
    EXPECT_TRUE(player.HasSound());
    Playback sink;
    ASSERT_TRUE(Play(player, sink));
    player.Close();

    ASSERT_EQ(sink.m_Colours.size(), size_t(Frames));
    for (int i = 0; i < Frames; ++i)
    {
        std::vector<uint8_t> want = Picture(i);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(sink.m_Colours[i][c], want[c], 16) << "frame " << i << " channel " << c;
    }
    EXPECT_EQ(sink.m_Channels, 2);
    EXPECT_EQ(sink.m_Rate, Rate);
    EXPECT_NEAR(double(sink.m_Left.size()) / Rate, 1.0, 0.05);
    // The tone on the left at its pitch and level, the right silent.
    double leftPower = 0.0, rightPower = 0.0;
    int crossings = 0;
    const size_t from = Rate / 10, to = std::min(sink.m_Left.size(), size_t(Rate * 9 / 10));
    for (size_t i = from; i < to; ++i)
    {
        leftPower += double(sink.m_Left[i]) * sink.m_Left[i];
        rightPower += double(sink.m_Right[i]) * sink.m_Right[i];
        if ((sink.m_Left[i - 1] < 0) != (sink.m_Left[i] < 0))
            ++crossings;
    }
    const double seconds = double(to - from) / Rate;
    EXPECT_NEAR(std::sqrt(leftPower / double(to - from)) / 32768.0, 0.5 / std::sqrt(2.0), 0.05);
    EXPECT_LT(std::sqrt(rightPower / double(to - from)) / 32768.0, 0.01);
    EXPECT_NEAR(crossings / seconds / 2.0, 441.0, 5.0);
}

TEST(VideoWriter, TheSameInputGivesTheSameBytesAndSilentMoviesHaveNoTrack)
{
    ScratchFolder scratch;
    const std::string a = scratch.Path("a.seq"), b = scratch.Path("b.seq"), silent = scratch.Path("silent.seq");
    ASSERT_TRUE(WriteMovie(a, true));
    ASSERT_TRUE(WriteMovie(b, true));
    ASSERT_TRUE(WriteMovie(silent, false));
    const std::string first = ScratchFolder::Read(a);
    EXPECT_GT(first.size(), 1000u);
    EXPECT_TRUE(first == ScratchFolder::Read(b));
    VideoPlayer player;
    EXPECT_TRUE(player.Open(silent, true));
    EXPECT_FALSE(player.HasSound());
}

TEST(VideoWriter, BadSettingsAndMisuseFailAndLeaveNoFile)
{
    struct Case
    {
        const char* name;
        VideoWriter::Settings settings;
    };
    const Case cases[] = {
        {"odd width", {.width = 33, .height = 48}},
        {"no height", {.width = 64, .height = 0}},
        {"huge", {.width = 8192, .height = 48}},
        {"no frame rate", {.width = 64, .height = 48, .frameRate = 0}},
        {"no key interval", {.width = 64, .height = 48, .keyInterval = 0}},
        {"three channels", {.width = 64, .height = 48, .sampleRate = 22050, .channels = 3}},
        {"negative sample rate", {.width = 64, .height = 48, .sampleRate = -1}},
    };
    ScratchFolder scratch;
    const std::string path = scratch.Path("bad.seq");
    for (const Case& c : cases)
    {
        VideoWriter writer;
        EXPECT_FALSE(writer.Open(path, c.settings)) << c.name;
        EXPECT_FALSE(writer.Error().empty()) << c.name;
        EXPECT_FALSE(writer.WriteFrame(Picture(0).data())) << c.name;
        EXPECT_FALSE(writer.Close()) << c.name;
        EXPECT_FALSE(Exists(path)) << c.name;
    }

    VideoWriter writer;
    EXPECT_FALSE(writer.Open(scratch.Path("no_such_folder/x.seq"), {.width = 64, .height = 48}));

    // Sound for a movie without a track is refused, and the half-written file does not stay.
    VideoWriter silent;
    ASSERT_TRUE(silent.Open(path, {.width = 64, .height = 48}));
    ASSERT_TRUE(silent.WriteFrame(Picture(0).data()));
    float samples[2] = {0.0f, 0.0f};
    EXPECT_FALSE(silent.WriteSound(samples, 1));
    EXPECT_FALSE(silent.Close());
    EXPECT_FALSE(Exists(path));

    // Never closed: the file goes with the writer.
    {
        VideoWriter abandoned;
        ASSERT_TRUE(abandoned.Open(path, {.width = 64, .height = 48}));
        ASSERT_TRUE(abandoned.WriteFrame(Picture(0).data()));
        EXPECT_TRUE(Exists(path));
    }
    EXPECT_FALSE(Exists(path));
}

}  // namespace
