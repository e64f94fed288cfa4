// The shipyard over the shipped catalogue and opponents: the offered craft, the choice of the first shown,
// NEXT and PREV round the circle, the loading pictures' count, and the way back to the set-up when the
// garage cannot be loaded (with slot 0 and the profile untouched).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIProgressBar.h"
#include "Engine/ui/WeUIText.h"
#include "Engine/world/WeActor.h"
#include "Game/craft/CAIProfile.h"
#include "Game/craft/CAIProfiles.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/craft/CTuberDescription.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CProfile.h"
#include "Game/screens/CProfileManager.h"
#include "Game/screens/CProgressBar.h"
#include "Game/screens/CShipyardPhase.h"
#include "Game/screens/CSingleRacePhase.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CMap.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/CMapInfo.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CScreenFader.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Tests/Game/screens/ScreenContentCheck.h"
#include "Tests/Game/screens/ScreenTestSupport.h"
#include "Tests/support/ConfigOverride.h"

namespace
{
class CShipyardPhaseTest : public ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        g_TuberCatalogue.Load();
        g_AIProfiles.Load();
        g_MapCatalogue.Load();
        m_Profile = g_ProfileManager.Create("Ace");
        g_ProfileManager.SetCurrent(m_Profile);
        g_RaceSettings.SetPlayerParticipant();
        g_RaceSettings.GetParticipant(0)->m_CraftKey = "Before";
        g_RaceSettings.m_RaceType = 0;
        g_RaceSettings.m_Difficulty = 1;
        ASSERT_FALSE(g_MapCatalogue.m_Names.IsEmpty());
        g_RaceSettings.m_MapName = g_MapCatalogue.m_Names.FirstNode()->payload;
    }
    void TearDown() override
    {
        g_ShipyardPhase.Leave();
        g_PhaseManager.Shutdown();
        DropRaceMap();
        ScreenTest::TearDown();
    }
    // The race's loading screen hands its map to the race; with no race to take it, the test frees it.
    static void DropRaceMap()
    {
        delete g_Game.m_Map;
        g_Game.m_Map = nullptr;
    }
    // The entries built straight from the catalogue, as the loading builds them one an update.
    static int32_t Build()
    {
        CShipyardPhase& s = g_ShipyardPhase;
        s.m_CatalogueCursor = g_TuberCatalogue.m_Names.FirstNode();
        s.m_FirstShow = 0;
        int32_t calls = 1;
        while (!s.AddNextTuberInfo())
            ++calls;
        return calls;
    }
    static std::string Shown() { return g_ShipyardPhase.m_Selected->payload->m_Description->m_Name.c_str(); }
    // The craft the opponents of a level from `lowest` up drive, in catalogue order.
    static std::vector<std::string> Offered(int32_t lowest)
    {
        std::vector<std::string> out;
        for (auto* n = g_TuberCatalogue.m_Names.FirstNode(); n != nullptr; n = g_TuberCatalogue.m_Names.NextNode(n))
        {
            bool used = false;
            WeList<CAIProfile*> profiles;
            for (int32_t level = lowest; level <= 3; ++level)
            {
                g_AIProfiles.CollectProfilesOfLevel(profiles, level);
                for (auto* p = profiles.FirstNode(); p != nullptr; p = profiles.NextNode(p))
                    used |= p->payload->m_CraftKeyword == n->payload;
            }
            if (used)
                out.push_back(n->payload.c_str());
        }
        return out;
    }

    // The shipyard entered over the race map's garage, run until its scene takes input.
    static bool OpenScene()
    {
        Start({&g_ShipyardPhase});
        for (int i = 0; i < 900 && (g_ShipyardPhase.m_LoadingView || !ScreenTest::Shown("Shopping_StartRace_Button"));
             ++i)
        {
            g_ScreenFader.Update();
            Step();
        }
        return g_ShipyardPhase.m_LoadingView == 0 && g_ShipyardPhase.m_Leaving == 0 &&
               ScreenTest::Shown("Shopping_StartRace_Button") && g_ShipyardPhase.m_Selected != nullptr;
    }
    // Frames until the game time is the nearest a frame comes to `seconds`.
    static void StepTo(double seconds)
    {
        const int frames = int(std::lround((seconds - g_Timer.m_TotalTime) / FrameSeconds));
        ASSERT_GT(frames, 0) << "the scene came after " << seconds << " s";
        Step(frames);
        ASSERT_NEAR(g_Timer.m_TotalTime, seconds, 1.0e-3);
    }
    static WeActor* ShownActor() { return g_ShipyardPhase.m_Selected->payload->m_Actor; }
    // Frames, the fader first as the game's tick runs it, until the stack is `target`; at most five seconds.
    static void RunUntil(const char* target)
    {
        for (int i = 0; i < 300 && Stack() != target; ++i)
        {
            g_ScreenFader.Update();
            Step();
        }
    }
    // The stack, the fader and slot 0 as the next case expects them.
    static void EndCase()
    {
        g_PhaseManager.Shutdown();
        DropRaceMap();
        g_ScreenFader.m_State = CScreenFader::Idle;
        g_ScreenFader.m_Callback = nullptr;
        Settle();
        g_RaceSettings.SetPlayerParticipant();
        g_RaceSettings.GetParticipant(0)->m_CraftKey = "Before";
    }
    static std::string Text(const WeUILabel* label) { return label->m_Text->m_Text.c_str(); }

    CProfile* m_Profile = nullptr;
};
}  // namespace

