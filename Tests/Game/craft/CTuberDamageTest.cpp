#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "Engine/foundation/WeLocalization.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CAIDifficultyProfile.h"
#include "Game/craft/CAgent.h"
#include "Game/craft/CTuberPart.h"
#include "Game/craft/CWeapon.h"
#include "Game/shell/CGameCamera.h"
#include "Game/shell/CGameCameraPreset.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CUberText.h"
#include "Game/shell/PathNodeFields.h"
#include "Tests/Game/craft/DamageTestSupport.h"

namespace
{

struct CTuberDamage : DamageTest::Rig
{
};

enum class Who
{
    None,
    Self,
    Mate,
    Enemy
};

TEST_F(CTuberDamage, HitsAsATable)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Row
    {
        const char* name;
        float amount;
        Who attacker;
        int32_t kind;
        bool invulnerable, destroyed, lethal;
        bool accepted;
        int32_t killsBefore, killsAfter;  // the attacker's counter
    };
    const Row rows[] = {
        {"zero", 0.0f, Who::Enemy, 1, false, false, false, false, 0, 0},
        {"negative", -5.0f, Who::Enemy, 1, false, false, false, false, 0, 0},
        {"not a number", nan, Who::Enemy, 1, false, false, false, false, 0, 0},
        {"infinite", std::numeric_limits<float>::infinity(), Who::Enemy, 1, false, false, false, false, 0, 0},
        {"invulnerable", 10.0f, Who::Enemy, 1, true, false, false, false, 0, 0},
        {"destroyed", 10.0f, Who::Enemy, 1, false, true, false, false, 0, 0},
        {"no attacker, not lethal", 10.0f, Who::None, 1, false, false, false, true, 0, 0},
        {"no attacker never kills", 1.0e6f, Who::None, 1, false, false, true, true, 0, 0},
        {"enemy kill", 1.0e6f, Who::Enemy, 1, false, false, true, true, 2, 3},
        {"own weapon", 1.0e6f, Who::Self, 3, false, false, true, true, 2, 1},
        {"team mate", 1.0e6f, Who::Mate, 1, false, false, true, true, 2, 1},
        {"collision, floor at 0", 1.0e6f, Who::Self, 22, false, false, true, true, 0, 0},
    };
    for (const Row& r : rows)
    {
        SCOPED_TRACE(r.name);
        DamageTest::Revive(player);
        DamageTest::Revive(rival);
        DamageTest::Revive(mate);
        CTuber* attacker = r.attacker == Who::None   ? nullptr
                           : r.attacker == Who::Self ? player
                           : r.attacker == Who::Mate ? mate
                                                     : rival;
        if (attacker)
            attacker->m_Participant->m_Kills = r.killsBefore;
        player->m_Invulnerable = r.invulnerable;
        player->m_Destroyed = r.destroyed;
        const float before = player->m_Health;
        // Human or enemy attackers are unscaled here: the rival is an Easy computer craft whose factor is 1.
        EXPECT_EQ(player->ApplyDamage(r.amount, attacker, r.kind), r.accepted);
        if (!r.accepted)
        {
            EXPECT_FLOAT_EQ(player->m_Health, before);
            EXPECT_EQ(player->m_LastAttacker, nullptr);
            EXPECT_EQ(player->m_LastDamageKind, 0);
            EXPECT_EQ(player->m_Destroyed, r.destroyed);
            if (attacker)
            {
                EXPECT_EQ(attacker->m_LastVictim, nullptr);
            }
            continue;
        }
        EXPECT_LT(player->m_Health, before);
        EXPECT_EQ(player->m_LastAttacker, attacker);
        EXPECT_EQ(player->m_LastDamageKind, r.kind);
        if (attacker)
        {
            EXPECT_EQ(attacker->m_LastVictim, player);
            EXPECT_EQ(attacker->m_Participant->m_Kills, r.killsAfter);
        }
        EXPECT_EQ(player->m_Destroyed, r.lethal && attacker != nullptr);
        if (r.lethal && !attacker)
        {
            EXPECT_LE(player->m_Health, 0.0f);
        }
        DamageTest::Drain();
    }
}

