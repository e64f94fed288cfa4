#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Engine/world/WeWorld.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CWeapon.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Tests/Game/craft/CraftTestSupport.h"

namespace
{

// The main path on the real race: the bolt flies, its contact with the rival posts a request inside the
// physics fetch, and the race's next drain makes the explosion that costs the rival the bolt's damage.
TEST(CWeaponPlasmaBolt, HitsTheRivalThroughTheQueue)
{
    CraftTest::ArmedRace race;
    ASSERT_TRUE(race.Start());
    RaceRig& rig = race.rig;
    CTuber* a = race.a;
    CTuber* b = race.b;
    // The rival straight ahead of the shooter, 60 units up the track.
    race.RivalAhead(60.0f);

    const float health = b->m_Health;
    const float damage = g_WeaponDescriptions.Get(1).m_Damage;
    ClearExplosionRequests();
    CWeapon::Fire(a, 1, 0);
    bool posted = false;
    for (int tick = 0; tick < 64 && !posted; ++tick)
    {
        rig.Tick();
        posted = g_ExplosionRequests.Count() > 0 || b->m_Health < health;
    }
    ASSERT_TRUE(posted) << "the bolt never reached the rival";
    if (g_ExplosionRequests.Count() > 0)
    {
        EXPECT_EQ(g_ExplosionRequests.Front().m_Type, CExplosionRequest::Localized);
        EXPECT_EQ(g_ExplosionRequests.Front().m_Victim, b);
        EXPECT_FLOAT_EQ(b->m_Health, health);  // nothing dealt inside the report
        rig.Tick();
    }
    EXPECT_EQ(g_ExplosionRequests.Count(), 0);
    EXPECT_NEAR(b->m_Health, health - damage, 1e-3);
}

}  // namespace