TEST_F(CShipyardPhaseTest, EveryCraftAnOpponentDrivesIsOfferedAndTheLastShipIsShownFirst)
{
    const std::vector<std::string> offered = Offered(1);
    ASSERT_GE(offered.size(), 2u);
    m_Profile->m_LastCraft = offered[1].c_str();
    EXPECT_EQ(Build(), g_TuberCatalogue.m_Names.Count());
    ASSERT_EQ(g_ShipyardPhase.m_Entries.Count(), int32_t(offered.size()));
    EXPECT_EQ(Shown(), offered[1]);
    // The first show puts the bars at their values at once.
    EXPECT_FLOAT_EQ(g_ShipyardPhase.m_BarProgress, 1.0f);
    const CTuberDescription* d = g_TuberCatalogue.Find(offered[1].c_str());
    EXPECT_FLOAT_EQ(g_ShipyardPhase.m_ShownRatings[0], d->m_SpeedRating);
    EXPECT_FLOAT_EQ(g_ShipyardPhase.m_ShownRatings[2], d->m_TurboRating);
}

TEST_F(CShipyardPhaseTest, AStaleLastShipStartsOnTheFirstAndNextAndPrevWrap)
{
    const std::vector<std::string> offered = Offered(1);
    m_Profile->m_LastCraft = "NoSuchCraft";
    Build();
    EXPECT_EQ(Shown(), offered.front());
    g_ShipyardPhase.MoveSelection(false);
    EXPECT_EQ(Shown(), offered.back());
    EXPECT_EQ(g_ShipyardPhase.m_SlidingBack, 1);
    EXPECT_FLOAT_EQ(g_ShipyardPhase.m_BarProgress, 0.0f);
    g_ShipyardPhase.MoveSelection(true);
    EXPECT_EQ(Shown(), offered.front());
    for (size_t i = 1; i < offered.size(); ++i)
        g_ShipyardPhase.MoveSelection(true);
    EXPECT_EQ(Shown(), offered.back());
    g_ShipyardPhase.MoveSelection(true);
    EXPECT_EQ(Shown(), offered.front());
}

// In a time trial only the craft of opponents of its difficulty or harder are offered.
TEST_F(CShipyardPhaseTest, ATimeTrialOffersTheCraftFromItsDifficultyUp)
{
    g_RaceSettings.m_RaceType = 1;
    g_RaceSettings.m_Difficulty = 3;
    Build();
    EXPECT_EQ(g_ShipyardPhase.m_Entries.Count(), int32_t(Offered(3).size()));
}

// Nothing offered: no selection, no info, and Leave keeps the profile's last ship.
TEST_F(CShipyardPhaseTest, WithNothingOfferedNothingIsSelectedAndTheProfileKeepsItsShip)
{
    m_Profile->m_LastCraft = "Kept";
    g_TuberCatalogue.Clear();
    EXPECT_EQ(Build(), 1);
    EXPECT_EQ(g_ShipyardPhase.m_Selected, nullptr);
    g_ShipyardPhase.MoveSelection(true);
    g_ShipyardPhase.ShowTuberInfo();
    g_ShipyardPhase.Leave();
    EXPECT_EQ(std::string(m_Profile->m_LastCraft.c_str()), "Kept");
}

TEST_F(CShipyardPhaseTest, TheLoadingPicturesCycleOneToTen)
{
    g_ShipyardPhase.m_LoadingPictureNumber = 0;
    for (int i = 0; i < 12; ++i)
    {
        Start({&g_ShipyardPhase});
        EXPECT_EQ(g_ShipyardPhase.m_LoadingPictureNumber, i % 10 + 1);
        g_PhaseManager.Shutdown();
    }
}

