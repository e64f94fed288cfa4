// The rolling credits over the menu background: the entries read from the translations, their start times,
// the body lines of an entry, the wait for the last entry and for the music (a short Ogg on the loopback
// output), the music paused by a lost focus, and Escape.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeConfigEntry.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeOggDecoder.h"
#include "Engine/ui/WeFont.h"
#include "Engine/ui/WeUIMovie.h"
#include "Engine/ui/WeUIPicture.h"
#include "Game/screens/CClassicCreditsDude.h"
#include "Game/screens/CClassicCreditsPhase.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CUberText.h"
#include "Tests/Game/screens/ScreenTestSupport.h"
#include "Tests/support/ConfigOverride.h"
#include "Tools/oggwriter/WeOggWriter.h"

namespace
{
constexpr int32_t Rate = WeAudioDevice::LoopbackRate;

class CClassicCreditsPhaseTest : public ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        g_Game.m_MusicKind = CGameGlobals::NoMusic;
    }
    void TearDown() override
    {
        g_PhaseManager.Shutdown();
        g_Game.m_MusicKind = CGameGlobals::NoMusic;
        if (m_Audio)
        {
            g_AudioDevice.StopMusic();
            g_AudioDevice.Shutdown();
            g_AudioDevice.SetOutput(WeAudioDevice::Output::Default);
            SetSoundFileSystem(nullptr);
        }
        delete m_Sounds;
        m_Sounds = nullptr;
        ScreenTest::TearDown();
        if (!m_OldLanguage.empty())
            *g_Language = m_OldLanguage.c_str();
        g_Localization.Load();
    }
    // The credits music as a tone of the given length on the loopback output.
    void UseMusic(float seconds)
    {
        const std::filesystem::path folder = m_Scratch.Root() / "Sounds" / "Packages" / "Sounds" / "Music";
        std::filesystem::create_directories(folder);
        const int32_t frames = int32_t(seconds * Rate);
        std::vector<int16_t> pcm(size_t(frames) * 2);
        for (int32_t i = 0; i < frames; ++i)
            pcm[size_t(i) * 2] = pcm[size_t(i) * 2 + 1] = int16_t(8000.0 * std::sin(i * 0.0627));
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(WeOggWriter::Encode(pcm, 2, Rate, 0.3f, bytes));
        std::ofstream out(folder / "IG_Credits Theme.ogg", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        out.close();
        m_Sounds = new WeFileSystem();
        m_Sounds->SetRoot((m_Scratch.Root() / "Sounds" / "Packages").string().c_str());
        SetSoundFileSystem(m_Sounds);
        g_AudioDevice.SetOutput(WeAudioDevice::Output::Loopback);
        ASSERT_TRUE(g_AudioDevice.Init());
        m_Audio = true;
    }
    // One frame of the game with 1/60 s of sound rendered.
    void Frame()
    {
        Step();
        if (m_Audio)
        {
            int16_t samples[Rate / 60 * 2];
            g_AudioDevice.RenderSamples(samples, Rate / 60);
            g_AudioDevice.Update();
        }
    }
    // Frames until the main menu is on top, at most `seconds`; the seconds that passed.
    float RunUntilMainMenu(float seconds)
    {
        int frames = 0;
        for (; frames < int(seconds * 60) && Stack() != "CMenuPhase CMainMenuPhase"; ++frames)
            Frame();
        return float(frames) / 60.0f;
    }
    void Open()
    {
        Start({&g_MenuPhase, &g_ClassicCreditsPhase});
        // The test window is never in front, so the music starts paused as in a game without the focus.
        if (m_Audio)
            g_AudioDevice.ResumeMusic();
    }
    // The translations replaced by these texts and the legal text alone, under a language of their own.
    void UseTexts(const std::vector<std::pair<const char*, const char*>>& texts)
    {
        if (m_OldLanguage.empty())
            m_OldLanguage = g_Language->c_str();
        const std::string language = "Credits" + std::to_string(++s_Languages);
        *g_Language = language.c_str();
        std::vector<std::pair<const char*, const char*>> all = texts;
        all.emplace_back("TEXT: LegalText", "The legal text");
        for (const auto& [key, text] : all)
        {
            WeConfigEntry* entry =
                LookupConfigEntry(WeString(("Localization" + language + ".Localization." + key).c_str()), true);
            entry->text = text;
            entry->hasValue = true;
            entry->ParseText();
        }
        g_Localization.Load();
    }
    static int32_t Live() { return g_ClassicCreditsPhase.m_Entries.Count(); }

    WeFileSystem* m_Sounds = nullptr;
    bool m_Audio = false;
    std::string m_OldLanguage;
    // Process-wide: every use takes a language no earlier test has filled.
    static inline int s_Languages = 0;
};
}  // namespace

