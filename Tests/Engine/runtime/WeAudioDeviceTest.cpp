#include <AL/al.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeSound.h"
#include "Engine/runtime/WeSound3D.h"
#include "Engine/runtime/WeSoundAttenuator.h"
#include "Engine/runtime/WeSoundBuffer.h"
#include "Engine/runtime/WeSoundSourcePool.h"
#include "Engine/runtime/WeUnmanagedSound.h"
#include "SoundTestSupport.h"

using namespace soundtest;

namespace
{
float SourceGain(WeSound& sound)
{
    float gain = -1.0f;
    if (sound.GetSource() != nullptr)
        alGetSourcef(sound.GetSource()->GetSource(), AL_GAIN, &gain);
    return gain;
}

class AudioDevice : public SoundFixture
{
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        // A second of tone and a short blip of 441 frames.
        WriteSound("Sounds.Test.Tone", EncodeTone(Rate, 1));
        WriteSound("Sounds.Voice.Tone", EncodeTone(Rate, 1));
        WriteSound("Sounds.Test.Blip", EncodeTone(441, 1));
        WriteSound("Sounds.Pickup.Tone", EncodeTone(Rate, 1));
        ASSERT_TRUE(StartDevice());
    }
};
}  // namespace

TEST_F(AudioDevice, StartUpFailuresNameTheirDevice)
{
    g_AudioDevice.Shutdown();
    g_AudioDevice.SetOutput(WeAudioDevice::Output::Named, "No such sound card");
    g_Engine.m_ErrorText = "";
    EXPECT_FALSE(g_AudioDevice.Init());
    EXPECT_EQ(g_Engine.m_ErrorText, "Error: Cannot create OpenAL device");

    // The loopback device takes no context without its output format.
    g_AudioDevice.SetOutput(WeAudioDevice::Output::LoopbackWithoutFormat);
    g_Engine.m_ErrorText = "";
    EXPECT_FALSE(g_AudioDevice.Init());
    EXPECT_EQ(g_Engine.m_ErrorText, "Error: Cannot create OpenAL context");
    EXPECT_FALSE(g_AudioDevice.IsInitialised());
    // Nothing is touched without a device.
    WeSound sound("Sounds.Test.Tone", false);
    sound.Play(false);
    EXPECT_FALSE(sound.IsPlaying());
    EXPECT_FALSE(g_AudioDevice.PlayMusic("Sounds.Test.Tone", true));

    EXPECT_TRUE(StartDevice());
    EXPECT_TRUE(g_AudioDevice.Init());
}

TEST_F(AudioDevice, PauseCountNestsAndNeverGoesNegative)
{
    WeSound sound("Sounds.Test.Tone", false);
    sound.Play(true);
    const double full = Advance(4410).Max();
    EXPECT_GT(full, 0.05);

    g_AudioDevice.SetPaused(true);
    g_AudioDevice.SetPaused(true);
    g_AudioDevice.SetPaused(false);
    EXPECT_EQ(g_AudioDevice.GetPauseCount(), 1);
    EXPECT_FLOAT_EQ(SourceGain(sound), 0.0f);
    Settle();
    EXPECT_LT(Advance(4410).Max(), 0.001);
    g_AudioDevice.SetPaused(false);
    Settle();
    EXPECT_NEAR(Advance(4410).Max(), full, full * 0.1);
    g_AudioDevice.SetPaused(false);
    EXPECT_EQ(g_AudioDevice.GetPauseCount(), 0);
    g_AudioDevice.SetPaused(true);
    Settle();
    EXPECT_LT(Advance(4410).Max(), 0.001);
}

