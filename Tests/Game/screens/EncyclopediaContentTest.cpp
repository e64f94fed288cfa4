// The encyclopedia's and the credits' content in the shipped pack: the entry lists name the game's own craft,
// weapon kinds, maps and worlds; every entry is translated and its picture packed; the screen's widgets have
// their layout lines; the credit texts run without a gap and their music is packed.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeOggDecoder.h"
#include "Engine/ui/WeUIButton.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIText.h"
#include "Engine/ui/WeUIWindow.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/screens/CEncyclopediaPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/CMapInfo.h"
#include "Tests/Game/screens/ScreenContentCheck.h"
#include "Tests/Game/screens/ScreenTestSupport.h"

namespace
{
class EncyclopediaContent : public ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        g_TuberCatalogue.Load();
        g_MapCatalogue.Load();
    }
    static std::vector<std::string> Keys(const char* category)
    {
        const WeString list = GetConfigString(WeString("Encyclopedia.") + category + ".List", "");
        std::vector<std::string> keys;
        for (int32_t i = 0; !list.GetToken(',', i).IsEmpty(); ++i)
            keys.push_back(list.GetToken(',', i).c_str());
        return keys;
    }
    static std::set<std::string> Set(const WeStringList& list)
    {
        std::set<std::string> out;
        for (const WeString& s : list)
            out.insert(s.c_str());
        return out;
    }
};

// The screen's widgets lie at every depth of its windows.
const ScreenContentCheck Encyclopedia({"Encyclopedia"}, INT_MAX);
}  // namespace

TEST_F(EncyclopediaContent, TheListsNameTheGamesOwnCraftWeaponsMapsAndWorlds)
{
    EXPECT_EQ(Keys("Ships").size(), size_t(g_TuberCatalogue.m_Names.Count()));
    for (const std::string& key : Keys("Ships"))
        EXPECT_NE(g_TuberCatalogue.Find(key.c_str()), nullptr) << key;

    std::vector<std::string> weapons;
    for (int32_t kind = 1; kind <= 20; ++kind)
        weapons.push_back(CWeaponDescriptionManager::GetKeyword(kind));
    EXPECT_EQ(Keys("Weapons"), weapons);

    const std::set<std::string> maps = Set(g_MapCatalogue.m_Names);
    std::set<std::string> worlds;
    for (const std::string& map : maps)
        worlds.insert(g_MapCatalogue.Find(map.c_str())->m_WorldName.c_str());
    const std::vector<std::string> listedMaps = Keys("Maps");
    EXPECT_EQ(std::set<std::string>(listedMaps.begin(), listedMaps.end()), maps);
    const std::vector<std::string> listedWorlds = Keys("Worlds");
    EXPECT_EQ(std::set<std::string>(listedWorlds.begin(), listedWorlds.end()), worlds);
    EXPECT_EQ(Keys("Pickups").size(), 7u);
}

TEST_F(EncyclopediaContent, EveryEntryIsTranslatedAndItsPictureIsPacked)
{
    int32_t pictures = 0;
    for (const char* category : CEncyclopediaPhase::Categories)
    {
        SCOPED_TRACE(category);
        EXPECT_TRUE(g_Localization.HasText(WeString("UI: Enc") + category));
        const std::vector<std::string> keys = Keys(category);
        EXPECT_FALSE(keys.empty());
        for (const std::string& key : keys)
        {
            const WeString base = WeString(category) + ": " + key.c_str();
            EXPECT_TRUE(g_Localization.HasText(base + ": NAME")) << key;
            EXPECT_TRUE(g_Localization.HasText(base + ": TEXT")) << key;
            const WeString picture =
                GetConfigString(WeString("Encyclopedia.") + category + ":" + key.c_str() + ".Picture", "");
            // The text pages may go without; an entry about a thing shows its picture.
            const bool needsPicture = category != std::string("History") && category != std::string("Story") &&
                                      category != std::string("Tips");
            EXPECT_TRUE(!needsPicture || !picture.IsEmpty()) << key << " has no picture";
            if (picture.IsEmpty())
                continue;
            ++pictures;
            WeTexture* texture = g_TextureManager.GetTexture(picture, false, 0, false);
            EXPECT_NE(texture, nullptr) << picture.c_str();
            if (texture != nullptr)
                g_TextureManager.ReleaseTexture(texture, false);
        }
    }
    for (const std::string& world : Keys("Worlds"))
        EXPECT_TRUE(g_Localization.HasText(WeString("Worlds: ") + world.c_str() + ": SHORTNAME")) << world;
    for (const char* key : {"UI: ENCYCLOPEDIA", "UI: NOTHING UNLOCKED", "UI: BACK", "UI: NEXT", "UI: PREV"})
        EXPECT_TRUE(g_Localization.HasText(key)) << key;
    // The worlds, the ships, the maps, the weapons and the pickups at least.
    EXPECT_GE(pictures, 34);
}

TEST_F(EncyclopediaContent, EveryWidgetHasItsLayoutAndEveryPageItsTexts)
{
    Start({&g_MenuPhase, &g_EncyclopediaPhase});
    Settle();
    for (const char* category : CEncyclopediaPhase::Categories)
    {
        SCOPED_TRACE(category);
        g_EncyclopediaPhase.SelectCategory(category);
        for (int32_t i = 0; i < 30; ++i)
        {
            if (!Encyclopedia.Report())
                return;
            g_EncyclopediaPhase.ShowNext();
        }
    }
}

TEST_F(EncyclopediaContent, TheCreditsRunWithoutAGapAndTheirMusicIsPacked)
{
    int32_t last = 0;
    for (int32_t n = 1; n <= 99; ++n)
    {
        WeString key("TEXT: Credit");
        key.AppendInt(n, 2);
        if (g_Localization.HasText(key))
        {
            EXPECT_EQ(last, n - 1) << "a gap before " << key.c_str();
            last = n;
        }
    }
    EXPECT_GE(last, 5);
    EXPECT_TRUE(g_Localization.HasText("TEXT: LegalText"));
    std::vector<uint8_t> music;
    EXPECT_TRUE(ReadSoundFile("Sounds.Music.IG_Credits Theme", music));
    EXPECT_GT(music.size(), 10000u);
}