TEST_F(CClassicCreditsPhaseTest, WithoutCreditKeysOnlyTheLegalTextShowsTwoSecondsAfterEntering)
{
    UseTexts({});
    Open();
    EXPECT_EQ(g_ClassicCreditsPhase.m_EntryCount, 1);
    EXPECT_EQ(g_Game.m_MusicKind, CGameGlobals::CreditsMusic);
    EXPECT_EQ(g_UIShowCursor, 0);
    // Two seconds, give or take the last frame's rounding.
    for (int i = 0; i < 119; ++i)
        Frame();
    EXPECT_EQ(Live(), 0);
    Frame();
    Frame();
    ASSERT_EQ(Live(), 1);
    const CClassicCreditsDude* entry = g_ClassicCreditsPhase.m_Entries.FirstNode()->payload;
    EXPECT_STREQ(entry->m_Title->GetText().c_str(), "");
    ASSERT_EQ(entry->m_LineStrings.Count(), 1);
    EXPECT_STREQ(entry->m_LineStrings.FirstNode()->payload.c_str(), "The legal text");
}

TEST_F(CClassicCreditsPhaseTest, TheSearchForCreditKeysStopsAtTheFirstMissingNumber)
{
    struct Case
    {
        std::vector<const char*> keys;
        int32_t entries;  // with the legal text
    };
    const Case cases[] = {
        {{"TEXT: Credit01", "TEXT: Credit02", "TEXT: Credit03"}, 4},
        {{"TEXT: Credit01", "TEXT: Credit03"}, 2},
        {{"TEXT: Credit02", "TEXT: Credit03"}, 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.entries);
        std::vector<std::pair<const char*, const char*>> texts;
        for (const char* key : c.keys)
            texts.emplace_back(key, "Title\nline");
        UseTexts(texts);
        Open();
        EXPECT_EQ(g_ClassicCreditsPhase.m_EntryCount, c.entries);
        EXPECT_STREQ(g_ClassicCreditsPhase.m_Titles.FirstNode()->payload.c_str(), c.entries > 1 ? "Title" : "");
        EXPECT_STREQ(g_ClassicCreditsPhase.m_Texts.LastNode()->payload.c_str(), "The legal text");
        g_PhaseManager.Shutdown();
    }
}

TEST_F(CClassicCreditsPhaseTest, FourBodyLinesInATwentyPixelFontStartTheNextEntryAfter8Point33Seconds)
{
    ConfigOverride single("game.Credits.SingleDuration", "25");
    ConfigOverride space("game.Credits.SpaceDuration", "5");
    UseTexts({{"TEXT: Credit01", "Title\none\ntwo\nthree\nfour"}, {"TEXT: Credit02", "Second\nline"}});
    WeFont font;
    font.m_LineHeight = 20;
    WeFont* old = g_Game.m_Font24;
    g_Game.m_Font24 = &font;
    g_ScreenSize.height = 600;
    Open();
    int frames = 0;
    for (; frames < 600 && g_ClassicCreditsPhase.m_CurrentEntry < 0; ++frames)
        Frame();
    EXPECT_NEAR(frames, 120, 1);
    EXPECT_NEAR(g_ClassicCreditsPhase.m_Interval, 4.0f * 20.0f * 25.0f / 600.0f + 5.0f, 1e-4f);
    int next = 0;
    for (; next < 1200 && g_ClassicCreditsPhase.m_CurrentEntry < 1; ++next)
        Frame();
    // 8.33 s is 500 frames.
    EXPECT_NEAR(next, 500, 1);
    EXPECT_EQ(Live(), 2);
    g_PhaseManager.Shutdown();
    g_Game.m_Font24 = old;
}

