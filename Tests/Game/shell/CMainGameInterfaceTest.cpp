// The display's record and its text half on the recording canvas: race start and leave, the message queue's
// walk and draw, the debug keys, the time-warning tick, and the anchoring of texts on wide screens.
#include <gtest/gtest.h>

#include "Engine/foundation/WeLocalization.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WeSound.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/COneShotSounds.h"
#include "Game/shell/CUberText.h"
#include "Game/shell/HudText.h"
#include "Tests/Game/shell/HudTestSupport.h"
#include "Tests/support/ConfigOverride.h"

namespace
{

class CMainGameInterfaceTest : public HudRecording
{
protected:
    void TearDown() override
    {
        g_MainGameInterface.Clear();
        g_MainGameInterface.m_Visible = 1;
        g_MainGameInterface.m_WeaponSlotsShown = 1;
        g_MainGameInterface.m_StatsShown = 1;
        g_MainGameInterface.m_RivalTagMode = 1;
        g_MainGameInterface.m_LockRingsShown = 1;
        g_MainGameInterface.m_MessagesShown = 1;
        g_MainGameInterface.m_StandingsShown = 1;
        HudRecording::TearDown();
    }
    static void Press(int32_t key)
    {
        g_Input.m_Edges[key] = 1;
        ++g_Input.m_PendingEdges;
    }
    static CUberText* Message(const char* text, float hold)
    {
        auto* message = new CUberText(WeString(text), 0, 0, nullptr);
        message->SetHoldTime(hold);
        message->SetShadow(false);
        return message;
    }
    static std::vector<std::string> DrawnTexts()
    {
        g_MainGameInterface.Render();
        std::vector<std::string> out;
        for (const WeCanvasTextNode& node : TakeTexts())
            out.emplace_back(node.text.c_str());
        return out;
    }
};

TEST_F(CMainGameInterfaceTest, InitMakesItsSoundsOnceAndClearDestroysThemAndTheQueue)
{
    CMainGameInterface& hud = g_MainGameInterface;
    hud.m_StandingsTimer = 3.0f;
    hud.m_PrimaryPictureKind = 5;
    hud.SetTimeWarning(0.5f);
    hud.Init();
    ASSERT_EQ(hud.m_Initialised, 1);
    ASSERT_NE(hud.m_HeartBeatSound, nullptr);
    ASSERT_NE(hud.m_TimeEndingSound, nullptr);
    EXPECT_EQ(hud.m_HeartBeatSound->GetName(), "Sounds.Interface.HeartBeat");
    EXPECT_EQ(hud.m_TimeEndingSound->GetName(), "Sounds.Interface.TimeEndingText");
    EXPECT_FALSE(hud.m_HeartBeatSound->IsPriority());
    EXPECT_EQ(hud.m_StandingsTimer, 0.0f);
    EXPECT_EQ(hud.m_PrimaryPictureKind, 0);
    EXPECT_EQ(hud.m_TimeWarningIntensity, 0.0f);

    // The race calls it twice: the second call keeps what the first made.
    WeSound* heartBeat = hud.m_HeartBeatSound;
    hud.Init();
    EXPECT_EQ(hud.m_HeartBeatSound, heartBeat);

    hud.m_HitSound = new WeSound(WeString("Sounds.Interface.Hit"), false);
    hud.AddMessage(Message("one", 1.0f));
    hud.AddMessage(Message("two", 1.0f));
    hud.AddMessage(nullptr);
    EXPECT_EQ(hud.m_Messages.Count(), 2);
    hud.Clear();
    EXPECT_EQ(hud.m_Initialised, 0);
    EXPECT_EQ(hud.m_HeartBeatSound, nullptr);
    EXPECT_EQ(hud.m_HitSound, nullptr);
    EXPECT_EQ(hud.m_ImmortalHitSound, nullptr);
    EXPECT_EQ(hud.m_TimeEndingSound, nullptr);
    EXPECT_TRUE(hud.m_Messages.IsEmpty());
    // The messages gave their rows back.
    for (uint8_t row : g_UberTextRowFree)
        EXPECT_EQ(row, 1);

    // A second race starts clean; a Clear without a race does nothing.
    hud.Init();
    EXPECT_NE(hud.m_HeartBeatSound, nullptr);
    EXPECT_EQ(hud.m_HitSound, nullptr);
    hud.Clear();
    hud.AddMessage(Message("kept", 1.0f));
    hud.Clear();
    EXPECT_EQ(hud.m_Messages.Count(), 1);
    hud.Init();
}

TEST_F(CMainGameInterfaceTest, TheQueueUpdatesDrawsInOrderAndDropsFinishedMessages)
{
    CMainGameInterface& hud = g_MainGameInterface;
    hud.Init();
    hud.AddMessage(Message("short", 2.0f / 64.0f));
    hud.AddMessage(Message("long", 1.0f));
    // Queued but not yet updated: idle, so not drawn.
    EXPECT_TRUE(DrawnTexts().empty());
    hud.Update();
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"short", "long"}));
    hud.Update();
    hud.Update();
    // Finished in that update; drawn no more, and gone from the queue at the next one.
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"long"}));
    EXPECT_EQ(hud.m_Messages.Count(), 2);
    hud.Update();
    EXPECT_EQ(hud.m_Messages.Count(), 1);
    EXPECT_EQ(g_UberTextRowFree[0], 1);
    EXPECT_EQ(g_UberTextRowFree[1], 0);

    // Messages hidden by F6 are still updated and drawn again after a second F6.
    Press(64);
    hud.Update();
    EXPECT_EQ(hud.m_MessagesShown, 0);
    EXPECT_TRUE(DrawnTexts().empty());
    Press(64);
    hud.Update();
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"long"}));

    // A missing translation shows its key.
    hud.ShowCentredMessage(WeString("MSG: NO SUCH KEY"));
    ASSERT_EQ(hud.m_Messages.Count(), 2);
    EXPECT_EQ(hud.m_Messages.Back()->GetText(), "MSG: NO SUCH KEY");
    EXPECT_EQ(hud.m_Messages.Back()->GetRow(), 0);
}

