#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/CStartLocation.h"
#include "Tests/support/ConfigOverride.h"
#include "Tools/race_common/RaceRig.h"

namespace
{

const char* const Track = "map RigRing\nsky Maps.Sky.Plain 0\nprofile channel 16 2\nstep 2\nsegment 200\n"
                          "materials Maps.Common.Road Maps.Common.Wall\nnodes 25 1.5\nstarts 8 8\nheader\nend\n"
                          "section\n  point 0 0 0\n  point 200 0 200\n  point 0 0 400\n  point -200 0 200\nend\n";

struct Catalogue
{
    ConfigOverride falconer{"tubers.Falconer.UnlockID", "0"};
    ConfigOverride eclosion{"tubers.EclosionHunter.UnlockID", "0"};
};

RaceRigOptions Options()
{
    RaceRigOptions o;
    o.mapDescription = Track;
    o.slots.push_back(RaceRigSlot{4, "Falconer", "", 0, 3});
    o.slots.push_back(RaceRigSlot{2, "EclosionHunter", "", 0, 5});
    return o;
}

TEST(RaceRig, StartsAndStopsTwiceLeavingThePoolsAsTheyWere)
{
    Catalogue catalogue;
    const int32_t particles = WeNewParticleSystem::Pool().LiveCount();
    const int32_t lights = WeLight::Pool().LiveCount();
    for (int pass = 0; pass < 2; ++pass)
    {
        RaceRig rig(Options());
        std::string error;
        ASSERT_TRUE(rig.Start(&error)) << error;
        ASSERT_NE(rig.Player(), nullptr);
        EXPECT_EQ(g_Game.m_PlayerTuber, rig.Player());
        rig.SetPlayerScript([](int64_t, CInputMessage& m) { m.m_Forward = 1; });
        rig.Tick(64);
        rig.Stop();
        EXPECT_EQ(rig.Player(), nullptr);
        EXPECT_EQ(g_Game.m_PlayerTuber, nullptr);
        EXPECT_EQ(g_Game.m_Map, nullptr);
        EXPECT_EQ(WeNewParticleSystem::Pool().LiveCount(), particles) << "pass " << pass;
        EXPECT_EQ(WeLight::Pool().LiveCount(), lights) << "pass " << pass;
    }
}

TEST(RaceRig, CraftStandOnTheStartsOfTheirPlacesAndTheClockSteps)
{
    Catalogue catalogue;
    RaceRig rig(Options());
    std::string error;
    ASSERT_TRUE(rig.Start(&error)) << error;
    for (int slot = 0; slot < 2; ++slot)
    {
        CTuber* craft = rig.Craft(slot);
        ASSERT_NE(craft, nullptr);
        const int32_t place = slot == 0 ? 3 : 5;
        const CStartLocation* start = nullptr;
        for (auto* e = g_Game.m_Map->GetActors().First(); e; e = g_Game.m_Map->GetActors().Next())
            if (e->value->m_Type == CStartLocation::TypeCode &&
                static_cast<CStartLocation*>(e->value)->m_StartIndex == place)
                start = static_cast<CStartLocation*>(e->value);
        ASSERT_NE(start, nullptr);
        EXPECT_EQ(start->m_TakenBy, craft);
        EXPECT_EQ(craft->GetWorldPosition(), start->GetWorldPosition());
    }
    // 640 ticks of 1/64 s are exactly 10 s, on the rig's count and on the engine's timer.
    const double before = g_Timer.m_TotalTime;
    rig.Tick(640);
    EXPECT_EQ(rig.Ticks(), 640);
    EXPECT_EQ(rig.Seconds(), 10.0);
    EXPECT_EQ(g_Timer.m_TotalTime - before, 10.0);
    EXPECT_EQ(g_Timer.m_FrameDeltaF, 0.015625f);
}

TEST(RaceRig, AScriptedSlotMovesAndAMissingMapFailsCleanly)
{
    Catalogue catalogue;
    {
        RaceRig rig(Options());
        std::string error;
        ASSERT_TRUE(rig.Start(&error)) << error;
        rig.SetSlotScript(1, [](int64_t, CInputMessage& m) { m.m_Forward = 1; });
        CTuber* rival = rig.Craft(1);
        const D3DXVECTOR3 start = rival->GetWorldPosition();
        rig.Tick(128);
        const D3DXVECTOR3 d = rival->GetWorldPosition() - start;
        EXPECT_GT(std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z), 20.0f);
    }
    RaceRigOptions o = Options();
    o.mapDescription.clear();
    o.map = "NoSuchTrack";
    RaceRig rig(o);
    std::string error;
    EXPECT_FALSE(rig.Start(&error));
    EXPECT_EQ(error, "cannot load the map \"NoSuchTrack\"");
    EXPECT_FALSE(rig.IsStarted());
    EXPECT_EQ(g_Game.m_Map, nullptr);
    // And a good one starts after it.
    RaceRig again(Options());
    EXPECT_TRUE(again.Start(&error)) << error;
}

}  // namespace