TEST_F(CTuberDamage, ComputerAttackersScaleByTheirProfileAndTheRaceDifficulty)
{
    ASSERT_NE(rival->m_Participant->m_Agent, nullptr);
    ASSERT_NE(rival->m_Participant->m_Agent->m_Profile, nullptr);
    CAIDifficultyProfile* profile = rival->m_Participant->m_Agent->m_Profile;
    const float savedProfile = profile->m_DamageModifier;
    const int32_t savedDifficulty = g_RaceSettings.m_Difficulty;
    profile->m_DamageModifier = 1.5f;
    ConfigOverride easy("AI.Common.EasyDamageModifier", "7");
    ConfigOverride medium("AI.Common.MediumDamageModifier", "2");
    ConfigOverride hard("AI.Common.HardDamageModifier", "3");
    struct Row
    {
        int32_t difficulty;
        float factor;
    };
    // The rival is an Easy computer craft: the race's difficulty, not its level, picks the modifier; a
    // difficulty outside 1..3 is clamped.
    for (const Row& r : {Row{1, 7.0f}, Row{2, 2.0f}, Row{3, 3.0f}, Row{0, 7.0f}, Row{9, 3.0f}})
    {
        SCOPED_TRACE(r.difficulty);
        g_RaceSettings.m_Difficulty = r.difficulty;
        DamageTest::Revive(player);
        const float before = player->m_Health;
        EXPECT_TRUE(player->ApplyDamage(2.0f, rival, 1));
        EXPECT_FLOAT_EQ(before - player->m_Health, 2.0f * 1.5f * r.factor);
    }
    // The human and an attacker without an agent get 1.
    g_RaceSettings.m_Difficulty = 2;
    DamageTest::Revive(rival);
    float before = rival->m_Health;
    rival->ApplyDamage(2.0f, player, 1);
    EXPECT_FLOAT_EQ(before - rival->m_Health, 2.0f);
    CAgent* agent = mate->m_Participant->m_Agent;
    mate->m_Participant->m_Agent = nullptr;
    before = rival->m_Health;
    rival->ApplyDamage(2.0f, mate, 1);
    EXPECT_FLOAT_EQ(before - rival->m_Health, 2.0f * 2.0f);  // the difficulty's modifier still counts
    mate->m_Participant->m_Agent = agent;
    profile->m_DamageModifier = savedProfile;
    g_RaceSettings.m_Difficulty = savedDifficulty;
}

TEST_F(CTuberDamage, SeveralSourcesInOneTickCountOnceEach)
{
    const float max = rival->m_MaxHealth;
    // A touch report first (as the electric mine's), then the queue: two localized hits and a simple one.
    rival->m_Health = 25.0f;
    EXPECT_TRUE(rival->ApplyDamage(10.0f, mate, 19));
    RequestLocalizedExplosion(rival->GetWorldPosition(), player, 20.0f, rival, 0, 1, 0);  // fatal
    RequestLocalizedExplosion(rival->GetWorldPosition(), mate, 30.0f, rival, 0, 2, 0);
    RequestSimpleExplosion(mate, 40.0f, rival, 22);
    const int32_t messages = g_MainGameInterface.m_Messages.Count();
    ProcessExplosionRequests();
    EXPECT_FLOAT_EQ(rival->m_Health, 25.0f - 10.0f - 20.0f);
    EXPECT_TRUE(rival->m_Destroyed);
    EXPECT_EQ(rival->m_LastAttacker, player);
    EXPECT_EQ(rival->m_LastDamageKind, 1);
    EXPECT_EQ(player->m_Participant->m_Kills, 1);
    EXPECT_EQ(mate->m_Participant->m_Kills, 0);
    EXPECT_EQ(mate->m_LastVictim, rival);  // from the touch, before the kill
    EXPECT_EQ(g_TuberPartSpawns.Count(), 1);
    EXPECT_EQ(g_MainGameInterface.m_Messages.Count(), messages + 1);
    // The death explosion was posted inside the drain and built by the same drain.
    EXPECT_EQ(g_ExplosionRequests.Count(), 0);
    (void)max;
}