TEST_F(AudioDevice, FadeHalvesAllButVoicesAlsoForSoundsStartedDuringIt)
{
    WeSound effect("Sounds.Test.Tone", false);
    WeSound voice("Sounds.Voice.Tone", false);
    EXPECT_TRUE(voice.IsVoice());
    effect.Play(true);
    voice.Play(true);
    g_AudioDevice.SetSoundFade(0.5f);
    EXPECT_FLOAT_EQ(SourceGain(effect), 0.5f);
    EXPECT_FLOAT_EQ(SourceGain(voice), 1.0f);

    WeSound late("Sounds.Test.Tone", false);
    WeSound lateVoice("Sounds.Voice.Tone", false);
    late.Play(false);
    lateVoice.Play(false);
    EXPECT_FLOAT_EQ(SourceGain(late), 0.5f);
    EXPECT_FLOAT_EQ(SourceGain(lateVoice), 1.0f);

    // Heard: the faded effect alone is half as loud as the voice alone.
    voice.Stop();
    late.Stop();
    lateVoice.Stop();
    Settle();
    const double faded = Advance(4410).Max();
    effect.Stop();
    voice.Play(true);
    Settle();
    const double whole = Advance(4410).Max();
    EXPECT_NEAR(faded / whole, 0.5, 0.05);
}

TEST_F(AudioDevice, VolumesBeforeStartAreDroppedAndSurviveShutdown)
{
    g_AudioDevice.SetSoundVolume(0.25f);
    g_AudioDevice.Shutdown();
    g_AudioDevice.SetSoundVolume(0.75f);
    g_AudioDevice.SetPaused(true);
    EXPECT_FLOAT_EQ(g_AudioDevice.GetSoundVolume(), 0.25f);
    EXPECT_EQ(g_AudioDevice.GetPauseCount(), 0);
    ASSERT_TRUE(StartDevice());
    WeSound sound("Sounds.Test.Tone", false);
    sound.Play(false);
    EXPECT_FLOAT_EQ(SourceGain(sound), 0.25f);
}

TEST(WeSoundGroups, CategoryGivesGroupAndVoice)
{
    struct Case
    {
        const char* name;
        int32_t group;
        bool voice;
    };
    const Case cases[] = {
        {"Sounds.Music.IG_Menu Theme", 0, false},
        {"Sounds.Environment.Wind", 0, false},
        {"Sounds.Explosions.Big", 3, false},
        {"Sounds.Interface.Beep", 0, false},
        {"Sounds.Menu.Click1", 0, false},
        {"Sounds.Mines.Drop", 2, false},
        {"Sounds.Pickup.Coin", 1, false},
        {"Sounds.Tuber.Engine", 4, false},
        {"Sounds.Tuber.Engine.Loop", 4, false},
        {"Sounds.Tuber.Turbo", 4, false},
        {"Sounds.Tuber.Hit", 5, false},
        {"Sounds.Tuber", 5, false},
        {"Sounds.Voice.Go", 0, true},
        {"Sounds.Weapons.Laser", 0, false},
        {"Sounds.Unknown.X", 0, false},
        {"Sounds.menu.Click1", 0, false},
        {"Sounds.explosions.Big", 0, false},
        {"", 0, false},
    };
    for (const Case& c : cases)
    {
        // Made before the device starts: the sound holds no source and touches no OpenAL.
        WeSound sound(c.name, false);
        EXPECT_EQ(sound.GetGroup(), c.group) << c.name;
        EXPECT_EQ(sound.IsVoice(), c.voice) << c.name;
        EXPECT_EQ(sound.GetSource(), nullptr);
    }
}

TEST_F(AudioDevice, BalancesComeFromTheConfiguration)
{
    SetConfig("Sounds.Balance.Sounds.Test.Tone", "0.25");
    SetConfig("Sounds.Balance.Sounds.Voice.Tone", "0.5");
    g_SoundAttenuator.Load();
    EXPECT_FLOAT_EQ(g_SoundAttenuator.GetBalance("Sounds.Test.Tone"), 0.25f);
    EXPECT_FLOAT_EQ(g_SoundAttenuator.GetBalance("Sounds.Voice.Tone"), 0.5f);
    EXPECT_FLOAT_EQ(g_SoundAttenuator.GetBalance("Sounds.Test.Blip"), 1.0f);
    WeSound sound("Sounds.Test.Tone", false);
    sound.Play(false);
    EXPECT_FLOAT_EQ(SourceGain(sound), 0.25f);
    g_AudioDevice.SetSoundVolume(0.5f);
    EXPECT_FLOAT_EQ(SourceGain(sound), 0.125f);

    // A balance scales every sound but voices by the non-voice balance.
    SetConfig("Sounds.General.NonVoiceBalance", "0.5");
    g_SoundAttenuator.Load();
    EXPECT_FLOAT_EQ(g_SoundAttenuator.GetBalance("Sounds.Test.Tone"), 0.125f);
    EXPECT_FLOAT_EQ(g_SoundAttenuator.GetBalance("Sounds.Voice.Tone"), 0.5f);
    SetConfig("Sounds.General.NonVoiceBalance", "1");
    SetConfig("Sounds.Balance.Sounds.Test.Tone", "1");
    SetConfig("Sounds.Balance.Sounds.Voice.Tone", "1");
    g_SoundAttenuator.Load();
}