TEST_F(CClassicCreditsPhaseTest, AnEntrysLinesDropALeadingAtSignAndSitBelowTheTitle)
{
    ConfigOverride single("game.Credits.SingleDuration", "25");
    CClassicCreditsDude entry("Title", "@first\nsecond @\n@@third");
    EXPECT_STREQ(entry.m_Title->GetText().c_str(), "Title");
    EXPECT_EQ(entry.m_Title->m_Format, 1);
    EXPECT_FLOAT_EQ(entry.m_Duration, 25.0f);
    EXPECT_FLOAT_EQ(entry.m_Title->m_InTime, 12.5f);
    EXPECT_FLOAT_EQ(entry.m_Title->m_OutTime, 12.5f);
    EXPECT_FLOAT_EQ(entry.m_Title->m_HoldTime, 0.0f);
    EXPECT_EQ(entry.m_Title->m_InStyle, 2);
    EXPECT_EQ(entry.m_Title->m_OutStyle, 2);
    const char* const strings[] = {"first", "second @", "@third"};
    const char* const shown[] = {"\n\nfirst", "\n\n\nsecond @", "\n\n\n\n@third"};
    ASSERT_EQ(entry.m_LineStrings.Count(), 3);
    ASSERT_EQ(entry.m_Lines.Count(), 3);
    int i = 0;
    auto* line = entry.m_Lines.FirstNode();
    for (auto* s = entry.m_LineStrings.FirstNode(); s != nullptr; s = entry.m_LineStrings.NextNode(s), ++i)
    {
        EXPECT_STREQ(s->payload.c_str(), strings[i]);
        EXPECT_STREQ(line->payload->GetText().c_str(), shown[i]);
        EXPECT_FLOAT_EQ(line->payload->m_X, 0.5f);
        EXPECT_FLOAT_EQ(line->payload->m_Y, 0.5f);
        line = entry.m_Lines.NextNode(line);
    }
}

TEST_F(CClassicCreditsPhaseTest, TheScreenWaitsForTheLastEntryAndForTheMusic)
{
    ConfigOverride start("game.Credits.StartSpaceDuration", "0.5");
    ConfigOverride single("game.Credits.SingleDuration", "1");
    ConfigOverride end("game.Credits.EndSpaceDuration", "0.5");
    UseTexts({});
    struct Case
    {
        float music;
        float leaveAfter;  // seconds: the entry ends at 0.5 + 1
    };
    const Case cases[] = {{0.5f, 1.5f}, {3.0f, 3.0f}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.music);
        UseMusic(c.music);
        Open();
        ASSERT_TRUE(g_AudioDevice.IsMusicPlaying());
        const float left = RunUntilMainMenu(10.0f);
        EXPECT_GE(left, c.leaveAfter - 0.05f);
        EXPECT_LE(left, c.leaveAfter + 0.3f);
        EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase");
        EXPECT_EQ(g_ClassicCreditsPhase.m_Finished, 1);
        g_PhaseManager.Shutdown();
        g_Game.m_MusicKind = CGameGlobals::NoMusic;
        g_AudioDevice.Shutdown();
        SetSoundFileSystem(nullptr);
        delete m_Sounds;
        m_Sounds = nullptr;
        m_Audio = false;
    }
}

TEST_F(CClassicCreditsPhaseTest, PausedMusicHasNotEndedSoTheCreditsStay)
{
    ConfigOverride start("game.Credits.StartSpaceDuration", "0.5");
    ConfigOverride single("game.Credits.SingleDuration", "1");
    ConfigOverride end("game.Credits.EndSpaceDuration", "0.5");
    UseTexts({});
    UseMusic(2.0f);
    Open();
    for (int i = 0; i < 90; ++i)
        Frame();
    // The window loses the focus after the last entry: the game pauses the music.
    g_AudioDevice.PauseMusic();
    EXPECT_FLOAT_EQ(RunUntilMainMenu(4.0f), 4.0f);
    EXPECT_EQ(Stack(), "CMenuPhase CClassicCreditsPhase");
    EXPECT_EQ(g_ClassicCreditsPhase.m_Finished, 1);
    g_AudioDevice.ResumeMusic();
    EXPECT_LT(RunUntilMainMenu(3.0f), 1.0f);
    EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase");
}

TEST_F(CClassicCreditsPhaseTest, EscapeLeavesAtOnceDestroysTheEntriesAndPlaysTheMenuMusic)
{
    Open();
    EXPECT_GE(g_ClassicCreditsPhase.m_EntryCount, 2);
    for (int i = 0; i < 60 * 12; ++i)
        Frame();
    EXPECT_GE(Live(), 1);
    // The background lies under the credits' texts while they roll, and back in its layer after.
    WeUIComponent* background = g_MenuPhase.m_MovieWidget != nullptr
                                    ? static_cast<WeUIComponent*>(g_MenuPhase.m_MovieWidget)
                                    : static_cast<WeUIComponent*>(g_MenuPhase.m_PictureWidget);
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->m_Layer, -1);
    Press(1);
    Step();
    EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase");
    EXPECT_EQ(Live(), 0);
    EXPECT_EQ(g_UIShowCursor, 1);
    EXPECT_EQ(g_Game.m_MusicKind, CGameGlobals::MenuMusic);
    EXPECT_EQ(g_ClassicCreditsPhase.m_Finished, 0);
    EXPECT_EQ(background->m_Layer, 0);
}
