#pragma once
// The rigs of the damage, death, respawn and wreck tests: a straight stretch of tube with walls and three craft
// (the player, an enemy computer craft, a computer team mate of the player's), and helpers that put a craft
// back to full health between cases.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberPartSpawn.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/COneShotSounds.h"
#include "Game/shell/CPostProcessRequests.h"
#include "Game/shell/CRaceParticipant.h"
#include "Tests/Game/craft/CraftTestSupport.h"

namespace DamageTest
{

// The long oval of the craft tests (3 km straight along +z, walls 8 m either side of the centre line), with
// sections given before the loop when asked.
inline RaceRigOptions ThreeCraft(const std::string& map = CraftTest::LongOval())
{
    RaceRigOptions o;
    o.mapDescription = map;
    o.slots.push_back(RaceRigSlot{4, "Falconer", "Player", 1, 0});
    o.slots.push_back(RaceRigSlot{1, "EclosionHunter", "Rival", 2, 0});
    o.slots.push_back(RaceRigSlot{3, "Xdrone", "Mate", 1, 0});
    return o;
}

// Back to a fresh, living craft: full health, nothing recorded, collisions on.
inline void Revive(CTuber* c)
{
    c->m_Destroyed = false;
    c->m_DeathTimer = 0.0f;
    c->m_Health = c->m_MaxHealth;
    c->m_LastAttacker = c->m_LastVictim = nullptr;
    c->m_LastDamageKind = 0;
    c->m_Invulnerable = false;
    c->m_ModelVisible = true;
    c->m_LastKillTime = -1.0f;
    c->m_MultiKillCount = 0;
    c->m_MultiKillText = nullptr;
    c->SetCollisionEnabled(true);
    if (c->m_Participant)
        c->m_Participant->m_Kills = 0;
}

// The race update's drains: explosions, then the wrecks of the deaths.
inline void Drain()
{
    ProcessExplosionRequests();
    ProcessTuberPartSpawns();
}

struct Rig : ::testing::Test
{
    virtual RaceRigOptions Options() { return ThreeCraft(); }
    void SetUp() override
    {
        rig = std::make_unique<RaceRig>(Options());
        std::string error;
        ASSERT_TRUE(rig->Start(&error)) << error;
        rig->Tick();
        player = rig->Craft(0);
        rival = rig->Craft(1);
        mate = rig->Craft(2);
        ASSERT_NE(player, nullptr);
        ASSERT_NE(rival, nullptr);
        ASSERT_NE(mate, nullptr);
        ClearExplosionRequests();
        ClearTuberPartSpawns();
        g_PostProcessRequests.clear();
    }
    void TearDown() override
    {
        ClearExplosionRequests();
        ClearTuberPartSpawns();
        rig.reset();
    }

    CraftTest::Catalogue catalogue;
    std::unique_ptr<RaceRig> rig;
    CTuber* player = nullptr;
    CTuber* rival = nullptr;
    CTuber* mate = nullptr;
};

}  // namespace DamageTest
