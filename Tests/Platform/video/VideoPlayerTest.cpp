#include "Platform/video/VideoPlayer.h"
#include "Platform/video/VideoSink.h"
#include "Tests/Platform/video/TestClipWriter.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{

using namespace std::chrono_literals;

struct SeenFrame
{
    double time;
    uint8_t b, g, r;
    bool uniform;  // every pixel within the tolerance of the first
};

class RecordingSink : public VideoSink
{
public:
    explicit RecordingSink(int tolerance = 255) : m_Tolerance(tolerance) {}

    void OnVideoFrame(const uint8_t* pixels, int width, int height, double time) override
    {
        SeenFrame seen{time, pixels[0], pixels[1], pixels[2], true};
        for (int i = 0; i < width * height * 4; i += 4)
            for (int c = 0; c < 3; ++c)
                if (std::abs(int(pixels[i + c]) - int(pixels[c])) > m_Tolerance)
                    seen.uniform = false;
        std::lock_guard<std::mutex> guard(m_Lock);
        m_Frames.push_back(seen);
        if (m_Slow)
            std::this_thread::sleep_for(20ms);
        ++m_Calls;
    }

    void OnAudio(const int16_t* samples, int frameCount, int channels, int sampleRate) override
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        m_Channels = channels;
        m_Rate = sampleRate;
        m_AudioFrames += frameCount;
        for (int i = 0; i < frameCount * channels; ++i)
            if (samples[i] != (channels == 2 && i % 2 ? ClipRight : ClipLeft))
                m_AudioMismatch = true;
        ++m_Calls;
    }

    std::vector<SeenFrame> Frames()
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        return m_Frames;
    }
    size_t FrameCount()
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        return m_Frames.size();
    }

    int m_Tolerance;
    std::mutex m_Lock;
    std::vector<SeenFrame> m_Frames;
    std::atomic<int> m_Calls{0};
    bool m_Slow = false;
    int m_Channels = 0;
    int m_Rate = 0;
    long m_AudioFrames = 0;
    bool m_AudioMismatch = false;
};

