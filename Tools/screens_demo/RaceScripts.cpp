// Two scripts over a real race: the instant race (the set-up's START leads to the shipyard, which has no
// garage room in the pack yet) of one lap, its player's craft flown by a Hard agent. race-end waits for
// the statistics, prints the table and restarts; pause pauses, resumes and quits through the questions.
#include <SDL.h>

#include <string>

#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIMultiList.h"
#include "Engine/ui/WeUIText.h"
#include "Game/craft/CAIKernel.h"
#include "Game/screens/CLoadMapPhase.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Tools/screens_demo/ProfileSteps.h"
#include "Tools/screens_demo/ScreensDemoScript.h"

namespace
{
// Until the race is in that state.
void WaitRaceState(ScreensDemoScript& script, int32_t state)
{
    const std::string what = "race state " + std::to_string(state);
    script.Until(what.c_str(),
                 [state](std::string&) { return g_PlayGamePhase.m_InRace && g_PlayGamePhase.m_RaceState == state; });
}

// From an empty save folder to the race: a profile, the instant race made one lap long, the autopilot on the
// player's slot, a key at the loading card.
void AddRaceStart(ScreensDemoScript& script)
{
    AddProfileSteps(script);
    script.WaitShown("SinglePlayer_InstantRace_Button")
        .Seed()
        .Call("autopilot",
              [](std::string&)
              {
                  g_AIKernel.SetAutopilot(2);
                  return true;
              })
        .Click("SinglePlayer_InstantRace_Button")
        .WaitPhase("CLoadMapPhase")
        .Call("one lap",
              [](std::string&)
              {
                  g_RaceSettings.m_Laps = 1;
                  return true;
              })
        .Until("the map loaded", [](std::string&) { return g_LoadMapPhase.m_Step >= CLoadMapPhase::StepWaitingForKey; })
        .KeyPress(SDL_SCANCODE_SPACE)
        .WaitPhase("CPlayGamePhase");
}

std::string Cell(WeUIMultiList* list, int32_t column, int32_t row)
{
    WeUILabel* cell = list->GetCell(column, row);
    std::string text = cell != nullptr ? cell->m_Text->m_Text.c_str() : "";
    // One token a cell, so that the line splits at its blanks.
    for (char& c : text)
        if (c == ' ')
            c = '_';
    return text.empty() ? "-" : text;
}

std::string StateLine()
{
    return "race state " + std::to_string(g_PlayGamePhase.m_RaceState);
}

std::string g_RestartMap;
}  // namespace

void BuildRaceEndScript(ScreensDemoScript& script)
{
    AddRaceStart(script);
    script.WaitPhase("CEndGamePhase")
        .WaitShown("STATISTICS_RESTART_BUTTON")
        .Frames(60)
        .Expect("statistics",
                [](std::string& lines)
                {
                    auto* list = static_cast<WeUIMultiList*>(g_UIMain.FindComponent("StatisticList"));
                    if (list == nullptr)
                        return false;
                    lines = "statistics rows " + std::to_string(list->GetRowCount());
                    for (int32_t row = 0; row < list->GetRowCount(); ++row)
                    {
                        lines += "\nrow";
                        for (int32_t column = 0; column < 8; ++column)
                            lines += " " + Cell(list, column, row);
                    }
                    int32_t racing = 0;
                    for (CRaceParticipant* p : g_RaceSettings.m_Participants)
                        racing += p != nullptr && p->IsRacing() ? 1 : 0;
                    return list->GetRowCount() == racing && racing > 1;
                })
        .Png("statistics")
        .Call("map",
              [](std::string&)
              {
                  g_RestartMap = g_RaceSettings.m_MapName.c_str();
                  return true;
              })
        .Click("STATISTICS_RESTART_BUTTON")
        .WaitPhase("CLoadMapPhase")
        .Expect("restarted",
                [](std::string& line)
                {
                    bool reset = true;
                    for (CRaceParticipant* p : g_RaceSettings.m_Participants)
                        if (p != nullptr && p->IsRacing())
                            reset = reset && p->m_RacePlace == 0 && p->m_RaceTime == 0.0f && p->m_Score == 0 &&
                                    p->m_BestLap == 0.0f && p->m_Kills == 0;
                    line = "restarted " + std::string(g_RaceSettings.m_MapName.c_str()) +
                           (reset ? " results reset" : " results kept");
                    return reset && g_RestartMap == g_RaceSettings.m_MapName.c_str();
                });
}

void BuildPauseScript(ScreensDemoScript& script)
{
    AddRaceStart(script);
    WaitRaceState(script, CPlayGamePhase::Racing);
    script.Frames(30)
        .KeyPress(SDL_SCANCODE_ESCAPE)
        .WaitPhase("CInGameMenuPhase")
        .WaitShown("PLAYGAME_EXIT_BUTTON")
        .Expect("paused",
                [](std::string& line)
                {
                    line = StateLine();
                    return g_PlayGamePhase.m_RaceState == CPlayGamePhase::Paused;
                })
        .Png("pause")
        .Click("PLAYGAME_RESUME_BUTTON")
        .WaitPhase("CPlayGamePhase")
        .Frames(5)
        .Expect("resumed",
                [](std::string& line)
                {
                    line = StateLine();
                    return g_PlayGamePhase.m_RaceState == CPlayGamePhase::Racing;
                })
        .Frames(30)
        .KeyPress(SDL_SCANCODE_ESCAPE)
        .WaitPhase("CInGameMenuPhase")
        .WaitShown("PLAYGAME_BACK_BUTTON")
        .Click("PLAYGAME_BACK_BUTTON")
        .WaitPhase("CConfirmationPhase")
        .WaitShown("Confirmation_No_Button")
        .Png("pause-confirmation")
        .Click("Confirmation_No_Button")
        .WaitPhase("CInGameMenuPhase")
        .Frames(30)
        .Click("PLAYGAME_BACK_BUTTON")
        .WaitPhase("CConfirmationPhase")
        .WaitShown("Confirmation_Yes_Button")
        .Click("Confirmation_Yes_Button")
        .WaitPhase("CEndGamePhase")
        // After an instant race the way back is the main menu (after a set-up race, the set-up).
        .WaitPhase("CMainMenuPhase");
}
