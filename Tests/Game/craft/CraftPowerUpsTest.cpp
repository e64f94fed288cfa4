// What a craft takes from pickups on the rules ring: weapon boxes and coins collected by flying through them on
// the rig's path rail, coin streaks and the turbo bonus, and the four timed abilities.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "Engine/foundation/WeConfig.h"
#include "Game/craft/CAIKernel.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/COneShotSounds.h"
#include "Game/shell/CPickup.h"
#include "Game/shell/CPickupAction.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CRaceSettings.h"
#include "Tests/Game/shell/RaceRulesTestSupport.h"

namespace
{
constexpr int32_t Invisibility = 0, Invulnerability = 1, QuadDamage = 2, KestEngine = 3;

// The player and one computer racer on the ring, with weapons on and pickups on the centre line.
class PowerUpRace : public RaceFixture
{
protected:
    void Start(float railSpeed = 0.0f, int racers = 2)
    {
        RaceRigOptions o = RulesOptions(racers);
        o.weapons = true;
        o.mapDescription =
            RulesRing(false) + "pickup PlasmaBolt at 100\npickup CoinKest at 200\npickup CoinSmall at 230\n";
        StartRace(o);
        if (railSpeed != 0.0f)
            rig->SetRail(0, railSpeed);
        RunToState(CPlayGamePhase::Racing, 60.0);
        // The rival drives but never shoots: a kill would stop its abilities' clocks.
        g_AIKernel.m_AIWeaponsOn = false;
        me = rig->Craft(0);
        rival = racers > 1 ? rig->Craft(1) : nullptr;
        ASSERT_TRUE(me && (rival || racers == 1));
        ASSERT_TRUE(me->m_IsPlayer);
        coins[0].reset(g_PickupFactory.Create(PickupCoinSmall));
        coins[1].reset(g_PickupFactory.Create(PickupCoinLarge));
        coins[2].reset(g_PickupFactory.Create(PickupCoinKest));
    }
    CPickup* Coin(char size) const { return coins[size == 's' ? 0 : (size == 'l' ? 1 : 2)].get(); }
    CPickup* OnMap(int32_t type) const
    {
        for (auto* n = g_Game.m_Map->m_Pickups.FirstNode(); n; n = g_Game.m_Map->m_Pickups.NextNode(n))
            if (n->payload->m_Type == type)
                return n->payload;
        return nullptr;
    }

    // Bound before they are overridden, so the overrides restore the pack's values.
    const int32_t& turboValue = GetConfigInt("Pickups.Turbo.BonusValue", 200);
    const int32_t& kestAbility = GetConfigInt("Pickups.KestCoin.BonusAbility", 1);
    CTuber* me = nullptr;
    CTuber* rival = nullptr;
    std::unique_ptr<CPickup> coins[3];
};

class CraftPickups : public PowerUpRace
{
};

class CraftPowerUps : public PowerUpRace
{
};
}  // namespace

TEST_F(CraftPickups, FlyingThroughTakesEachOnceAndGivesItsContents)
{
    Start(60.0f, 1);
    CPickup* box = OnMap(PickupPlasmaBolt);
    CPickup* kest = OnMap(PickupCoinKest);
    CPickup* small = OnMap(PickupCoinSmall);
    ASSERT_TRUE(box && kest && small);
    const int32_t coinsBefore = me->m_Coins;
    rig->RunUntil([&] { return !small->m_Available; }, 10.0);
    ASSERT_FALSE(small->m_Available);
    EXPECT_FALSE(box->m_Available);
    EXPECT_FALSE(kest->m_Available);
    EXPECT_EQ(me->m_PickupPrimaryKind, PickupTypeToWeaponIndex(PickupPlasmaBolt));
    EXPECT_GT(me->m_PickupPrimaryAmmo, 0);
    EXPECT_EQ(me->m_Coins - coinsBefore,
              GetConfigInt("Pickups.KestCoin.Value", 100) + GetConfigInt("Pickups.SmallCoin.Value", 10));
    // The Kest streak restarted with the small coin.
    EXPECT_EQ(me->m_CoinStreaks[2], 0);
    EXPECT_EQ(me->m_CoinStreaks[0], 1);
}