// Generous: a damaged header may claim a picture of 4096 x 4096, to which every frame is then scaled, and
// the tests share the machine with others.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = 20000ms)
{
    auto end = std::chrono::steady_clock::now() + limit;
    while (!done())
    {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

bool Near(uint8_t got, uint8_t want, int tolerance)
{
    return std::abs(int(got) - int(want)) <= tolerance;
}

struct Clip
{
    const char* name;
    ClipOptions options;
    int tolerance;  // per channel, after the codec's round trip
};

const Clip ClipCases[] = {
    {"mpeg4_avi", {"mpeg4", "avi"}, 24},
    {"ffv1_matroska", {"ffv1", "matroska"}, 4},
};

void PrintTo(const Clip& clip, std::ostream* os)
{
    *os << clip.name;
}

// The clips and files of this process's tests, in a scratch folder that goes when the process ends; the
// clips are written once per process and shared by its tests.
std::string TempPath(const std::string& name)
{
    static ScratchFolder folder;
    return folder.Path(name);
}

class VideoPlayerClip : public ::testing::TestWithParam<Clip>
{
protected:
    static void SetUpTestSuite()
    {
        for (const Clip& clip : ClipCases)
            ASSERT_TRUE(WriteClip(TempPath(std::string(clip.name) + ".seq"), clip.options)) << clip.name;
    }
    std::string Path() const { return TempPath(std::string(GetParam().name) + ".seq"); }
};

TEST_P(VideoPlayerClip, OpenReportsSizeDurationAndSound)
{
    VideoPlayer player;
    ASSERT_TRUE(player.Open(Path(), true));
    EXPECT_EQ(player.Width(), ClipWidth);
    EXPECT_EQ(player.Height(), ClipHeight);
    EXPECT_NEAR(player.Duration(), 1.0, 0.15);
    EXPECT_TRUE(player.HasSound());
    EXPECT_FALSE(player.IsRunning());
    EXPECT_EQ(player.TakeNewestFrame(), nullptr);

    ASSERT_TRUE(player.Open(Path(), false));
    EXPECT_FALSE(player.HasSound());
}

TEST_P(VideoPlayerClip, PlaysEveryFrameInOrderWithItsColourThenCompletes)
{
    const int tolerance = GetParam().tolerance;
    RecordingSink sink(tolerance);
    VideoPlayer player;
    ASSERT_TRUE(player.Open(Path(), true));
    player.SetSink(&sink);
    player.SetRealTime(false);
    ASSERT_TRUE(player.Run());
    ASSERT_TRUE(WaitFor([&] { return player.TakeCompletion(); }));
    EXPECT_FALSE(player.TakeCompletion()) << "one event per end reached";

    std::vector<SeenFrame> frames = sink.Frames();
    ASSERT_EQ(frames.size(), 10u);
    for (int i = 0; i < 10; ++i)
    {
        ClipColour want = ClipColourOf(i);
        EXPECT_NEAR(frames[i].time, i * 0.1, 0.01) << i;
        // Memory order B, G, R, X.
        EXPECT_TRUE(Near(frames[i].b, want.b, tolerance) && Near(frames[i].g, want.g, tolerance) &&
                    Near(frames[i].r, want.r, tolerance))
            << "frame " << i << ": " << int(frames[i].r) << "," << int(frames[i].g) << "," << int(frames[i].b);
        EXPECT_TRUE(frames[i].uniform) << i;
    }
    EXPECT_NEAR(player.Position(), 0.9, 0.01);

    uint32_t serial = 0;
    const uint8_t* newest = player.TakeNewestFrame(&serial);
    ASSERT_NE(newest, nullptr);
    EXPECT_EQ(serial, 10u);
    EXPECT_TRUE(Near(newest[2], ClipColourOf(9).r, tolerance) && Near(newest[0], ClipColourOf(9).b, tolerance));

    player.Stop();
    EXPECT_EQ(sink.m_Channels, 2);
    EXPECT_EQ(sink.m_Rate, ClipRate);
    EXPECT_EQ(sink.m_AudioFrames, long(ClipRate));
    EXPECT_FALSE(sink.m_AudioMismatch) << "left and right interleaved";
}

TEST_P(VideoPlayerClip, WithoutSoundNoAudioIsDelivered)
{
    RecordingSink sink;
    VideoPlayer player;
    ASSERT_TRUE(player.Open(Path(), false));
    player.SetSink(&sink);
    player.SetRealTime(false);
    player.Run();
    ASSERT_TRUE(WaitFor([&] { return player.TakeCompletion(); }));
    player.Stop();
    EXPECT_EQ(sink.FrameCount(), 10u);
    EXPECT_EQ(sink.m_AudioFrames, 0);
}

TEST_P(VideoPlayerClip, RewindPlaysAgainAndRunningAtTheEndCompletesAgain)
{
    RecordingSink sink;
    VideoPlayer player;
    ASSERT_TRUE(player.Open(Path(), true));
    player.SetSink(&sink);
    player.SetRealTime(false);
    player.Run();
    ASSERT_TRUE(WaitFor([&] { return player.TakeCompletion(); }));

    // Looping: rewind while running, playback goes on from the first frame.
    ASSERT_TRUE(player.Rewind());
    EXPECT_TRUE(player.IsRunning());
    ASSERT_TRUE(WaitFor([&] { return player.TakeCompletion(); }));
    std::vector<SeenFrame> frames = sink.Frames();
    ASSERT_EQ(frames.size(), 20u);
    EXPECT_NEAR(frames[10].time, 0.0, 0.01);
    EXPECT_EQ(frames[10].r, frames[0].r);
    EXPECT_EQ(frames[19].r, frames[9].r);
    EXPECT_EQ(sink.m_AudioFrames, 2L * ClipRate);

    // Not looping: stopped at the end, run again where it stands: the end comes again, no frames.
    player.Stop();
    ASSERT_TRUE(player.Run());
    ASSERT_TRUE(WaitFor([&] { return player.TakeCompletion(); }));
    player.Stop();
    EXPECT_EQ(sink.FrameCount(), 20u);

    // Rewound while stopped: stays stopped, then plays from the start.
    ASSERT_TRUE(player.Rewind());
    EXPECT_FALSE(player.IsRunning());
    EXPECT_EQ(player.Position(), 0.0);
    player.Run();
    ASSERT_TRUE(WaitFor([&] { return player.TakeCompletion(); }));
    EXPECT_EQ(sink.FrameCount(), 30u);
}

INSTANTIATE_TEST_SUITE_P(Clips, VideoPlayerClip, ::testing::ValuesIn(ClipCases),
                         [](const ::testing::TestParamInfo<Clip>& info) { return std::string(info.param.name); });

class VideoPlayerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(WriteClip(ClipPath(), {"mpeg4", "avi"})); }
    static std::string ClipPath() { return TempPath("realtime.seq"); }
};

