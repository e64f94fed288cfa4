// From an empty save folder: a profile made and chosen, the main menu's EXIT refused, then a single race
// set up (the next map, a random opponent and a chosen one in team 3), started into the shipyard, the next
// craft chosen there and the race started into its loading screen.
#include <SDL.h>

#include <chrono>
#include <memory>
#include <string>

#include "Engine/foundation/WeStringList.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CProfile.h"
#include "Game/screens/CProfileManager.h"
#include "Game/screens/GetPhaseClassName.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Tools/screens_demo/ProfileSteps.h"
#include "Tools/screens_demo/ScreensDemoScript.h"

namespace
{
std::string StackText()
{
    std::string out;
    for (int32_t i = 0; i < g_PhaseManager.GetPhaseCount(); ++i)
        out += std::string(i ? " " : "") + GetPhaseClassName(g_PhaseManager.GetPhaseAt(i));
    return out;
}
}  // namespace

void BuildMenusScript(ScreensDemoScript& script)
{
    ProfileStepPngs pngs;
    pngs.chooseProfile = "choose-profile";
    pngs.createProfile = "create-profile";
    AddProfileSteps(script, pngs);
    script
        .Expect("current profile",
                [](std::string& line)
                {
                    const CProfile* current = g_ProfileManager.GetCurrent();
                    line = std::string("current profile ") + (current != nullptr ? current->m_Name.c_str() : "none");
                    return current != nullptr && current->m_Name == "Ace";
                })
        .WaitShown("MainMenu_Exit_Button")
        .WaitShown("SinglePlayer_Window")
        .Png("main-menu")
        .Click("MainMenu_Exit_Button")
        .WaitPhase("CConfirmationPhase")
        .WaitShown("Confirmation_No_Button")
        .Png("confirmation")
        .Click("Confirmation_No_Button")
        .WaitPhase("CMainMenuPhase")
        .Frames(5)
        .Expect("exit refused",
                [](std::string& line)
                {
                    const bool menu = StackText() == "CMenuPhase CMainMenuPhase";
                    line = menu ? "exit refused" : "exit not refused: " + StackText();
                    return menu;
                })
        .WaitShown("MainMenu_SinglePlayer_Button")
        .Click("MainMenu_SinglePlayer_Button")
        .WaitShown("SinglePlayer_SingleRace_Button")
        .Click("SinglePlayer_SingleRace_Button")
        .WaitPhase("CSingleRacePhase")
        .WaitShown("SingleRace_NextMap")
        .Click("SingleRace_NextMap")
        .Frames(5)
        .Choose("SingleRace_PlayersCombo 1", 1)
        .Choose("SingleRace_PlayersCombo 2", 2)
        .Choose("SingleRace_Teams 2", 2)
        .Frames(30)
        .Png("single-race")
        .Expect("set-up",
                [](std::string& line)
                {
                    const CRaceParticipant* random = g_RaceSettings.GetParticipant(1);
                    const CRaceParticipant* chosen = g_RaceSettings.GetParticipant(2);
                    line = std::string("set-up map ") + g_RaceSettings.m_MapName.c_str() + " row 1 random " +
                           (g_RaceSettings.m_RandomOpponents[1] ? "yes" : "no") + " row 2 craft " +
                           chosen->m_CraftKey.c_str() + " team " + std::to_string(chosen->m_StartPlace);
                    return random->IsAI() && g_RaceSettings.m_RandomOpponents[1] && chosen->IsAI() &&
                           chosen->m_StartPlace == 3;
                })
        .Click("SingleRace_Start_Button")
        .WaitPhase("CShipyardPhase")
        .Expect("race",
                [](std::string& line)
                {
                    line = std::string("race map ") + g_RaceSettings.m_MapName.c_str() + " laps " +
                           std::to_string(g_RaceSettings.m_Laps) + " type " +
                           std::to_string(g_RaceSettings.m_RaceType) + " difficulty " +
                           std::to_string(g_RaceSettings.m_Difficulty);
                    int32_t opponents = 0;
                    for (int32_t i = 1; i < CRaceSettings::SlotCount; ++i)
                        opponents += g_RaceSettings.GetParticipant(i)->IsAI() ? 1 : 0;
                    return opponents == 2 && !g_RaceSettings.GetParticipant(1)->m_CraftKey.IsEmpty();
                })
        .Frames(3)
        .Png("shipyard-loading")
        .WaitShown("Shipyard_NextShip_Button")
        .Frames(30)
        .Png("shipyard")
        .Until("the shipyard's frame rate",
               [frames = std::make_shared<int>(0), start = std::make_shared<double>(-1.0)](std::string& lines)
               {
                   const double now =
                       std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
                   if (*start < 0.0)
                       *start = now;
                   if (++*frames < 120)
                       return false;
                   lines = "shipyard frames " + std::to_string(*frames) + " in " +
                           std::to_string(int((now - *start) * 1000.0)) + " ms";
                   return true;
               })
        .Click("Shipyard_NextShip_Button")
        .Frames(30)
        .Click("Shopping_StartRace_Button")
        .WaitPhase("CLoadMapPhase")
        .Expect("race",
                [](std::string& line)
                {
                    line = std::string("race map ") + g_RaceSettings.m_MapName.c_str() + " laps " +
                           std::to_string(g_RaceSettings.m_Laps) + " type " +
                           std::to_string(g_RaceSettings.m_RaceType) + " difficulty " +
                           std::to_string(g_RaceSettings.m_Difficulty);
                    return true;
                })
        .Expect("slot 0",
                [](std::string& line)
                {
                    const WeString& craft = g_RaceSettings.GetParticipant(0)->m_CraftKey;
                    line = std::string("slot 0 craft ") + craft.c_str();
                    return !craft.IsEmpty();
                })
        .Expect("profile",
                [](std::string& line)
                {
                    const CProfile* current = g_ProfileManager.GetCurrent();
                    const bool same =
                        current != nullptr && current->m_LastCraft == g_RaceSettings.GetParticipant(0)->m_CraftKey;
                    line = std::string("profile Ace last ship ") +
                           (current != nullptr ? current->m_LastCraft.c_str() : "(none)");
                    return same;
                });
}