TEST_F(CraftPickups, ATakenPickupGivesNothingToTheNextCraftInTheSameStep)
{
    Start();
    CPickup* box = OnMap(PickupPlasmaBolt);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(box->m_Available);
    // The trigger handler's rule: only an available pickup is collected.
    for (CTuber* craft : {me, rival})
        if (box->m_Available)
        {
            box->Take();
            craft->CollectPickup(box);
        }
    EXPECT_EQ(me->m_PickupPrimaryKind, PickupTypeToWeaponIndex(PickupPlasmaBolt));
    EXPECT_EQ(rival->m_PickupPrimaryKind, 0);
}

TEST_F(CraftPowerUps, CoinStreaksStartTheirAbilityAndAnotherCoinRestartsThem)
{
    ConfigOverride noTurboBonus("Pickups.Turbo.BonusValue", "0");
    ConfigOverride kestGivesQuad("Pickups.KestCoin.BonusAbility", "2");
    Start();
    struct Case
    {
        const char* coins;
        bool started;
    };
    const Case cases[] = {{"kk", false}, {"kkk", true}, {"kksk", false}, {"kkskkk", true}, {"kkllk", false}};
    for (const Case& c : cases)
    {
        me->EndAllPowerUps(true);
        for (int32_t& streak : me->m_CoinStreaks)
            streak = 0;
        for (const char* s = c.coins; *s; ++s)
            me->CollectCoin(Coin(*s));
        EXPECT_EQ(me->FindPowerUp(QuadDamage) != nullptr, c.started) << c.coins;
        EXPECT_EQ(me->m_DamageMultiplier, c.started ? 4.0f : 1.0f) << c.coins;
    }
}

TEST_F(CraftPowerUps, TheTurboBonusRechargesAndStartsItsAbilityOnlyWhenTheTankFills)
{
    ConfigOverride kestGivesNothing("Pickups.KestCoin.BonusAbility", "-1");
    Start();
    const int32_t ability = GetConfigInt("Pickups.Turbo.BonusAbility", 1);
    const float recharge = GetConfigFloat("Pickups.Turbo.BonusRecharge", 0.5f);
    ASSERT_GT(turboValue, 0);
    ASSERT_GT(me->m_MaxTurboEnergy, 0.0f);
    ASSERT_GT(recharge, 0.0f);
    ASSERT_LT(recharge, 1.0f);
    // Half a bonus's worth of points short: nothing yet.
    me->m_TurboEnergy = 0.0f;
    me->m_TurboBonusPoints = turboValue - 1;
    me->CollectCoin(Coin('s'));
    EXPECT_NEAR(me->m_TurboEnergy, recharge * me->m_MaxTurboEnergy, 1e-4f);
    EXPECT_EQ(me->FindPowerUp(ability), nullptr);
    EXPECT_EQ(me->m_TurboBonusPoints, GetConfigInt("Pickups.SmallCoin.Value", 10) - 1);
    // A bonus that fills the tank caps it and starts the ability.
    me->m_TurboEnergy = (1.0f - 0.5f * recharge) * me->m_MaxTurboEnergy;
    me->m_TurboBonusPoints = turboValue;
    me->CollectCoin(Coin('s'));
    EXPECT_EQ(me->m_TurboEnergy, me->m_MaxTurboEnergy);
    EXPECT_NE(me->FindPowerUp(ability), nullptr);
}

TEST_F(CraftPowerUps, WithoutWeaponsNoAbilityStartsButAForcedOneRuns)
{
    Start();
    g_RaceSettings.m_Weapons = false;
    for (int32_t type : {Invisibility, Invulnerability, QuadDamage, KestEngine})
        EXPECT_EQ(me->StartPowerUp(type, false, 0.0f, false), nullptr) << type;
    EXPECT_FALSE(me->m_Invulnerable);
    me->SetCheatPowerUp(Invulnerability, true);
    EXPECT_TRUE(me->m_Invulnerable);
    rig->Tick(64 * 10);
    EXPECT_TRUE(me->m_Invulnerable);  // a forced ability outlives the usual time
    EXPECT_FALSE(me->EndPowerUp(Invulnerability, false, false));
    EXPECT_TRUE(me->m_Invulnerable);
    me->SetCheatPowerUp(Invulnerability, false);
    EXPECT_FALSE(me->m_Invulnerable);
    g_RaceSettings.m_Weapons = true;
}

