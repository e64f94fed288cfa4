// Movies into textures on the recording backend: playing, the newest frame, the end of a movie looped or
// not, device loss and reset, the registry, bad files; the sound through OpenAL Soft's loopback device,
// rendered on demand rather than waited for.
#include <AL/al.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeExeFolder.h"
#include "Engine/render/WeMovieSound.h"
#include "Engine/render/WeMovieTextureRenderer.h"
#include "Engine/render/WeTexture.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Platform/video/VideoPlayer.h"
#include "Tests/Engine/render/RenderTestSupport.h"
#include "Tests/Platform/video/TestClipWriter.h"

namespace
{

using namespace std::chrono_literals;

// Waits for the decoder thread; the limit is generous for a busy machine.
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

// The B, G, R bytes of the texture's pixel.
ClipColour TexturePixel(WeMovieTextureRenderer& movie, int x, int y)
{
    ClipColour c{0, 0, 0};
    WeTexture* t = movie.GetTextureObject();
    void* bits = nullptr;
    int32_t total = 0, pitch = 0;
    if (t != nullptr && t->Lock(&bits, &total, &pitch))
    {
        const uint8_t* p = static_cast<const uint8_t*>(bits) + size_t(y) * size_t(pitch) + size_t(x) * 4;
        c = {p[2], p[1], p[0]};
        t->Unlock();
    }
    return c;
}

bool SameColour(ClipColour a, ClipColour b, int tolerance = 4)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

class MovieRender : public RecordingRender
{
protected:
    void SetUp() override
    {
        RecordingRender::SetUp();
        g_GfxRecorder.logging = false;
    }
    std::string Clip(ClipOptions options, const std::string& name = "clip.mkv")
    {
        std::string path = scratch.Path(name);
        EXPECT_TRUE(WriteClip(path, options));
        return path;
    }
    static ClipOptions Lossless(int frames, bool audio)
    {
        ClipOptions o{"ffv1", "matroska"};
        o.frames = frames;
        o.audio = audio;
        return o;
    }