// A world whose garage is not in the pack, and a map off the list that has no world: either way the screen
// reports and goes back to the set-up, leaving slot 0 and the profile as they were; Escape during the loading
// does nothing.
TEST_F(CShipyardPhaseTest, AGarageThatCannotBeLoadedLeadsBackToTheSetUp)
{
    CMapInfo* listed = g_MapCatalogue.Find(g_RaceSettings.m_MapName);
    ASSERT_NE(listed, nullptr);
    const WeString world = listed->m_WorldName;
    for (const char* map : {"", "No Such Map"})
    {
        SCOPED_TRACE(map);
        if (map[0] != 0)
            g_RaceSettings.m_MapName = map;
        else
            listed->m_WorldName = "Nowhere";
        m_Profile->m_LastCraft = "Kept";
        Start({&g_ShipyardPhase});
        const int32_t backs = Sounds(CMenuPhase::SoundBack);
        Press(1);
        EXPECT_EQ(Sounds(CMenuPhase::SoundBack), backs);
        // The set-up makes slot 0 afresh when it opens: until then the shipyard has not written it.
        bool untouched = true;
        for (int i = 0; i < 300 && Stack() != "CMenuPhase CSingleRacePhase"; ++i)
        {
            g_ScreenFader.Update();
            g_PhaseManager.ProcessRequests();
            if (Stack() == "CShipyardPhase" || Stack() == "CMenuPhase")
                untouched &= g_RaceSettings.GetParticipant(0)->m_CraftKey == "Before";
            Step();
        }
        EXPECT_EQ(Stack(), "CMenuPhase CSingleRacePhase");
        EXPECT_TRUE(untouched);
        EXPECT_EQ(std::string(m_Profile->m_LastCraft.c_str()), "Kept");
        g_PhaseManager.Shutdown();
        g_RaceSettings.SetPlayerParticipant();
        g_RaceSettings.GetParticipant(0)->m_CraftKey = "Before";
        listed->m_WorldName = world;
    }
}

// Over each world's shipped garage: the loading view gives way to the scene, NEXT picks the next craft, and
// START writes it into slot 0 and the profile and ends on the race's loading screen; BACK returns to the
// set-up with slot 0 untouched.
TEST_F(CShipyardPhaseTest, WithItsGarageTheShipyardShowsTheCraftAndStartsOrGoesBack)
{
    // BACK over every world's garage, then START once: the race's loading screen keeps its map for the race.
    std::vector<std::pair<std::string, bool>> cases;
    for (const WeString& m : g_MapCatalogue.m_Names)
        cases.emplace_back(m.c_str(), false);
    cases.emplace_back(cases.back().first, true);
    for (const auto& [map, start] : cases)
    {
        SCOPED_TRACE(map + (start ? " START" : " BACK"));
        g_RaceSettings.m_MapName = map.c_str();
        m_Profile->m_LastCraft = "";
        ASSERT_TRUE(OpenScene());
        const std::string first = Shown();
        ASSERT_TRUE(Click("Shipyard_NextShip_Button"));
        const std::string chosen = Shown();
        EXPECT_NE(chosen, first);
        // The rating bars slide to the new craft first.
        Settle();
        const char* target = start ? "CLoadMapPhase" : "CMenuPhase CSingleRacePhase";
        ASSERT_TRUE(Click(start ? "Shopping_StartRace_Button" : "Shipyard_Back_Button"));
        for (int i = 0; i < 300 && Stack() != target; ++i)
        {
            g_ScreenFader.Update();
            Step();
        }
        EXPECT_EQ(Stack(), target);
        if (start)
        {
            const std::string key = g_RaceSettings.GetParticipant(0)->m_CraftKey.c_str();
            EXPECT_NE(key, "Before");
            EXPECT_EQ(g_TuberCatalogue.Find(key.c_str())->m_Name.c_str(), chosen);
            EXPECT_EQ(std::string(m_Profile->m_LastCraft.c_str()), key);
        }
        g_PhaseManager.Shutdown();
        g_ScreenFader.m_State = CScreenFader::Idle;
        g_ScreenFader.m_Callback = nullptr;
        Settle();
        g_RaceSettings.SetPlayerParticipant();
        g_RaceSettings.GetParticipant(0)->m_CraftKey = "Before";
    }
}