struct CTuberDeath : DamageTest::Rig
{
};

TEST_F(CTuberDeath, HidesStopsAndPostsTheCraftExplosion)
{
    rival->m_MeasuredSpeed = 30.0f;
    rival->m_TargetAngularVelocity = D3DXVECTOR3(0.0f, 2.0f, 0.0f);
    rival->m_HyperBrakeCharge = 1.0f;
    rival->m_Coins = 7;
    rival->m_TurboBonusPoints = 40;
    rival->m_CoinStreaks[0] = rival->m_CoinStreaks[1] = rival->m_CoinStreaks[2] = 3;
    ASSERT_TRUE(rival->ApplyDamage(1.0e6f, player, 1));
    EXPECT_TRUE(rival->m_Destroyed);
    EXPECT_FALSE(rival->m_ModelVisible);
    if (rival->m_AIGlow)
    {
        EXPECT_FALSE(rival->m_AIGlow->m_ModelVisible);
    }
    ASSERT_NE(rival->m_CraftLight, nullptr);
    EXPECT_FALSE(rival->m_CraftLight->m_SwitchedOn);
    EXPECT_EQ(rival->m_MeasuredSpeed, 0.0f);
    EXPECT_EQ(rival->m_TargetAngularVelocity.y, 0.0f);
    EXPECT_EQ(rival->m_Acceleration, 0.0f);
    EXPECT_EQ(rival->m_HyperBrakeCharge, 0.0f);
    EXPECT_EQ(rival->m_Coins, 7);
    EXPECT_EQ(rival->m_TurboBonusPoints, 0);
    for (int32_t streak : rival->m_CoinStreaks)
        EXPECT_EQ(streak, 0);
    ASSERT_EQ(g_ExplosionRequests.Count(), 1);
    const CExplosionRequest& r = g_ExplosionRequests.FirstNode()->payload;
    EXPECT_EQ(r.m_Type, CExplosionRequest::Localized);
    EXPECT_EQ(r.m_VisualIndex, 8);
    EXPECT_EQ(r.m_Kind, 0);
    EXPECT_EQ(r.m_Damage, 0.0f);
    EXPECT_EQ(r.m_Owner, rival);
    EXPECT_EQ(r.m_Victim, rival);
    // The wreck was posted with the speed before it was zeroed.
    ASSERT_EQ(g_TuberPartSpawns.Count(), 1);
    EXPECT_FLOAT_EQ(g_TuberPartSpawns.FirstNode()->payload.m_Speed, 30.0f);
    // Not the player: no camera effect.
    EXPECT_TRUE(g_PostProcessRequests.empty());
    // A second death does nothing.
    rival->Die();
    EXPECT_EQ(g_ExplosionRequests.Count(), 1);
    EXPECT_EQ(g_TuberPartSpawns.Count(), 1);
    DamageTest::Drain();
}

// On the real race: the rival dies 60 m ahead of the player, whose bolt then flies through its place.
TEST(CTuberDeathOnTheRace, ABoltFliesThroughTheDeadCraftsPlace)
{
    CraftTest::ArmedRace race;
    ASSERT_TRUE(race.Start());
    RaceRig& rig = race.rig;
    CTuber* a = race.a;
    CTuber* b = race.b;
    race.RivalAhead(60.0f);
    ASSERT_TRUE(b->ApplyDamage(1.0e6f, a, 1));
    ASSERT_TRUE(b->m_Destroyed);
    rig.Tick();
    ClearExplosionRequests();
    CWeapon::Fire(a, 1, 0);
    bool hit = false;
    for (int tick = 0; tick < 64 && !hit; ++tick)
    {
        rig.Tick();
        for (auto* n = g_ExplosionRequests.FirstNode(); n; n = g_ExplosionRequests.NextNode(n))
            hit = hit || n->payload.m_Victim == b;
    }
    EXPECT_FALSE(hit) << "the bolt met the dead craft";
    EXPECT_TRUE(b->m_Destroyed);
    EXPECT_EQ(a->m_Participant->m_Kills, 1);
}

