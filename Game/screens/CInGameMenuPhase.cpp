#include "Game/screens/CInGameMenuPhase.h"

#include "Engine/foundation/WeLocalization.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/ui/WeUIColorFrame.h"
#include "Engine/ui/WeUIMain.h"
#include "Game/screens/CBuyScreenPhase.h"
#include "Game/screens/CConfirmationPhase.h"
#include "Game/screens/CEndGamePhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/COptionsPhase.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CScreenFader.h"
#include "Platform/input/DIKeyCodes.h"

CInGameMenuPhase g_InGameMenuPhase;

namespace
{
constexpr const char* BackgroundName = "IN_GAME_MENU_Background";
constexpr const char* WindowName = "IN_GAME_MENU";

using ButtonCallback = int32_t (*)(int32_t, WeUIComponent*);

struct MenuButton
{
    const char* name;
    const char* key;
    ButtonCallback callback;
};

const MenuButton Buttons[] = {
    {"PLAYGAME_RESUME_BUTTON", "UI: RESUME", CInGameMenuPhase::OnResumeClicked},
    {"PLAYGAME_RESTART_BUTTON", "UI: RESTART", CInGameMenuPhase::OnRestartClicked},
    {"PLAYGAME_BACK_BUTTON", "UI: QUIT RACE", CInGameMenuPhase::OnQuitClicked},
    {"PLAYGAME_OPTIONS_BUTTON", "UI: OPTIONS", CInGameMenuPhase::OnOptionsClicked},
    {"PLAYGAME_EXIT_BUTTON", "UI: EXIT GAME", CInGameMenuPhase::OnExitClicked},
};

void Pop()
{
    g_PhaseManager.RequestPhase(nullptr, WePhaseManager::PopRequest);
}

void Ask(void (*callback)(bool))
{
    g_ConfirmationPhase.m_ResultCallback = callback;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    g_PhaseManager.RequestPhase(&g_ConfirmationPhase, WePhaseManager::PushRequest);
}

void SetWindowActive(bool active)
{
    if (WeUIComponent* window = g_UIMain.FindComponent(WindowName))
    {
        window->m_Opacity = active ? 1.0f : 0.5f;
        window->m_InputEnabled = active ? 1 : 0;
    }
}
}  // namespace

void CInGameMenuPhase::Enter()
{
    g_PlayGamePhase.m_SavedRaceState = g_PlayGamePhase.m_RaceState;
    g_PlayGamePhase.m_RaceState = CPlayGamePhase::Paused;
    if (WeUIColorFrame* background = g_UIMain.CreateColorFrame(BackgroundName, "Root"))
    {
        const float black[4] = {0.0f, 0.0f, 0.0f, 0.5f};
        for (int32_t i = 0; i < 4; ++i)
            background->m_Colour[i] = black[i];
    }
    g_UIMain.CreateWindow(WindowName, g_Localization.GetText("UI: GAME PAUSED"), "Root");
    for (const MenuButton& b : Buttons)
        g_UIMain.CreateButton(b.name, g_Localization.GetText(b.key), WindowName, b.callback);
    g_UIMain.ShowComponent(WindowName, false);
    g_UIMain.ShowComponent(BackgroundName, false);
    g_AudioDevice.SetSoundFade(1.0f);
    g_UIShowCursor = 1;
}

void CInGameMenuPhase::Leave()
{
    // A confirmed QUIT RACE finished the race while it was paused: the finished state stays.
    if (g_PlayGamePhase.m_RaceState == CPlayGamePhase::Paused)
        g_PlayGamePhase.m_RaceState = g_PlayGamePhase.m_SavedRaceState;
    if (g_PlayGamePhase.m_RaceOver)
    {
        g_UIMain.RemoveComponent(WindowName);
        g_UIMain.RemoveComponent(BackgroundName);
    }
    else
    {
        g_UIMain.CloseComponent(WindowName, false);
        g_UIMain.CloseComponent(BackgroundName, false);
    }
    g_AudioDevice.SetSoundFade(1.0f);
    g_UIShowCursor = 0;
}

void CInGameMenuPhase::OnCovered(WeAbstractPhase* newTop)
{
    (void)newTop;
    SetWindowActive(false);
}

void CInGameMenuPhase::OnUncovered(WeAbstractPhase* removed)
{
    (void)removed;
    SetWindowActive(true);
}

void CInGameMenuPhase::HandleInput()
{
    if (g_Input.ConsumeKey(DIK_ESCAPE))
        Pop();
}

void CInGameMenuPhase::Update() {}

int32_t CInGameMenuPhase::OnResumeClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    Pop();
    return 1;
}

int32_t CInGameMenuPhase::OnRestartClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    Ask(OnRestartConfirmed);
    return 1;
}

int32_t CInGameMenuPhase::OnQuitClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    Ask(OnQuitConfirmed);
    return 1;
}

int32_t CInGameMenuPhase::OnOptionsClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    g_UIMain.HideComponent(WindowName, false);
    g_PhaseManager.RequestPhase(&g_OptionsPhase, WePhaseManager::PushRequest);
    return 1;
}

int32_t CInGameMenuPhase::OnExitClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    Ask(OnExitConfirmed);
    return 1;
}

void CInGameMenuPhase::OnRestartConfirmed(bool yes)
{
    if (!yes)
        return;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundBack);
    // The dialog's own pop is queued already: this one takes the pause menu.
    Pop();
    g_ScreenFader.FadeTo(CPlayGamePhase::OnRaceExitFadeDone, CPlayGamePhase::FadeSeconds, 0.0f, 0.0f, 0.0f, 1.0f);
    g_PlayGamePhase.m_RaceOver = 1;
    g_PlayGamePhase.m_Restart = 1;
    g_EndGamePhase.m_Restarting = 1;
}

void CInGameMenuPhase::OnQuitConfirmed(bool yes)
{
    if (!yes)
        return;
    g_PlayGamePhase.FinishRace(1);
    Pop();
    g_ScreenFader.FadeTo(CPlayGamePhase::OnRaceExitFadeDone, CPlayGamePhase::FadeSeconds, 0.0f, 0.0f, 0.0f, 1.0f);
    g_PlayGamePhase.m_RaceOver = 1;
    g_EndGamePhase.m_LeaveAtOnce = 1;
}

void CInGameMenuPhase::OnExitConfirmed(bool yes)
{
    if (!yes)
        return;
    Pop();
    g_PhaseManager.RequestPhase(&g_BuyScreenPhase, WePhaseManager::ChangeRequest);
}
