#include "Game/shell/CPlayGamePhase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeConfigEntry.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Game/craft/CTuber.h"
#include "Game/screens/CEndGamePhase.h"
#include "Game/screens/CInGameMenuPhase.h"
#include "Game/screens/CLoadMapPhase.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CRestartPhase.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CScreenFader.h"
#include "Game/shell/CUberText.h"
#include "Platform/input/DIKeyCodes.h"
#include "Tests/Game/shell/RaceTestSupport.h"

namespace
{
constexpr double Step = 1.0 / 64.0;

// A preview key as a configuration file gives it: set by a file, so the race takes it.
class FileKey
{
public:
    FileKey(const char* key, const char* text) : m_Override(key, text), m_Entry(FindConfigEntry(WeString(key)))
    {
        m_WasFromFile = m_Entry->fromFile;
        m_Entry->fromFile = true;
    }
    ~FileKey() { m_Entry->fromFile = m_WasFromFile; }

private:
    ConfigOverride m_Override;
    WeConfigEntry* m_Entry;
    bool m_WasFromFile = false;
};

using CPlayGamePhaseTest = RaceFixture;

TEST_F(CPlayGamePhaseTest, TheRaceRunsFromTheStartDelayThroughOneFadeAndTheCountdownToTheRaceAndTheEndScreen)
{
    StartRace();
    rig->Tick(1);
    ASSERT_TRUE(rig->InRace());
    EXPECT_EQ(rig->EnterTick(), 0);
    // The first update after entering moves nothing.
    EXPECT_EQ(g_PlayGamePhase.m_StartDelayTimer, 0.0f);
    EXPECT_EQ(g_Timer.m_MinimumFrameTime, 0.0125);
    EXPECT_EQ(g_Engine.m_PhysicsEnabled, 1);
    ASSERT_NE(g_Game.m_PlayerTuber, nullptr);
    EXPECT_EQ(g_Game.m_PlayerTuber, rig->Craft(0));
    EXPECT_NE(rig->Craft(1), nullptr);

    // The countdown's steps: the update of state 3 each shows up in.
    std::vector<int64_t> steps;
    int32_t lastStep = 0;
    float clockBeforeRacing = 0.0f;
    rig->RunUntil(
        [&]
        {
            if (g_PlayGamePhase.m_CountdownStep != lastStep)
            {
                steps.push_back(rig->Ticks() - 1 - rig->EnterTick());
                lastStep = g_PlayGamePhase.m_CountdownStep;
            }
            if (g_PlayGamePhase.m_RaceState < 4)
                clockBeforeRacing += g_PlayGamePhase.m_RaceClock;
            return g_PlayGamePhase.m_RaceState == 4;
        },
        20.0);
    // Without preview keys: 3 s of start delay, one fade in and out of 2 s each, 1 s, then the countdown.
    const std::vector<RaceRig::StateChange> expected = {{0, 1, 192}, {1, 2, 448}, {2, 3, 512}, {3, 4, 628}};
    ASSERT_EQ(rig->StateLog().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_EQ(rig->StateLog()[i].from, expected[i].from);
        EXPECT_EQ(rig->StateLog()[i].to, expected[i].to);
        EXPECT_EQ(rig->StateLog()[i].tick, expected[i].tick) << i;
    }
    // Steps at the 1st, 39th, 77th and 116th update of state 3.
    EXPECT_EQ(steps, (std::vector<int64_t>{512 + 1, 512 + 39, 512 + 77, 512 + 116}));
    EXPECT_EQ(clockBeforeRacing, 0.0f);
    EXPECT_EQ(g_PlayGamePhase.m_RaceClock, 0.0f);
    rig->Tick(64);
    EXPECT_FLOAT_EQ(g_PlayGamePhase.m_RaceClock, 1.0f);

    // The normal end: 7 s of finalisation, the exit fade, then the end screen in the tick after it covers.
    g_PlayGamePhase.FinishRace(0);
    EXPECT_EQ(g_PlayGamePhase.m_RaceState, 5);
    EXPECT_TRUE(rig->Craft(0)->m_Finished);
    EXPECT_TRUE(rig->Craft(1)->m_Finished);
    rig->Tick(447);
    EXPECT_EQ(g_PlayGamePhase.m_RaceOver, 0);
    rig->Tick(1);
    EXPECT_EQ(g_PlayGamePhase.m_RaceOver, 1);
    EXPECT_FLOAT_EQ(g_PlayGamePhase.m_FinalisationTimer, 7.0f);
    const float clock = g_PlayGamePhase.m_RaceClock;
    rig->Tick(127);
    EXPECT_TRUE(rig->InRace());
    EXPECT_EQ(g_PlayGamePhase.m_RaceClock, clock);
    rig->Tick(1);
    EXPECT_FALSE(rig->InRace());
    EXPECT_EQ(g_PhaseManager.GetTopPhase(), &g_EndGamePhase);
    EXPECT_EQ(g_Game.m_Map, nullptr);
    EXPECT_EQ(g_Game.m_PlayerTuber, nullptr);
    EXPECT_EQ(g_Timer.m_MinimumFrameTime, 0.0);
    EXPECT_EQ(g_Engine.m_PhysicsEnabled, 0);
    for (CRaceParticipant* p : g_RaceSettings.m_Participants)
        if (p != nullptr)
        {
            EXPECT_EQ(p->m_Craft, nullptr);
            EXPECT_EQ(p->m_Agent, nullptr);
        }
    EXPECT_FALSE(g_RaceSettings.m_Participants[1]->m_Won);
}

TEST_F(CPlayGamePhaseTest, TheRestartFlagLeadsToTheRestartScreen)
{
    StartRace();
    RunToState(4);
    g_PlayGamePhase.m_Restart = 1;
    g_PlayGamePhase.FinishRace(0);
    rig->RunUntil([&] { return !rig->InRace(); }, 20.0);
    // The restart screen hands over to the loading screen in the same step, and the end screen never comes.
    // The rig's generated track is not in the map folder, so the loading screen gives up and shows the menus.
    const WeAbstractPhase* top = g_PhaseManager.GetTopPhase();
    EXPECT_NE(top, &g_EndGamePhase);
    EXPECT_TRUE(top == &g_LoadMapPhase || top == &g_MainMenuPhase);
}

TEST_F(CPlayGamePhaseTest, PreviewCamerasShowInTurnEachAfterAFadeAndWriteTheirDepthOfFieldBack)
{
    FileKey first("Maps.RaceRing.PreviewCamera1", "10, 20, 30, 0, 0, 0, 2, 12.3456, 150, 3");
    // Too few fields: the rest take their defaults; not numbers: the same.
    FileKey third("Maps.RaceRing.PreviewCamera3", "-5,6,x");
    StartRace();
    // The first camera comes in the fade's callback 128 ticks after the start delay.
    rig->Tick(320);
    EXPECT_EQ(g_PlayGamePhase.m_PreviewCameraIndex, 0);
    rig->Tick(1);
    EXPECT_EQ(g_PlayGamePhase.m_PreviewCameraIndex, 1);
    EXPECT_EQ(g_PlayGamePhase.m_PreviewActive, 1);
    EXPECT_EQ(g_PlayGamePhase.m_PreviewPosition, D3DXVECTOR3(10.0f, 20.0f, 30.0f));
    // The quaternion (0, 0, 0, 2) is made a unit one: no rotation.
    EXPECT_FLOAT_EQ(g_PlayGamePhase.m_PreviewRotation[3], 1.0f);
    EXPECT_FLOAT_EQ(g_PlayGamePhase.m_PreviewForward.z, 1.0f);
    EXPECT_FLOAT_EQ(g_PlayGamePhase.m_PreviewUp.y, 1.0f);
    EXPECT_STREQ(FindConfigEntry(WeString("cameras.Preview.FocusDistance"))->text.c_str(), "12.346");
    EXPECT_STREQ(FindConfigEntry(WeString("cameras.Preview.FocusRange"))->text.c_str(), "150.000");
    EXPECT_FLOAT_EQ(GetConfigFloat("cameras.Preview.MaxCoC", 4.0f), 3.0f);

    // The camera's time starts once the fader is idle (448) and must pass 2 s: 129 updates.
    rig->Tick(448 + 128 - 321);
    EXPECT_EQ(g_ScreenFader.m_State, CScreenFader::Idle);
    rig->Tick(1);
    EXPECT_EQ(g_ScreenFader.m_State, CScreenFader::FadingIn);
    rig->RunUntil([&] { return g_PlayGamePhase.m_PreviewCameraIndex == 3; }, 5.0);
    EXPECT_EQ(rig->Ticks() - 1, 576 + 128);
    EXPECT_EQ(g_PlayGamePhase.m_PreviewPosition, D3DXVECTOR3(-5.0f, 6.0f, 0.0f));
    EXPECT_FLOAT_EQ(g_PlayGamePhase.m_PreviewFocusDistance, 8.0f);
    EXPECT_STREQ(FindConfigEntry(WeString("cameras.Preview.FocusDistance"))->text.c_str(), "8.000");
    // No fourth camera: the last one's fade ends the preview, and the fade out leads to the pre-countdown.
    EXPECT_EQ(RunToState(2), 704 + 128 + 128 + 128 + 128);
    EXPECT_EQ(g_PlayGamePhase.m_PreviewDone, 1);
    EXPECT_EQ(g_PlayGamePhase.m_PreviewActive, 0);
}

TEST_F(CPlayGamePhaseTest, AKeyDuringThePreviewSkipsTheRestAfterOneFade)
{
    FileKey first("Maps.RaceRing.PreviewCamera1", "0,5,0,0,0,0,1");
    FileKey second("Maps.RaceRing.PreviewCamera2", "0,5,50,0,0,0,1");
    StartRace();
    rig->Tick(460);
    ASSERT_EQ(g_PlayGamePhase.m_PreviewCameraIndex, 1);
    rig->KeyDown(DIK_W);
    rig->Tick(1);
    rig->KeyUp(DIK_W);
    EXPECT_EQ(g_ScreenFader.m_State, CScreenFader::FadingIn);
    EXPECT_EQ(RunToState(2), 460 + 128 + 128);
    EXPECT_EQ(g_PlayGamePhase.m_PreviewCameraIndex, 1);
}

TEST_F(CPlayGamePhaseTest, EscapeOpensThePauseMenuFromThePreCountdownOn)
{
    StartRace();
    rig->Tick(1);
    for (int32_t state : {0, 1, 2, 3, 4, 5})
    {
        g_PlayGamePhase.m_RaceState = state;
        rig->KeyDown(DIK_ESCAPE);
        rig->Tick(1);
        rig->KeyUp(DIK_ESCAPE);
        rig->Tick(1);
        const bool pushed = g_PhaseManager.GetTopPhase() == &g_InGameMenuPhase;
        EXPECT_EQ(pushed, state >= 2) << state;
        if (pushed)
        {
            g_PhaseManager.RequestPhase(nullptr, WePhaseManager::PopRequest);
            rig->Tick(1);
        }
        ASSERT_EQ(g_PhaseManager.GetTopPhase(), &g_PlayGamePhase) << state;
    }
}

TEST_F(CPlayGamePhaseTest, ThePauseStopsPhysicsAndTheClocksAndOnlyTheCameraMoves)
{
    StartRace();
    RunToState(4);
    rig->KeyDown(DIK_W);
    rig->Tick(64);
    CTuber* player = rig->Player();
    ASSERT_NE(player, nullptr);
    g_PlayGamePhase.m_SavedRaceState = g_PlayGamePhase.m_RaceState;
    g_PlayGamePhase.m_RaceState = 6;
    rig->Tick(2);
    const D3DXVECTOR3 at = player->GetWorldPosition();
    const float clock = g_PlayGamePhase.m_RaceClock;
    rig->Tick(32);
    EXPECT_EQ(g_Engine.m_PhysicsPaused, 1);
    EXPECT_EQ(player->GetWorldPosition(), at);
    EXPECT_EQ(g_PlayGamePhase.m_RaceClock, clock);
    g_PlayGamePhase.m_RaceState = g_PlayGamePhase.m_SavedRaceState;
    rig->Tick(8);
    EXPECT_EQ(g_Engine.m_PhysicsPaused, 0);
    EXPECT_FLOAT_EQ(g_PlayGamePhase.m_RaceClock, clock + 8.0f / 64.0f);
    EXPECT_NE(player->GetWorldPosition(), at);
    rig->KeyUp(DIK_W);
}

TEST_F(CPlayGamePhaseTest, ASecondFinishKeepsTheFirstReasonAndSlotsWithoutACraftAreSkipped)
{
    StartRace();
    RunToState(4);
    CRaceParticipant* rival = g_RaceSettings.m_Participants[1];
    CTuber* rivalCraft = rival->m_Craft;
    rival->m_Craft = nullptr;
    g_PlayGamePhase.FinishRace(1);
    rival->m_Craft = rivalCraft;
    EXPECT_TRUE(rig->Craft(0)->m_Finished);
    EXPECT_FALSE(rivalCraft->m_Finished);
    g_PlayGamePhase.FinishRace(0);
    EXPECT_EQ(g_PlayGamePhase.m_FinishReason, 1);
    EXPECT_FALSE(rivalCraft->m_Finished);
}

TEST_F(CPlayGamePhaseTest, ASecondRaceInTheSameProcessStartsClean)
{
    for (int race = 0; race < 2; ++race)
    {
        StartRace();
        EXPECT_EQ(RunToState(4), 628) << race;
        EXPECT_EQ(g_PlayGamePhase.m_SplitTextAhead, nullptr);
        EXPECT_EQ(g_PlayGamePhase.m_SplitTextBehind, nullptr);
        // Built afresh for each race: the ring has no marked checkpoints, so ten, none passed yet.
        EXPECT_EQ(g_PlayGamePhase.m_Checkpoints.Count(), 10);
        for (auto* n = g_PlayGamePhase.m_Checkpoints.FirstNode(); n; n = g_PlayGamePhase.m_Checkpoints.NextNode(n))
            for (float t : n->payload.m_SlotTimes)
                EXPECT_GE(t, 0.0f);
        EXPECT_EQ(g_PlayGamePhase.m_FinishReason, 0);
        rig->Stop();
        EXPECT_FALSE(rig->InRace());
        EXPECT_EQ(g_Game.m_Map, nullptr);
        for (CRaceParticipant* p : g_RaceSettings.m_Participants)
        {
            if (p != nullptr)
            {
                EXPECT_EQ(p->m_Craft, nullptr);
            }
        }
    }
}

TEST_F(CPlayGamePhaseTest, TheEndMessageAndTheCountdownTextsReachTheDisplay)
{
    StartRace();
    RunToState(4);
    // Four countdown texts went to the display's queue; the last may still be there.
    EXPECT_GE(g_MainGameInterface.m_Messages.Count(), 1);
    g_RaceSettings.m_Participants[0]->m_RacePlace = 2;
    g_PlayGamePhase.FinishRace(0);
    rig->Tick(1);
    // The message is made by the render; without pixels the rig renders nothing, so ask for it.
    g_PlayGamePhase.ShowEndMessage();
    EXPECT_EQ(g_PlayGamePhase.m_EndMessageShown, 1);
    const int32_t count = g_MainGameInterface.m_Messages.Count();
    g_PlayGamePhase.ShowEndMessage();
    EXPECT_EQ(g_MainGameInterface.m_Messages.Count(), count);
    EXPECT_STREQ(g_MainGameInterface.m_Messages.LastNode()->payload->GetText().c_str(),
                 g_Localization.GetText(WeString("MSG: PLAYER SECOND PLACE")).c_str());
}
}  // namespace
