#include <AL/al.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "Engine/foundation/WeDataFile.h"
#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WePackageWriter.h"
#include "Engine/runtime/WeOggDecoder.h"
#include "Engine/runtime/WeSound.h"
#include "Engine/runtime/WeSoundBuffer.h"
#include "Engine/runtime/WeSoundStream.h"
#include "Engine/runtime/WeUnmanagedSound.h"
#include "SoundTestSupport.h"

using namespace soundtest;

namespace
{
// Stereo frames in one chunk of 16384 bytes.
constexpr int32_t ChunkFrames = 4096;

// Frames of the last render in 64-frame blocks that are not silent.
int32_t AudibleFrames(const std::vector<int16_t>& frames)
{
    int32_t audible = 0;
    for (size_t block = 0; block + 128 <= frames.size(); block += 128)
    {
        int32_t peak = 0;
        for (size_t i = block; i < block + 128; ++i)
            peak = std::max(peak, std::abs(static_cast<int32_t>(frames[i])));
        if (peak > 300)
            audible += 64;
    }
    return audible;
}

class Music : public SoundFixture
{
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        ASSERT_TRUE(StartDevice());
    }

    // Plays until the music stops (or `limit` frames passed); the frames heard.
    int32_t PlayOut(int32_t limit)
    {
        int32_t heard = 0;
        for (int32_t done = 0; done < limit && g_AudioDevice.IsMusicPlaying(); done += 4410)
        {
            Advance(4410);
            heard += AudibleFrames(m_LastRender);
        }
        return heard;
    }
};
}  // namespace

TEST_F(Music, LoopingStreamWrapsInsideAChunk)
{
    // 20000 bytes: one whole chunk, then the 3616 left, then the start again.
    WriteSound("Sounds.Music.Short", EncodeTone(10000, 1));
    WeOggDecoder decoder("Sounds.Music.Short");
    ASSERT_TRUE(decoder.IsOpened());
    decoder.SetLoop(true);
    const int32_t expected[] = {16384, 3616, 16384, 3616};
    for (int32_t i = 0; i < 4; ++i)
    {
        ASSERT_TRUE(decoder.FillBuffer(decoder.GetBuffers()[i]));
        ALint size = 0;
        alGetBufferi(decoder.GetBuffers()[i], AL_SIZE, &size);
        EXPECT_EQ(size, expected[i]) << i;
    }
    // Exactly at the end: without looping there is nothing more.
    decoder.SetLoop(false);
    EXPECT_FALSE(decoder.FillBuffer(decoder.GetBuffers()[0]));
}

TEST_F(Music, StreamsPlayToTheirEndOrLoop)
{
    struct Case
    {
        int32_t frames;
        bool loop;
    };
    // Longer than the sixteen buffers with a partial last chunk, and shorter than them.
    const Case cases[] = {
        {20 * ChunkFrames + 1500, false}, {2 * ChunkFrames + 700, false}, {2 * ChunkFrames + 700, true}};
    for (const Case& c : cases)
    {
        WriteSound("Sounds.Music.Piece", EncodeTone(c.frames, 2));
        ASSERT_TRUE(g_AudioDevice.PlayMusic("Sounds.Music.Piece", c.loop)) << c.frames;
        EXPECT_TRUE(g_AudioDevice.IsMusicPlaying());
        const int32_t heard = PlayOut(c.frames * 4);
        if (c.loop)
        {
            EXPECT_TRUE(g_AudioDevice.IsMusicPlaying());
            EXPECT_GE(heard, c.frames * 4 - 4410);
            g_AudioDevice.StopMusic();
            continue;
        }
        EXPECT_NEAR(heard, c.frames, 1024) << c.frames;
        EXPECT_FALSE(g_AudioDevice.IsMusicPlaying());
        // Over, and it stays over.
        EXPECT_LT(Advance(44100).Max(), 0.0001);
        EXPECT_FALSE(g_AudioDevice.IsMusicPlaying());
    }
}

TEST_F(Music, StopStaysStoppedAndPauseResumes)
{
    WriteSound("Sounds.Music.Piece", EncodeTone(3 * Rate, 2));
    ASSERT_TRUE(g_AudioDevice.PlayMusic("Sounds.Music.Piece", true));
    EXPECT_GT(Advance(4410).Max(), 0.05);

    g_AudioDevice.StopMusic();
    Settle();
    EXPECT_LT(Advance(44100).Max(), 0.0001);
    EXPECT_FALSE(g_AudioDevice.IsMusicPlaying());
    g_AudioDevice.ResumeMusic();
    EXPECT_TRUE(g_AudioDevice.IsMusicPlaying());
    EXPECT_GT(Advance(4410).Max(), 0.05);

    g_AudioDevice.PauseMusic();
    EXPECT_TRUE(g_AudioDevice.IsMusicPaused());
    EXPECT_FALSE(g_AudioDevice.IsMusicPlaying());
    Settle();
    EXPECT_LT(Advance(44100).Max(), 0.0001);
    EXPECT_TRUE(g_AudioDevice.IsMusicPaused());
    g_AudioDevice.ResumeMusic();
    EXPECT_TRUE(g_AudioDevice.IsMusicPlaying());
    EXPECT_GT(Advance(4410).Max(), 0.05);

    SetConfig("Sounds.General.GlobalMusicVolume", "0.5");
    g_AudioDevice.SetMusicVolume(0.5f);
    float gain = 0.0f;
    alGetSourcef(g_AudioDevice.GetMusic()->GetSource(), AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 0.25f);
    SetConfig("Sounds.General.GlobalMusicVolume", "1");
}

