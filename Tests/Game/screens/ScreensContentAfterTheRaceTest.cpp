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
#include "Engine/ui/WeUIButton.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIText.h"
#include "Engine/ui/WeUIWindow.h"
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

namespace
{
const char* const Prefixes[] = {"Statistic",   "STATISTICS",    "IN_GAME",        "PLAYGAME",
                                "Options_",    "AudioOptions_", "VideoOptions_",  "InputOptions_",
                                "InvertMouse", "Crosshair",     "OPTIONS_DEFAULT"};

bool IsOurs(const std::string& name)
{
    for (const char* p : Prefixes)
        if (name.rfind(p, 0) == 0)
            return name.find('$') == std::string::npos;
    return false;
}

// Every widget of ours without its layout line (the screens' widgets lie in the root or in a window; deeper
// ones are the parts of composite widgets), and every text anywhere that is still a key.
void Walk(WeUIComponent* c, int depth, std::vector<std::string>& missing, std::vector<std::string>& untranslated)
{
    const std::string name = c->m_Name.c_str();
    if (depth <= 2 && IsOurs(name) && WeUIMain::GetLayoutLine(name.c_str()).IsEmpty())
        missing.push_back(name);
    std::string text;
    if (auto* label = dynamic_cast<WeUILabel*>(c))
        text = label->m_Text->m_Text.c_str();
    else if (auto* button = dynamic_cast<WeUIButton*>(c))
        text = button->m_Caption->m_Text.c_str();
    else if (auto* window = dynamic_cast<WeUIWindow*>(c))
        text = window->m_Caption->m_Text.c_str();
    if (text.rfind("UI: ", 0) == 0)
        untranslated.push_back(name + " \"" + text + "\"");
    for (auto* n = c->m_Children.FirstNode(); n != nullptr; n = c->m_Children.NextNode(n))
        Walk(n->payload, depth + 1, missing, untranslated);
}

class ScreensContentAfterTheRace : public OptionsScreenTest
{
protected:
    void Verify(const char* screen)
    {
        SCOPED_TRACE(screen);
        Settle();
        std::vector<std::string> missing, untranslated;
        Walk(g_UIMain.m_Root, 0, missing, untranslated);
        for (const std::string& m : missing)
            ADD_FAILURE() << "no layout line: " << m;
        for (const std::string& u : untranslated)
            ADD_FAILURE() << "untranslated: " << u;
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