    ScratchFolder scratch;
};

using WeMovieTextureRendererPlay = MovieRender;
using WeMovieTextureRendererDevice = MovieRender;
using WeMovieTextureRendererOpen = MovieRender;

TEST_F(WeMovieTextureRendererPlay, ShowsTheNewestFrameAndStopsAtTheEndThenRunsToItAgain)
{
    ASSERT_TRUE(Create());
    WeMovieTextureRenderer movie;
    ASSERT_TRUE(movie.Open(Clip(Lossless(10, false)).c_str(), false, true));
    int width = 0, height = 0;
    ASSERT_TRUE(movie.GetVideoSize(width, height));
    EXPECT_EQ(width, ClipWidth);
    EXPECT_EQ(height, ClipHeight);
    EXPECT_EQ(movie.GetTexture(), nullptr);  // no frame yet
    movie.GetPlayer()->SetRealTime(false);
    movie.Play(false);
    EXPECT_TRUE(movie.IsPlaying());

    // Several frames arrive before the renderer looks: it shows the newest.
    ASSERT_TRUE(WaitFor([&] { return movie.GetPlayer()->Position() >= 0.85; }));
    ASSERT_TRUE(WaitFor(
        [&]
        {
            movie.Update();
            return !movie.IsPlaying();
        }));
    ASSERT_NE(movie.GetTexture(), nullptr);
    EXPECT_TRUE(SameColour(TexturePixel(movie, 5, 5), ClipColourOf(9)));
    EXPECT_LT(movie.GetUploadCount(), 10u);

    // The next update runs the finished movie again where it stands, and the end stops it again. Standing at
    // its end, the decoder may finish within that same update, so whether it still plays right after it is a
    // race, not a result.
    movie.Update();
    ASSERT_TRUE(WaitFor(
        [&]
        {
            movie.Update();
            return !movie.IsPlaying();
        }));
    EXPECT_TRUE(SameColour(TexturePixel(movie, 5, 5), ClipColourOf(9)));
}

TEST_F(WeMovieTextureRendererPlay, ALoopingMovieStartsOverAndKeepsPlaying)
{
    ASSERT_TRUE(Create());
    WeMovieTextureRenderer movie;
    ASSERT_TRUE(movie.Open(Clip(Lossless(4, false)).c_str(), false, false));
    movie.Play(true);
    // Real time: the first frame again after the last one means the movie started over.
    bool sawLast = false;
    bool sawFirstAgain = false;
    ASSERT_TRUE(WaitFor(
        [&]
        {
            movie.Update();
            EXPECT_TRUE(movie.IsPlaying());
            if (movie.GetTexture() == nullptr)
                return false;
            ClipColour c = TexturePixel(movie, 5, 5);
            if (SameColour(c, ClipColourOf(3)))
                sawLast = true;
            else if (sawLast && SameColour(c, ClipColourOf(0)))
                sawFirstAgain = true;
            return sawFirstAgain;
        }));
    EXPECT_TRUE(movie.IsPlaying());
}

// A frame of any size but the texture's is never copied into it.
TEST_F(WeMovieTextureRendererPlay, AFrameOfAnotherSizeIsNeverCopied)
{
    ASSERT_TRUE(Create());
    WeMovieTextureRenderer movie;
    ASSERT_TRUE(movie.Open(Clip(Lossless(2, false)).c_str(), false, false));
    std::vector<uint8_t> big(size_t(ClipWidth + 8) * (ClipHeight + 8) * 4, 0xAB);
    struct Case
    {
        int width, height;
    } cases[] = {{ClipWidth + 8, ClipHeight},
                 {ClipWidth, ClipHeight + 8},
                 {ClipWidth - 2, ClipHeight},
                 {0, 0},
                 {-ClipWidth, ClipHeight}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        EXPECT_FALSE(movie.CopyFrame(big.data(), c.width, c.height));
        EXPECT_TRUE(SameColour(TexturePixel(movie, 0, 0), {0, 0, 0}, 0));
    }
    EXPECT_EQ(movie.GetUploadCount(), 0u);
    EXPECT_EQ(movie.GetTexture(), nullptr);
    EXPECT_TRUE(movie.CopyFrame(big.data(), ClipWidth, ClipHeight));
    EXPECT_TRUE(SameColour(TexturePixel(movie, 0, 0), {0xAB, 0xAB, 0xAB}, 0));
}

TEST_F(WeMovieTextureRendererDevice, LossDropsADynamicTextureAndResetRecreatesIt)
{
    ASSERT_TRUE(Create());
    WeMovieTextureRenderer movie;
    ASSERT_TRUE(movie.Open(Clip(Lossless(10, false)).c_str(), false, false));
    ASSERT_NE(movie.GetTextureObject(), nullptr);
    EXPECT_EQ(movie.GetTextureObject()->m_Pool, D3DPOOL_DEFAULT);
    EXPECT_EQ(movie.GetTextureObject()->m_Usage, D3DUSAGE_DYNAMIC);
    movie.GetPlayer()->SetRealTime(false);
    movie.Play(false);
    ASSERT_TRUE(WaitFor(
        [&]
        {
            movie.Update();
            return movie.GetTexture() != nullptr;
        }));

    static WeMovieTextureRenderer* s_Movie;
    static IDirect3DBaseTexture9* s_BetweenTexture;
    static bool s_BetweenPlaying;
    s_Movie = &movie;
    s_BetweenTexture = reinterpret_cast<IDirect3DBaseTexture9*>(1);
    s_BetweenPlaying = true;
    // The device's reset callback runs after every lost step and before the movies' reset step.
    g_RenderDevice.m_DeviceResetCallback = [](WeRenderDevice*)
    {
        s_BetweenTexture = s_Movie->GetTexture();
        s_BetweenPlaying = s_Movie->IsPlaying();
    };
    g_GfxRecorder.cooperativeLevels = {D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET};
    ASSERT_EQ(g_RenderDevice.CheckDeviceLost(), 1);
    movie.Update();  // stops while lost
    EXPECT_FALSE(movie.IsPlaying());
    ASSERT_EQ(g_RenderDevice.CheckDeviceLost(), 0);
    EXPECT_EQ(s_BetweenTexture, nullptr);
    EXPECT_FALSE(s_BetweenPlaying);
    ASSERT_NE(movie.GetTextureObject()->GetD3DTexture(), nullptr);
    // The next update runs the movie again and the frame comes back.
    movie.Update();
    EXPECT_TRUE(movie.IsPlaying());
    ASSERT_NE(movie.GetTexture(), nullptr);
}

TEST_F(WeMovieTextureRendererDevice, WithoutDynamicTexturesAManagedTextureSurvivesTheReset)
{
    g_GfxRecorder.caps2 = 0;
    ASSERT_TRUE(Create());
    WeMovieTextureRenderer movie;
    ASSERT_TRUE(movie.Open(Clip(Lossless(3, false)).c_str(), false, false));
    EXPECT_EQ(movie.GetTextureObject()->m_Pool, D3DPOOL_MANAGED);
    EXPECT_EQ(movie.GetTextureObject()->m_Usage, 0);
    movie.GetPlayer()->SetRealTime(false);
    movie.Play(false);
    ASSERT_TRUE(WaitFor(
        [&]
        {
            movie.Update();
            return !movie.IsPlaying();
        }));
    IDirect3DBaseTexture9* before = movie.GetTexture();
    ASSERT_NE(before, nullptr);
    ClipColour shown = TexturePixel(movie, 5, 5);
    g_GfxRecorder.cooperativeLevels = {D3DERR_DEVICENOTRESET};
    ASSERT_EQ(g_RenderDevice.CheckDeviceLost(), 0);
    EXPECT_EQ(movie.GetTexture(), before);
    EXPECT_TRUE(SameColour(TexturePixel(movie, 5, 5), shown, 0));
}

TEST_F(WeMovieTextureRendererDevice, TheRegistryFollowsEachRendererAndShutdownClosesThemAll)
{
    ASSERT_TRUE(Create());
    const int before = g_RenderDevice.GetMovies().Count();
    auto* first = new WeMovieTextureRenderer();
    WeMovieTextureRenderer second;
    EXPECT_EQ(g_RenderDevice.GetMovies().Count(), before + 2);
    EXPECT_TRUE(first->IsRegistered());
    EXPECT_TRUE(second.IsRegistered());
    delete first;
    EXPECT_EQ(g_RenderDevice.GetMovies().Count(), before + 1);
    EXPECT_TRUE(second.IsRegistered());

    ASSERT_TRUE(second.Open(Clip(Lossless(10, false)).c_str(), false, false));
    second.Play(true);
    ShutdownRendering();
    EXPECT_FALSE(second.GetPlayer()->IsOpen());
    EXPECT_FALSE(second.IsPlaying());
    EXPECT_EQ(second.GetTextureObject(), nullptr);
    // Closed, but still its own object's: it stays registered until it is destroyed.
    EXPECT_TRUE(second.IsRegistered());
    EXPECT_EQ(g_RenderDevice.GetMovies().Count(), before + 1);
}

// A movie that outlives one device plays on the next: its default-pool texture is released before that
// device's resets (the recorder refuses a reset while one lives) and closed at its shutdown.
TEST_F(WeMovieTextureRendererDevice, AMovieThatOutlivesTheDeviceFollowsTheNextOne)
{
    ASSERT_TRUE(Create());
    WeMovieTextureRenderer movie;
    ASSERT_TRUE(movie.Open(Clip(Lossless(3, false)).c_str(), false, false));
    ShutdownRendering();
    EXPECT_EQ(movie.GetTextureObject(), nullptr);

    ASSERT_TRUE(Create());
    ASSERT_TRUE(movie.Open(Clip(Lossless(3, false)).c_str(), false, false));
    ASSERT_EQ(movie.GetTextureObject()->m_Pool, D3DPOOL_DEFAULT);
    ASSERT_TRUE(g_RenderDevice.ChangeMode(320, 240, 0, 0, 0, 2));
    EXPECT_NE(movie.GetTextureObject()->GetD3DTexture(), nullptr);
    ShutdownRendering();
    EXPECT_EQ(movie.GetTextureObject(), nullptr);
}

TEST_F(WeMovieTextureRendererOpen, AMissingOrDamagedFileFailsAndLeavesTheRendererClosed)
{
    ASSERT_TRUE(Create());
    std::string good = Clip(Lossless(4, false));
    scratch.Write("garbage.seq", std::string(4096, '\x5A'));
    std::string whole = ScratchFolder::Read(good);
    scratch.Write("truncated.seq", whole.substr(0, 40));
    const std::string names[] = {scratch.Path("missing.seq"), scratch.Path("garbage.seq"),
                                 scratch.Path("truncated.seq"), scratch.Path("")};
    WeMovieTextureRenderer movie;
    for (const std::string& name : names)
    {
        SCOPED_TRACE(name);
        ASSERT_TRUE(movie.Open(good.c_str(), false, false));
        EXPECT_FALSE(movie.Open(name.c_str(), false, false));
        int w = 0, h = 0;
        EXPECT_FALSE(movie.GetVideoSize(w, h));
        EXPECT_EQ(movie.GetTexture(), nullptr);
        EXPECT_EQ(movie.GetTextureObject(), nullptr);
        movie.Play(true);
        movie.Update();
        EXPECT_FALSE(movie.IsPlaying());
    }
}

TEST_F(WeMovieTextureRendererOpen, RelativeNamesAreFoundInTheExecutablesFolder)
{
    ASSERT_TRUE(Create());
    std::filesystem::path folder =
        std::filesystem::path(GetExeFolder().c_str()) / (std::string("MovieTest-") + std::to_string(std::rand()));
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(WriteClip((folder / "Clip.mkv").string(), Lossless(2, false)));
    // Started from elsewhere: the working folder plays no part.
    std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(scratch.Root());
    WeMovieTextureRenderer movie;
    std::string relative = std::string(".\\") + folder.filename().string() + "\\clip.MKV";
    EXPECT_TRUE(movie.Open(relative.c_str(), false, false));
    EXPECT_TRUE(movie.Open((folder.filename().string() + "\\Clip.mkv").c_str(), false, false));
    EXPECT_TRUE(movie.Open((folder / "Clip.mkv").string().c_str(), false, false));
    std::filesystem::current_path(saved);
    movie.Close();
    std::filesystem::remove_all(folder);
}

// ---- Sound ----

class MovieSound : public MovieRender
{
protected:
    void SetUp() override
    {
        MovieRender::SetUp();
        g_AudioDevice.SetOutput(WeAudioDevice::Output::Loopback);
        ASSERT_TRUE(g_AudioDevice.Init());
        g_AudioDevice.SetMusicVolume(1.0f);
        ASSERT_TRUE(Create());
    }
    void TearDown() override
    {
        g_AudioDevice.Shutdown();
        g_AudioDevice.SetOutput(WeAudioDevice::Output::Default);
        MovieRender::TearDown();
    }
    // Updates until the source has started (the update that first sees a frame of the run).
    static bool UpdateUntilSoundStarts(WeMovieTextureRenderer& movie)
    {
        return WaitFor(
            [&]
            {
                movie.Update();
                return movie.GetSound() != nullptr && movie.GetSound()->IsStarted();
            });
    }
    // Renders that many frames and counts those that are not the clip's left and right values. A source
    // that has just started begins with the mixer's own few frames of silence, dithered (latency, not a gap).
    static int RenderAndCountWrong(int frames, bool justStarted)
    {
        std::vector<int16_t> out(size_t(frames) * 2);
        EXPECT_TRUE(g_AudioDevice.RenderSamples(out.data(), frames));
        int i = 0;
        if (justStarted)
            while (i < 64 && i < frames && std::abs(out[2 * i]) <= 4 && std::abs(out[2 * i + 1]) <= 4)
                ++i;
        int wrong = 0;
        for (; i < frames; ++i)
            if (std::abs(out[2 * i] - ClipLeft) > 4 || std::abs(out[2 * i + 1] - ClipRight) > 4)
                ++wrong;
        return wrong;
    }
};

using WeMovieSoundSource = MovieSound;

TEST_F(WeMovieSoundSource, QueuedAtTheFirstFrameAndPlayedOnTheRightChannelsWithoutAGap)
{
    WeMovieTextureRenderer movie;
    ASSERT_TRUE(movie.Open(Clip(Lossless(10, true)).c_str(), true, false));
    ASSERT_NE(movie.GetSound(), nullptr);
    movie.Play(false);
    ASSERT_TRUE(UpdateUntilSoundStarts(movie));
    EXPECT_GE(movie.GetSound()->QueuedSeconds(), WeMovieSound::MinimumQueued);
    ALint state = 0;
    alGetSourcei(movie.GetSound()->GetSource(), AL_SOURCE_STATE, &state);
    EXPECT_EQ(state, AL_PLAYING);
    // Never ahead of the picture.
    EXPECT_LE(movie.GetSound()->PlayingTime(), movie.GetPlayer()->Position() + 1e-6);
    EXPECT_EQ(RenderAndCountWrong(WeAudioDevice::LoopbackRate / 4, true), 0);
    // The next update refills: the sound goes on without a gap.
    movie.Update();
    EXPECT_GE(movie.GetSound()->QueuedSeconds(), 0.1);
    EXPECT_EQ(RenderAndCountWrong(WeAudioDevice::LoopbackRate / 10, false), 0);
    ALint relative = 0, direct = 0;
    alGetSourcei(movie.GetSound()->GetSource(), AL_SOURCE_RELATIVE, &relative);
    alGetSourcei(movie.GetSound()->GetSource(), 0x1033 /* AL_DIRECT_CHANNELS_SOFT */, &direct);
    EXPECT_EQ(relative, AL_TRUE);
    EXPECT_EQ(direct, AL_TRUE);
    EXPECT_EQ(movie.GetSound()->GetUnderruns(), 0);
}

TEST_F(WeMovieSoundSource, ALoopStartsTheSoundAgainFromItsBeginning)
{
    WeMovieTextureRenderer movie;
    ASSERT_TRUE(movie.Open(Clip(Lossless(4, true)).c_str(), true, false));
    movie.Play(true);
    ASSERT_TRUE(UpdateUntilSoundStarts(movie));
    EXPECT_EQ(RenderAndCountWrong(WeAudioDevice::LoopbackRate / 10, true), 0);
    // Past the end: the renderer rewinds, the queue is dropped and refilled from the first samples.
    double last = movie.GetPlayer()->Position();
    bool looped = false;
    ASSERT_TRUE(WaitFor(
        [&]
        {
            movie.Update();
            double now = movie.GetPlayer()->Position();
            looped = looped || now < last;
            last = now;
            return looped && movie.GetSound()->IsStarted();
        }));
    EXPECT_TRUE(movie.IsPlaying());
    double playing = movie.GetSound()->PlayingTime();
    EXPECT_GE(playing, 0.0);
    EXPECT_LE(playing, movie.GetPlayer()->Position() + 1e-6);
    EXPECT_LT(playing, 0.25);
    EXPECT_EQ(RenderAndCountWrong(WeAudioDevice::LoopbackRate / 10, true), 0);
}

TEST_F(WeMovieSoundSource, AfterAStallTheLateSoundIsSkippedToMeetThePicture)
{
    WeMovieTextureRenderer movie;
    ASSERT_TRUE(movie.Open(Clip(Lossless(20, true)).c_str(), true, false));
    movie.Play(false);
    ASSERT_TRUE(UpdateUntilSoundStarts(movie));
    // The main thread stalls: the device plays everything queued and runs dry while the pictures go on.
    std::vector<int16_t> out(size_t(WeAudioDevice::LoopbackRate) * 2);
    ASSERT_TRUE(g_AudioDevice.RenderSamples(out.data(), WeAudioDevice::LoopbackRate));
    ALint state = 0;
    alGetSourcei(movie.GetSound()->GetSource(), AL_SOURCE_STATE, &state);
    ASSERT_EQ(state, AL_STOPPED);
    ASSERT_TRUE(WaitFor([&] { return movie.GetPlayer()->Position() >= 0.75; }));
    movie.Update();
    EXPECT_EQ(movie.GetSound()->GetUnderruns(), 1);
    double picture = movie.GetPlayer()->Position();
    double sound = movie.GetSound()->PlayingTime();
    EXPECT_LE(sound, picture + 1e-6);
    EXPECT_GE(sound, picture - 0.1 - 1e-3);
    EXPECT_EQ(RenderAndCountWrong(WeAudioDevice::LoopbackRate / 20, true), 0);
}

TEST_F(WeMovieSoundSource, NoSourceWithoutSoundAskedForOrPresent)
{
    WeMovieTextureRenderer movie;
    ASSERT_TRUE(movie.Open(Clip(Lossless(3, true)).c_str(), false, false));
    EXPECT_EQ(movie.GetSound(), nullptr);
    ASSERT_TRUE(movie.Open(Clip(Lossless(3, false), "silent.mkv").c_str(), true, false));
    EXPECT_EQ(movie.GetSound(), nullptr);
    // Without a current context neither.
    g_AudioDevice.Shutdown();
    ASSERT_TRUE(movie.Open(Clip(Lossless(3, true), "again.mkv").c_str(), true, false));
    EXPECT_EQ(movie.GetSound(), nullptr);
}

TEST_F(WeMovieSoundSource, GainFollowsTheMusicVolumeAndThePause)
{
    WeMovieTextureRenderer movie;
    ASSERT_TRUE(movie.Open(Clip(Lossless(10, true)).c_str(), true, false));
    ALuint source = movie.GetSound()->GetSource();
    float gain = -1.0f;
    g_AudioDevice.SetMusicVolume(0.5f);
    movie.Update();
    alGetSourcef(source, AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 0.5f * GetConfigFloat("Sounds.General.GlobalMusicVolume", 1.0f));
    g_AudioDevice.SetPaused(true);
    movie.Update();
    alGetSourcef(source, AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 0.0f);
    g_AudioDevice.SetPaused(false);
    g_AudioDevice.SetMusicVolume(1.0f);
}

TEST_F(WeMovieSoundSource, CloseDeletesTheSourceAndAGoneContextIsNotCalled)
{
    WeMovieTextureRenderer movie;
    ASSERT_TRUE(movie.Open(Clip(Lossless(10, true)).c_str(), true, false));
    movie.Play(false);
    ASSERT_TRUE(UpdateUntilSoundStarts(movie));
    ALuint source = movie.GetSound()->GetSource();
    ASSERT_TRUE(alIsSource(source));
    movie.Close();
    EXPECT_FALSE(alIsSource(source));
    EXPECT_EQ(movie.GetSound(), nullptr);

    // The sound device goes first at shutdown; the movie then forgets what the context took with it.
    ASSERT_TRUE(movie.Open(Clip(Lossless(10, true), "second.mkv").c_str(), true, false));
    movie.Play(false);
    ASSERT_TRUE(UpdateUntilSoundStarts(movie));
    g_AudioDevice.Shutdown();
    movie.Update();
    movie.Close();
    EXPECT_EQ(movie.GetSound(), nullptr);
}

}  // namespace
