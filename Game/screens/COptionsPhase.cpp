#include "Game/screens/COptionsPhase.h"

#include "Engine/foundation/WeLocalization.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/ui/WeUIComponent.h"
#include "Engine/ui/WeUIMain.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/COptionsAudioPhase.h"
#include "Game/screens/COptionsInputPhase.h"
#include "Game/screens/COptionsVideoPhase.h"
#include "Game/shell/CPlayGamePhase.h"

COptionsPhase g_OptionsPhase;

namespace
{
constexpr const char* WindowName = "Options_OptionsWindow";

int32_t ShowSubScreen(WeAbstractPhase* phase)
{
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    if (g_PhaseManager.GetTopPhase() != phase)
        g_PhaseManager.RequestPhase(phase, WePhaseManager::ChangeRequest);
    return 1;
}

void SetActive(const char* name, bool active)
{
    if (WeUIComponent* c = g_UIMain.FindComponent(name))
    {
        c->m_Opacity = active ? 1.0f : 0.5f;
        c->m_InputEnabled = active ? 1 : 0;
    }
}
}  // namespace

void COptionsPhase::Enter()
{
    g_UIMain.CreatePanelWindow(WindowName, g_Localization.GetText("UI: OPTIONS"), "Root");
    g_UIMain.ShowComponent(WindowName, false);
    g_UIMain.CreateButton("Options_AudioButton", g_Localization.GetText("UI: AUDIO"), WindowName, OnAudioClicked);
    g_UIMain.CreateButton("Options_VideoButton", g_Localization.GetText("UI: VIDEO"), WindowName, OnVideoClicked);
    g_UIMain.CreateButton("Options_ControlsButton", g_Localization.GetText("UI: CONTROLS"), WindowName,
                          OnControlsClicked);
    g_PhaseManager.RequestPhase(&g_OptionsVideoPhase, WePhaseManager::PushRequest);
}

void COptionsPhase::Leave()
{
    g_UIMain.CloseComponent(WindowName, false);
    if (IsRacePaused())
        g_UIMain.ShowComponent("IN_GAME_MENU", false);
}

int32_t COptionsPhase::OnAudioClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    return ShowSubScreen(&g_OptionsAudioPhase);
}

int32_t COptionsPhase::OnVideoClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    return ShowSubScreen(&g_OptionsVideoPhase);
}

int32_t COptionsPhase::OnControlsClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    return ShowSubScreen(&g_OptionsInputPhase);
}

bool COptionsPhase::IsRacePaused()
{
    return g_PlayGamePhase.m_InRace != 0 && g_PlayGamePhase.m_RaceState == CPlayGamePhase::Paused;
}

void COptionsPhase::SetWindowsActive(const char* subWindow, bool active)
{
    SetActive(subWindow, active);
    SetActive(WindowName, active);
}

void OptionsBack()
{
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundBack);
    LeaveOptions();
}

void LeaveOptions()
{
    g_PhaseManager.RequestPhase(nullptr, WePhaseManager::PopRequest);
    if (COptionsPhase::IsRacePaused())
        g_PhaseManager.RequestPhase(nullptr, WePhaseManager::PopRequest);
    else
        g_PhaseManager.RequestPhase(&g_MainMenuPhase, WePhaseManager::ChangeRequest);
}

int32_t OnOptionsBackClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    OptionsBack();
    return 1;
}