TEST_F(AudioDevice, PriorityRequestsReclaimBeforeTheyStealAndNeverFromPriority)
{
    std::vector<std::unique_ptr<WeSound>> sounds;
    for (int i = 0; i < 70; ++i)
        sounds.push_back(std::make_unique<WeSound>(i < 35 ? "Sounds.Test.Tone" : "Sounds.Pickup.Tone", false));
    for (const auto& sound : sounds)
        ASSERT_NE(sound->GetSource(), nullptr);
    EXPECT_EQ(g_SoundSourcePool.GetFree(), 63 - 70);
    // Sixty play; ten never started and are finished as far as the pool can tell.
    for (int i = 0; i < 60; ++i)
        sounds[i]->Play(true);

    WeSound first("Sounds.Voice.Tone", true);
    ASSERT_NE(first.GetSource(), nullptr);
    first.Play(true);
    for (int i = 0; i < 60; ++i)
        EXPECT_NE(sounds[i]->GetSource(), nullptr) << "stolen instead of reclaimed: " << i;
    for (int i = 60; i < 70; ++i)
        EXPECT_EQ(sounds[i]->GetSource(), nullptr);
    EXPECT_EQ(g_SoundSourcePool.GetFree(), 63 - 60 - 1);

    // The budget spent, each request steals the oldest of the lowest group: group 0 goes first.
    std::vector<std::unique_ptr<WeSound>> priority;
    for (int i = 0; i < 40; ++i)
    {
        priority.push_back(std::make_unique<WeSound>("Sounds.Test.Blip", true));
        priority.back()->Play(true);
    }
    for (int i = 0; i < 35; ++i)
        EXPECT_EQ(sounds[i]->GetSource(), nullptr) << i;
    EXPECT_EQ(sounds[35]->GetSource(), nullptr);
    EXPECT_NE(sounds[59]->GetSource(), nullptr);
    EXPECT_NE(first.GetSource(), nullptr);
    for (const auto& sound : priority)
        EXPECT_NE(sound->GetSource(), nullptr);
}

TEST_F(AudioDevice, NegativeFreeCountStillStealsForPriority)
{
    // Ordinary requests overdraw the budget; with all of them playing, priority must steal.
    std::vector<std::unique_ptr<WeSound>> sounds;
    for (int i = 0; i < 70; ++i)
    {
        sounds.push_back(std::make_unique<WeSound>("Sounds.Test.Tone", false));
        sounds.back()->Play(true);
    }
    EXPECT_EQ(g_SoundSourcePool.GetFree(), -7);
    WeSound priority("Sounds.Test.Tone", true);
    ASSERT_NE(priority.GetSource(), nullptr);
    EXPECT_EQ(sounds[0]->GetSource(), nullptr);
    EXPECT_NE(sounds[1]->GetSource(), nullptr);
    EXPECT_EQ(g_SoundSourcePool.GetFree(), -7);
}

TEST_F(AudioDevice, NothingLeftToStealLeavesThePrioritySoundWithoutASource)
{
    std::vector<std::unique_ptr<WeSound>> priority;
    for (int i = 0; i < 63; ++i)
    {
        priority.push_back(std::make_unique<WeSound>("Sounds.Test.Tone", true));
        priority.back()->Play(true);
    }
    EXPECT_EQ(g_SoundSourcePool.GetFree(), 0);
    WeSound extra("Sounds.Test.Tone", true);
    WeSound another("Sounds.Test.Tone", true);
    EXPECT_EQ(extra.GetSource(), nullptr);
    extra.Play(false);
    EXPECT_FALSE(extra.IsPlaying());
    // The reserve is nobody's: the sounds that could not play leave it alone when they go.
    EXPECT_EQ(g_SoundSourcePool.GetReserve()->GetOwner(), nullptr);
    // Once a priority sound finished, the next request finds room.
    priority[0]->Stop();
    extra.Play(false);
    EXPECT_NE(extra.GetSource(), nullptr);
}