TEST_F(CTuberDeath, ThePlayersDeathShakesTheCameraAndFadesTheScreen)
{
    ConfigOverride time("tuber.Respawn.Time", "2");
    ASSERT_TRUE(player->m_IsPlayer);
    ASSERT_TRUE(player->ApplyDamage(1.0e6f, rival, 1));
    if (g_Game.m_Camera)
    {
        EXPECT_EQ(g_Game.m_Camera->m_ShakeMode, 1);
        EXPECT_FLOAT_EQ(g_Game.m_Camera->m_ShakeDuration, 1.0f);
    }
    ASSERT_EQ(g_PostProcessRequests.size(), 1u);
    EXPECT_EQ(g_PostProcessRequests[0].effect, 0);
    EXPECT_EQ(g_PostProcessRequests[0].mode, 1);
    EXPECT_FLOAT_EQ(g_PostProcessRequests[0].value, 1.4f);
    EXPECT_EQ(g_PostProcessRequests[0].data, player);
    DamageTest::Drain();
}

TEST_F(CTuberDeath, MultiKillClockAndTexts)
{
    // Clocks set directly on the killer's participant.
    struct Step
    {
        float clock;
        CTuber* victim;
        int32_t count;
    };
    DamageTest::Revive(player);
    const Step steps[] = {{10.0f, rival, 1}, {15.0f, mate, 2}, {20.01f, rival, 1}, {21.0f, player, 0}};
    for (const Step& s : steps)
    {
        SCOPED_TRACE(s.clock);
        DamageTest::Revive(s.victim);
        player->m_Participant->m_RaceTime = s.clock;
        ASSERT_TRUE(s.victim->ApplyDamage(1.0e6f, player, 1));
        EXPECT_EQ(player->m_MultiKillCount, s.count);
        EXPECT_FLOAT_EQ(player->m_LastKillTime, s.clock);
        DamageTest::Drain();
    }
}

TEST_F(CTuberDeath, MultiKillTextsByCount)
{
    struct Row
    {
        int32_t count;  // after the kill
        const char* key;
        float r, g, b;
    };
    const Row rows[] = {{2, "MSG: MULTI_KILL_2", 0, 1, 1},
                        {10, "MSG: MULTI_KILL_10", 1, 1, 0},
                        {15, "MSG: MULTI_KILL_15", 1, 0, 0},
                        {25, "MSG: MULTI_KILL_20", 1, 0, 0}};
    for (const Row& r : rows)
    {
        SCOPED_TRACE(r.key);
        DamageTest::Revive(rival);
        player->m_MultiKillCount = r.count - 1;
        player->m_LastKillTime = player->m_Participant->m_RaceTime;
        ASSERT_TRUE(rival->ApplyDamage(1.0e6f, player, 1));
        CUberText* text = player->m_MultiKillText;
        ASSERT_NE(text, nullptr);
        EXPECT_TRUE(g_MainGameInterface.HoldsMessage(text));
        EXPECT_EQ(std::string(text->GetText().c_str()), std::string(g_Localization.GetText(r.key).c_str()));
        EXPECT_FLOAT_EQ(text->m_X, 0.5f);
        EXPECT_FLOAT_EQ(text->m_Y, 0.15f);
        EXPECT_FLOAT_EQ(text->m_Color[0], r.r);
        EXPECT_FLOAT_EQ(text->m_Color[1], r.g);
        EXPECT_FLOAT_EQ(text->m_Color[2], r.b);
        EXPECT_FLOAT_EQ(text->m_Color[3], 1.0f);
        DamageTest::Drain();
    }
}

