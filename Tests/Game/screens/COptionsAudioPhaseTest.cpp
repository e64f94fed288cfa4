// The audio options: the bars start at the volumes, every report saves the options file, the sound bar's
// first report after entering plays nothing and the next one plays the test sound once.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeSound.h"
#include "Engine/ui/WeUIHScrollBar.h"
#include "Tests/Game/screens/OptionsTestSupport.h"

namespace
{
class COptionsAudioPhaseTest : public OptionsScreenTest
{
protected:
    void Open()
    {
        OpenFromMainMenu();
        ASSERT_TRUE(Click("Options_AudioButton"));
        ASSERT_TRUE(WaitShown("AudioOptions_BackButton"));
    }
    static float Position(const char* bar) { return Find<WeUIHScrollBar>(bar)->GetPosition(); }
};
}  // namespace

TEST_F(COptionsAudioPhaseTest, EachBarReportSetsItsVolumeAndSavesTheOptionsFile)
{
    g_OptionsSettings.m_MusicVolume = 0.25f;
    g_OptionsSettings.m_SoundVolume = 0.75f;
    Open();
    EXPECT_FLOAT_EQ(Position("AudioOptions_MusicVolumeScrollbar"), 0.25f);
    EXPECT_FLOAT_EQ(Position("AudioOptions_SoundVolumeScrollbar"), 0.75f);

    struct Case
    {
        const char* bar;
        float COptionsSettings::*volume;
    };
    const Case cases[] = {
        {"AudioOptions_MusicVolumeScrollbar", &COptionsSettings::m_MusicVolume},
        {"AudioOptions_SoundVolumeScrollbar", &COptionsSettings::m_SoundVolume},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.bar);
        // A click on the track steps the bar: one report.
        Find<WeUIHScrollBar>(c.bar)->SetPosition(0.1f);
        g_OptionsSettings.*c.volume = 0.1f;
        ASSERT_TRUE(Click(c.bar));
        const float moved = Position(c.bar);
        EXPECT_NEAR(moved, 0.2f, 1e-4f);
        EXPECT_FLOAT_EQ(g_OptionsSettings.*c.volume, moved);
        EXPECT_FLOAT_EQ(LoadedOptions().*c.volume, moved);
    }
}

TEST_F(COptionsAudioPhaseTest, TheFirstSoundReportAfterEnteringPlaysNothingTheNextOnePlaysTheTestSound)
{
    for (int pass = 0; pass < 2; ++pass)
    {
        SCOPED_TRACE(pass);
        Open();
        const int32_t before = g_OptionsAudioPhase.m_TestSoundsPlayed;
        ASSERT_TRUE(Click("AudioOptions_SoundVolumeScrollbar"));
        Step(3);
        EXPECT_EQ(g_OptionsAudioPhase.m_TestSoundsPlayed, before);
        EXPECT_FALSE(g_OptionsAudioPhase.m_TestSoundRequested);
        ASSERT_TRUE(Click("AudioOptions_SoundVolumeScrollbar"));
        Step(3);
        EXPECT_EQ(g_OptionsAudioPhase.m_TestSoundsPlayed, before + 1);
        EXPECT_FALSE(g_OptionsAudioPhase.m_TestSoundRequested);
        // The music bar asks for no test sound.
        ASSERT_TRUE(Click("AudioOptions_MusicVolumeScrollbar"));
        Step(3);
        EXPECT_EQ(g_OptionsAudioPhase.m_TestSoundsPlayed, before + 1);
        // Leaving and entering again skips the first report again.
        Press(1);
        EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase");
        EXPECT_EQ(g_OptionsAudioPhase.m_TestSound, nullptr);
        g_PhaseManager.Shutdown();
    }
}

namespace
{
// The audio device on its loopback output: what is playing is rendered on demand and measured.
class COptionsAudioPhaseLoopbackTest : public COptionsAudioPhaseTest
{
protected:
    void SetUp() override
    {
        COptionsAudioPhaseTest::SetUp();
        g_AudioDevice.SetOutput(WeAudioDevice::Output::Loopback);
        ASSERT_TRUE(g_AudioDevice.Init());
        g_AudioDevice.SetMusicVolume(1.0f);
        g_AudioDevice.SetSoundVolume(1.0f);
        g_AudioDevice.SetSoundFade(1.0f);
    }
    void TearDown() override
    {
        g_AudioDevice.StopMusic();
        g_AudioDevice.SetMusicVolume(1.0f);
        g_AudioDevice.SetSoundVolume(1.0f);
        g_AudioDevice.Shutdown();
        g_AudioDevice.SetOutput(WeAudioDevice::Output::Default);
        COptionsAudioPhaseTest::TearDown();
    }
    // The RMS level of the next second, rendered in steps of 441 frames with the device updated after each.
    static double Level()
    {
        std::vector<int16_t> step(441 * 2);
        double sum = 0.0;
        int64_t count = 0;
        for (int i = 0; i < 100; ++i)
        {
            g_AudioDevice.RenderSamples(step.data(), 441);
            g_AudioDevice.Update();
            for (int16_t s : step)
                sum += double(s) * s;
            count += int64_t(step.size());
        }
        return std::sqrt(sum / double(count)) / 32768.0;
    }
};
}  // namespace

TEST_F(COptionsAudioPhaseLoopbackTest, EachBarChangesThePlayingLevelAtOnce)
{
    struct Case
    {
        const char* bar;
        bool music;
    };
    const Case cases[] = {{"AudioOptions_MusicVolumeScrollbar", true}, {"AudioOptions_SoundVolumeScrollbar", false}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.bar);
        // Started once the menus are up: the menu background's entry changes the music.
        Open();
        WeSound sound("Sounds.Menu.VolumeTest", false);
        if (c.music)
            ASSERT_TRUE(g_AudioDevice.PlayMusic("Sounds.Music.IG_Menu Theme", true));
        else
            sound.Play(true);
        Level();
        ASSERT_TRUE(!c.music || g_AudioDevice.IsMusicPlaying());
        const double full = Level();
        ASSERT_GT(full, 0.005);
        // From a tenth, a click on the track makes two tenths: a fifth of the full level.
        Find<WeUIHScrollBar>(c.bar)->SetPosition(0.1f);
        ASSERT_TRUE(Click(c.bar));
        ASSERT_NEAR(Position(c.bar), 0.2f, 1e-4f);
        Level();
        const double low = Level();
        EXPECT_GT(low, full * 0.08);
        EXPECT_LT(low, full * 0.4);
        g_AudioDevice.StopMusic();
        sound.Stop();
        g_AudioDevice.SetMusicVolume(1.0f);
        g_AudioDevice.SetSoundVolume(1.0f);
        g_PhaseManager.Shutdown();
    }
}
