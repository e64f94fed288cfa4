// The standings and rules of a running race, on the rig's race phase with the craft on the path rail.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WePhysicHandle.h"
#include "Game/craft/CAIDifficultyProfile.h"
#include "Game/craft/CAIKernel.h"
#include "Game/craft/CAgent.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CUberText.h"
#include "Game/shell/CWeaponFactory.h"
#include "Game/shell/RaceRules.h"
#include "Platform/math/D3DXCOLOR.h"
#include "Tests/Game/shell/RaceRulesTestSupport.h"

using RaceStandings = RaceFixture;

TEST(RaceStandingsCatchUp, FactorByDistanceToThePlayer)
{
    CAIDifficultyProfile profile;  // L 100 (+ 100 x variation), D 500 - L, K 0.2 front and back
    profile.m_CatchUpSpeedKoefFront = 0.2f;
    profile.m_CatchUpSpeedKoefBack = 0.4f;
    struct Case
    {
        float d, variation, expected;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 1.0f},
        {100.0f, 0.0f, 1.0f},  // inside L
        {300.0f, 0.0f, 0.9f},
        {500.0f, 0.0f, 0.8f},  // ahead: slows, at most by K front
        {2000.0f, 0.0f, 0.8f},
        {-300.0f, 0.0f, 1.2f},  // beyond D; behind: speeds up by K back
        {-2000.0f, 0.0f, 1.4f},
        {150.0f, 0.5f, 1.0f},                            // the variation widens L to 150
        {300.0f, -0.5f, 1.0f - 0.2f * 250.0f / 450.0f},  // and narrows it to 50
    };
    for (const Case& c : cases)
        EXPECT_NEAR(CatchUpFactorFor(c.d, profile, c.variation), c.expected, 1e-5f) << c.d << " " << c.variation;
    // A profile whose L reaches D never catches up.
    profile.m_AICatchUpMaxDistance = 50.0f;
    EXPECT_EQ(CatchUpFactorFor(1000.0f, profile, 0.0f), 1.0f);
}

TEST_F(RaceStandings, PlacesByDistanceLaterSlotWinsATieRearmostGapZeroAndTheHumanIsTheReference)
{
    StartRace(RulesOptions(3));
    rig->SetRail(0, 30.0f);
    rig->SetRail(1, 30.0f);
    rig->SetRail(2, 30.0f);
    rig->JumpToFraction(0, 0.1f);
    rig->JumpToFraction(1, 0.1f);
    rig->JumpToFraction(2, 0.3f);
    RunToState(CPlayGamePhase::Racing, 60.0);
    rig->Tick(8);
    CTuber* a = rig->Craft(0);
    CTuber* b = rig->Craft(1);
    CTuber* c = rig->Craft(2);
    ASSERT_TRUE(a && b && c);
    ASSERT_EQ(a->m_RaceDistance[0], b->m_RaceDistance[0]);
    EXPECT_EQ(c->m_Participant->m_RacePlace, 1);
    EXPECT_EQ(b->m_Participant->m_RacePlace, 2);  // the later slot of the tie
    EXPECT_EQ(a->m_Participant->m_RacePlace, 3);
    EXPECT_EQ(a->m_GapBehind, 0.0f);  // rearmost
    EXPECT_EQ(b->m_GapBehind, 0.0f);  // level with the one behind
    EXPECT_NEAR(c->m_GapBehind, c->m_RaceDistance[0] - b->m_RaceDistance[0], 1e-3f);
    EXPECT_GT(c->m_GapBehind, 100.0f);
    EXPECT_EQ(a->m_CatchUpFactor, 1.0f);  // the human
    // The computer craft far ahead slows by its agent's values and variation.
    const float d = c->m_RaceDistance[0] - a->m_RaceDistance[0];
    const CAgent* agent = c->m_Participant->m_Agent;
    ASSERT_NE(agent, nullptr);
    ASSERT_NE(agent->m_Profile, nullptr);
    EXPECT_NEAR(c->m_CatchUpFactor, CatchUpFactorFor(d, *agent->m_Profile, agent->m_CatchUpVariation), 1e-5f);
    EXPECT_LT(c->m_CatchUpFactor, 1.0f);
    const CAIDifficultyProfile before = *agent->m_Profile;
    // Without an agent of its own: the kernel's Medium record, variation 0.
    ConfigOverride front("AI.Medium.CatchUpSpeedKoefFront", "0.45");
    g_AIKernel.LoadProfiles();
    g_AIKernel.DeleteAgent(c->m_Participant);
    rig->Tick(1);
    ASSERT_EQ(c->m_Participant->m_Agent, nullptr);
    ASSERT_EQ(g_AIKernel.m_Profiles[1].m_CatchUpSpeedKoefFront, 0.45f);
    const float now = c->m_RaceDistance[0] - a->m_RaceDistance[0];
    EXPECT_NEAR(c->m_CatchUpFactor, CatchUpFactorFor(now, g_AIKernel.m_Profiles[1], 0.0f), 1e-5f);
    EXPECT_LT(c->m_CatchUpFactor, CatchUpFactorFor(now, before, 0.0f) - 0.01f);
}