TEST_F(CTuberDeath, APreviousMultiKillTextIsCutShortOnlyWhileTheDisplayHoldsIt)
{
    DamageTest::Revive(rival);
    player->m_MultiKillCount = 1;
    player->m_LastKillTime = player->m_Participant->m_RaceTime;
    ASSERT_TRUE(rival->ApplyDamage(1.0e6f, player, 1));
    CUberText* first = player->m_MultiKillText;
    ASSERT_NE(first, nullptr);
    DamageTest::Drain();

    DamageTest::Revive(mate);
    player->m_LastKillTime = player->m_Participant->m_RaceTime;
    const int32_t voices = CountOneShotSounds(WeString("Sounds.Voice.MultiKill3"));
    ASSERT_TRUE(mate->ApplyDamage(1.0e6f, player, 1));
    EXPECT_NE(player->m_MultiKillText, first);
    EXPECT_FLOAT_EQ(first->m_HoldTime, 0.0f);
    EXPECT_FLOAT_EQ(first->m_OutTime, 0.5f);
    EXPECT_EQ(CountOneShotSounds(WeString("Sounds.Voice.MultiKill3")), voices + 1);
    DamageTest::Drain();

    // The display lets go of every text (as at the end of each one's life): the craft's pointer now dangles,
    // and the next multi-kill must not touch it (AddressSanitizer would see it).
    g_MainGameInterface.Clear();
    g_MainGameInterface.Init();
    DamageTest::Revive(rival);
    player->m_LastKillTime = player->m_Participant->m_RaceTime;
    player->m_MultiKillCount = 9;
    const int32_t silent = CountOneShotSounds();
    ASSERT_TRUE(rival->ApplyDamage(1.0e6f, player, 1));
    EXPECT_NE(player->m_MultiKillText, nullptr);
    EXPECT_TRUE(g_MainGameInterface.HoldsMessage(player->m_MultiKillText));
    // Ten in a row has no voice on purpose: nothing plays.
    EXPECT_EQ(CountOneShotSounds(), silent);
    DamageTest::Drain();
}

struct CTuberHealth : DamageTest::Rig
{
    RaceRigOptions Options() override
    {
        // Healing on the start straight (+50); SetUp makes the far straight drain (-50), which the map
        // builder does not write.
        return DamageTest::ThreeCraft(
            "map RigHealing\nsky Maps.Sky.Plain 0\nprofile channel 16 2\nstep 2\nsegment 200\n"
            "materials Maps.Common.Road Maps.Common.Wall\nnodes 25 1.5\nstarts 8 8\nheader\nend\n"
            "section\n  healing 50\n  point 0 0 0\n  point 0 0 1500\n  point 0 0 2800\nend\n"
            "section\n  point 0 0 3000\n  point 150 0 3250\n  point 300 0 3000\nend\n"
            "section\n  point 300 0 2800\n  point 300 0 1500\n  point 300 0 -300\nend\n"
            "section\n  point 150 0 -550\n  point 0 0 -300\nend\n");
    }
    void SetUp() override
    {
        DamageTest::Rig::SetUp();
        player->UpdateTrackPosition();
        WePathNode* node = player->m_CurrentNode;
        ASSERT_NE(node, nullptr);
        for (int32_t n = player->m_World->GetPathNodes().Count(); n > 0 && node; --n, node = node->m_Next)
            if (node->GetWorldPosition().x > 250.0f)
                PathNodeFields::SetHealingValue(*node, -50.0f);
    }
    // Puts the craft at z along a straight and finds its nodes.
    void Place(CTuber* c, float x, float z)
    {
        D3DXMATRIX m;
        D3DXMatrixIdentity(&m);
        m._41 = x;
        m._42 = c->GetWorldPosition().y;
        m._43 = z;
        c->SetTransform(m);
        c->m_CurrentNode = nullptr;
        c->UpdateTrackPosition();
    }
};

