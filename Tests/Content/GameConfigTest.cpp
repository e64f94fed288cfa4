// The names the race data asks the pack for: the twenty pickup pictures, the craft and weapon configuration,
// the team colours and points, and the translations.
#include <gtest/gtest.h>

#include <string>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeTextureManager.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CRaceStats.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

// A configuration file wrote the key: a getter's default, which also gives the entry a value, does not count.
bool Set(const std::string& key)
{
    WeConfigEntry* entry = LookupConfigEntry(key.c_str(), false);
    return entry != nullptr && entry->fromFile;
}

class GameConfig : public RecordingRender
{
protected:
    void SetUp() override
    {
        RecordingRender::SetUp();
        ASSERT_TRUE(Create());
        g_Localization.Load();
    }
};

TEST_F(GameConfig, EveryWeaponKindIsConfiguredWithItsPictureAndName)
{
    CWeaponDescriptionManager weapons;
    weapons.LoadPictures();
    for (int32_t id = 1; id <= 21; ++id)
    {
        const CWeaponDescription& d = weapons.Get(id);
        SCOPED_TRACE(d.m_Keyword.c_str());
        for (const char* key : {"FireRate", "PickupAmmo", "AmmoPerShot", "Damage", "Speed", "HomingLockTime",
                                "IsPrimary", "UnlockID", "ActivationTime", "EffectiveRadius"})
            EXPECT_TRUE(Set(std::string("Weapons.") + d.m_Keyword.c_str() + "." + key)) << key;
        EXPECT_GT(d.m_FireRate, 0.0f);
        EXPECT_GT(d.m_AmmoPerShot, 0);
        EXPECT_GT(d.m_Speed, 0.0f);
        EXPECT_EQ(d.m_IsPrimary, id <= 10);
        if (d.m_Keyword == "HomingMissile" || d.m_Keyword == "Swarmer")
        {
            EXPECT_GT(d.m_HomingLockTime, 0.0f);
        }
        if (id >= 11 && id <= 20)
        {
            EXPECT_GT(d.m_ActivationTime, 0.0f);
            EXPECT_GT(d.m_EffectiveRadius, 0.0f);
        }
        if (id <= 20)
        {
            EXPECT_NE(g_TextureManager.GetTexture(WeString("Pickups.Pictures.") + d.m_Keyword, false, 0, false),
                      nullptr);
            EXPECT_LT(d.m_DisplayName.Find("Weapons: "), 0) << d.m_DisplayName.c_str();
        }
    }
    // Every key the kinds read with a default in code is written out, so it can be seen and tuned.
    for (const char* key : {"Weapons.FFG.FrontDistance",
                            "Weapons.FFG.UpDistance",
                            "Weapons.FFG.FieldRadius",
                            "Weapons.FFG.DamageRadius",
                            "Weapons.FFG.PushRadius",
                            "Weapons.FFG.PushStrength",
                            "Weapons.FFG.FadeInTime",
                            "Weapons.FFG.FadeOutTime",
                            "Weapons.DoubleBolt.Scale",
                            "Weapons.PlasmaBolt.Scale",
                            "Weapons.Light.Enabled",
                            "Weapons.MineLight.Enabled",
                            "Weapons.QuantumBolt.PushKoef",
                            "Weapons.SlowingRocket.PushKoef",
                            "Weapons.SingularityMine.PullSpeed",
                            "Weapons.SingularityMine.PushSpeed",
                            "Weapons.SingularityMine.TuberPullSpeed",
                            "Weapons.SingularityMine.MinTuberSpeedCoef",
                            "Weapons.SingularityMine.MinDistance",
                            "Weapons.KestEngine.ExplosionSize",
                            "Weapons.KestEngine.ExplosionDuration",
                            "tuber.Weapons.FrontFireDistance",
                            "tuber.Weapons.BackFireDistance",
                            "tuber.Weapons.BoltLockDistance",
                            "tuber.Weapons.BoltLockMinDot",
                            "tuber.Weapons.MinLockDot",
                            "tuber.Weapons.EMPDisableLength",
                            "tuber.Weapons.SlowingRocketDisableLength",
                            "tuber.Minigun.X1",
                            "tuber.Minigun.Y1",
                            "tuber.Minigun.Z1",
                            "tuber.Minigun.X2",
                            "tuber.Minigun.Y2",
                            "tuber.Minigun.Z2",
                            "tuber.Minigun.Random",
                            "tuber.Minigun.ExplosionLifeTime"})
        EXPECT_TRUE(Set(key)) << key;
}