TEST_F(AudioDevice, RunningOutOfOpenALSourcesIsNoSource)
{
    std::vector<std::unique_ptr<WeSound>> sounds;
    int32_t without = 0;
    for (int i = 0; i < 2000 && without == 0; ++i)
    {
        sounds.push_back(std::make_unique<WeSound>("Sounds.Test.Tone", false));
        if (sounds.back()->GetSource() == nullptr)
            ++without;
        else
            EXPECT_NE(sounds.back()->GetSource()->GetSource(), 0u);
    }
    ASSERT_EQ(without, 1) << "OpenAL never ran out";
    sounds.back()->Play(false);
    EXPECT_FALSE(sounds.back()->IsPlaying());
    // A priority request makes room by stealing.
    WeSound priority("Sounds.Test.Tone", true);
    EXPECT_NE(priority.GetSource(), nullptr);
}

TEST_F(AudioDevice, BuffersAreSharedByNameWithoutCase)
{
    const int32_t before = GetSoundBufferCount();
    WeSound a("Sounds.Test.Tone", false);
    WeSound b("sounds.test.TONE", false);
    ASSERT_NE(a.GetSource(), nullptr);
    EXPECT_EQ(a.GetSource()->GetBuffer(), b.GetSource()->GetBuffer());
    EXPECT_NE(a.GetSource()->GetBuffer()->GetBuffer(), 0u);
    EXPECT_EQ(GetSoundBufferCount(), before + 1);

    WeSoundBuffer* missing = GetSoundBuffer("Sounds.Test.Missing");
    EXPECT_EQ(missing->GetBuffer(), 0u);
    EXPECT_EQ(GetSoundBuffer("Sounds.Test.MISSING"), missing);
    WeSound silent("Sounds.Test.Missing", false);
    silent.Play(false);
    EXPECT_EQ(GetSoundBufferCount(), before + 2);
}

TEST_F(AudioDevice, FinishedSoundLosesItsSourceAndStopTakesNoNewOne)
{
    WeSound blip("Sounds.Test.Blip", false);
    blip.Play(false);
    EXPECT_TRUE(blip.IsPlaying());
    EXPECT_GT(Advance(441).Max(), 0.01);
    Advance(441);
    EXPECT_FALSE(blip.IsPlaying());
    EXPECT_EQ(blip.GetSource(), nullptr);
    const int32_t free = g_SoundSourcePool.GetFree();
    blip.Stop();
    blip.Pause();
    blip.Rewind();
    EXPECT_EQ(blip.GetSource(), nullptr);
    EXPECT_EQ(g_SoundSourcePool.GetFree(), free);
    blip.Play(false);
    EXPECT_TRUE(blip.IsPlaying());
}

TEST_F(AudioDevice, TwoPassesWithSoundsAliveAcrossThem)
{
    static WeSound s_Global("Sounds.Test.Tone", true);
    static WeSound3D s_Global3D("Sounds.Test.Tone", false);
    WeSound shared("Sounds.Test.Tone", true);
    s_Global.Play(true);
    s_Global3D.Play(true);
    shared.Play(true);
    Advance(441);
    for (int pass = 0; pass < 2; ++pass)
    {
        g_AudioDevice.Shutdown();
        EXPECT_EQ(s_Global.GetSource(), nullptr);
        EXPECT_EQ(shared.GetSource(), nullptr);
        s_Global.Stop();
        s_Global.SetGain(1.0f);
        ASSERT_TRUE(StartDevice());
        s_Global.Play(true);
        s_Global3D.Play(true);
        EXPECT_TRUE(s_Global.IsPlaying());
        EXPECT_GT(Advance(4410).Max(), 0.05);
    }
    s_Global.Stop();
    s_Global3D.Stop();
}