TEST_F(CTuberHealth, HealingAndDrainingZones)
{
    const float dt = 1.0f / 64.0f;
    const float base = 500.0f;
    Place(player, 0.0f, 1000.0f);
    ASSERT_NE(player->m_CurrentNode, nullptr);
    player->m_MeasuredSpeed = 10.0f;
    player->m_Health = player->m_MaxHealth * 0.5f;
    float before = player->m_Health;
    player->UpdateHealth();
    EXPECT_TRUE(player->m_Healing);
    EXPECT_NEAR(player->m_Health - before, 50.0f / base * player->m_MaxHealth * dt, 1e-4f);
    player->m_Health = player->m_MaxHealth - 0.001f;
    player->UpdateHealth();
    EXPECT_FLOAT_EQ(player->m_Health, player->m_MaxHealth);

    Place(player, 300.0f, 1000.0f);
    player->m_LastAttacker = rival;
    player->m_LastDamageKind = 1;
    player->m_Health = 0.01f;
    for (int i = 0; i < 64; ++i)
        player->UpdateHealth();
    EXPECT_FALSE(player->m_Healing);
    EXPECT_LT(player->m_Health, 0.0f);
    EXPECT_FALSE(player->m_Destroyed);  // the drain never kills
    EXPECT_EQ(player->m_LastAttacker, nullptr);
    EXPECT_EQ(player->m_LastDamageKind, 0);
    // The smallest hit with an attacker kills.
    EXPECT_TRUE(player->ApplyDamage(0.1f, rival, 1));
    EXPECT_TRUE(player->m_Destroyed);
    DamageTest::Drain();

    // An invulnerable craft is spared; destroyed and finished craft change nothing.
    DamageTest::Revive(player);
    Place(player, 300.0f, 1000.0f);
    player->m_Invulnerable = true;
    before = player->m_Health;
    player->UpdateHealth();
    EXPECT_FLOAT_EQ(player->m_Health, before);
    player->m_Invulnerable = false;
    for (bool* flag : {&player->m_Destroyed, &player->m_Finished})
    {
        *flag = true;
        player->UpdateHealth();
        EXPECT_FLOAT_EQ(player->m_Health, before);
        *flag = false;
    }
}

TEST_F(CTuberHealth, BaseHealingAndRegeneration)
{
    const float dt = 1.0f / 64.0f;
    Place(player, 0.0f, 1000.0f);
    player->m_MeasuredSpeed = 10.0f;
    for (const char* base : {"0", "-5", "nan"})
    {
        SCOPED_TRACE(base);
        ConfigOverride o("tuber.Healing.BaseHealingHP", base);
        player->m_Health = 10.0f;
        player->UpdateHealth();
        EXPECT_FLOAT_EQ(player->m_Health,
                        std::string(base) == "nan" ? 10.0f + 50.0f / 500.0f * player->m_MaxHealth * dt : 10.0f);
    }
    // Off the healing zone: regeneration needs a standstill and a charge.
    Place(player, 150.0f, 3250.0f);
    struct Row
    {
        float speed, charge;
        bool regenerates;
    };
    for (const Row& r : {Row{0.0f, 1.0f, true}, Row{0.001f, 1.0f, false}, Row{0.0f, 0.0f, false}})
    {
        player->m_MeasuredSpeed = r.speed;
        player->m_HyperBrakeCharge = r.charge;
        player->m_Health = 10.0f;
        player->UpdateHealth();
        EXPECT_FLOAT_EQ(player->m_Health, r.regenerates ? 10.0f + 10.0f * dt : 10.0f);
    }
}

struct CTuberSparks : DamageTest::Rig
{
};

