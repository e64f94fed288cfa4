#include "Game/shell/CPickup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WeWorld.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CPickupAbility.h"
#include "Game/shell/CPickupAction.h"
#include "Game/shell/CPickupCoin.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CPickupWeapon.h"
#include "Tests/Game/shell/RaceRulesTestSupport.h"

namespace
{
// The rules ring with one pickup of each class on its centre line and a random box.
RaceRigOptions PickupRing()
{
    RaceRigOptions o = RulesOptions(1);
    o.racePhase = false;
    o.mapDescription = RulesRing(false) +
                       "pickup PlasmaBolt at 100\npickup ContactMine at 150\npickup CoinKest at 200\n"
                       "pickup QuadDamage at 250\npickup PlasmaBolt at 300 random\n";
    return o;
}

CPickup* FindPickup(int32_t type, bool random = false)
{
    for (auto* n = g_Game.m_Map->m_Pickups.FirstNode(); n; n = g_Game.m_Map->m_Pickups.NextNode(n))
        if ((random && n->payload->m_Random) || (!random && !n->payload->m_Random && n->payload->m_Type == type))
            return n->payload;
    return nullptr;
}
}  // namespace

TEST(CPickupFactory, EveryIdMakesItsClassAndTheGapsNothing)
{
    int32_t made = 0;
    for (int32_t type = 10000; type <= 10040; ++type)
    {
        std::unique_ptr<CPickup> pickup(g_PickupFactory.Create(type));
        EXPECT_EQ(pickup != nullptr, IsPickupType(type)) << type;
        if (!pickup)
        {
            EXPECT_EQ(PickupTypeToWeaponIndex(type), 0) << type;
            continue;
        }
        ++made;
        EXPECT_EQ(pickup->m_Type, type);
        EXPECT_EQ(dynamic_cast<CPickupWeapon*>(pickup.get()) != nullptr, IsWeaponOrMinePickup(type)) << type;
        EXPECT_EQ(dynamic_cast<CPickupCoin*>(pickup.get()) != nullptr, IsCoinPickup(type)) << type;
        EXPECT_EQ(dynamic_cast<CPickupAbility*>(pickup.get()) != nullptr, IsAbilityPickup(type)) << type;
        EXPECT_EQ(PickupTypeToWeaponIndex(type) > 0, IsWeaponOrMinePickup(type)) << type;
    }
    EXPECT_EQ(made, PickupTypeCount);
    EXPECT_EQ(CPickupAbility::PowerUpOf(PickupKestEngine), 3);
    EXPECT_EQ(CPickupAbility::PowerUpOf(PickupQuadDamage), 2);
    EXPECT_EQ(CPickupAbility::PowerUpOf(PickupPlasmaBolt), -1);
    // Respawn times of the classes.
    EXPECT_EQ(std::unique_ptr<CPickup>(g_PickupFactory.Create(PickupPlasmaBolt))->m_RespawnTime, 5.0f);
    EXPECT_EQ(std::unique_ptr<CPickup>(g_PickupFactory.Create(PickupCoinSmall))->m_RespawnTime, 30.0f);
    EXPECT_EQ(std::unique_ptr<CPickup>(g_PickupFactory.Create(PickupInvisibility))->m_RespawnTime, 15.0f);
}

TEST(CPickupAction, RunsItsDurationThenStops)
{
    CPickupAction action(2, 0.5f);
    EXPECT_TRUE(action.m_Active);
    for (int i = 0; i < 31; ++i)
        action.Update(1.0f / 64.0f);
    EXPECT_TRUE(action.m_Active);
    action.Update(1.0f / 64.0f);
    EXPECT_FALSE(action.m_Active);
    EXPECT_EQ(action.m_Elapsed, 0.5f);
}

class CPickupRace : public RaceFixture
{
};

TEST_F(CPickupRace, HoversAtHomeIsTakenAndComesBackAfterItsRespawnTime)
{
    StartRace(PickupRing());
    rig->Tick(5);
    ASSERT_EQ(g_Game.m_Map->m_Pickups.Count(), 5);
    CPickup* box = FindPickup(PickupPlasmaBolt);
    CPickup* coin = FindPickup(PickupCoinKest);
    ASSERT_TRUE(box && coin);
    for (int i = 0; i < 40; ++i)
    {
        rig->Tick(1);
        const D3DXVECTOR3 at = box->GetWorldPosition();
        const float t = g_Game.m_Map->m_WorldTime;
        EXPECT_NEAR(at.x, box->m_HomePosition.x, 1e-3f);
        EXPECT_NEAR(at.z, box->m_HomePosition.z, 1e-3f);
        EXPECT_NEAR(at.y - box->m_HomePosition.y, std::sin(4.0f * t) * 0.5f, 0.05f);
    }
    box->Take();
    coin->Take();
    EXPECT_FALSE(box->m_Available);
    EXPECT_EQ(box->m_ModelPreset, 1);
    EXPECT_TRUE(box->m_ModelVisible);
    EXPECT_FALSE(coin->m_ModelVisible);
    EXPECT_EQ(coin->m_ModelPreset, 0);
    // Five seconds for a box: 320 steps.
    rig->Tick(319);
    EXPECT_FALSE(box->m_Available);
    rig->Tick(2);
    EXPECT_TRUE(box->m_Available);
    EXPECT_EQ(box->m_ModelPreset, 0);
    EXPECT_FALSE(coin->m_Available);

    // A pickup that never respawns is never taken away.
    box->m_RespawnTime = 0.0f;
    box->Take();
    EXPECT_TRUE(box->m_Available);
}

TEST_F(CPickupRace, ARandomBoxAlternatesWeaponAndMineEverySecond)
{
    StartRace(PickupRing());
    rig->Tick(2);
    CPickup* box = FindPickup(0, true);
    ASSERT_NE(box, nullptr);
    bool weapon = IsWeaponPickup(box->m_Type);
    int32_t changes = 0;
    for (int i = 0; i < 64 * 5; ++i)
    {
        rig->Tick(1);
        const bool now = IsWeaponPickup(box->m_Type);
        EXPECT_TRUE(IsWeaponOrMinePickup(box->m_Type));
        if (now != weapon)
            ++changes;
        weapon = now;
    }
    EXPECT_GE(changes, 4);
    EXPECT_LE(changes, 6);
}

TEST_F(CPickupRace, WithoutWeaponsOnlyCoinsRemainAndNothingPointsAtTheRest)
{
    StartRace(PickupRing());
    rig->Tick(2);
    g_PickupFactory.SetKeepPickups(0);
    g_PickupFactory.RemoveNonCoinPickups(g_Game.m_Map);
    g_PickupFactory.SetKeepPickups(1);
    ASSERT_EQ(g_Game.m_Map->m_Pickups.Count(), 1);
    EXPECT_EQ(g_Game.m_Map->m_Pickups.Front()->m_Type, PickupCoinKest);
    rig->Tick(10);
    int32_t filed = 0;
    for (auto* e = g_Game.m_Map->GetPathNodes().First(); e; e = g_Game.m_Map->GetPathNodes().Next())
        filed += static_cast<WePathNode*>(e->value)->m_AttachedActors.Count();
    EXPECT_EQ(filed, 1);
}
