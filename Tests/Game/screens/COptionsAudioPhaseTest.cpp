// The audio options: the bars start at the volumes, every report saves the options file, the sound bar's
// first report after entering plays nothing and the next one plays the test sound once.
#include <gtest/gtest.h>

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