TEST_F(RaceStandings, FinishedCraftRaiseTheFirstFreePlace)
{
    StartRace(RulesOptions(3));
    for (int32_t slot = 0; slot < 3; ++slot)
        rig->SetRail(slot, 30.0f);
    rig->JumpToFraction(0, 0.1f);
    rig->JumpToFraction(1, 0.2f);
    rig->JumpToFraction(2, 0.3f);
    RunToState(CPlayGamePhase::Racing, 60.0);
    rig->Tick(2);
    rig->Craft(0)->FinishRace(true);
    rig->Tick(2);
    EXPECT_EQ(rig->Craft(2)->m_Participant->m_RacePlace, 2);
    EXPECT_EQ(rig->Craft(1)->m_Participant->m_RacePlace, 3);
}

using RaceEndRules = RaceFixture;

TEST_F(RaceEndRules, LapTimeLimitTable)
{
    StartRace();
    float* times = g_Game.m_Map->m_Header.m_LapTimes;
    struct Case
    {
        float t2, r1, r2;
        int32_t difficulty, lap;
        float expected;
    };
    const Case cases[] = {
        {60.0f, 0.0f, 0.0f, 2, 1, 60.0f},  {60.0f, 0.0f, 0.0f, 2, 4, 60.0f},  // R1 0: always T
        {60.0f, 2.0f, 0.0f, 2, 2, 58.0f},  {60.0f, 2.0f, 0.0f, 2, 5, 58.0f},  // R2 0: T - R1 from lap 2
        {60.0f, 2.0f, 1.0f, 2, 1, 60.0f},  {60.0f, 2.0f, 1.0f, 2, 2, 58.0f},  // q = 0.5
        {60.0f, 2.0f, 1.0f, 2, 3, 57.0f},  {60.0f, 2.0f, 1.0f, 2, 4, 56.5f},
        {60.0f, 2.0f, 1.0f, 2, 5, 56.25f}, {60.0f, 2.0f, 1.0f, 0, 1, 70.0f},  // difficulty 0 reads as 1
        {60.0f, 2.0f, 1.0f, 3, 1, 50.0f},  {60.0f, 2.0f, 1.0f, 9, 0, 50.0f},
    };
    for (const Case& c : cases)
    {
        times[0] = 70.0f;
        times[1] = c.t2;
        times[2] = 50.0f;
        times[3] = c.r1;
        times[4] = c.r2;
        g_RaceSettings.m_Difficulty = c.difficulty;
        EXPECT_FLOAT_EQ(LapTimeLimit(c.lap), c.expected) << c.difficulty << " " << c.lap << " " << c.r1 << " " << c.r2;
    }
}

TEST_F(RaceEndRules, AStandardRaceOfOneEndsWhenItsCraftFinishes)
{
    RaceRigOptions o = RulesOptions(1);
    o.laps = 1;
    o.weapons = true;
    StartRace(o);
    rig->SetRail(0, 150.0f);
    rig->Tick(1);
    EXPECT_EQ(g_WeaponFactory.m_SafetyLockExpired, 1);  // nobody to shoot
    RunToState(CPlayGamePhase::Racing, 60.0);
    CTuber* me = rig->Craft(0);
    ASSERT_NE(me, nullptr);
    EXPECT_TRUE(rig->RunUntil([&] { return me->m_Finished; }, 60.0));
    EXPECT_TRUE(me->m_Participant->m_Won);
    rig->Tick(1);
    EXPECT_EQ(g_PlayGamePhase.m_RaceState, CPlayGamePhase::Finished);
}

using WeaponSafetyLock = RaceFixture;

TEST_F(WeaponSafetyLock, ExpiresAfterFiveSecondsOfRacingAndStaysThere)
{
    RaceRigOptions o = RulesOptions(2);
    o.weapons = true;
    StartRace(o);
    RunToState(CPlayGamePhase::Racing, 60.0);
    EXPECT_EQ(g_WeaponFactory.m_SafetyLockExpired, 0);
    // The first racing step already counted one step.
    int32_t steps = 1;
    while (g_WeaponFactory.m_SafetyLockExpired == 0 && steps < 1000)
    {
        rig->Tick(1);
        ++steps;
    }
    EXPECT_EQ(steps, 320);
    EXPECT_EQ(g_WeaponFactory.m_SafetyLockTimer, 5.0f);
    EXPECT_EQ(g_MainGameInterface.m_TimeWarningIntensity, 0.0f);
    rig->Tick(30);
    EXPECT_EQ(g_WeaponFactory.m_SafetyLockExpired, 1);
    EXPECT_EQ(g_WeaponFactory.m_SafetyLockTimer, 5.0f);
}

TEST_F(WeaponSafetyLock, WithWeaponsOffItNeverRuns)
{
    StartRace();
    RunToState(CPlayGamePhase::Racing, 60.0);
    rig->Tick(400);
    EXPECT_EQ(g_WeaponFactory.m_SafetyLockExpired, 0);
    EXPECT_EQ(g_WeaponFactory.m_SafetyLockTimer, 0.0f);
}