// The orbit and the turntable follow game time alone: with the stepped clock each frame is 1/60 s, so the
// camera and the craft at a given game time are known in advance. Angles are chosen so that each time lands on
// round values: the camera orbits 9 degrees a second from (0, 2, 10) and bobs 0.5 at 30 degrees a second; the
// craft swings pi/30 radians a second, yaw 30 degrees from phase 0, pitch 10 from phase pi/2, roll 20 from pi.
TEST_F(CShipyardPhaseTest, TheCameraAndTheCraftAtFixedGameTimes)
{
    const ConfigOverride settings[] = {
        {"shipyard.Camera.Distance", "10"},
        {"shipyard.Camera.Y", "2"},
        {"shipyard.Camera.Speed", "9"},
        {"shipyard.Camera.YSpeed", "30"},
        {"shipyard.Camera.YDelta", "0.5"},
        {"shipyard.Camera.LookAtY", "1"},
        {"shipyard.Tuber.YawSpeed", "0.10471975512"},
        {"shipyard.Tuber.YawDelta", "30"},
        {"shipyard.Tuber.YawFixed", "0"},
        {"shipyard.Tuber.PitchSpeed", "0.10471975512"},
        {"shipyard.Tuber.PitchDelta", "10"},
        {"shipyard.Tuber.PitchFixed", "1.57079632679"},
        {"shipyard.Tuber.RollSpeed", "0.10471975512"},
        {"shipyard.Tuber.RollDelta", "20"},
        {"shipyard.Tuber.RollFixed", "3.14159265359"},
        {"shipyard.Tuber.YSpeed", "0.10471975512"},
        {"shipyard.Tuber.YDelta", "0.2"},
        {"shipyard.Tuber.YFixed", "0.5"},
    };
    ASSERT_TRUE(OpenScene());
    constexpr float Deg = 3.14159265f / 180.0f;
    struct Case
    {
        double time;
        D3DXVECTOR3 eye;
        float yaw, pitch, roll;  // degrees
        float height;
    };
    const Case cases[] = {
        // 135 degrees round, bob sin(450) = 1; yaw sin(pi/2), pitch sin(pi), roll sin(3 pi/2).
        {15.0, D3DXVECTOR3(7.0710678f, 2.5f, -7.0710678f), 180.0f + 30.0f, 0.0f, -20.0f, 0.7f},
        // 180 degrees, bob sin(600) = -0.866; yaw sin(2 pi/3), pitch sin(7 pi/6), roll sin(5 pi/3).
        {20.0, D3DXVECTOR3(0.0f, 1.5669873f, -10.0f), 180.0f + 25.980762f, -5.0f, -17.320508f, 0.6732051f},
        // 270 degrees, bob sin(900) = 0; yaw sin(pi), pitch sin(3 pi/2), roll sin(2 pi).
        {30.0, D3DXVECTOR3(-10.0f, 2.0f, 0.0f), 180.0f, -10.0f, 0.0f, 0.5f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.time);
        StepTo(c.time);
        const WeCamera& camera = *g_ShipyardPhase.m_Camera;
        EXPECT_NEAR(camera.m_Position.x, c.eye.x, 2.0e-3);
        EXPECT_NEAR(camera.m_Position.y, c.eye.y, 2.0e-3);
        EXPECT_NEAR(camera.m_Position.z, c.eye.z, 2.0e-3);
        D3DXVECTOR3 towards = D3DXVECTOR3(0.0f, 1.0f, 0.0f) - c.eye;
        towards /= std::sqrt(towards.x * towards.x + towards.y * towards.y + towards.z * towards.z);
        EXPECT_NEAR(camera.m_Direction.x, towards.x, 1.0e-3);
        EXPECT_NEAR(camera.m_Direction.y, towards.y, 1.0e-3);
        EXPECT_NEAR(camera.m_Direction.z, towards.z, 1.0e-3);

        // Row vectors, left-handed: roll about z first, then pitch about x, then yaw about y.
        D3DXMATRIX roll, pitch, yaw, expected;
        D3DXMatrixRotationZ(&roll, c.roll * Deg);
        D3DXMatrixRotationX(&pitch, c.pitch * Deg);
        D3DXMatrixRotationY(&yaw, c.yaw * Deg);
        expected = roll * pitch * yaw;
        const D3DXMATRIX& world = ShownActor()->GetWorldMatrix();
        for (int r = 0; r < 3; ++r)
            for (int col = 0; col < 3; ++col)
                EXPECT_NEAR(world.m[r][col], expected.m[r][col], 2.0e-3) << r << "," << col;
        EXPECT_NEAR(world._41, 0.0f, 1.0e-4);
        EXPECT_NEAR(world._42, c.height, 1.0e-3);
        EXPECT_NEAR(world._43, 0.0f, 1.0e-4);
    }
    // At 30 s the craft is turned about with its nose 10 degrees up: its forward axis, by hand, is
    // (0, sin 10, cos 10) turned half round.
    const D3DXMATRIX& world = ShownActor()->GetWorldMatrix();
    EXPECT_NEAR(world._31, 0.0f, 1.0e-3);
    EXPECT_NEAR(world._32, 0.1736482f, 1.0e-3);
    EXPECT_NEAR(world._33, -0.9848078f, 1.0e-3);
}