TEST_F(VideoPlayerTest, RealTimeStopIsCleanAndKeepsThePosition)
{
    RecordingSink sink;
    sink.m_Slow = true;  // Stop must wait out a callback in progress
    VideoPlayer player;
    ASSERT_TRUE(player.Open(ClipPath(), true));
    player.SetSink(&sink);
    player.Run();
    ASSERT_TRUE(WaitFor([&] { return sink.FrameCount() >= 3; }));
    player.Stop();
    int calls = sink.m_Calls;
    std::vector<SeenFrame> frames = sink.Frames();
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(sink.m_Calls, calls) << "a callback after Stop returned";
    EXPECT_FALSE(player.IsRunning());
    EXPECT_FALSE(player.TakeCompletion());
    // Frames follow their presentation times, 0.1 s apart.
    ASSERT_GE(frames.size(), 3u);
    EXPECT_LT(frames.size(), 10u);

    // Run goes on with the next frame, not from the start.
    size_t before = frames.size();
    player.SetRealTime(false);
    player.Run();
    ASSERT_TRUE(WaitFor([&] { return player.TakeCompletion(); }));
    player.Stop();
    frames = sink.Frames();
    ASSERT_EQ(frames.size(), 10u);
    EXPECT_NEAR(frames[before].time, double(before) * 0.1, 0.01);
}

TEST_F(VideoPlayerTest, RealTimeFramesKeepTheirSpacing)
{
    RecordingSink sink;
    VideoPlayer player;
    ASSERT_TRUE(player.Open(ClipPath(), false));
    player.SetSink(&sink);
    auto start = std::chrono::steady_clock::now();
    player.Run();
    ASSERT_TRUE(WaitFor([&] { return sink.FrameCount() >= 4; }));
    auto elapsed = std::chrono::steady_clock::now() - start;
    player.Stop();
    EXPECT_GE(elapsed, 280ms) << "frames 0..3 span 0.3 s";
}

TEST_F(VideoPlayerTest, RealTimeEndComesAfterTheLastFrameHasBeenShown)
{
    // Ten frames 0.1 s apart: the last one is shown at 0.9 s and stays for its 0.1 s, so a looping movie
    // does not cut it short and a movie that ends is not taken away as its last frame appears.
    RecordingSink sink;
    VideoPlayer player;
    ASSERT_TRUE(player.Open(ClipPath(), false));
    player.SetSink(&sink);
    player.Run();
    ASSERT_TRUE(WaitFor([&] { return sink.FrameCount() >= 1; }));
    auto first = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitFor([&] { return player.TakeCompletion(); }));
    auto elapsed = std::chrono::steady_clock::now() - first;
    EXPECT_EQ(sink.FrameCount(), 10u);
    EXPECT_GE(elapsed, 960ms);

    // Paused on the last frame: the end waits for the pause.
    ASSERT_TRUE(player.Rewind());
    ASSERT_TRUE(WaitFor([&] { return sink.FrameCount() >= 20; }));
    player.Pause();
    std::this_thread::sleep_for(250ms);
    EXPECT_FALSE(player.TakeCompletion()) << "the end came while paused";
    player.Run();
    EXPECT_TRUE(WaitFor([&] { return player.TakeCompletion(); }));
}

TEST_F(VideoPlayerTest, PauseHoldsAndRunResumes)
{
    RecordingSink sink;
    VideoPlayer player;
    ASSERT_TRUE(player.Open(ClipPath(), false));
    player.SetSink(&sink);
    player.Run();
    ASSERT_TRUE(WaitFor([&] { return sink.FrameCount() >= 1; }));
    player.Pause();
    EXPECT_FALSE(player.IsRunning());
    size_t held = sink.FrameCount();
    std::this_thread::sleep_for(250ms);
    EXPECT_LE(sink.FrameCount(), held + 1) << "at most the frame already due when paused";
    held = sink.FrameCount();
    player.SetRealTime(false);
    player.Run();
    ASSERT_TRUE(WaitFor([&] { return player.TakeCompletion(); }));
    EXPECT_EQ(sink.FrameCount(), 10u);
}