TEST_F(CMainGameInterfaceTest, TheFunctionKeysToggleTheirPartsAndF4CyclesTheTags)
{
    CMainGameInterface& hud = g_MainGameInterface;
    const struct
    {
        int32_t key;
        uint8_t* flag;
    } toggles[] = {{59, &hud.m_Visible},        {60, &hud.m_WeaponSlotsShown}, {61, &hud.m_StatsShown},
                   {63, &hud.m_LockRingsShown}, {64, &hud.m_MessagesShown},    {65, &hud.m_StandingsShown}};
    for (const auto& t : toggles)
    {
        Press(t.key);
        hud.Update();
        EXPECT_EQ(*t.flag, 0) << t.key;
        Press(t.key);
        hud.Update();
        EXPECT_EQ(*t.flag, 1) << t.key;
    }
    std::vector<int32_t> modes;
    for (int i = 0; i < 4; ++i)
    {
        Press(62);
        hud.Update();
        modes.push_back(hud.m_RivalTagMode);
    }
    EXPECT_EQ(modes, (std::vector<int32_t>{2, 3, 0, 1}));
    // The key is taken: a phase below does not see it.
    Press(62);
    hud.Update();
    EXPECT_FALSE(g_Input.ConsumeKey(62));

    // The race start sets three of them again and keeps the rest as the keys left them.
    hud.m_WeaponSlotsShown = hud.m_StatsShown = hud.m_MessagesShown = 0;
    hud.m_StandingsShown = 0;
    hud.m_DistantExplosionRequest = 1;
    hud.m_IdleHoverStopped = 1;
    hud.SetRaceStartFlags();
    EXPECT_EQ(hud.m_WeaponSlotsShown, 1);
    EXPECT_EQ(hud.m_StatsShown, 1);
    EXPECT_EQ(hud.m_MessagesShown, 1);
    EXPECT_EQ(hud.m_StandingsShown, 0);
    EXPECT_EQ(hud.m_DistantExplosionRequest, 0);
    EXPECT_EQ(hud.m_IdleHoverStopped, 0);
}

TEST_F(CMainGameInterfaceTest, TheTimeWarningTicksEveryOneMinusItsIntensityButNoFasterThanThreeTenths)
{
    CMainGameInterface& hud = g_MainGameInterface;
    hud.Init();
    const struct
    {
        float intensity;
        int frames;  // between two ticks at 1/64 s
    } cases[] = {{0.9f, 20}, {0.7f, 20}, {0.5f, 32}, {0.2f, 52}};
    for (const auto& c : cases)
    {
        hud.SetTimeWarning(c.intensity);
        hud.m_TimeWarningTimer = 0.0f;
        std::vector<int> ticks;
        for (int frame = 1; frame <= 200; ++frame)
        {
            hud.Update();
            if (hud.m_TimeWarningTimer == 0.0f)
                ticks.push_back(frame);
        }
        ASSERT_GE(ticks.size(), 2u) << c.intensity;
        for (size_t i = 0; i < ticks.size(); ++i)
            EXPECT_EQ(ticks[i], int(i + 1) * c.frames) << c.intensity;
    }
    hud.SetTimeWarning(0.0f);
    hud.m_TimeWarningTimer = 0.25f;
    for (int frame = 0; frame < 100; ++frame)
        hud.Update();
    EXPECT_EQ(hud.m_TimeWarningTimer, 0.25f);
}

TEST_F(CMainGameInterfaceTest, TheSoundTimersRunAndADistantExplosionIsPlayedOnce)
{
    CMainGameInterface& hud = g_MainGameInterface;
    hud.m_WarningSoundTimer = hud.m_LockSoundTimer = hud.m_WrongWayTimer = 0.0f;
    hud.m_DistantExplosionRequest = 1;
    ClearOneShotSounds();
    for (int i = 0; i < 32; ++i)
        hud.Update();
    EXPECT_FLOAT_EQ(hud.m_WarningSoundTimer, 0.5f);
    EXPECT_FLOAT_EQ(hud.m_LockSoundTimer, 0.5f);
    EXPECT_FLOAT_EQ(hud.m_WrongWayTimer, 0.5f);
    EXPECT_EQ(hud.m_DistantExplosionRequest, 0);
    EXPECT_EQ(CountOneShotSounds(), 1);
    ClearOneShotSounds();
}

