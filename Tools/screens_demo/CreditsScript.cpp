// A profile, then the credits: their number, the second entry once it has faded in at the centre, Escape.
#include <SDL.h>

#include <memory>
#include <string>

#include "Engine/runtime/WePhaseManager.h"
#include "Game/screens/CClassicCreditsDude.h"
#include "Game/screens/CClassicCreditsPhase.h"
#include "Game/screens/GetPhaseClassName.h"
#include "Game/shell/CUberText.h"
#include "Tools/screens_demo/ProfileSteps.h"
#include "Tools/screens_demo/ScreensDemoScript.h"

void BuildCreditsScript(ScreensDemoScript& script)
{
    AddProfileSteps(script);
    script.Click("MainMenu_Credits_Button")
        .WaitPhase("CClassicCreditsPhase")
        .Expect("the credits read",
                [](std::string& line)
                {
                    line = "credits entries " + std::to_string(g_ClassicCreditsPhase.m_EntryCount);
                    return g_ClassicCreditsPhase.m_EntryCount >= 2;
                })
        .Until("the second entry faded in",
               [second = std::make_shared<const CClassicCreditsDude*>(nullptr)](std::string& lines)
               {
                   const auto& entries = g_ClassicCreditsPhase.m_Entries;
                   // The newest entry when the second one starts is the second one.
                   if (*second == nullptr && g_ClassicCreditsPhase.m_CurrentEntry == 1 && !entries.IsEmpty())
                       *second = entries.LastNode()->payload;
                   if (*second == nullptr || (*second)->m_Timer < (*second)->m_Duration / 2.0f)
                       return false;
                   lines = std::string("credits entry 1 ") + (*second)->m_Title->GetText().c_str();
                   return true;
               })
        .Png("credits")
        .KeyPress(SDL_SCANCODE_ESCAPE)
        .WaitPhase("CMainMenuPhase")
        .Expect("back on the main menu",
                [](std::string& line)
                {
                    line = std::string("back on ") + GetPhaseClassName(g_PhaseManager.GetTopPhase());
                    return g_PhaseManager.GetPhaseCount() == 2 && g_ClassicCreditsPhase.m_Entries.IsEmpty();
                });
}
