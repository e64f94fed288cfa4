// The content of the end-of-race screen, the pause menu and the options in the shipped pack: every widget
// these screens create has its layout line, no shown text is an untranslated key, and the pictures, sounds
// and music they load by name are packed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeDataFile.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeTextureManager.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/screens/CEndGamePhase.h"
#include "Game/screens/CInGameMenuPhase.h"
#include "Game/screens/COptionsAudioPhase.h"
#include "Game/screens/COptionsInputPhase.h"
#include "Game/screens/COptionsPhase.h"
#include "Game/screens/COptionsVideoPhase.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Tests/Game/screens/OptionsTestSupport.h"
#include "Tests/Game/screens/ScreenContentCheck.h"

namespace
{
const ScreenContentCheck AfterTheRace({"Statistic", "STATISTICS", "IN_GAME", "PLAYGAME", "Options_", "AudioOptions_",
                                       "VideoOptions_", "InputOptions_", "InvertMouse", "Crosshair",
                                       "OPTIONS_DEFAULT"});

class ScreensContentAfterTheRace : public OptionsScreenTest
{
protected:
    void Verify(const char* screen)
    {
        SCOPED_TRACE(screen);
        Settle();
        AfterTheRace.Report();
        g_PhaseManager.Shutdown();
    }
};
}  // namespace

TEST_F(ScreensContentAfterTheRace, EveryScreenHasItsLayoutAndItsTexts)
{
    g_TuberCatalogue.Load();
    g_RaceSettings.ClearParticipants();
    g_RaceSettings.SetParticipant(0, CRaceParticipant::Human, "Falconer", 1)->m_DisplayName = "Ace";
    g_RaceSettings.SetParticipant(1, CRaceParticipant::AIMedium, "Xdrone", 2)->m_DisplayName = "Vex";
    Start({&g_EndGamePhase});
    Verify("statistics");
    OpenPauseMenu();
    Verify("pause menu");
    for (WeAbstractPhase* sub :
         {static_cast<WeAbstractPhase*>(&g_OptionsAudioPhase), static_cast<WeAbstractPhase*>(&g_OptionsVideoPhase),
          static_cast<WeAbstractPhase*>(&g_OptionsInputPhase)})
    {
        Start({&g_MenuPhase, &g_OptionsPhase});
        Step();
        if (g_PhaseManager.GetTopPhase() != sub)
        {
            g_PhaseManager.RequestPhase(sub, WePhaseManager::ChangeRequest);
            Step();
        }
        Verify(GetPhaseClassName(sub));
    }
    g_RaceSettings.ClearParticipants();
}

TEST_F(ScreensContentAfterTheRace, ThePicturesSoundsAndMusicTheseScreensLoadArePacked)
{
    for (const char* picture : {"Textures.Statistics.YouWin", "Textures.Statistics.YouLose"})
    {
        WeTexture* texture = g_TextureManager.GetTexture(picture, false, 0, false);
        EXPECT_NE(texture, nullptr) << picture;
        if (texture != nullptr)
            g_TextureManager.ReleaseTexture(texture, false);
    }
    constexpr int32_t OggType = 16;
    WeDataFile* pack = WeVirtualFileSystem::GetDataFile();
    ASSERT_TRUE(pack->EnsureLoaded());
    EXPECT_TRUE(pack->Exists(WeString("Sounds.Menu.VolumeTest"), OggType));
    // Every listed map names its statistics music, and that music is packed.
    g_MapCatalogue.Load();
    ASSERT_FALSE(g_MapCatalogue.m_Names.IsEmpty());
    for (auto* n = g_MapCatalogue.m_Names.FirstNode(); n != nullptr; n = g_MapCatalogue.m_Names.NextNode(n))
    {
        SCOPED_TRACE(n->payload.c_str());
        const WeString music = GetConfigString(WeString("Maps.") + n->payload + ".StatMusic", WeString(""));
        ASSERT_FALSE(music.IsEmpty());
        EXPECT_TRUE(pack->Exists(WeString("Sounds.Music.") + music, OggType)) << music.c_str();
    }
}