// Holding D (rotate right) moves one craft at once and one more each time the held time passes the interval:
// at 60 frames a second and 0.5 s, frames 0, about 32 and about 64; a tap moves one; A goes back the same way.
TEST_F(CShipyardPhaseTest, HoldingTheSteeringKeysPagesAtTheRepeatCadence)
{
    const ConfigOverride interval("game.Input.AutoRepeatNextPrevButton", "0.5");
    ASSERT_TRUE(OpenScene());
    const std::vector<std::string> offered = Offered(1);
    ASSERT_GE(offered.size(), 2u);
    auto indexOf = [&](const std::string& name)
    { return int(std::find(offered.begin(), offered.end(), name) - offered.begin()); };
    struct Case
    {
        int32_t key;
        int step;  // +1 NEXT, -1 PREV
    };
    for (const Case c : {Case{32, 1}, Case{30, -1}})
    {
        SCOPED_TRACE(c.key);
        std::vector<int> moves;
        std::string shown = Shown();
        int at = indexOf(shown);
        Hold(c.key, 70,
             [&](int frame)
             {
                 if (Shown() == shown)
                     return;
                 moves.push_back(frame);
                 at = (at + c.step + int(offered.size())) % int(offered.size());
                 EXPECT_EQ(Shown(), offered[size_t(at)]) << frame;
                 shown = Shown();
             });
        ASSERT_EQ(moves.size(), 3u);
        EXPECT_EQ(moves[0], 0);
        EXPECT_NEAR(moves[1], 32, 1);
        EXPECT_NEAR(moves[2], 64, 1);
        // Released, then a tap: one move, and nothing more after it.
        Step(3);
        Hold(c.key, 1);
        Step(40);
        at = (at + c.step + int(offered.size())) % int(offered.size());
        EXPECT_EQ(Shown(), offered[size_t(at)]);
    }
}

