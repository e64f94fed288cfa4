#include "Game/craft/CAIProfiles.h"
#include "Game/craft/CAIKernel.h"
#include "Game/craft/CTuberCatalogue.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeConfigEntry.h"
#include "Engine/foundation/WeLocalization.h"
#include "Platform/system/SysRandom.h"
#include "Tests/support/ConfigOverride.h"
#include "Tests/support/DebugLineCapture.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace
{

const char* const CraftKeys[] = {"Falconer", "EclosionHunter", "Xdrone"};

// The store reads the shipped catalogue and translations; each test sets the profile keys it relies on.
class CAIProfilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_TuberCatalogue.Load();
        g_Localization.Load();
    }
    void TearDown() override
    {
        g_TuberCatalogue.Load();
        g_AIProfiles.Load();
    }
    static std::vector<std::string> Names(WeStringList& list)
    {
        std::vector<std::string> out;
        for (const WeString& name : list)
            out.push_back(name.c_str());
        return out;
    }
    static CAIProfile* Find(const char* name)
    {
        CAIProfile* profile = nullptr;
        return g_AIProfiles.m_Profiles.FindRef(name, &profile) ? profile : nullptr;
    }
};

TEST_F(CAIProfilesTest, AnEmptyFieldEndsTheListAndLevelsNeedOneLetter)
{
    ConfigOverride list("AIProfiles.List.Names", "TestOne,,TestTwo");
    ConfigOverride ship("AIProfiles.TestOne.Ship", "Xdrone");
    ConfigOverride level("AIProfiles.TestOne.Level", "Hard");
    ConfigOverride ship2("AIProfiles.TestTwo.Ship", "Xdrone");
    DebugLineCapture debug;
    g_AIProfiles.Load();
    ASSERT_EQ(g_AIProfiles.m_Profiles.Count(), 1);
    const CAIProfile* one = Find("TestOne");
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->m_Name, "TestOne");
    EXPECT_EQ(one->m_CraftKeyword, "Xdrone");
    EXPECT_EQ(one->m_Level, 1);
    EXPECT_TRUE(debug.Contains("WARNING: Invalid Level for AI Profile TestOne\n"));
    EXPECT_FALSE(debug.Contains("Invalid Ship"));

    const struct
    {
        const char* text;
        int32_t level;
        bool warned;
    } cases[] = {{"E", 1, false}, {"M", 2, false}, {"H", 3, false}, {"h", 1, true},
                 {"", 1, true},   {"X", 1, true},  {"MM", 1, true}, {" M", 1, true}};
    for (const auto& c : cases)
    {
        ConfigOverride text("AIProfiles.TestOne.Level", c.text);
        debug.Clear();
        g_AIProfiles.Load();
        ASSERT_NE(Find("TestOne"), nullptr);
        EXPECT_EQ(Find("TestOne")->m_Level, c.level) << "'" << c.text << "'";
        EXPECT_EQ(debug.Contains("Invalid Level for AI Profile TestOne"), c.warned) << "'" << c.text << "'";
    }
}

TEST_F(CAIProfilesTest, AnUnknownShipTakesTheFirstCatalogueCraftAndAnEmptyCatalogueSkipsTheProfile)
{
    ConfigOverride list("AIProfiles.List.Names", "TestGhost,TestReal");
    ConfigOverride ship("AIProfiles.TestGhost.Ship", "NoSuchCraft");
    ConfigOverride level("AIProfiles.TestGhost.Level", "M");
    ConfigOverride ship2("AIProfiles.TestReal.Ship", "falconer");  // keys are case-sensitive
    ConfigOverride level2("AIProfiles.TestReal.Level", "E");
    ASSERT_NE(g_TuberCatalogue.First(), nullptr);
    const WeString first = g_TuberCatalogue.m_Records.First()->key;
    DebugLineCapture debug;
    g_AIProfiles.Load();
    ASSERT_EQ(g_AIProfiles.m_Profiles.Count(), 2);
    EXPECT_EQ(Find("TestGhost")->m_CraftKeyword, first);
    EXPECT_EQ(Find("TestGhost")->m_Level, 2);
    EXPECT_EQ(Find("TestReal")->m_CraftKeyword, first);
    EXPECT_TRUE(debug.Contains("WARNING: Invalid Ship for AI Profile TestGhost\n"));
    EXPECT_TRUE(debug.Contains("WARNING: Invalid Ship for AI Profile TestReal\n"));

    // No craft at all: nothing to race, so no profile, and the warnings still name them.
    g_TuberCatalogue.Clear();
    debug.Clear();
    g_AIProfiles.Load();
    EXPECT_EQ(g_AIProfiles.m_Profiles.Count(), 0);
    EXPECT_TRUE(debug.Contains("WARNING: Invalid Ship for AI Profile TestGhost\n"));
}