TEST_F(GameConfig, TheThreeCraftDifferAndCarryWeaponsOfTheTable)
{
    for (const char* key : {"Speed1", "Speed10", "Acceleration1", "Acceleration10", "HP1", "HP10", "TurboAmount1",
                            "TurboAmount10", "Manouverability"})
        EXPECT_TRUE(Set(std::string("tubers.Common.") + key)) << key;
    CTuberCatalogue catalogue;
    catalogue.Load();
    ASSERT_EQ(catalogue.m_Names.Count(), 3);
    const CTuberDescription* fast = catalogue.Find("Falconer");
    const CTuberDescription* heavy = catalogue.Find("EclosionHunter");
    const CTuberDescription* agile = catalogue.Find("Xdrone");
    ASSERT_TRUE(fast && heavy && agile);
    EXPECT_GT(fast->m_Speed, agile->m_Speed);
    EXPECT_GT(agile->m_Speed, heavy->m_Speed);
    EXPECT_GT(heavy->m_HP, agile->m_HP);
    EXPECT_GT(agile->m_HP, fast->m_HP);
    EXPECT_GT(agile->m_Turbo, fast->m_Turbo);
    EXPECT_GT(agile->m_Turbo, heavy->m_Turbo);
    for (const CTuberDescription* craft : {fast, heavy, agile})
    {
        SCOPED_TRACE(craft->m_Name.c_str());
        EXPECT_EQ(craft->m_ModelID, craft->m_Name);
        EXPECT_NE(g_WeaponDescriptions.GetIdByName(craft->m_Primary), 0);
        EXPECT_NE(g_WeaponDescriptions.GetIdByName(craft->m_Secondary), 0);
        EXPECT_LT(craft->m_DisplayName.Find("Ships: "), 0);
        EXPECT_LT(craft->m_Description.Find("Ships: "), 0);
    }
}

// With the craft models the pack has: a second load releases the first one's models (the leak checker of the asan build
// sees one left behind), and a copy borrows them without releasing them (it would see a use after free).
TEST_F(GameConfig, LoadingTheCraftModelsTwiceReleasesTheFirstLoad)
{
    CTuberDescription record;
    record.m_Name = "Probe";
    record.m_ModelID = "Falconer";
    record.LoadModels();
    for (WeModel* model : record.m_Models)
        ASSERT_NE(model, nullptr);
    EXPECT_TRUE(record.m_OwnsModels);
    {
        CTuberDescription copy = record;
        EXPECT_EQ(copy.m_Models[0], record.m_Models[0]);
        EXPECT_FALSE(copy.m_OwnsModels);
    }
    record.m_Models[0]->SetPreset(0);
    record.LoadModels();
    ASSERT_NE(record.m_Models[0], nullptr);
    record.m_Models[0]->SetPreset(0);
    // A copy that loads its own models drops the borrowed ones without releasing them.
    CTuberDescription copy = record;
    copy.LoadModels();
    ASSERT_NE(copy.m_Models[0], nullptr);
    EXPECT_TRUE(copy.m_OwnsModels);
    record.m_Models[0]->SetPreset(0);
}

TEST_F(GameConfig, TeamColoursPointsAndTranslations)
{
    CRaceSettings settings;
    const float first[3] = {255.0f / 255.0f, 80.0f / 255.0f, 60.0f / 255.0f};
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(settings.m_TeamColors[0][i], first[i], 1e-4f);
    for (int team = 0; team < 6; ++team)
        EXPECT_TRUE(Set("game.TeamColors.TeamColor" + std::to_string(team + 1)));
    CRaceStats stats;
    EXPECT_EQ(stats.GetPointsForPlace(1), 10);
    EXPECT_EQ(stats.GetPointsForPlace(5), 1);
    EXPECT_EQ(stats.GetPointsForPlace(6), 0);
    for (const char* key :
         {"UI: day", "UI: night", "UI: reverse", "Maps: Wastelands of Apeiron: NAME",
          "Maps: Wastelands of Apeiron: DESC", "Maps: Fusion Sphere: NAME", "Maps: Fusion Sphere: DESC"})
        EXPECT_TRUE(g_Localization.HasText(key)) << key;
    for (const char* map : {"Wastelands of Apeiron (day)", "Fusion Sphere (night)"})
        for (const char* key : {".UnlockID", ".LapTime", ".LoadScreenColor"})
            EXPECT_TRUE(Set(std::string("Maps.") + map + key)) << map << key;
}

}  // namespace
