// The sound read ahead of the pictures: stated in terms of the order of the sink's calls, so the tests
// run as fast as the clips decode and need no sleeping.
#include "Platform/video/VideoPlayer.h"
#include "Platform/video/VideoSink.h"
#include "Tests/Platform/video/TestClipWriter.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{

using namespace std::chrono_literals;

// Every picture with the seconds of sound that had arrived before it.
struct Arrival
{
    double time;
    double soundBefore;
    uint8_t r;
};

class OrderSink : public VideoSink
{
public:
    void OnVideoFrame(const uint8_t* pixels, int, int, double time) override
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        m_Arrivals.push_back({time, double(m_SoundFrames) / ClipRate, pixels[2]});
        ++m_Calls;
    }

    void OnAudio(const int16_t* samples, int frameCount, int channels, int sampleRate) override
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        if (sampleRate != ClipRate || channels != 2 || samples[0] != ClipLeft || samples[1] != ClipRight)
            m_Wrong = true;
        m_SoundFrames += frameCount;
        ++m_Calls;
    }

    std::vector<Arrival> Arrivals()
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        return m_Arrivals;
    }
    int Calls()
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        return m_Calls;
    }
    long SoundFrames()
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        return m_SoundFrames;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        m_Arrivals.clear();
        m_SoundFrames = 0;
    }

    std::mutex m_Lock;
    std::vector<Arrival> m_Arrivals;
    long m_SoundFrames = 0;
    int m_Calls = 0;
    bool m_Wrong = false;
};

// Written once per process into its scratch folder, which goes when the process ends.
std::string Clip(const std::string& name, const ClipOptions& options)
{
    static ScratchFolder folder;
    static std::vector<std::string> written;
    const std::string path = folder.Path(name + ".seq");
    if (std::find(written.begin(), written.end(), name) == written.end())
    {
        if (!WriteClip(path, options))
            return "";
        written.push_back(name);
    }
    return path;
}

