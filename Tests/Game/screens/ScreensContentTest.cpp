// The menus' content in the shipped pack: every widget the screens create has its layout line, every text
// they show is translated, and the map pictures they show are packed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/ui/WeUIButton.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIText.h"
#include "Engine/ui/WeUIWindow.h"
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
#include "Tests/Game/screens/ScreenTestSupport.h"
#include "Tests/support/ConfigOverride.h"

namespace
{
const char* const Prefixes[] = {"ChooseProfile", "CHOOSEPROFILE", "CreateProfile", "CREATEPROFILE",
                                "Confirmation",  "MainMenu",      "SinglePlayer",  "SingleRace",
                                "Shipyard",      "Shopping",      "YOU_MUST",      "RENDER_DEVICE"};

bool IsScreenWidget(const std::string& name)
{
    for (const char* p : Prefixes)
        if (name.rfind(p, 0) == 0)
            return name.find('$') == std::string::npos;
    return false;
}

// The layout line of a widget, or of its base name for a row widget ("<base> <row>").
bool HasLayout(const std::string& name)
{
    if (!WeUIMain::GetLayoutLine(name.c_str()).IsEmpty())
        return true;
    const size_t blank = name.rfind(' ');
    return blank != std::string::npos && !WeUIMain::GetLayoutLine(name.substr(0, blank).c_str()).IsEmpty();
}

void Check(WeUIComponent* c, int depth, std::vector<std::string>& missing, std::vector<std::string>& untranslated)
{
    const std::string name = c->m_Name.c_str();
    const bool ours = IsScreenWidget(name);
    if (ours && depth <= 2 && !HasLayout(name))
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
        Check(n->payload, depth + 1, missing, untranslated);
}

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
        std::vector<std::string> missing, untranslated;
        Check(g_UIMain.m_Root, 0, missing, untranslated);
        for (const std::string& m : missing)
            ADD_FAILURE() << "no layout line: " << m;
        for (const std::string& u : untranslated)
            ADD_FAILURE() << "untranslated: " << u;
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
    std::vector<std::string> missing, untranslated;
    Check(g_UIMain.m_Root, 0, missing, untranslated);
    EXPECT_EQ(missing, std::vector<std::string>{"MainMenu_Exit_Button"});
    ASSERT_EQ(untranslated.size(), 1u);
    EXPECT_EQ(untranslated[0].rfind("YOU_MUST_RESTART_TEXT", 0), 0u);
}