TEST_F(VideoPlayerTest, ClosingOrDestroyingWhilePlayingStopsTheThread)
{
    RecordingSink sink;
    {
        VideoPlayer player;
        ASSERT_TRUE(player.Open(ClipPath(), true));
        player.SetSink(&sink);
        player.Run();
        ASSERT_TRUE(WaitFor([&] { return sink.FrameCount() >= 1; }));
        player.Close();
        EXPECT_FALSE(player.IsOpen());
        EXPECT_FALSE(player.Run());
        EXPECT_EQ(player.TakeNewestFrame(), nullptr);

        ASSERT_TRUE(player.Open(ClipPath(), true));
        player.Run();
    }
    int calls = sink.m_Calls;
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(sink.m_Calls, calls);
}

TEST_F(VideoPlayerTest, NamesAreFileNames)
{
    // Relative, and what stands before ':' could pass for a protocol name.
    const std::string relative = "movie" + std::to_string(getpid()) + ":intro.seq";
    ScratchFolder scratch;
    const std::string colonPath = scratch.Path(relative);
    {
        std::ifstream in(ClipPath(), std::ios::binary);
        std::ofstream(colonPath, std::ios::binary) << in.rdbuf();
    }
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(scratch.Path().c_str()), 0);
    VideoPlayer colon;
    bool opened = colon.Open(relative, false);
    ASSERT_EQ(chdir(here), 0);
    std::remove(colonPath.c_str());
    EXPECT_TRUE(opened) << relative;

    // Case does not matter, as on the system the data was written for.
    std::string shouting = ClipPath();
    for (size_t i = shouting.rfind('/') + 1; i < shouting.size(); ++i)
        shouting[i] = char(std::toupper(shouting[i]));
    VideoPlayer anyCase;
    EXPECT_TRUE(anyCase.Open(shouting, false)) << shouting;
    const std::string folder = scratch.Path("pv" + std::to_string(getpid()) + "Movies");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    {
        std::ifstream in(ClipPath(), std::ios::binary);
        std::ofstream(folder + "/Intro.seq", std::ios::binary) << in.rdbuf();
    }
    std::string upper = folder.substr(0, folder.size() - 6) + "MOVIES\\intro.SEQ";
    bool nested = anyCase.Open(upper, false);
    std::remove((folder + "/Intro.seq").c_str());
    rmdir(folder.c_str());
    EXPECT_TRUE(nested) << upper;
    EXPECT_FALSE(anyCase.Open(folder + "/Outro.seq", false));

    // '\' separates folders as '/' does.
    std::string path = ClipPath();
    size_t slash = path.rfind('/');
    ASSERT_NE(slash, std::string::npos);
    path[slash] = '\\';
    VideoPlayer player;
    EXPECT_TRUE(player.Open(path, false));
}

TEST_F(VideoPlayerTest, MissingCorruptAndVideolessFilesFailToOpen)
{
    std::vector<std::pair<std::string, std::string>> cases;  // name, contents
    cases.emplace_back("empty.seq", "");
    cases.emplace_back("text.seq", "this is not a movie\n");
    std::string noise;
    uint32_t x = 12345;
    for (int i = 0; i < 4096; ++i)
    {
        x = x * 1103515245u + 12345u;
        noise.push_back(char(x >> 24));
    }
    cases.emplace_back("noise.seq", noise);
    for (const auto& [name, contents] : cases)
    {
        std::ofstream(TempPath(name), std::ios::binary) << contents;
    }
    ClipOptions soundOnly{"mpeg4", "avi"};
    soundOnly.video = false;
    ASSERT_TRUE(WriteClip(TempPath("soundonly.seq"), soundOnly));

    VideoPlayer player;
    EXPECT_FALSE(player.Open(TempPath("does_not_exist.seq"), true));
    EXPECT_FALSE(player.Open("", true));
    EXPECT_FALSE(player.Open(TempPath(""), true)) << "a folder";
    // A name is a file name, never a URL.
    EXPECT_FALSE(player.Open("tcp://127.0.0.1:9", true));
    for (const char* name : {"empty.seq", "text.seq", "noise.seq", "soundonly.seq"})
    {
        EXPECT_FALSE(player.Open(TempPath(name), true)) << name;
        EXPECT_FALSE(player.IsOpen());
        EXPECT_FALSE(player.Run());
        EXPECT_FALSE(player.Rewind());
        EXPECT_EQ(player.Width(), 0);
    }
}

