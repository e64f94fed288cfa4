#include "Game/screens/CConfirmationPhase.h"

#include "Engine/foundation/WeLocalization.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIWindow.h"
#include "Game/screens/CMenuPhase.h"

CConfirmationPhase g_ConfirmationPhase;

namespace
{
constexpr const char* WindowName = "Confirmation_Window";
}

void CConfirmationPhase::Enter()
{
    WeUIWindow* window = g_UIMain.CreateWindow(WindowName, "", "Root");
    if (window != nullptr)
    {
        window->m_ShowTitle = 0;
        window->LayoutTitle();
    }
    g_UIMain.CreateLabel("Confirmation_Text", g_Localization.GetText("UI: ARE_YOU_SURE"), WindowName, 5);
    g_UIMain.CreateButton("Confirmation_Yes_Button", g_Localization.GetText("UI: YES"), WindowName, OnYesClicked);
    g_UIMain.CreateButton("Confirmation_No_Button", g_Localization.GetText("UI: NO"), WindowName, OnNoClicked);
    g_UIMain.ShowComponent(WindowName, false);
    g_UIMain.SetModal(WindowName);
}

void CConfirmationPhase::Leave()
{
    g_UIMain.RemoveComponent(WindowName);
}

void CConfirmationPhase::HandleInput()
{
    if (g_Input.ConsumeKey(1))
        Answer(false);
}

int32_t CConfirmationPhase::OnYesClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_ConfirmationPhase.Answer(true);
    return 1;
}

int32_t CConfirmationPhase::OnNoClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_ConfirmationPhase.Answer(false);
    return 1;
}

void CConfirmationPhase::Answer(bool yes)
{
    g_MenuPhase.PlayMenuSound(yes ? CMenuPhase::SoundConfirm : CMenuPhase::SoundBack);
    g_PhaseManager.RequestPhase(nullptr, WePhaseManager::PopRequest);
    // Taken before the call: a callback that asks again stores its next callback for the next answer.
    void (*callback)(bool) = m_ResultCallback;
    m_ResultCallback = nullptr;
    if (callback != nullptr)
        callback(yes);
}
