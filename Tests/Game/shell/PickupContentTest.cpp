// The pickups' content in the pack: a model with its taken look for every pickup id, the random box and the
// class default; the pickup and lap sounds, the lap voices in one format so they queue on one source; the
// texts the laps, placings, bonuses and the safety lock show; and the keys of the pickups' configuration.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WePackageTypes.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelManager.h"
#include "Game/shell/CPickupFactory.h"
#include "Tests/Game/shell/RaceRulesTestSupport.h"

namespace
{
class PickupContent : public RaceFixture
{
protected:
    void SetUp() override
    {
        RaceRigOptions o = RulesOptions(1);
        o.racePhase = false;
        StartRace(o);
    }
};

// The format line of a sound recipe: "sound channels=C rate=R ...".
std::string Format(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("sound ", 0) == 0)
        {
            std::istringstream words(line);
            std::string word, format;
            while (words >> word)
                if (word.rfind("channels=", 0) == 0 || word.rfind("rate=", 0) == 0)
                    format += word + " ";
            return format;
        }
    return "";
}
}  // namespace

TEST_F(PickupContent, EveryPickupHasAModelWithItsTakenLook)
{
    std::set<std::string> names = {"Pickups.Models.RandomWeapon", "Pickups.Models.Mine"};
    for (int32_t type = 10000; type <= 10040; ++type)
        if (IsPickupType(type))
            names.insert(std::string("Pickups.Models.") + GetPickupTypeName(type));
    EXPECT_EQ(names.size(), 29u);
    for (const std::string& name : names)
    {
        WeModel* model = g_ModelManager.Load(WeString(name.c_str()), 0);
        ASSERT_NE(model, nullptr) << name;
        ASSERT_NE(model->m_Mesh, nullptr) << name;
        EXPECT_GT(model->m_Mesh->m_SubsetCount, 0) << name;
        for (int s = 0; s < model->m_Mesh->m_SubsetCount; ++s)
        {
            EXPECT_FALSE(model->m_Mesh->m_Presets[0].names[s].IsEmpty()) << name << " subset " << s;
            EXPECT_FALSE(model->m_Mesh->m_Presets[1].names[s].IsEmpty()) << name << " subset " << s;
        }
        delete model;
    }
}

TEST_F(PickupContent, TheSoundsArePackedAndTheLapVoicesShareOneFormat)
{
    const int32_t ogg = PackageTypeFromExtension("ogg");
    std::set<std::string> names = {"Sounds.Pickup.Coin", "Sounds.Voice.LapsRemaining", "Sounds.Voice.Lap1Remaining"};
    for (const char* ability : {"Invisibility", "Invulnerability", "QuadDamage", "KestEngine"})
    {
        names.insert(std::string("Sounds.Pickup.") + ability);
        names.insert(std::string("Sounds.Pickup.End") + ability);
    }
    int32_t largest = 0;
    const WeString counts = GetConfigString("game.GamePlay.LapCounts", "");
    for (int32_t i = 0; !counts.GetToken(',', i).IsEmpty(); ++i)
        largest = std::max(largest, std::atoi(counts.GetToken(',', i).c_str()));
    ASSERT_GE(largest, 2);
    std::set<std::string> voiceFormats;
    const std::string voices = std::string(WE_FIXTURES_DIR) + "/../../Content/Assets/Sounds/Voice/";
    for (int32_t n = 2; n <= largest; ++n)
    {
        names.insert("Sounds.Voice.Laps" + std::to_string(n));
        voiceFormats.insert(Format(voices + "Laps" + std::to_string(n) + ".sound"));
    }
    voiceFormats.insert(Format(voices + "LapsRemaining.sound"));
    voiceFormats.insert(Format(voices + "Lap1Remaining.sound"));
    for (const std::string& name : names)
        EXPECT_TRUE(WeVirtualFileSystem::Instance()->Exists(WeString(name.c_str()), ogg)) << name;
    ASSERT_EQ(voiceFormats.size(), 1u);
    EXPECT_FALSE(voiceFormats.begin()->empty());
}

TEST_F(PickupContent, TheTextsAreTranslatedAndTakeTheirArguments)
{
    struct Text
    {
        const char* key;
        const char* conversion;  // the one conversion the text takes, or none
    };
    const Text texts[] = {{"MSG: LAP_TIME", nullptr},
                          {"MSG: NEW_LAP_RECORD", nullptr},
                          {"MSG: LAPS_REMAINING", "%d"},
                          {"MSG: FINAL_LAP", nullptr},
                          {"MSG: RACE_FINISHED", nullptr},
                          {"MSG: ENTERED_FINAL_LAP", "%s"},
                          {"MSG: FIRST_PLACE", "%s"},
                          {"MSG: SECOND_PLACE", "%s"},
                          {"MSG: THIRD_PLACE", "%s"},
                          {"MSG: WINNER_MESSAGE", "%s"},
                          {"MSG: OUT_MESSAGE", "%s"},
                          {"MSG: RECHARGED_TURBO", nullptr},
                          {"MSG: RECHARGED_WEAPS", nullptr},
                          {"MSG: Pickups.SmallCoin.BonusText", "%d"},
                          {"MSG: Pickups.LargeCoin.BonusText", "%d"},
                          {"MSG: Pickups.KestCoin.BonusText", "%d"},
                          {"MSG: Pickups.Turbo.BonusText", "%d"},
                          {"MSG: Pickups.Turbo.BonusAbilityText", "%d"},
                          {"MSG: SAFETY_LOCK", nullptr},
                          {"MSG: TIME_TRIAL_SECONDS_LEFT", nullptr}};
    for (const Text& t : texts)
    {
        ASSERT_TRUE(g_Localization.HasText(WeString(t.key))) << t.key;
        const std::string text = g_Localization.GetText(WeString(t.key)).c_str();
        const size_t percent = text.find('%');
        if (t.conversion == nullptr)
            EXPECT_EQ(percent, std::string::npos) << t.key;
        else
        {
            EXPECT_EQ(text.substr(percent, 2), t.conversion) << t.key;
            EXPECT_EQ(text.find('%', percent + 1), std::string::npos) << t.key;
        }
    }
}

TEST_F(PickupContent, ThePackSetsThePickupAndRaceKeys)
{
    for (const char* key :
         {"Pickups.Weapons.RespawnTime", "Pickups.Weapons.AIGlow", "Pickups.Weapons.RandomTime",
          "Pickups.Coins.RespawnTime", "Pickups.Coins.PhysicSize", "Pickups.Ability.RespawnTime",
          "Pickups.Common.PhysicSize", "Pickups.SmallCoin.BonusStreak", "Pickups.KestCoin.BonusAbility",
          "Pickups.Turbo.BonusValue", "Pickups.Turbo.TurboBonusValue", "game.CheckPoints.Enable",
          "game.CheckPoints.Delta", "game.GamePlay.NextPlayerWaitTime", "game.GamePlay.SafetyLockTime",
          "tuber.Collision.TuberCollisionMaxDistance", "tuber.Collision.TuberCollisionPower"})
        EXPECT_NE(LookupConfigEntry(WeString(key), false), nullptr) << key;
    // The time trial's colours are opaque in the pack.
    for (const char* key : {"game.TimeTrial.BlueTimeColor", "game.TimeTrial.RedTimeColor",
                            "game.TimeTrial.WinTimeColor", "game.TimeTrial.NormalTimeColor"})
    {
        ASSERT_NE(LookupConfigEntry(WeString(key), false), nullptr) << key;
        const std::string colour = GetConfigString(key, "").c_str();
        EXPECT_EQ(colour.substr(0, 2), "FF") << key;
    }
}
