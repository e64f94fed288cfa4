#include "Game/craft/CWeaponDescriptionManager.h"

#include "Engine/foundation/WeLocalization.h"
#include "Tests/support/ConfigOverride.h"

#include <gtest/gtest.h>

namespace
{

TEST(CWeaponDescriptions, KeywordsAreCaseSensitiveAndTheFirstLookupLoadsTheTable)
{
    CWeaponDescriptionManager manager;
    EXPECT_FALSE(manager.IsLoaded());
    EXPECT_EQ(manager.GetIdByName("minigun"), 0);
    EXPECT_TRUE(manager.IsLoaded());
    EXPECT_EQ(manager.GetIdByName("Minigun"), 8);
    EXPECT_EQ(manager.GetIdByName(""), 0);
    EXPECT_EQ(manager.GetIdByName("PlasmaBolt"), 1);
    EXPECT_EQ(manager.GetIdByName("EMPMine"), 20);
    EXPECT_EQ(manager.GetIdByName("KestEngine"), 21);
    EXPECT_EQ(manager.GetIdByName("Minigun "), 0);
    EXPECT_EQ(manager.GetIdByName("DYNAMICOBJECT"), 0);
}

TEST(CWeaponDescriptions, RecordsZeroAndTwentyTwoAreEmptyAndKindTwentyOneHasNoNameOrPicture)
{
    CWeaponDescriptionManager manager;
    manager.LoadPictures();
    EXPECT_EQ(manager.Get(0).m_Id, 0);
    EXPECT_EQ(manager.Get(22).m_Id, 0);
    EXPECT_TRUE(manager.Get(22).m_Keyword.IsEmpty());
    EXPECT_EQ(manager.Get(21).m_Id, 21);
    EXPECT_TRUE(manager.Get(21).m_DisplayName.IsEmpty());
    EXPECT_EQ(manager.Get(21).m_PickupPicture, nullptr);
    EXPECT_EQ(manager.Get(0).m_PickupPicture, manager.Get(0).m_PickupPicture);
    EXPECT_EQ(manager.Get(3).m_DisplayName, g_Localization.GetText("Weapons: HomingMissile: NAME"));
    for (int32_t id = 1; id <= 21; ++id)
    {
        EXPECT_EQ(manager.Get(id).m_Id, id);
        EXPECT_EQ(manager.Get(id).m_Keyword, CWeaponDescriptionManager::GetKeyword(id));
    }
    // Ids out of range give the no-weapon record, never memory past the table.
    for (int32_t id : {-1, 23, 1000, -100000})
        EXPECT_EQ(&manager.Get(id), &manager.Get(0)) << id;
}

TEST(CWeaponDescriptions, AFireRateOfZeroOrBelowFiresEveryHundredthOfASecond)
{
    GetConfigFloat("Weapons.Swarmer.FireRate", 0.0f);
    const struct
    {
        const char* rate;
        float interval;
    } cases[] = {{"0", 0.01f}, {"-3", 0.01f}, {"4", 0.25f}, {"0.5", 2.0f}};
    for (const auto& c : cases)
    {
        ConfigOverride rate("Weapons.Swarmer.FireRate", c.rate);
        CWeaponDescriptionManager manager;
        manager.LoadPictures();
        EXPECT_FLOAT_EQ(manager.Get(5).m_FireInterval, c.interval) << c.rate;
    }
}

TEST(CWeaponDescriptions, KindSettingsAreBoundBeforeMain)
{
    // Bound references: an override is seen at once.
    ConfigOverride radius("Weapons.FFG.FieldRadius", "33");
    EXPECT_EQ(CWeaponDescriptionManager::s_FFGFieldRadius, 33.0f);
    ConfigOverride scale("Weapons.PlasmaBolt.Scale", "2");
    EXPECT_EQ(CWeaponDescriptionManager::s_PlasmaBoltScale, 2.0f);
}

}  // namespace