// The loading view a frame at a time: the garage's load steps fill the bar up to 0.8 with nothing built, then
// each update builds one catalogue entry (the bar the rest of the way, the models hidden), the last starts the
// 2 s fade, and only then does the scene take input; Escape and a held D during that fade change nothing.
TEST_F(CShipyardPhaseTest, TheLoadingBuildsTheGarageThenOneCraftAnUpdateThenFadesIntoTheScene)
{
    CShipyardPhase& s = g_ShipyardPhase;
    const std::vector<std::string> offered = Offered(1);
    Start({&g_ShipyardPhase});
    ASSERT_EQ(s.m_LoadingView, 1);
    ASSERT_NE(s.m_GarageMap, nullptr);

    float bar = 0.0f;
    int mapFrames = 0;
    for (; mapFrames < 600 && !s.m_GarageMap->m_Loaded; ++mapFrames)
    {
        g_ScreenFader.Update();
        Step();
        SCOPED_TRACE(mapFrames);
        EXPECT_GE(s.m_ProgressBar->m_Value, bar);
        EXPECT_LE(s.m_ProgressBar->m_Value, 0.8f + 1.0e-6f);
        EXPECT_TRUE(s.m_Entries.IsEmpty());
        EXPECT_EQ(s.m_Loaded, 0);
        bar = s.m_ProgressBar->m_Value;
    }
    ASSERT_TRUE(s.m_GarageMap->m_Loaded);
    // BeginLoad, then the steps.
    EXPECT_GE(mapFrames, 2);
    EXPECT_NEAR(bar, 0.8f, 1.0e-6f);

    const int32_t count = g_TuberCatalogue.m_Names.Count();
    ASSERT_GT(count, 0);
    int32_t built = 0;
    auto* name = g_TuberCatalogue.m_Names.FirstNode();
    for (int32_t k = 1; k <= count; ++k, name = g_TuberCatalogue.m_Names.NextNode(name))
    {
        SCOPED_TRACE(name->payload.c_str());
        g_ScreenFader.Update();
        Step();
        if (std::find(offered.begin(), offered.end(), name->payload.c_str()) != offered.end())
            ++built;
        EXPECT_EQ(s.m_Entries.Count(), built);
        EXPECT_NEAR(s.m_ProgressBar->m_Value, std::fmin(1.0f, 0.8f + 0.2f * float(k) / float(count)), 1.0e-5f);
        EXPECT_EQ(s.m_Loaded, k == count ? 1 : 0);
        if (k < count)
        {
            for (CShipyardPhase::CTuberInfo* info : s.m_Entries)
                EXPECT_FALSE(info->m_Actor->m_ModelVisible);
        }
    }
    ASSERT_EQ(s.m_Loaded, 1);
    ASSERT_NE(s.m_Selected, nullptr);
    EXPECT_TRUE(ShownActor()->m_ModelVisible);
    EXPECT_EQ(g_ScreenFader.m_State, CScreenFader::FadingIn);
    EXPECT_EQ(g_ScreenFader.m_Callback, &CShipyardPhase::OnLoadingFadeDone);
    EXPECT_FLOAT_EQ(g_RenderDevice.m_BloomScale, s.m_GarageMap->m_Header.m_BloomLevels[1]);

    const double fadeStart = g_Timer.m_TotalTime;
    const WeListNode<CShipyardPhase::CTuberInfo*>* selected = s.m_Selected;
    const int32_t confirms = Sounds(CMenuPhase::SoundConfirm);
    const int32_t backs = Sounds(CMenuPhase::SoundBack);
    for (int i = 0; i < 200 && s.m_LoadingView; ++i)
    {
        g_ScreenFader.Update();
        if (i == 10)
            Press(1);
        else if (i == 20)
            Hold(32, 40);
        else
            Step();
        if (s.m_LoadingView)
        {
            for (const char* button : {"Shopping_StartRace_Button", "Shipyard_Back_Button", "Shipyard_NextShip_Button"})
                EXPECT_FALSE(Visible(button)) << button;
        }
    }
    EXPECT_EQ(s.m_LoadingView, 0);
    EXPECT_NEAR(g_Timer.m_TotalTime - fadeStart, 2.0, 3.0 * FrameSeconds);
    EXPECT_EQ(s.m_Selected, selected);
    EXPECT_EQ(s.m_Leaving, 0);
    EXPECT_EQ(Sounds(CMenuPhase::SoundConfirm), confirms);
    EXPECT_EQ(Sounds(CMenuPhase::SoundBack), backs);
    // The black frame fades out, then the scene's widgets fade in and the UI takes input again.
    const char* const widgets[] = {"Shopping_StartRace_Button", "Shipyard_Back_Button", "Shipyard_NextShip_Button",
                                   "Shipyard_PrevShip_Button", "Shipyard_DescWindow"};
    auto allShown = [&] { return std::all_of(std::begin(widgets), std::end(widgets), ScreenTest::Shown); };
    for (int i = 0; i < 300 && !(allShown() && g_ScreenFader.m_State == CScreenFader::Idle); ++i)
    {
        g_ScreenFader.Update();
        Step();
    }
    for (const char* widget : widgets)
        EXPECT_TRUE(ScreenTest::Shown(widget)) << widget;
    EXPECT_EQ(g_ScreenFader.m_State, CScreenFader::Idle);
    EXPECT_EQ(g_UIInputEnabled, 1);
    EXPECT_EQ(g_UIShowCursor, 1);
    // Now a tap of D moves one craft.
    Hold(32, 1);
    EXPECT_NE(s.m_Selected, selected);
}