TEST_F(CAIProfilesTest, AProfileNameIsAnArgumentOfTheWarningNeverItsFormat)
{
    ConfigOverride list("AIProfiles.List.Names", "%s%n%x");
    DebugLineCapture debug;
    g_AIProfiles.Load();
    EXPECT_TRUE(debug.Contains("WARNING: Invalid Ship for AI Profile %s%n%x\n"));
    EXPECT_TRUE(debug.Contains("WARNING: Invalid Level for AI Profile %s%n%x\n"));
}

TEST_F(CAIProfilesTest, ARepeatedNameAddsARecordAndCollectWalksTheTableOrder)
{
    ConfigOverride list("AIProfiles.List.Names", "TestA,TestB,TestA,TestC,TestD");
    ConfigOverride a("AIProfiles.TestA.Level", "H");
    ConfigOverride b("AIProfiles.TestB.Level", "M");
    ConfigOverride c("AIProfiles.TestC.Level", "H");
    ConfigOverride d("AIProfiles.TestD.Level", "H");
    for (const char* name : {"TestA", "TestB", "TestC", "TestD"})
        GetConfigString(WeString("AIProfiles.") + name + ".Ship", "Xdrone");
    ConfigOverride shipA("AIProfiles.TestA.Ship", "Xdrone");
    ConfigOverride shipB("AIProfiles.TestB.Ship", "Xdrone");
    ConfigOverride shipC("AIProfiles.TestC.Ship", "Xdrone");
    ConfigOverride shipD("AIProfiles.TestD.Ship", "Xdrone");
    g_AIProfiles.Load();
    EXPECT_EQ(g_AIProfiles.m_Profiles.Count(), 5);

    std::vector<const CAIProfile*> expected;
    for (auto* e = g_AIProfiles.m_Profiles.First(); e != nullptr; e = g_AIProfiles.m_Profiles.Next())
        if (e->value.m_Level == 3)
            expected.push_back(&e->value);
    ASSERT_EQ(expected.size(), 4u);  // both TestA records, TestC, TestD

    WeList<CAIProfile*> hard;
    hard.PushBack(nullptr);  // emptied first
    g_AIProfiles.CollectProfilesOfLevel(hard, 3);
    std::vector<const CAIProfile*> actual;
    for (CAIProfile* profile : hard)
        actual.push_back(profile);
    EXPECT_EQ(actual, expected);

    WeList<CAIProfile*> medium;
    g_AIProfiles.CollectProfilesOfLevel(medium, 2);
    ASSERT_EQ(medium.Count(), 1);
    EXPECT_EQ(medium.Front()->m_Name, "TestB");
    for (int32_t level : {0, 1, 4})
    {
        g_AIProfiles.CollectProfilesOfLevel(medium, level);
        EXPECT_EQ(medium.Count(), 0) << level;
    }
}

TEST_F(CAIProfilesTest, DriverNamesAreDrawnWithoutRepeatsThenTheGenericText)
{
    g_AIProfiles.Load();
    WeStringList& easy = g_AIProfiles.m_DriverNames[0];
    easy.Clear();
    for (const char* name : {"Alpha", "Beta", "Gamma"})
        easy.PushBack(WeString(name));
    const std::string generic = g_Localization.GetText("UI: AI").c_str();

    // The draw is the seeded generator's, scaled by the names still left.
    SysRandom::Seed(7);
    std::vector<std::string> pool = {"Alpha", "Beta", "Gamma"}, expected;
    while (!pool.empty())
    {
        const int32_t pick = SysRandom::Scaled(static_cast<int32_t>(pool.size()));
        expected.push_back(pool[pick]);
        pool.erase(pool.begin() + pick);
    }
    expected.push_back(generic);
    expected.push_back(generic);

    SysRandom::Seed(7);
    WeStringList out;
    out.PushBack(WeString("stale"));
    g_AIProfiles.PickDriverNames(out, 1, 5);
    EXPECT_EQ(Names(out), expected);
    EXPECT_EQ(easy.Count(), 3);  // the level's list is left as it was

    // A level outside 1 to 3 has no names; a count below 1 gives none.
    for (int32_t level : {0, 4, -1})
    {
        g_AIProfiles.PickDriverNames(out, level, 2);
        EXPECT_EQ(Names(out), std::vector<std::string>(2, generic)) << level;
    }
    for (int32_t count : {0, -3})
    {
        g_AIProfiles.PickDriverNames(out, 1, count);
        EXPECT_EQ(out.Count(), 0) << count;
    }
}

