// The menus' content in the shipped pack: every widget the screens create has its layout line, every text
// they show is translated, and the map pictures they show are packed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIText.h"
#include "Game/craft/CAIProfiles.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/screens/CChooseProfilePhase.h"
#include "Game/screens/CConfirmationPhase.h"
#include "Game/screens/CCreateProfilePhase.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CProfileManager.h"
#include "Game/screens/CShipyardPhase.h"
#include "Game/screens/CSingleRacePhase.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/CMapInfo.h"
#include "Game/shell/CRaceSettings.h"
#include "Tests/Game/screens/ScreenContentCheck.h"
#include "Tests/Game/screens/ScreenTestSupport.h"
#include "Tests/support/ConfigOverride.h"

namespace
{
const ScreenContentCheck Menus({"ChooseProfile", "CHOOSEPROFILE", "CreateProfile", "CREATEPROFILE", "Confirmation",
                                "MainMenu", "SinglePlayer", "SingleRace", "Shipyard", "Shopping", "YOU_MUST",
                                "RENDER_DEVICE"});

class ScreensContent : public ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        g_TuberCatalogue.Load();
        g_AIProfiles.Load();
        g_MapCatalogue.Load();
        g_RaceSettings.LoadTeamColors();
        g_ProfileManager.SetCurrent(g_ProfileManager.Create("Ace"));
    }
    void Verify(const char* screen)
    {
        SCOPED_TRACE(screen);
        Menus.Report();
    }
};
}  // namespace

TEST_F(ScreensContent, EveryScreenHasItsLayoutAndItsTexts)
{
    Start({&g_MenuPhase, &g_ChooseProfilePhase, &g_CreateProfilePhase});
    Settle();
    Verify("profiles");
    g_PhaseManager.Shutdown();
    Start({&g_MenuPhase, &g_MainMenuPhase, &g_ConfirmationPhase});
    Settle();
    Verify("main menu");
    g_PhaseManager.Shutdown();
    Start({&g_MenuPhase, &g_SingleRacePhase});
    Settle();
    Verify("set-up");
    g_PhaseManager.Shutdown();
    Start({&g_ShipyardPhase});
    Step();
    for (const char* name : {"Shipyard_DescWindow", "Shopping_StartRace_Button", "Shipyard_NextShip_Button"})
        if (WeUIComponent* c = g_UIMain.FindComponent(name))
            c->m_Visible = 1;
    Verify("shipyard");
    g_PhaseManager.Shutdown();
}

// The set-up shows each listed map's preview picture: packed, not the default texture.
TEST_F(ScreensContent, EveryListedMapsPreviewIsPacked)
{
    ASSERT_FALSE(g_MapCatalogue.m_Names.IsEmpty());
    for (auto* n = g_MapCatalogue.m_Names.FirstNode(); n != nullptr; n = g_MapCatalogue.m_Names.NextNode(n))
    {
        SCOPED_TRACE(n->payload.c_str());
        CMapInfo* info = g_MapCatalogue.Find(n->payload);
        ASSERT_NE(info, nullptr);
        ASSERT_FALSE(info->m_Header.m_PreviewTexture.IsEmpty());
        WeTexture* texture = g_TextureManager.GetTexture(info->m_Header.m_PreviewTexture, false, 0, false);
        EXPECT_NE(texture, nullptr);
        if (texture != nullptr)
            g_TextureManager.ReleaseTexture(texture, false);
    }
}

// The walk above sees the screens' widgets: a blanked line and an untranslated caption are reported.
TEST_F(ScreensContent, TheCheckReportsAMissingLineAndAnUntranslatedText)
{
    ConfigOverride line("UI.Components.MainMenu_Exit_Button", "");
    Start({&g_MenuPhase, &g_MainMenuPhase});
    Settle();
    if (auto* label = static_cast<WeUILabel*>(g_UIMain.FindComponent("YOU_MUST_RESTART_TEXT")))
        label->m_Text->m_Text = "UI: NOT A KEY";
    const ScreenContentFaults faults = Menus.Find(g_UIMain.m_Root);
    EXPECT_EQ(faults.missing, std::vector<std::string>{"MainMenu_Exit_Button"});
    ASSERT_EQ(faults.untranslated.size(), 1u);
    EXPECT_EQ(faults.untranslated[0].rfind("YOU_MUST_RESTART_TEXT", 0), 0u);
}