// While a START or a BACK fade runs, every way of moving on is ignored: Escape, NEXT and PREV by the keys held
// past a repeat, and the buttons' own callbacks (a click that got past the fader's modal frame). The fade keeps
// its callback, so a start stays a start and a back a back.
TEST_F(CShipyardPhaseTest, DuringTheStartOrBackFadeNothingChangesTheOutcome)
{
    struct Case
    {
        const char* button;
        CScreenFader::Callback callback;
        const char* target;
    };
    const Case cases[] = {
        {"Shopping_StartRace_Button", &CShipyardPhase::OnStartFadeDone, "CLoadMapPhase"},
        {"Shipyard_Back_Button", &CShipyardPhase::OnBackFadeDone, "CMenuPhase CSingleRacePhase"},
    };
    CShipyardPhase& s = g_ShipyardPhase;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.button);
        m_Profile->m_LastCraft = "";
        ASSERT_TRUE(OpenScene());
        const std::string shown = Shown();
        ASSERT_TRUE(Click(c.button, false));
        ASSERT_EQ(g_ScreenFader.m_State, CScreenFader::FadingIn);
        ASSERT_EQ(g_ScreenFader.m_Callback, c.callback);
        const int32_t confirms = Sounds(CMenuPhase::SoundConfirm);
        const int32_t backs = Sounds(CMenuPhase::SoundBack);
        const uint8_t starting = s.m_Starting;
        const uint8_t leaving = s.m_Leaving;

        Press(1);
        Hold(32, 35);
        Hold(30, 35);
        CShipyardPhase::OnNextClicked(0, nullptr);
        CShipyardPhase::OnPrevClicked(0, nullptr);
        CShipyardPhase::OnBackClicked(0, nullptr);
        CShipyardPhase::OnStartClicked(0, nullptr);
        ASSERT_EQ(g_ScreenFader.m_State, CScreenFader::FadingIn) << "the fade ended before the tries";

        EXPECT_EQ(Shown(), shown);
        EXPECT_EQ(g_ScreenFader.m_Callback, c.callback);
        EXPECT_EQ(s.m_Starting, starting);
        EXPECT_EQ(s.m_Leaving, leaving);
        EXPECT_EQ(Sounds(CMenuPhase::SoundConfirm), confirms);
        EXPECT_EQ(Sounds(CMenuPhase::SoundBack), backs);
        RunUntil(c.target);
        EXPECT_EQ(Stack(), c.target);
        // The set-up makes slot 0 afresh when it opens; the race's loading screen finds the shown craft there.
        if (c.callback == &CShipyardPhase::OnStartFadeDone)
        {
            EXPECT_EQ(std::string(g_RaceSettings.GetParticipant(0)->m_CraftKey.c_str()), shown);
        }
        EndCase();
    }
}

// The turntable goes without motion blur and with the simplest reflections; leaving puts back what the device
// had (a blur of 2 the targets cannot carry comes back as 1) and saves the shown craft as the profile's last.
TEST_F(CShipyardPhaseTest, LeaveRestoresTheRenderSettingsAndSavesTheLastShip)
{
    struct Case
    {
        int32_t reflection;
        int32_t blur;
        uint8_t g16r16f;
        int32_t restoredBlur;
    };
    const Case cases[] = {{0, 2, 1, 2}, {2, 2, 0, 1}, {0, 1, 0, 1}, {2, 0, 1, 0}};
    const int32_t reflection = g_RenderDevice.m_ReflectionQuality;
    const int32_t blur = g_RenderDevice.m_MotionBlurMode;
    const uint8_t g16r16f = g_RenderDevice.m_G16R16FTargets;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.reflection << " " << c.blur << " " << int(c.g16r16f));
        g_RenderDevice.SetReflectionQuality(c.reflection);
        g_RenderDevice.m_MotionBlurMode = c.blur;
        g_RenderDevice.m_G16R16FTargets = c.g16r16f;
        m_Profile->m_LastCraft = "";
        ASSERT_TRUE(g_ProfileManager.Save());
        ASSERT_TRUE(OpenScene());
        EXPECT_EQ(g_RenderDevice.m_MotionBlurMode, 0);
        EXPECT_EQ(g_RenderDevice.m_ReflectionQuality, 1);
        ASSERT_TRUE(Click("Shipyard_NextShip_Button"));
        const std::string chosen = Shown();
        ASSERT_TRUE(Click("Shipyard_Back_Button"));
        RunUntil("CMenuPhase CSingleRacePhase");
        ASSERT_EQ(Stack(), "CMenuPhase CSingleRacePhase");
        EXPECT_EQ(g_RenderDevice.m_MotionBlurMode, c.restoredBlur);
        EXPECT_EQ(g_RenderDevice.m_ReflectionQuality, c.reflection);
        EXPECT_EQ(std::string(m_Profile->m_LastCraft.c_str()), chosen);
        // The file, read back by a store of its own.
        CProfileManager saved;
        saved.Load();
        const CProfile* ace = saved.Find("Ace");
        ASSERT_NE(ace, nullptr);
        EXPECT_EQ(std::string(ace->m_LastCraft.c_str()), chosen);
        EndCase();
    }
    g_RenderDevice.m_G16R16FTargets = g16r16f;
    g_RenderDevice.SetReflectionQuality(reflection);
    g_RenderDevice.m_MotionBlurMode = blur;
    // The fixture's own Leave puts these back once more.
    g_ShipyardPhase.m_SavedReflectionQuality = reflection;
    g_ShipyardPhase.m_SavedQualityLevel = blur;
}