TEST_F(CAIProfilesTest, TheDriverListEndsAtTheFirstMissingNumber)
{
    ConfigOverride late("LocalizationEN.Localization.AI_Hard_9", "Too Late");
    g_Localization.Load();
    g_AIProfiles.Load();
    for (int32_t level = 0; level < CAIProfiles::LevelCount; ++level)
    {
        int32_t count = 0;
        static const char* const names[] = {"Easy", "Medium", "Hard"};
        for (int32_t n = 1;; ++n)
        {
            WeString key = WeString("AI_") + names[level] + "_";
            key.AppendInt(n);
            if (!g_Localization.HasText(key))
                break;
            ++count;
        }
        EXPECT_EQ(g_AIProfiles.m_DriverNames[level].Count(), count) << names[level];
    }
    for (const WeString& name : g_AIProfiles.m_DriverNames[2])
        EXPECT_NE(name, "Too Late");
}

// The shipped configuration and texts.
TEST(AIContent, EveryRecordKeyProfileAndDriverNameIsShipped)
{
    static const char* const keys[] = {"ShootAtPlayer",        "ShootAtEasy",
                                       "ShootAtMedium",        "ShootAtHard",
                                       "FlyingCoef",           "OverSpeed",
                                       "MineAvoidCoef",        "PickupLookup",
                                       "TurboMultiplier",      "TurboStartPathIndex",
                                       "AICatchUpMinDistance", "AICatchUpMinDistanceVariation",
                                       "AICatchUpMaxDistance", "CatchUpSpeedKoefFront",
                                       "CatchUpSpeedKoefBack", "DamageModifier",
                                       "MaxHPModifier"};
    for (const char* level : {"Easy", "Medium", "Hard"})
        for (const char* key : keys)
        {
            const WeConfigEntry* entry = LookupConfigEntry(WeString("AI.") + level + "." + key, false);
            EXPECT_TRUE(entry != nullptr && entry->fromFile) << level << "." << key;
        }
    for (const char* key :
         {"TurboSavingCoef", "TurboSavingPathIndex", "FireDistance", "FFGFireDistance", "FFGFireAngleDot"})
    {
        const WeConfigEntry* entry = LookupConfigEntry(WeString("AI.Hard.") + key, false);
        EXPECT_TRUE(entry != nullptr && entry->fromFile) << key;
    }

    g_TuberCatalogue.Load();
    g_Localization.Load();
    g_AIProfiles.Load();
    EXPECT_GE(g_AIProfiles.m_Profiles.Count(), 9);
    std::set<std::pair<std::string, int32_t>> offered;
    for (auto* e = g_AIProfiles.m_Profiles.First(); e != nullptr; e = g_AIProfiles.m_Profiles.Next())
    {
        const CAIProfile& profile = e->value;
        const std::string name = profile.m_Name.c_str();
        const WeString prefix = WeString("AIProfiles.") + profile.m_Name;
        EXPECT_NE(g_TuberCatalogue.Find(GetConfigString(prefix + ".Ship", "")), nullptr) << name;
        const WeString& level = GetConfigString(prefix + ".Level", "");
        EXPECT_TRUE(level == "E" || level == "M" || level == "H") << name;
        EXPECT_EQ(name.find(' '), std::string::npos) << name;
        offered.insert({profile.m_CraftKeyword.c_str(), profile.m_Level});
    }
    for (const char* craft : CraftKeys)
        for (int32_t level = 1; level <= 3; ++level)
            EXPECT_EQ(offered.count({craft, level}), 1u) << craft << " at level " << level;

    for (int32_t level = 0; level < CAIProfiles::LevelCount; ++level)
        EXPECT_GE(g_AIProfiles.m_DriverNames[level].Count(), 5) << level;
    EXPECT_TRUE(g_Localization.HasText("UI: AI"));
    EXPECT_NE(g_Localization.GetText("UI: AI"), "UI: AI");
}

}  // namespace