bool PlayToEnd(VideoPlayer& player)
{
    player.SetRealTime(false);
    if (!player.Run())
        return false;
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

// Pictures 0.1 s apart, each with its colour, in order.
void ExpectEveryFrame(const std::vector<Arrival>& arrivals, int frames)
{
    ASSERT_EQ(arrivals.size(), size_t(frames));
    for (int i = 0; i < frames; ++i)
    {
        EXPECT_NEAR(arrivals[i].time, i * 0.1, 0.01) << i;
        EXPECT_NEAR(arrivals[i].r, ClipColourOf(i).r, 24) << i;
    }
}

struct Interleaved
{
    const char* name;
    ClipOptions options;
};

// Sound written picture by picture, in two containers; pictures decoded out of order (the decoder holds
// some back); a clip shorter than the longer leads.
const Interleaved InterleavedClips[] = {
    {"ffv1_matroska", {.codec = "ffv1", .container = "matroska", .frames = 30}},
    {"mpeg4_avi", {.codec = "mpeg4", .container = "avi", .frames = 30}},
    {"mpeg4_bframes", {.codec = "mpeg4", .container = "matroska", .frames = 30, .bFrames = 2}},
    {"short", {.codec = "ffv1", .container = "matroska", .frames = 8}},
};

struct Lead
{
    const char* name;
    double seconds;  // negative: the default
};

// Leads up to the read-ahead's bound; on the short clip the longer ones reach past its end.
const Lead Leads[] = {{"default", -1.0}, {"none", 0.0}, {"quarter", 0.25}, {"one", 1.0}, {"one_and_a_half", 1.5}};

TEST(VideoPlayerReadAhead, SoundReachesTheSinkTheLeadAheadOfEveryFrame)
{
    for (const Interleaved& clip : InterleavedClips)
    {
        const std::string path = Clip(clip.name, clip.options);
        ASSERT_FALSE(path.empty()) << clip.name;
        const double end = clip.options.frames * 0.1;
        for (const Lead& lead : Leads)
        {
            SCOPED_TRACE(std::string(clip.name) + ", lead " + lead.name);
            OrderSink sink;
            VideoPlayer player;
            ASSERT_TRUE(player.Open(path, true));
            player.SetSink(&sink);
            if (lead.seconds >= 0.0)
                player.SetSoundLead(lead.seconds);
            const double l = lead.seconds >= 0.0 ? lead.seconds : VideoPlayer::DefaultSoundLead;
            ASSERT_TRUE(PlayToEnd(player));
            std::vector<Arrival> arrivals = sink.Arrivals();
            ExpectEveryFrame(arrivals, clip.options.frames);
            for (const Arrival& arrival : arrivals)
            {
                EXPECT_GE(arrival.soundBefore, std::min(arrival.time + l, end) - 1e-9) << arrival.time;
                // Ahead by the lead, not by whatever the bound allows: within one block of sound and
                // the pictures the decoder holds back for reordering.
                EXPECT_LE(arrival.soundBefore, arrival.time + l + 0.35) << arrival.time;
            }
            EXPECT_EQ(sink.SoundFrames(), long(clip.options.frames) * ClipRate / 10);
            EXPECT_FALSE(sink.m_Wrong);
        }
    }
}

TEST(VideoPlayerReadAhead, StopRunAndRewindKeepTheOrderAndLoseNothing)
{
    const std::string path = Clip("stops", {.codec = "mpeg4", .container = "matroska", .frames = 30, .bFrames = 2});
    ASSERT_FALSE(path.empty());
    for (int stopAfter : {1, 4, 17})
    {
        SCOPED_TRACE(stopAfter);
        OrderSink sink;
        VideoPlayer player;
        ASSERT_TRUE(player.Open(path, true));
        player.SetSink(&sink);
        // Real time: the stop lands a few pictures in, with pictures held and a block of sound decoded.
        ASSERT_TRUE(player.Run());
        auto limit = std::chrono::steady_clock::now() + 5s;
        while (sink.Arrivals().size() < size_t(stopAfter) && std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(1ms);
        player.Stop();
        ASSERT_LT(sink.Arrivals().size(), 30u);

        // Run goes on where it stood: every picture once, all the sound once, the lead kept.
        ASSERT_TRUE(PlayToEnd(player));
        std::vector<Arrival> arrivals = sink.Arrivals();
        ExpectEveryFrame(arrivals, 30);
        for (const Arrival& arrival : arrivals)
            EXPECT_GE(arrival.soundBefore, std::min(arrival.time + 0.5, 3.0) - 1e-9) << arrival.time;
        EXPECT_EQ(sink.SoundFrames(), 30L * ClipRate / 10);

        // A rewind starts the sound again with the first pictures.
        sink.Clear();
        ASSERT_TRUE(player.Rewind());
        ASSERT_TRUE(PlayToEnd(player));
        arrivals = sink.Arrivals();
        ExpectEveryFrame(arrivals, 30);
        for (const Arrival& arrival : arrivals)
            EXPECT_GE(arrival.soundBefore, std::min(arrival.time + 0.5, 3.0) - 1e-9) << arrival.time;
        EXPECT_EQ(sink.SoundFrames(), 30L * ClipRate / 10);
        EXPECT_FALSE(sink.m_Wrong);
    }
}

TEST(VideoPlayerReadAhead, PauseHoldsTheSoundAsWellAsThePictures)
{
    const std::string path = Clip("pause", {.codec = "ffv1", .container = "matroska", .frames = 30});
    ASSERT_FALSE(path.empty());
    OrderSink sink;
    VideoPlayer player;
    ASSERT_TRUE(player.Open(path, true));
    player.SetSink(&sink);
    ASSERT_TRUE(player.Run());
    auto limit = std::chrono::steady_clock::now() + 5s;
    while (sink.Arrivals().empty() && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(1ms);
    player.Pause();
    // At most the one call already on its way when the pause came; playing on would have made several.
    const int calls = sink.Calls();
    std::this_thread::sleep_for(250ms);
    EXPECT_LE(sink.Calls(), calls + 1);
    EXPECT_LT(sink.Arrivals().size(), 30u);

    ASSERT_TRUE(PlayToEnd(player));
    ExpectEveryFrame(sink.Arrivals(), 30);
    EXPECT_EQ(sink.SoundFrames(), 30L * ClipRate / 10);
}

TEST(VideoPlayerReadAhead, PicturesStillAppearAtTheirTimes)
{
    const std::string path = Clip("realtime", {.codec = "ffv1", .container = "matroska", .frames = 30});
    ASSERT_FALSE(path.empty());
    OrderSink sink;
    VideoPlayer player;
    ASSERT_TRUE(player.Open(path, true));
    player.SetSink(&sink);
    player.SetSoundLead(1.0);
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(player.Run());
    auto limit = start + 5s;
    while (sink.Arrivals().size() < 4 && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(1ms);
    auto elapsed = std::chrono::steady_clock::now() - start;
    player.Stop();
    EXPECT_GE(elapsed, 280ms) << "frames 0..3 span 0.3 s";
    std::vector<Arrival> arrivals = sink.Arrivals();
    ASSERT_GE(arrivals.size(), 4u);
    EXPECT_GE(arrivals[0].soundBefore, 1.0 - 1e-9);
}

struct BadlyInterleaved
{
    const char* name;
    ClipOptions options;
    // The seconds of sound the file holds before the picture of time t, reading in file order.
    double (*soundBeside)(double t);
};

TEST(VideoPlayerReadAhead, BadlyInterleavedClipsPlayCompletelyWithinTheBound)
{
    const BadlyInterleaved clips[] = {
        // Every picture first (4 s of them), then all the sound.
        {"not_interleaved",
         {.codec = "ffv1", .container = "matroska", .frames = 40, .interleave = false},
         [](double t) { return t < 3.9 ? 0.0 : 4.0; }},
        // The sound for the picture of time t lies beside the picture of t + 3 s; its last 3 s after the
        // last picture.
        {"sound_stamped_late",
         {.codec = "ffv1", .container = "matroska", .frames = 60, .audioShift = 3.0},
         [](double t) { return t < 5.9 ? std::max(t - 3.0, 0.0) : 6.0; }},
    };
    for (const BadlyInterleaved& clip : clips)
    {
        SCOPED_TRACE(clip.name);
        const std::string path = Clip(clip.name, clip.options);
        ASSERT_FALSE(path.empty());
        OrderSink sink;
        VideoPlayer player;
        ASSERT_TRUE(player.Open(path, true));
        player.SetSink(&sink);
        ASSERT_TRUE(PlayToEnd(player));
        std::vector<Arrival> arrivals = sink.Arrivals();
        ExpectEveryFrame(arrivals, clip.options.frames);
        EXPECT_EQ(sink.SoundFrames(), long(clip.options.frames) * ClipRate / 10);
        EXPECT_FALSE(sink.m_Wrong);
        // Held to about two seconds of pictures (and a frame or two that the reading stands on): an
        // unbounded read-ahead would deliver the lead in full from the first picture on.
        for (const Arrival& arrival : arrivals)
            EXPECT_LE(arrival.soundBefore, clip.soundBeside(arrival.time + 2.2)) << arrival.time;
        EXPECT_EQ(arrivals.front().soundBefore, 0.0);
    }
}

}  // namespace