TEST(WeaponSafetyLockCaption, GreenThenRedAfterSevenTenthsOfTheTime)
{
    const D3DXCOLOR green(SafetyLockCaptionColour(3.4f, 5.0f));
    EXPECT_EQ(green.g, 1.0f);
    EXPECT_EQ(green.r, 0.0f);
    EXPECT_NEAR(green.a, 0.8f, 0.01f);
    const D3DXCOLOR red(SafetyLockCaptionColour(3.6f, 5.0f));
    EXPECT_EQ(red.r, 1.0f);
    EXPECT_EQ(red.g, 0.0f);
    EXPECT_LE(red.a, 1.0f);
}

using RaceCheckpoints = RaceFixture;

TEST_F(RaceCheckpoints, TenDefaultOnesOnAMapWithoutMarksOnlyTheMarkedOnesOtherwise)
{
    StartRace(RulesOptions(2));
    rig->Tick(2);
    ASSERT_EQ(g_PlayGamePhase.m_Checkpoints.Count(), 10);
    int32_t k = 0;
    for (auto* n = g_PlayGamePhase.m_Checkpoints.FirstNode(); n; n = g_PlayGamePhase.m_Checkpoints.NextNode(n), ++k)
        EXPECT_NEAR(n->payload.m_TrackFraction, 0.1f * float(k), 1e-5f);
    rig->Stop();

    RaceRigOptions o = RulesOptions(2);
    o.mapDescription = RulesRing(true);
    StartRace(o);
    rig->Tick(2);
    int32_t marked = 0;
    for (auto* e = g_Game.m_Map->GetPathNodes().First(); e; e = g_Game.m_Map->GetPathNodes().Next())
        marked += static_cast<WePathNode*>(e->value)->m_Flag ? 1 : 0;
    ASSERT_EQ(marked, 2);
    EXPECT_EQ(g_PlayGamePhase.m_Checkpoints.Count(), 2);
}

TEST_F(RaceCheckpoints, SplitTimesAcrossTheStartLineAndTheSplitTexts)
{
    StartRace(RulesOptions(2));
    rig->SetRail(0, 80.0f);
    rig->SetRail(1, 80.0f);
    rig->JumpToFraction(0, 0.90f);
    rig->JumpToFraction(1, 0.93f);
    RunToState(CPlayGamePhase::Racing, 60.0);
    // Both pass the checkpoint at 0 (over the start line) and the one at 0.1.
    const float length = g_Game.m_Map->m_TrackLength;
    rig->RunUntil([&] { return rig->Craft(0)->m_LapFraction[0] > 0.15f && rig->Craft(0)->m_LapFraction[0] < 0.5f; },
                  30.0);
    const CRaceCheckpoint* at01 = nullptr;
    for (auto* n = g_PlayGamePhase.m_Checkpoints.FirstNode(); n; n = g_PlayGamePhase.m_Checkpoints.NextNode(n))
        if (std::fabs(n->payload.m_TrackFraction - 0.1f) < 1e-4f)
            at01 = &n->payload;
    ASSERT_NE(at01, nullptr);
    EXPECT_GT(at01->m_SlotTimes[0], 0.0f);
    EXPECT_GT(at01->m_SlotTimes[1], 0.0f);
    // The leader passed 0.03 of a lap earlier; the stopped-craft rule takes the race clock at worst.
    EXPECT_NEAR(at01->m_SlotTimes[0] - at01->m_SlotTimes[1], 0.03f * length / 80.0f, 0.1f);
    ASSERT_NE(g_PlayGamePhase.m_SplitTextAhead, nullptr);
    EXPECT_EQ(std::string(g_PlayGamePhase.m_SplitTextAhead->GetText().c_str()).rfind("+ ", 0), 0u);
}

TEST_F(RaceStandings, TwoCraftAtOnePlaceArePushedApartFinitelyAndOppositely)
{
    StartRace();
    RunToState(CPlayGamePhase::Countdown, 60.0);
    CTuber* a = rig->Craft(0);
    CTuber* b = rig->Craft(1);
    ASSERT_TRUE(a && b);
    D3DXMATRIX pose = a->GetWorldMatrix();
    b->SetTransform(pose);
    a->SetVelocity(D3DXVECTOR3());
    b->SetVelocity(D3DXVECTOR3());
    D3DXVECTOR3 va, vb;
    a->m_PhysicHandle->SetLinearVelocity(D3DXVECTOR3());
    b->m_PhysicHandle->SetLinearVelocity(D3DXVECTOR3());
    g_PlayGamePhase.PushCrafts();
    a->m_PhysicHandle->GetLinearVelocity(va);
    b->m_PhysicHandle->GetLinearVelocity(vb);
    EXPECT_TRUE(std::isfinite(va.x) && std::isfinite(vb.x));
    const float speed = std::sqrt(va.x * va.x + va.y * va.y + va.z * va.z);
    EXPECT_NEAR(speed, 3.0f, 1e-3f);  // (5 - 2) x 3 / (5 - 2)
    EXPECT_NEAR(va.x + vb.x, 0.0f, 1e-4f);
    EXPECT_NEAR(va.z + vb.z, 0.0f, 1e-4f);
}
