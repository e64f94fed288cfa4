// What the race phase and the chase camera ask of the pack: the camera presets, the race's keys, each shipped
// track's preview cameras and race music, the countdown and end texts and voices, and the screen effects'
// shaders.
#include <gtest/gtest.h>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeConfigEntry.h"
#include "Engine/foundation/WeDataFile.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeVirtualFileSystem.h"

namespace
{
constexpr int32_t OggType = 16;
constexpr int32_t ShaderType = 3;
const char* const Tracks[] = {"Wastelands of Apeiron (day)", "Fusion Sphere (night)"};

bool FromFile(const WeString& key)
{
    return FindConfigEntry(key)->fromFile;
}
}  // namespace

TEST(RaceContent, TheCameraPresetsAndTheRaceKeysAreSet)
{
    const int32_t count = GetConfigInt("cameras.Init.Count", 1);
    EXPECT_GE(count, 3);
    EXPECT_LE(count, 10);
    for (int32_t i = 1; i <= count; ++i)
    {
        WeString key("cameras.Camera");
        key.AppendInt(i);
        EXPECT_TRUE(FromFile(key + ".MinFOV")) << key.c_str();
    }
    for (const char* key :
         {"cameras.FinishingCamera.Centered", "cameras.ReverseCamera.ViewDirection", "cameras.Preview.PreviewTime",
          "cameras.DoF.RaceFocusDistance", "cameras.Shake.CameraShakeVector", "cameras.Tuber.RadialMotionBlur",
          "game.Hud.InitRaceTime", "game.Hud.CountdownScale", "game.GamePlay.RaceFinalizationTime",
          "game.Music.PlaySongRaceBeforePreviewCameras"})
        EXPECT_TRUE(FromFile(WeString(key))) << key;
    EXPECT_LT(GetConfigFloat("cameras.ReverseCamera.ViewDirection", 1.0f), 0.0f);
    // One first-person preset that leaves the trail out.
    bool firstPerson = false;
    for (int32_t i = 1; i <= count; ++i)
    {
        WeString key("cameras.Camera");
        key.AppendInt(i);
        firstPerson = firstPerson || (GetConfigInt(key + ".FPS", 0) != 0 && GetConfigInt(key + ".NoTrail", 0) != 0);
    }
    EXPECT_TRUE(firstPerson);
}

TEST(RaceContent, EachTrackHasPreviewCamerasAndARaceTheme)
{
    WeDataFile* pack = WeVirtualFileSystem::GetDataFile();
    ASSERT_TRUE(pack->EnsureLoaded());
    for (const char* track : Tracks)
    {
        const WeString prefix = WeString("Maps.") + track;
        WeString first = prefix + ".PreviewCamera1";
        ASSERT_TRUE(FromFile(first)) << track;
        for (int32_t i = 1; i <= 3; ++i)
        {
            WeString key = prefix + ".PreviewCamera";
            key.AppendInt(i);
            const WeString& text = FindConfigEntry(key)->text;
            // Position and rotation at least, ten fields at most.
            EXPECT_FALSE(text.GetToken(',', 6).IsEmpty()) << key.c_str();
            EXPECT_TRUE(text.GetToken(',', 10).IsEmpty()) << key.c_str();
        }
        const WeString& music = GetConfigString(prefix + ".RaceMusic", "");
        ASSERT_FALSE(music.IsEmpty()) << track;
        EXPECT_TRUE(pack->Exists(WeString("Sounds.Music.") + music, OggType)) << music.c_str();
    }
}

TEST(RaceContent, TheCountdownAndEndTextsAndVoicesAreThere)
{
    static const bool loaded = (g_Localization.Load(), true);
    (void)loaded;
    for (const char* key :
         {"MSG: COUNTDOWN 3", "MSG: COUNTDOWN 2", "MSG: COUNTDOWN 1", "MSG: COUNTDOWN GO", "MSG: PLAYER WIN",
          "MSG: PLAYER LOST", "MSG: PLAYER FIRST PLACE", "MSG: PLAYER SECOND PLACE", "MSG: PLAYER THIRD PLACE"})
        EXPECT_TRUE(g_Localization.HasText(WeString(key))) << key;
    WeDataFile* pack = WeVirtualFileSystem::GetDataFile();
    ASSERT_TRUE(pack->EnsureLoaded());
    for (const char* name : {"Sounds.Voice.CountThree", "Sounds.Voice.CountTwo", "Sounds.Voice.CountOne",
                             "Sounds.Voice.CountGo", "Sounds.Voice.EndYouWin", "Sounds.Voice.EndYouLose",
                             "Sounds.Voice.EndFirstPlace", "Sounds.Voice.EndSecondPlace", "Sounds.Voice.EndThirdPlace"})
        EXPECT_TRUE(pack->Exists(WeString(name), OggType)) << name;
    for (const char* name : {"Shaders.PostProcess.Monochrome", "Shaders.PostProcess.Wave", "Shaders.PostProcess.Wave2"})
        EXPECT_TRUE(pack->Exists(WeString(name), ShaderType)) << name;
}
