#include "Game/screens/CMainMenuPhase.h"

#include "Engine/foundation/WeLocalization.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/ui/WeUIButton.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Game/screens/CBuyScreenPhase.h"
#include "Game/screens/CChooseProfilePhase.h"
#include "Game/screens/CClassicCreditsPhase.h"
#include "Game/screens/CConfirmationPhase.h"
#include "Game/screens/CEncyclopediaPhase.h"
#include "Game/screens/CInstantRacePhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/COptionsPhase.h"
#include "Game/screens/CSingleRacePhase.h"

CMainMenuPhase g_MainMenuPhase;

namespace
{
constexpr const char* MainWindow = "MainMenu_Window";
constexpr const char* SingleWindow = "SinglePlayer_Window";
constexpr const char* MultiWindow = "MultiPlayer_Window";

using ButtonCallback = int32_t (*)(int32_t, WeUIComponent*);

struct MenuButton
{
    const char* name;
    const char* key;
    ButtonCallback callback;  // null: shown dimmed and deaf
};

const MenuButton MainButtons[] = {
    {"MainMenu_SinglePlayer_Button", "UI: SINGLE PLAYER", CMainMenuPhase::OnSinglePlayerClicked},
    {"MainMenu_Options_Button", "UI: OPTIONS", CMainMenuPhase::OnOptionsClicked},
    {"MainMenu_HighScore_Button", "UI: HIGH SCORES", nullptr},
    {"MainMenu_Credits_Button", "UI: CREDITS", CMainMenuPhase::OnCreditsClicked},
    {"MainMenu_Profiles_Button", "UI: PROFILES", CMainMenuPhase::OnProfilesClicked},
    {"MainMenu_Encyclopedia_Button", "UI: ENCYCLOPEDIA", CMainMenuPhase::OnEncyclopediaClicked},
    {"MainMenu_Exit_Button", "UI: EXIT", CMainMenuPhase::OnExitClicked},
};

const MenuButton SingleButtons[] = {
    {"SinglePlayer_SingleRace_Button", "UI: SINGLE RACE", CMainMenuPhase::OnSingleRaceClicked},
    {"SinglePlayer_Tournament_Button", "UI: CAMPAIGN", nullptr},
    {"SinglePlayer_InstantRace_Button", "UI: INSTANT RACE", CMainMenuPhase::OnInstantRaceClicked},
};

void MakePanel(const char* window, const char* captionKey, const MenuButton* buttons, int32_t count)
{
    g_UIMain.CreatePanelWindow(window, g_Localization.GetText(captionKey), "Root");
    for (int32_t i = 0; i < count; ++i)
    {
        WeUIComponent* button =
            g_UIMain.CreateButton(buttons[i].name, g_Localization.GetText(buttons[i].key), window, buttons[i].callback);
        if (button != nullptr && buttons[i].callback == nullptr)
        {
            button->m_Opacity = 0.5f;
            button->m_InputEnabled = 0;
        }
    }
}

constexpr const char* MustRestartName = "YOU_MUST_RESTART_TEXT";

// The kept label, unless the UI it lived in was shut down (the next pass of the program starts a new one).
WeUILabel* MustRestartLabel()
{
    WeUILabel*& label = g_MainMenuPhase.m_MustRestartLabel;
    if (label != nullptr && g_UIMain.FindComponent(MustRestartName) != static_cast<WeUIComponent*>(label))
        label = nullptr;
    return label;
}

void HideMustRestart()
{
    if (WeUILabel* label = MustRestartLabel())
        label->m_Visible = 0;
}

void ChangeTo(WeAbstractPhase* phase)
{
    g_PhaseManager.RequestPhase(phase, WePhaseManager::ChangeRequest);
}
}  // namespace

void CMainMenuPhase::Enter()
{
    if (MustRestartLabel() == nullptr)
    {
        if (g_RenderDevice.m_FellBack)
            g_UIMain.CreateLabel("RENDER_DEVICE_USING_DEFAULTS_TEXT", g_Localization.GetText("UI: USING_DEFAULTS"),
                                 "Root", -1);
        m_MustRestartLabel =
            g_UIMain.CreateLabel(MustRestartName, g_Localization.GetText("UI: MUST_RESTART"), "Root", -1);
    }
    if (m_MustRestartLabel != nullptr)
        m_MustRestartLabel->m_Visible = m_MustRestart ? 1 : 0;
    MakePanel(MainWindow, "UI: MAIN MENU", MainButtons, int32_t(sizeof(MainButtons) / sizeof(MainButtons[0])));
    MakePanel(SingleWindow, "UI: SINGLE PLAYER", SingleButtons,
              int32_t(sizeof(SingleButtons) / sizeof(SingleButtons[0])));
    g_UIMain.ShowComponent(MainWindow, false);
    g_UIMain.ShowComponent(SingleWindow, false);
    g_UIShowCursor = 1;
}

void CMainMenuPhase::Leave()
{
    g_UIMain.CloseComponent(MainWindow, false);
    g_UIMain.CloseComponent(SingleWindow, false);
    g_UIMain.CloseComponent(MultiWindow, false);
}

void CMainMenuPhase::HandleInput()
{
    if (g_Input.ConsumeKey(1))
        OnExitClicked(0, nullptr);
}

void CMainMenuPhase::Update()
{
    if (!m_MustRestart)
        return;
    if (WeUILabel* label = MustRestartLabel())
        label->m_Visible = 1;
}

int32_t CMainMenuPhase::OnSinglePlayerClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    WeUIComponent* window = g_UIMain.FindComponent(SingleWindow);
    if (window != nullptr && window->m_Visible)
        return 1;
    g_UIMain.CloseComponent(MultiWindow, false);
    g_UIMain.ShowComponent(SingleWindow, false);
    return 1;
}

int32_t CMainMenuPhase::OnOptionsClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    ChangeTo(&g_OptionsPhase);
    return 1;
}

int32_t CMainMenuPhase::OnCreditsClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    HideMustRestart();
    g_ClassicCreditsPhase.m_Finished = 0;
    ChangeTo(&g_ClassicCreditsPhase);
    return 1;
}

int32_t CMainMenuPhase::OnProfilesClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    HideMustRestart();
    ChangeTo(&g_ChooseProfilePhase);
    return 1;
}

int32_t CMainMenuPhase::OnEncyclopediaClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    HideMustRestart();
    ChangeTo(&g_EncyclopediaPhase);
    return 1;
}

int32_t CMainMenuPhase::OnExitClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundBack);
    g_ConfirmationPhase.m_ResultCallback = OnExitAnswered;
    g_PhaseManager.RequestPhase(&g_ConfirmationPhase, WePhaseManager::PushRequest);
    return 1;
}

int32_t CMainMenuPhase::OnSingleRaceClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    HideMustRestart();
    ChangeTo(&g_SingleRacePhase);
    return 1;
}

int32_t CMainMenuPhase::OnInstantRaceClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    HideMustRestart();
    ChangeTo(&g_InstantRacePhase);
    return 1;
}

void CMainMenuPhase::OnExitAnswered(bool yes)
{
    if (!yes)
        return;
    HideMustRestart();
    // The dialog's own pop is already queued: this pop takes the menu, the change replaces the background.
    g_PhaseManager.RequestPhase(nullptr, WePhaseManager::PopRequest);
    ChangeTo(&g_BuyScreenPhase);
}