TEST_F(VideoPlayerTest, TruncatedFilesFailOrPlayWhatIsThereAndComplete)
{
    std::ifstream in(ClipPath(), std::ios::binary);
    std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(whole.size(), 1000u);
    for (size_t length : {size_t(16), size_t(300), whole.size() / 2, whole.size() - 40})
    {
        std::string path = TempPath("truncated.seq");
        std::ofstream(path, std::ios::binary | std::ios::trunc) << whole.substr(0, length);
        RecordingSink sink;
        VideoPlayer player;
        if (!player.Open(path, true))
            continue;
        player.SetSink(&sink);
        player.SetRealTime(false);
        player.Run();
        EXPECT_TRUE(WaitFor([&] { return player.TakeCompletion(); })) << length;
        player.Stop();
        EXPECT_LE(sink.FrameCount(), 10u) << length;
        if (length > whole.size() / 2)
        {
            EXPECT_GE(sink.FrameCount(), 5u) << length;
        }
    }
}

TEST_F(VideoPlayerTest, DamagedFilesPlayWhatDecodesAndComplete)
{
    // Without sound the noise lands on video data, not on samples that decode whatever they hold.
    ClipOptions silent{"mpeg4", "avi"};
    silent.audio = false;
    const std::string source = TempPath("silent.seq");
    ASSERT_TRUE(WriteClip(source, silent));
    std::ifstream in(source, std::ios::binary);
    std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(whole.size(), 1000u);
    uint32_t x = 777;
    for (int round = 0; round < 24; ++round)
    {
        // Noise over a few spans: of the headers in even rounds, anywhere in odd ones.
        std::string damaged = whole;
        for (int span = 0; span < 3; ++span)
        {
            x = x * 1103515245u + 12345u;
            size_t at = (x >> 8) % (round % 2 ? damaged.size() - 16 : 1024);
            for (size_t i = 0; i < 16; ++i)
            {
                x = x * 1103515245u + 12345u;
                damaged[at + i] = char(x >> 24);
            }
        }
        std::string path = TempPath("damaged.seq");
        std::ofstream(path, std::ios::binary | std::ios::trunc) << damaged;
        RecordingSink sink;
        VideoPlayer player;
        if (!player.Open(path, true))
            continue;
        player.SetSink(&sink);
        player.SetRealTime(false);
        player.Run();
        EXPECT_TRUE(WaitFor([&] { return player.TakeCompletion(); })) << round;
        EXPECT_TRUE(player.Rewind()) << round;
        EXPECT_TRUE(WaitFor([&] { return player.TakeCompletion(); })) << round;
        player.Stop();
        EXPECT_LE(sink.FrameCount(), 2u * 20u) << round;
    }
}

}  // namespace

