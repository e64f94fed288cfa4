// A profile, then the main menu's INSTANT RACE right after the generator is seeded: the drawn race is printed
// when the fade starts, and the script ends on the loading card once the map has loaded.
#include <string>

#include "Game/screens/CInstantRacePhase.h"
#include "Game/screens/CLoadMapPhase.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CScreenFader.h"
#include "Tools/screens_demo/ProfileSteps.h"
#include "Tools/screens_demo/ScreensDemoScript.h"

void BuildInstantScript(ScreensDemoScript& script)
{
    AddProfileSteps(script);
    script.WaitShown("SinglePlayer_InstantRace_Button")
        .Seed()
        .Click("SinglePlayer_InstantRace_Button")
        .WaitPhase("CInstantRacePhase")
        .Until("the fade into the race",
               [](std::string& lines)
               {
                   if (!g_InstantRacePhase.m_Started || g_ScreenFader.m_Callback != &CInstantRacePhase::OnFadeDone)
                       return false;
                   int32_t opponents = 0;
                   for (int32_t i = 1; i < CRaceSettings::SlotCount; ++i)
                       opponents += g_RaceSettings.GetParticipant(i)->IsAI() ? 1 : 0;
                   lines = std::string("instant race map ") + g_RaceSettings.m_MapName.c_str() + " laps " +
                           std::to_string(g_RaceSettings.m_Laps) + " difficulty " +
                           std::to_string(g_RaceSettings.m_Difficulty) + " opponents " + std::to_string(opponents) +
                           " craft " + g_RaceSettings.GetParticipant(0)->m_CraftKey.c_str();
                   return true;
               })
        .WaitPhase("CLoadMapPhase")
        .Until("the map loaded",
               [](std::string& lines)
               {
                   if (g_LoadMapPhase.m_Step < CLoadMapPhase::StepWaitingForKey)
                       return false;
                   lines = std::string("loaded map ") + g_RaceSettings.m_MapName.c_str();
                   return true;
               })
        .Png("instant-loading")
        .Frames(2);
}
