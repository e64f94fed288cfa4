#include "Game/craft/CTuberCatalogue.h"
#include "Game/shell/CRaceSettings.h"

#include "Engine/foundation/WeLocalization.h"
#include "Tests/support/ConfigOverride.h"

#include <gtest/gtest.h>

namespace
{

// The catalogue reads "tubers.<name>.*"; each test sets the keys it relies on.
class CTuberCatalogueTest : public ::testing::Test
{
protected:
    static void Bind(const char* name)
    {
        const WeString prefix = WeString("tubers.") + name + ".";
        GetConfigInt(prefix + "UnlockID", -1);
        for (const char* key : {"Speed", "Acceleration", "HP", "Turbo"})
            GetConfigFloat(prefix + key, 9.0f);
    }
    void SetUp() override
    {
        for (const char* name : {"Falconer", "EclosionHunter", "Xdrone"})
            Bind(name);
    }
};

TEST_F(CTuberCatalogueTest, OnlyUnlockIdsFromZeroTo999AreInTheCatalogue)
{
    ConfigOverride falconer("tubers.Falconer.UnlockID", "0");
    ConfigOverride hunter("tubers.EclosionHunter.UnlockID", "1000");
    ConfigOverride drone("tubers.Xdrone.UnlockID", "999");
    CTuberCatalogue catalogue;
    catalogue.Load();
    EXPECT_NE(catalogue.Find("Falconer"), nullptr);
    EXPECT_EQ(catalogue.Find("EclosionHunter"), nullptr);
    EXPECT_NE(catalogue.Find("Xdrone"), nullptr);
    ASSERT_EQ(catalogue.m_Names.Count(), 2);
    EXPECT_EQ(catalogue.m_Names.Front(), "Falconer");
    EXPECT_EQ(catalogue.m_Names.Back(), "Xdrone");
    EXPECT_EQ(catalogue.Find("Xdrone")->m_UnlockID, 999);

    ConfigOverride negative("tubers.Falconer.UnlockID", "-2");
    catalogue.Load();
    EXPECT_EQ(catalogue.Find("Falconer"), nullptr);
    EXPECT_EQ(catalogue.m_Names.Count(), 1);
    EXPECT_NE(catalogue.First(), nullptr);
}

TEST_F(CTuberCatalogueTest, RatingsLerpBetweenTheCommonEndpoints)
{
    ConfigOverride unlock("tubers.Falconer.UnlockID", "0");
    // A record without rating keys takes the rating 9, with the default endpoints.
    {
        CTuberDescription record;
        record.Load("NoRatingsCraft");
        if (GetConfigFloat("tubers.Common.Speed1", 185.0f) == 185.0f &&
            GetConfigFloat("tubers.Common.Speed10", 200.0f) == 200.0f)
        {
            EXPECT_NEAR(record.m_Speed, 198.5f, 1e-3f);
            EXPECT_NEAR(record.m_Acceleration, 96.0f, 1e-3f);
            EXPECT_EQ(record.m_HP, 860);
            EXPECT_NEAR(record.m_Turbo, 18.3f, 1e-3f);
        }
        EXPECT_NEAR(record.m_SpeedRating, 0.9f, 1e-6f);
        EXPECT_EQ(record.m_ModelID, "NoRatingsCraft");
        EXPECT_EQ(record.m_Primary, "PlasmaBolt");
        EXPECT_EQ(record.m_Secondary, "ContactMine");
        EXPECT_EQ(record.m_DisplayName, g_Localization.GetText("Ships: NoRatingsCraft: NAME"));
    }
    // Ratings 0 and 10 give the endpoints themselves.
    ConfigOverride speed("tubers.Falconer.Speed", "0");
    ConfigOverride hp("tubers.Falconer.HP", "10");
    CTuberDescription record;
    record.Load("Falconer");
    EXPECT_FLOAT_EQ(record.m_Speed, GetConfigFloat("tubers.Common.Speed1", 185.0f));
    EXPECT_EQ(record.m_HP, static_cast<int32_t>(GetConfigFloat("tubers.Common.HP10", 900.0f)));
}

TEST_F(CTuberCatalogueTest, CopiesBorrowAndNeverRelease)
{
    CTuberDescription owner;
    owner.m_Name = "A";
    CTuberDescription copy = owner;
    EXPECT_FALSE(copy.m_OwnsModels);
    EXPECT_EQ(copy.m_Name, "A");
    // Without a device no model loads; the load still completes and marks the record as the owner.
    owner.LoadModels();
    EXPECT_TRUE(owner.m_OwnsModels);
    owner.LoadModels();
    EXPECT_TRUE(owner.m_OwnsModels);
}

TEST_F(CTuberCatalogueTest, RaceSettingsLookUpCraftNamesInTheCatalogue)
{
    ConfigOverride unlock("tubers.Xdrone.UnlockID", "5");
    g_TuberCatalogue.Load();
    WeString name;
    g_RaceSettings.LookupCraftName(name, "Xdrone");
    EXPECT_EQ(name, g_Localization.GetText("Ships: Xdrone: NAME"));
    g_RaceSettings.LookupCraftName(name, "Unknown");
    EXPECT_TRUE(name.IsEmpty());
    g_TuberCatalogue.Clear();
}

}  // namespace
