// What the intro, start-up, menu background, buy and race loading screens ask of the pack: their keys, their
// translations, their movies and their sounds.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeConfigEntry.h"
#include "Engine/foundation/WeDataFile.h"
#include "Engine/foundation/WeExeFolder.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeVirtualFileSystem.h"

namespace
{
bool FromFile(const char* key)
{
    return FindConfigEntry(key)->fromFile;
}

bool Translated(const WeString& key)
{
    static const bool loaded = (g_Localization.Load(), true);
    (void)loaded;
    return g_Localization.HasText(key);
}
}  // namespace

TEST(ScreensContent, TheScreensKeysAreSet)
{
    for (const char* key : {"game.Intro.Movies",
                            "game.Intro.Images",
                            "game.Intro.FadeInSpeed",
                            "game.Intro.FadeOutSpeed",
                            "game.Hud.InitRaceTexts",
                            "game.Hud.InitRaceTime",
                            "game.GamePlay.LapCounts",
                            "UI.LegalText.FadeSpeed",
                            "UI.Fade.BackgroundMovie",
                            "UI.LoadMap.BackgroundPosY",
                            "UI.LoadMap.BackgroundHeight",
                            "UI.LoadMap.ModeColorStandardRace",
                            "UI.LoadMap.ModeColorTimeTrial",
                            "UI.LoadMap.ModeColorLastOne",
                            "UI.Components.Intro_Picture",
                            "UI.Components.LoadMenu_Background",
                            "UI.Components.LoadMenu_SplashScreen",
                            "UI.Components.LoadMenu_LegalText",
                            "UI.Components.MenuBackgroundMovie",
                            "UI.Components.MenuBackgroundPicture",
                            "UI.Components.MenuBackgroundFader",
                            "UI.Components.MenuVersion"})
        EXPECT_TRUE(FromFile(key)) << key;
    EXPECT_GT(GetConfigFloat("game.Hud.InitRaceTime", 3.0f), 0.0f);
    // Two pictures with movies off, and three or four tips.
    EXPECT_FALSE(GetConfigString("game.Intro.Images", "").GetToken(',', 1).IsEmpty());
    const WeString& tips = GetConfigString("game.Hud.InitRaceTexts", "");
    EXPECT_FALSE(tips.GetToken(',', 2).IsEmpty());
    EXPECT_TRUE(tips.GetToken(',', 4).IsEmpty());
}

TEST(ScreensContent, EveryTextTheScreensShowIsTranslated)
{
    for (const char* key : {"TEXT: LegalText", "UI: PRESS_ANY_KEY", "UI: LOADING", "UI: LAP COUNT", "UI: MODE",
                            "UI: STANDARD RACE", "UI: TIME TRIAL", "UI: LAST ONE", "UI: OPPONENTS", "UI: DIFFICULTY",
                            "UI: DIFF_EASY", "UI: DIFF_MEDIUM", "UI: DIFF_HARD"})
        EXPECT_TRUE(Translated(key)) << key;
    const WeString& tips = GetConfigString("game.Hud.InitRaceTexts", "");
    for (int32_t i = 0; !tips.GetToken(',', i).IsEmpty(); ++i)
        EXPECT_TRUE(Translated(WeString("UI: ") + tips.GetToken(',', i))) << tips.GetToken(',', i).c_str();
}

TEST(ScreensContent, TheMoviesAndMenuSoundsAreThere)
{
    const std::filesystem::path movies = std::filesystem::path(GetExeFolder().c_str()) / "Movies";
    const WeString& intro = GetConfigString("game.Intro.Movies", "");
    for (int32_t i = 0; !intro.GetToken(',', i).IsEmpty(); ++i)
        EXPECT_TRUE(std::filesystem::exists(movies / (std::string(intro.GetToken(',', i).c_str()) + ".seq")));
    EXPECT_TRUE(std::filesystem::exists(movies / "menu.seq"));

    WeDataFile* pack = WeVirtualFileSystem::GetDataFile();
    ASSERT_TRUE(pack->EnsureLoaded());
    for (const char* name : {"Sounds.Menu.Click1", "Sounds.Menu.Click2", "Sounds.Menu.Denied", "Sounds.Menu.KeyPress"})
        EXPECT_TRUE(pack->Exists(name, 16)) << name;
}