TEST_F(Music, BadFilesPlayNothing)
{
    std::mt19937 random(11);
    std::vector<uint8_t> noise(3000);
    for (uint8_t& b : noise)
        b = static_cast<uint8_t>(random());
    // Long enough for several pages, so that half of it still holds some.
    std::vector<uint8_t> truncated = EncodeTone(6 * Rate, 2);
    truncated.resize(truncated.size() / 2);
    WriteSound("Sounds.Music.Empty", EncodeTone(0, 2));
    WriteSound("Sounds.Music.Six", EncodeTone(4000, 6));
    WriteSound("Sounds.Music.Noise", noise);
    WriteSound("Sounds.Music.Truncated", truncated);
    // The empty file opens: its looping fill must give up rather than rewind forever.
    {
        WeOggDecoder empty("Sounds.Music.Empty");
        ASSERT_TRUE(empty.IsOpened());
        empty.SetLoop(true);
        EXPECT_FALSE(empty.FillBuffer(empty.GetBuffers()[0]));
    }
    for (const char* name : {"Sounds.Music.Missing", "Sounds.Music.Empty", "Sounds.Music.Six", "Sounds.Music.Noise"})
    {
        for (bool loop : {false, true})
        {
            // A file without audio, looping, must not rewind forever (the test's time-out catches it).
            EXPECT_FALSE(g_AudioDevice.PlayMusic(name, loop)) << name;
            EXPECT_FALSE(g_AudioDevice.IsMusicPlaying()) << name;
            EXPECT_LT(Advance(4410).Max(), 0.0001) << name;
            EXPECT_FALSE(g_AudioDevice.IsMusicPlaying()) << name;
            EXPECT_EQ(DecodeOggToBuffer(name), 0u) << name;
        }
    }
    // Half a file plays what it holds and ends.
    ASSERT_TRUE(g_AudioDevice.PlayMusic("Sounds.Music.Truncated", false));
    const int32_t heard = PlayOut(8 * Rate);
    EXPECT_GT(heard, Rate);
    EXPECT_LT(heard, 5 * Rate);
    EXPECT_FALSE(g_AudioDevice.IsMusicPlaying());
}

TEST_F(Music, BufferedSoundLeavesAnOpenFileWhereItWas)
{
    WriteSound("Sounds.Menu.Click1", EncodeTone(2000, 1));
    WriteSound("Sounds.Menu.Click2", EncodeTone(3000, 1));
    WriteSound("Sounds.Menu.Other", EncodeTone(30000, 2));
    const std::string archive = (m_Root / "Packages.dat").string();
    WePackageWriter writer;
    ASSERT_TRUE(writer.Pack(WeString((m_Root / "Packages").string().c_str()), WeString(archive.c_str())));
    WeVirtualFileSystem::GetDataFile()->SetPath(WeString(archive.c_str()));

    for (WeVirtualFileSystem* fs : {static_cast<WeVirtualFileSystem*>(WeVirtualFileSystem::GetFileSystem()),
                                    static_cast<WeVirtualFileSystem*>(WeVirtualFileSystem::GetDataFile())})
    {
        SetSoundFileSystem(fs);
        std::vector<uint8_t> whole;
        ASSERT_TRUE(ReadSoundFile("Sounds.Menu.Other", whole));
        ASSERT_TRUE(fs->Open("Sounds.Menu.Other", 16));
        std::vector<uint8_t> first(100), rest(whole.size() - 100);
        ASSERT_EQ(fs->GetStream()->Read(first.data(), 100), 100);
        const int64_t position = fs->GetStream()->Tell();

        const char* name = fs == WeVirtualFileSystem::GetDataFile() ? "Sounds.Menu.Click2" : "Sounds.Menu.Click1";
        WeSound click(name, false);
        ASSERT_NE(click.GetSource(), nullptr);
        EXPECT_NE(click.GetSource()->GetBuffer()->GetBuffer(), 0u);

        EXPECT_EQ(fs->GetStream()->Tell(), position);
        ASSERT_EQ(fs->GetStream()->Read(rest.data(), static_cast<int64_t>(rest.size())),
                  static_cast<int64_t>(rest.size()));
        first.insert(first.end(), rest.begin(), rest.end());
        EXPECT_EQ(first, whole);
        fs->Close();
    }
    WeVirtualFileSystem::GetDataFile()->SetPath(WeString());
}