namespace
{

struct Variant
{
    const char* name;
    ClipOptions options;
    int tolerance;         // of every frame's colour
    int uniformTolerance;  // between its pixels; odd sizes are for the bounds (under ASan): the writer's own
                           // conversion smears their corner
};

// Played to the end twice (rewound in between) as fast as it decodes: every frame with its colour and
// time, in order, both times, and the whole sound track.
void PlayVariant(const Variant& variant)
{
    SCOPED_TRACE(variant.name);
    const ClipOptions& options = variant.options;
    const std::string path = TempPath(std::string(variant.name) + ".seq");
    ASSERT_TRUE(WriteClip(path, options));
    RecordingSink sink(variant.uniformTolerance);
    VideoPlayer player;
    ASSERT_TRUE(player.Open(path, options.audio));
    ASSERT_EQ(player.Width(), options.width);
    ASSERT_EQ(player.Height(), options.height);
    player.SetSink(&sink);
    player.SetRealTime(false);
    player.Run();
    ASSERT_TRUE(WaitFor([&] { return player.TakeCompletion(); }));
    ASSERT_TRUE(player.Rewind());
    ASSERT_TRUE(WaitFor([&] { return player.TakeCompletion(); }));
    player.Stop();
    std::vector<SeenFrame> frames = sink.Frames();
    ASSERT_EQ(frames.size(), size_t(2 * options.frames));
    for (size_t k = 0; k < frames.size(); ++k)
    {
        int i = int(k) % options.frames;
        int shown = i + (options.ptsGapAt >= 0 && i >= options.ptsGapAt ? options.ptsGap : 0);
        ClipColour want = ClipColourOf(i);
        EXPECT_NEAR(frames[k].time, shown * 0.1, 0.01) << k;
        EXPECT_TRUE(Near(frames[k].b, want.b, variant.tolerance) && Near(frames[k].g, want.g, variant.tolerance) &&
                    Near(frames[k].r, want.r, variant.tolerance))
            << "frame " << k << ": " << int(frames[k].r) << "," << int(frames[k].g) << "," << int(frames[k].b);
        EXPECT_TRUE(frames[k].uniform) << k;
    }
    if (options.audio)
    {
        EXPECT_EQ(sink.m_Channels, options.channels >= 2 ? 2 : 1);
        EXPECT_EQ(sink.m_AudioFrames, 2L * options.frames * ClipRate / 10);
        if (options.channels <= 2)
        {
            EXPECT_FALSE(sink.m_AudioMismatch);
        }
    }
}

TEST(VideoPlayerClips, ReorderedGappedOddSizedAndOtherChannelCounts)
{
    const Variant variants[] = {
        // Frames the decoder holds back for reordering come out when the input ends.
        {"bframes", {.codec = "mpeg4", .container = "matroska", .frames = 23, .bFrames = 2}, 24, 24},
        {"odd_ffv1", {.codec = "ffv1", .container = "matroska", .width = 33, .height = 17}, 4, 255},
        {"odd_mpeg4", {.codec = "mpeg4", .container = "avi", .width = 35, .height = 19}, 24, 255},
        {"gap", {.codec = "ffv1", .container = "matroska", .ptsGapAt = 4, .ptsGap = 3}, 4, 4},
        {"mono", {.codec = "ffv1", .container = "matroska", .channels = 1}, 4, 4},
        {"six", {.codec = "ffv1", .container = "matroska", .channels = 6}, 4, 4},
    };
    for (const Variant& variant : variants)
        PlayVariant(variant);
}

TEST(VideoPlayerClips, AnAbsurdTimeStampStaysANumber)
{
    // A damaged stamp some hundred thousand years on must not overflow the position or the clock.
    ClipOptions options{
        .codec = "ffv1", .container = "matroska", .audio = false, .ptsGapAt = 5, .ptsGap = int64_t(1) << 47};
    const std::string path = TempPath("absurd.seq");
    ASSERT_TRUE(WriteClip(path, options));
    RecordingSink sink;
    VideoPlayer player;
    ASSERT_TRUE(player.Open(path, false));
    player.SetSink(&sink);
    player.SetRealTime(false);
    player.Run();
    ASSERT_TRUE(WaitFor([&] { return player.TakeCompletion(); }));
    player.Stop();
    ASSERT_EQ(sink.FrameCount(), 10u);
    EXPECT_GT(player.Position(), 0.5);
    EXPECT_NEAR(player.Position(), sink.Frames().back().time, 1e-3);
}

TEST(VideoPlayerClips, OddWidthRowsStartWhereTheyShould)
{
    // Left half coloured, right half black: a row pitch other than width * 4 would shear the halves.
    ClipOptions options{.codec = "ffv1",
                        .container = "matroska",
                        .frames = 1,
                        .audio = false,
                        .width = 33,
                        .height = 17,
                        .split = true};
    const std::string path = TempPath("split.seq");
    ASSERT_TRUE(WriteClip(path, options));
    VideoPlayer player;
    ASSERT_TRUE(player.Open(path, false));
    player.SetRealTime(false);
    player.Run();
    ASSERT_TRUE(WaitFor([&] { return player.TakeCompletion(); }));
    const uint8_t* frame = player.TakeNewestFrame();
    ASSERT_NE(frame, nullptr);
    ClipColour want = ClipColourOf(0);
    // Away from the middle and the bottom rows, where 4:2:0 chroma blurs the edge.
    for (int y = 0; y < options.height - 2; ++y)
    {
        const uint8_t* left = frame + size_t(y) * options.width * 4 + 4;
        const uint8_t* right = frame + (size_t(y) * options.width + options.width - 4) * 4;
        EXPECT_TRUE(Near(left[2], want.r, 8) && Near(left[1], want.g, 8) && Near(left[0], want.b, 8)) << y;
        EXPECT_TRUE(right[0] < 16 && right[1] < 16 && right[2] < 16) << y;
    }
}

}  // namespace
