// The wreck's and the death's content in the pack: every name the wreck loaders asked for, the sounds a death,
// a respawn and a damaged craft play, every death text of every keyword and variant, the suicide and
// multi-kill texts, and the configuration the damage rules read.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeConfigEntry.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeModel.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CTuberPart.h"
#include "Game/craft/CTuberPartFabric.h"
#include "Game/craft/KillText.h"
#include "Game/shell/PathNodeFields.h"
#include "Tests/Game/craft/CraftTestSupport.h"

namespace
{

struct WreckContent : ::testing::Test
{
    void SetUp() override
    {
        RaceRigOptions o = CraftTest::Options(1);
        o.mapDescription.clear();  // the shipped test track
        rig = std::make_unique<RaceRig>(o);
        std::string error;
        ASSERT_TRUE(rig->Start(&error)) << error;
    }
    void TearDown() override { rig.reset(); }
    CraftTest::Catalogue catalogue;
    std::unique_ptr<RaceRig> rig;
};

TEST_F(WreckContent, EveryNameTheWreckLoadersAskedForIsPacked)
{
    ASSERT_EQ(CTuberPartFabric::s_Requests.size(), 20u);
    for (const CTuberAssetRequest& r : CTuberPartFabric::s_Requests)
        EXPECT_TRUE(r.found) << r.kind << " " << r.name;
    ASSERT_EQ(CTuberPart::s_Assets.requests.size(), 3u);
    for (const CTuberAssetRequest& r : CTuberPart::s_Assets.requests)
        EXPECT_TRUE(r.found) << r.kind << " " << r.name;
    for (WeModel* model : CTuberPartFabric::s_PartModels)
        EXPECT_NE(model, nullptr);
}

TEST_F(WreckContent, SoundsOfDeathRespawnAndSparks)
{
    WeVirtualFileSystem* vfs = WeVirtualFileSystem::Instance();
    ASSERT_NE(vfs, nullptr);
    std::vector<std::string> names = {"Sounds.Tuber.Spawn"};
    for (int i = 1; i <= 4; ++i)
        names.push_back("Sounds.Tuber.Sparks" + std::to_string(i));
    for (int n = 2; n <= 9; ++n)
        names.push_back("Sounds.Voice.MultiKill" + std::to_string(n));
    for (const std::string& name : names)
        EXPECT_TRUE(vfs->Exists(WeString(name.c_str()), 16)) << name;
    // Ten and more in a row have no voice, on purpose.
    for (int n = 10; n <= 20; ++n)
        EXPECT_FALSE(vfs->Exists(WeString(("Sounds.Voice.MultiKill" + std::to_string(n)).c_str()), 16)) << n;
}

TEST_F(WreckContent, TextsOfEveryDeath)
{
    const int32_t variants = GetConfigInt("game.Hud.MaxDeathTexts", 1);
    ASSERT_GE(variants, 1);
    for (int32_t kind = 1; kind <= 22; ++kind)
        for (int32_t n = 1; n <= variants; ++n)
        {
            const std::string key = std::string("MSG: DEATH_") + DeathKeyword(kind) + "_" + std::to_string(n);
            ASSERT_TRUE(g_Localization.HasText(WeString(key.c_str()))) << key;
            const std::string text = g_Localization.GetText(WeString(key.c_str())).c_str();
            EXPECT_NE(text.find("%a"), std::string::npos) << key;
            EXPECT_NE(text.find("%k"), std::string::npos) << key;
        }
    ASSERT_TRUE(g_Localization.HasText(WeString("MSG: SUICIDE")));
    EXPECT_NE(std::string(g_Localization.GetText(WeString("MSG: SUICIDE")).c_str()).find("%k"), std::string::npos);
    for (int n = 2; n <= 20; ++n)
    {
        const std::string key = "MSG: MULTI_KILL_" + std::to_string(n);
        EXPECT_TRUE(g_Localization.HasText(WeString(key.c_str()))) << key;
    }
}

TEST_F(WreckContent, ConfigurationOfTheDamageRules)
{
    struct Key
    {
        const char* key;
        bool integer;
    };
    const Key keys[] = {{"tuber.Respawn.Time", false},
                        {"tuber.Respawn.AITime", false},
                        {"tuber.Healing.BaseHealingHP", false},
                        {"tuber.HyperBrake.HealthRegeneration", false},
                        {"game.Hud.MaxDeathTexts", true},
                        {"AI.Common.EasyDamageModifier", false},
                        {"AI.Common.MediumDamageModifier", false},
                        {"AI.Common.HardDamageModifier", false}};
    for (const Key& k : keys)
    {
        SCOPED_TRACE(k.key);
        WeConfigEntry* e = FindConfigEntry(k.key);
        ASSERT_NE(e, nullptr);
        EXPECT_TRUE(e->fromFile);
        const std::string text = e->text.c_str();
        char* end = nullptr;
        const double v = std::strtod(text.c_str(), &end);
        EXPECT_TRUE(end != text.c_str() && *end == '\0' && std::isfinite(v)) << text;
        if (k.integer)
        {
            EXPECT_EQ(text.find('.'), std::string::npos) << text;
        }
    }
    EXPECT_EQ(GetConfigInt("game.Hud.MaxDeathTexts", 1), 3);
    EXPECT_FLOAT_EQ(GetConfigFloat("tuber.Healing.BaseHealingHP", 500.0f), 500.0f);
}

TEST_F(WreckContent, TheTestTrackHasAHealingZone)
{
    rig->Tick();
    CTuber* craft = rig->Craft(0);
    ASSERT_NE(craft, nullptr);
    craft->UpdateTrackPosition();
    WePathNode* node = craft->m_CurrentNode;
    ASSERT_NE(node, nullptr);
    int32_t healing = 0;
    for (int32_t n = craft->m_World->GetPathNodes().Count(); n > 0 && node; --n, node = node->m_Next)
        healing += PathNodeFields::GetHealingValue(*node) > 0.0f ? 1 : 0;
    EXPECT_GT(healing, 0);
}

}  // namespace