TEST_F(CraftPowerUps, AnAbilityRunsExactlySevenAndAHalfSecondsAndPickedAgainStartsAfresh)
{
    Start();
    ASSERT_NE(me->StartPowerUp(QuadDamage, false, 0.0f, false), nullptr);
    ASSERT_NE(rival->StartPowerUp(QuadDamage, false, 0.0f, false), nullptr);
    rig->Tick(200);
    // Picked up again: the player's runs its whole time from now, the rival's runs out first.
    CPickupAction* again = me->StartPowerUp(QuadDamage, false, 0.0f, false);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->m_Elapsed, 0.0f);
    EXPECT_EQ(again->m_Duration, 7.5f);
    EXPECT_EQ(me->m_PowerUps.Count(), 1);
    rig->Tick(279);
    EXPECT_EQ(rival->m_DamageMultiplier, 4.0f);
    int32_t sounds = CountOneShotSounds();
    rig->Tick(1);  // 480 steps of the rival's
    EXPECT_EQ(rival->m_DamageMultiplier, 1.0f);
    EXPECT_EQ(rival->FindPowerUp(QuadDamage), nullptr);
    EXPECT_EQ(CountOneShotSounds(), sounds);  // the end sound is the player's only
    rig->Tick(199);
    EXPECT_EQ(me->m_DamageMultiplier, 4.0f);
    sounds = CountOneShotSounds();
    rig->Tick(1);  // 480 steps since the second pickup
    EXPECT_EQ(me->m_DamageMultiplier, 1.0f);
    EXPECT_EQ(CountOneShotSounds(), sounds + 1);
}

TEST_F(CraftPowerUps, EachAbilitySetsItsEffectAndClearsItAtTheEnd)
{
    Start();
    struct Case
    {
        int32_t type;
        bool CTuber::*flag;
    };
    const Case cases[] = {{Invisibility, &CTuber::m_Invisible},
                          {Invulnerability, &CTuber::m_Invulnerable},
                          {KestEngine, &CTuber::m_EngineAbility}};
    for (const Case& c : cases)
    {
        ASSERT_NE(me->StartPowerUp(c.type, false, 0.0f, false), nullptr) << c.type;
        EXPECT_TRUE(me->*c.flag) << c.type;
        EXPECT_TRUE(me->EndPowerUp(c.type, false, false)) << c.type;
        EXPECT_FALSE(me->*c.flag) << c.type;
        EXPECT_FALSE(me->EndPowerUp(c.type, false, false)) << c.type;
    }
    // Invisibility turns the craft see-through at once; the engine ability switches the turbo effect's look.
    me->StartPowerUp(Invisibility, false, 0.0f, false);
    EXPECT_EQ(me->m_ModelPreset, 1);
    me->EndPowerUp(Invisibility, false, false);
    if (WeActor* turboEffect = me->m_AbilityEffects[2])
    {
        me->StartPowerUp(KestEngine, false, 0.0f, false);
        EXPECT_EQ(turboEffect->m_ModelPreset, 1);
        me->EndPowerUp(KestEngine, false, false);
        EXPECT_EQ(turboEffect->m_ModelPreset, 0);
    }
    // The engine ability also adds a tenth of the tank, capped at the maximum.
    me->m_TurboEnergy = 0.95f * me->m_MaxTurboEnergy;
    me->StartPowerUp(KestEngine, false, 0.0f, false);
    EXPECT_EQ(me->m_TurboEnergy, me->m_MaxTurboEnergy);
    me->EndAllPowerUps(false);
    EXPECT_EQ(me->m_PowerUps.Count(), 0);
}

TEST_F(CraftPowerUps, EngineBlastsAreCappedPerFrameAndTheRestWaits)
{
    Start();
    const CWeaponDescription& engine =
        g_WeaponDescriptions.Get(g_WeaponDescriptions.GetIdByName(WeString("KestEngine")));
    ASSERT_GT(engine.m_FireRate, 0.0f);
    const float interval = std::max(engine.m_FireInterval, 0.001f);
    ASSERT_NE(me->StartPowerUp(KestEngine, false, 0.0f, false), nullptr);
    ClearExplosionRequests();
    me->m_Turbo = true;
    me->m_EngineBlastTimer = 20.0f * interval;
    me->UpdatePowerUps();
    EXPECT_EQ(g_ExplosionRequests.Count(), 8);
    EXPECT_GE(me->m_EngineBlastTimer, 11.0f * interval);
    for (auto* n = g_ExplosionRequests.FirstNode(); n; n = g_ExplosionRequests.NextNode(n))
    {
        EXPECT_EQ(n->payload.m_Type, CExplosionRequest::Splash);
        EXPECT_EQ(n->payload.m_SplashMode, 2);
        EXPECT_EQ(n->payload.m_Owner, me);
    }
    ClearExplosionRequests();
}