TEST_F(CTuberSparks, SparksEveryTwoSecondsBelowHalfHealth)
{
    ASSERT_NE(rival->m_DamageSparks, nullptr);
    rival->m_Health = rival->m_MaxHealth * 0.4f;
    rival->m_DamageEffectTimer = 0.0f;
    int32_t bursts = 0;
    bool wasOn = false;
    for (int tick = 0; tick < 128 * 3; ++tick)
    {
        const int32_t sounds = CountOneShotSounds();
        rival->UpdateSparks();
        const bool on = rival->m_DamageSparks->m_Active;
        if (on && !wasOn)
        {
            ++bursts;
            const D3DXMATRIX& local = rival->m_DamageSparks->m_LocalMatrix;
            EXPECT_LE(std::fabs(local._41), 0.75f);
            EXPECT_LE(std::fabs(local._42), 0.25f);
            EXPECT_LE(std::fabs(local._43), 0.75f);
            EXPECT_EQ(CountOneShotSounds(), sounds + 1);
        }
        wasOn = on;
    }
    EXPECT_EQ(bursts, 3);
    // On for 0.1 s (six or seven ticks), then off.
    rival->m_DamageEffectTimer = 2.0f;
    rival->UpdateSparks();
    EXPECT_TRUE(rival->m_DamageSparks->m_Active);
    for (int i = 0; i < 7; ++i)
        rival->UpdateSparks();
    EXPECT_FALSE(rival->m_DamageSparks->m_Active);
    // Healthy again: off.
    rival->m_Health = rival->m_MaxHealth;
    rival->m_DamageEffectTimer = 2.0f;
    rival->UpdateSparks();
    EXPECT_FALSE(rival->m_DamageSparks->m_Active);
}

TEST_F(CTuberSparks, SmokeStrengthFollowsHealth)
{
    rival->m_Health = rival->m_MaxHealth;
    rival->UpdateSparks();
    EXPECT_EQ(rival->m_DamageSmoke[0], nullptr);  // made on first use
    WeNewParticleSystem* templ = CTuber::s_Assets.damageSmoke[0];
    ASSERT_NE(templ, nullptr);
    const float mean = templ->m_Emitters.FirstNode()->payload.rate[0];
    struct Row
    {
        float share;  // of the maximum health
        bool shown;
        float strength;
    };
    for (const Row& r : {Row{0.5f, true, 0.0f}, Row{0.25f, true, 0.15f}, Row{0.0f, true, 0.3f}, Row{-0.5f, true, 0.3f},
                         Row{0.75f, false, 0.0f}})
    {
        SCOPED_TRACE(r.share);
        rival->m_Health = rival->m_MaxHealth * r.share;
        rival->UpdateSparks();
        WeNewParticleSystem* first = rival->m_DamageSmoke[0];
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->m_Active, r.shown);
        if (r.shown)
        {
            EXPECT_NEAR(first->m_Emitters.FirstNode()->payload.rate[0], mean * r.strength, 1e-4f);
        }
    }
    WeNewParticleSystem* made = rival->m_DamageSmoke[0];
    rival->m_Health = 0.1f * rival->m_MaxHealth;
    rival->UpdateSparks();
    EXPECT_EQ(rival->m_DamageSmoke[0], made);  // made once
    // The player's smoke hides in the first-person view.
    player->m_Health = 0.1f * player->m_MaxHealth;
    player->UpdateSparks();
    ASSERT_NE(player->m_DamageSmoke[0], nullptr);
    EXPECT_TRUE(player->m_DamageSmoke[0]->m_Active);
    ASSERT_NE(g_Game.m_Camera, nullptr);
    CGameCameraPreset firstPerson;
    firstPerson.m_FPS = true;
    g_Game.m_Camera->m_ActivePreset = &firstPerson;
    player->UpdateSparks();
    EXPECT_FALSE(player->m_DamageSmoke[0]->m_Active);
    g_Game.m_Camera->m_ActivePreset = nullptr;
}

}  // namespace
