#include "Engine/foundation/WeLocalization.h"

#include <gtest/gtest.h>

#include "Engine/foundation/WeConfig.h"

namespace
{
void SetEntry(const char* key, const char* text)
{
    WeConfigEntry* entry = FindConfigEntry(WeString(key));
    entry->text = text;
    entry->hasValue = true;
    entry->ParseText();
}

// Switches the configured language for one test, as run-time code changes a setting.
class Language : public ::testing::Test
{
protected:
    void Use(const char* language)
    {
        localization.Load();  // binds g_Language
        if (!changed)
            saved = *g_Language;
        changed = true;
        SetEntry("build.Options.Language", language);
        localization.Load();
    }
    void TearDown() override
    {
        if (changed)
            SetEntry("build.Options.Language", saved.c_str());
    }

    WeLocalization localization;
    WeString saved;
    bool changed = false;
};
}  // namespace

TEST_F(Language, TranslationsComeFromTheLanguagesEntries)
{
    SetEntry("LocalizationDE.Localization.Menu.Quit", "Beenden");
    SetEntry("localizationde.LOCALIZATION.Menu.Case", "Gross");  // the prefix ignores case
    SetEntry("LocalizationFR.Localization.Menu.Quit", "Quitter");
    Use("DE");
    EXPECT_STREQ(localization.GetText(WeString("Menu.Quit")).c_str(), "Beenden");
    EXPECT_STREQ(localization.GetText(WeString("Menu.Case")).c_str(), "Gross");
    // The key itself is case-sensitive.
    EXPECT_FALSE(localization.HasText(WeString("menu.case")));
    EXPECT_STREQ(localization.GetText(WeString("menu.case")).c_str(), "menu.case");

    // A missing translation shows its key and is kept.
    EXPECT_FALSE(localization.HasText(WeString("Menu.Nothing")));
    const WeString& missing = localization.GetText(WeString("Menu.Nothing"));
    EXPECT_STREQ(missing.c_str(), "Menu.Nothing");
    EXPECT_TRUE(localization.HasText(WeString("Menu.Nothing")));
    EXPECT_EQ(&localization.GetText(WeString("Menu.Nothing")), &missing);

    Use("FR");
    EXPECT_STREQ(localization.GetText(WeString("Menu.Quit")).c_str(), "Quitter");
    EXPECT_FALSE(localization.HasText(WeString("Menu.Case")));
}

TEST_F(Language, RemapShowsCharactersAsOthers)
{
    SetEntry("LocalizationRM.Localization.+ CH - A", "\xC3\x84\xC3\x80");         // A-umlaut and A-grave show as A
    SetEntry("LocalizationRM.Localization.+ CH - \xC3\x9F", "\xF0\x9F\x98\x80");  // beyond the table: ignored
    SetEntry("LocalizationRM.Localization.Word", "X\xC3\x84\xC3\x80Y\xF0\x9F\x98\x80\xC3\xA4");
    Use("RM");
    EXPECT_STREQ(localization.GetRemappedText(WeString("Word")).c_str(), "XAAY\xF0\x9F\x98\x80\xC3\xA4");
    EXPECT_STREQ(localization.GetText(WeString("Word")).c_str(), "X\xC3\x84\xC3\x80Y\xF0\x9F\x98\x80\xC3\xA4");
    // A reload resets the remap.
    SetEntry("build.Options.Language", "none");
    localization.Load();
    EXPECT_STREQ(localization.GetRemappedText(WeString("X\xC3\x84")).c_str(), "X\xC3\x84");
}

TEST_F(Language, AnEmptyLanguageUsesTheBarePrefix)
{
    SetEntry("Localization.Localization.Bare", "bare text");
    Use("");
    EXPECT_STREQ(localization.GetText(WeString("Bare")).c_str(), "bare text");
}

TEST(WeLocalization, ShippedEnglishTexts)
{
    // Bound before main, to the entry itself.
    ASSERT_NE(g_Language, nullptr);
    EXPECT_EQ(g_Language, &GetConfigString(WeString("build.Options.Language"), WeString("XX")));
    g_Localization.Load();
    EXPECT_STREQ(g_Language->c_str(), "EN");
    EXPECT_TRUE(g_Localization.HasText(WeString("UI: START")));
    EXPECT_STREQ(g_Localization.GetText(WeString("UI: START")).c_str(), "Start");
}