TEST_F(CMainGameInterfaceTest, TheCraftsLinksReachTheDisplay)
{
    CMainGameInterface& hud = g_MainGameInterface;
    EXPECT_TRUE(RaceMessagesShown());
    hud.m_MessagesShown = 0;
    EXPECT_FALSE(RaceMessagesShown());
    hud.m_MessagesShown = 1;

    ShowCentredMessage(WeString("MSG: HYPER_BREAK_ENGAGED"));
    ASSERT_EQ(hud.m_Messages.Count(), 1);
    EXPECT_EQ(hud.m_Messages.Front()->GetRow(), 0);

    EXPECT_FALSE(IsIdleHoverStopped());
    hud.m_IdleHoverStopped = 1;
    EXPECT_TRUE(IsIdleHoverStopped());
    hud.SetRaceStartFlags();
    EXPECT_FALSE(IsIdleHoverStopped());

    ClearOneShotSounds();
    PlayHeadLightSound();
    EXPECT_EQ(CountOneShotSounds(), 1);
    ClearOneShotSounds();
    // Clear empties the queue only after a race start.
    hud.Init();
}

class HudAnchoring : public HudRecording, public testing::WithParamInterface<std::pair<int, int>>
{
protected:
    void SetUp() override { SetUpAt(GetParam().first, GetParam().second); }
};

TEST_P(HudAnchoring, TextsKeepTheirDistanceFromTheirEdge)
{
    CMainGameInterface& hud = g_MainGameInterface;
    hud.Render();
    const float w = float(GetParam().first), h = float(GetParam().second);
    EXPECT_FLOAT_EQ(hud.m_HorizontalScale, w / 1024.0f);
    EXPECT_FLOAT_EQ(hud.m_Scale, h / 768.0f);
    EXPECT_FLOAT_EQ(hud.m_VerticalScale, h / 768.0f);
    const float k = (h / 768.0f) / (w / 1024.0f);
    // In pixels: a left-anchored x is as far from the left edge as on the reference screen scaled by its
    // height, a right-anchored one as far from the right edge.
    EXPECT_NEAR(hud.AnchorLeft(0.1f) * w, 0.1f * 1024.0f * hud.m_Scale, 1e-3f);
    EXPECT_NEAR((1.0f - hud.AnchorRight(0.9f)) * w, 0.1f * 1024.0f * hud.m_Scale, 1e-3f);
    EXPECT_FLOAT_EQ(hud.AnchorLeft(0.25f), k * 0.25f);
    EXPECT_FLOAT_EQ(hud.AnchorRight(0.75f), 1.0f + k * (0.75f - 1.0f));
    EXPECT_EQ(hud.Scaled(192), int32_t(h / 768.0f * 192.0f));
}

INSTANTIATE_TEST_SUITE_P(Screens, HudAnchoring,
                         testing::Values(std::make_pair(1024, 768), std::make_pair(1280, 720), std::make_pair(800, 600),
                                         std::make_pair(1920, 1080)));

TEST(CMainGameInterfaceLayout, TheLayoutKeysAreReadOnceAndTheSlotsCopied)
{
    g_MainGameInterface.LoadLayout();
    ConfigOverride weapon("UI.Hud.WeaponX", "0.4");
    ConfigOverride mine("UI.Hud.MineX", "0.6");
    ConfigOverride count("UI.Hud.SpeedRotCount", "12");
    ConfigOverride garbage("UI.Hud.lapy", "up high");
    g_MainGameInterface.LoadLayout();
    EXPECT_FLOAT_EQ(g_MainGameInterface.m_WeaponSlotX, 0.4f);
    EXPECT_FLOAT_EQ(g_MainGameInterface.m_MineSlotX, 0.6f);
    EXPECT_FLOAT_EQ(CMainGameInterface::s_Layout.weaponX, 0.4f);
    EXPECT_EQ(CMainGameInterface::s_Layout.speedRotCount, 12);
    // Garbage reads as 0, as every configuration number does.
    EXPECT_EQ(CMainGameInterface::s_Layout.lapY, 0.0f);
}

}  // namespace

namespace
{

class CMainGameInterfaceAtlases : public HudRecording
{
};

TEST_F(CMainGameInterfaceAtlases, MissingPicturesTakeTheManagersDefault)
{
    CMainGameInterface& hud = g_MainGameInterface;
    hud.LoadAtlases();
    EXPECT_NE(hud.m_HudAtlas, nullptr);
    EXPECT_NE(hud.m_LockingAtlas, nullptr);
    EXPECT_NE(hud.m_BloodScreen, nullptr);
    for (WeTexture* frame : hud.m_TranslocatorScreens)
        EXPECT_NE(frame, nullptr);
    // The textures go with the device at the fixture's end.
    hud.m_HudAtlas = hud.m_LockingAtlas = hud.m_BloodScreen = nullptr;
    for (WeTexture*& frame : hud.m_TranslocatorScreens)
        frame = nullptr;
}

}  // namespace