// The window's texts follow the shown craft round the circle: its name, and its weapon and mine by their
// display names from the weapon descriptions.
TEST_F(CShipyardPhaseTest, TheLabelsNameTheShownCraftsWeaponAndMine)
{
    struct Case
    {
        const char* craft;
        const char* weapon;
        const char* mine;
    };
    const Case cases[] = {
        {"Falconer", "Weapon: Plasma Bolt", "Mine: Contact Mine"},
        {"EclosionHunter", "Weapon: Minigun", "Mine: Proximity Mine"},
        {"Xdrone", "Weapon: Double Bolt", "Mine: Motion Mine"},
    };
    ASSERT_TRUE(OpenScene());
    CShipyardPhase& s = g_ShipyardPhase;
    std::vector<std::string> seen;
    for (int32_t i = 0; i < s.m_Entries.Count(); ++i)
    {
        const std::string craft = Shown();
        SCOPED_TRACE(craft);
        seen.push_back(craft);
        const Case* c =
            std::find_if(std::begin(cases), std::end(cases), [&](const Case& k) { return craft == k.craft; });
        ASSERT_NE(c, std::end(cases)) << "a craft the table does not know";
        EXPECT_EQ(Text(s.m_WeaponLabel), c->weapon);
        EXPECT_EQ(Text(s.m_MineLabel), c->mine);
        const std::string name = Text(s.m_NameLabel);
        EXPECT_EQ(name, s.m_Selected->payload->m_Description->m_DisplayName.c_str());
        EXPECT_FALSE(name.empty());
        EXPECT_FALSE(ScreenContentCheck::IsKey(name)) << name;
        ASSERT_TRUE(Click("Shipyard_NextShip_Button"));
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end());
    EXPECT_EQ(seen.size(), std::size(cases));
}

// After NEXT the four bars slide from the old craft's ratings to the new one's at ProgressBarsSpeed (here two a
// second, so half a second): never a jump, always between the two, there on time and not before.
TEST_F(CShipyardPhaseTest, AfterNextTheBarsSlideToTheNewCraftsRatings)
{
    const ConfigOverride speed("shipyard.Misc.ProgressBarsSpeed", "2");
    m_Profile->m_LastCraft = "";
    ASSERT_TRUE(OpenScene());
    CShipyardPhase& s = g_ShipyardPhase;
    float from[4];
    for (int32_t i = 0; i < 4; ++i)
        from[i] = s.m_RatingBars[i]->m_Value;
    const std::string before = Shown();
    std::vector<std::array<float, 4>> frames;
    auto record = [&]
    {
        std::array<float, 4> v;
        for (int32_t i = 0; i < 4; ++i)
            v[size_t(i)] = s.m_RatingBars[i]->m_Value;
        frames.push_back(v);
    };
    Hold(32, 1, [&](int) { record(); });
    record();
    while (frames.size() < 45)
    {
        Step();
        record();
    }
    ASSERT_NE(Shown(), before);
    const CTuberDescription* d = s.m_Selected->payload->m_Description;
    const float to[4] = {d->m_SpeedRating, d->m_AccelerationRating, d->m_TurboRating, d->m_HPRating};
    bool differs = false;
    for (int32_t i = 0; i < 4; ++i)
        differs |= std::fabs(to[i] - from[i]) > 0.05f;
    ASSERT_TRUE(differs) << "the first two craft rate alike";
    for (size_t f = 0; f < frames.size(); ++f)
        for (int32_t i = 0; i < 4; ++i)
        {
            SCOPED_TRACE(testing::Message() << "frame " << f << " bar " << i);
            // Frame f is the (f + 1)-th update since the move; one frame either way.
            const float span = to[i] - from[i];
            const float early = from[i] + span * std::fmin(1.0f, float(f) * 2.0f / 60.0f);
            const float late = from[i] + span * std::fmin(1.0f, float(f + 2) * 2.0f / 60.0f);
            const float v = frames[f][size_t(i)];
            EXPECT_GE(v, std::fmin(early, late) - 1.0e-5f);
            EXPECT_LE(v, std::fmax(early, late) + 1.0e-5f);
        }
    // Not a jump: the first frame is still near the old values, the bars get there within the half second.
    for (int32_t i = 0; i < 4; ++i)
    {
        if (std::fabs(to[i] - from[i]) > 0.05f)
        {
            EXPECT_GT(std::fabs(frames[0][size_t(i)] - to[i]), 0.8f * std::fabs(to[i] - from[i])) << i;
        }
        EXPECT_FLOAT_EQ(frames[31][size_t(i)], to[i]) << i;
    }
}
