#include "Game/screens/CCreateProfilePhase.h"

#include "Engine/foundation/WeLocalization.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/ui/WeUIEditBox.h"
#include "Engine/ui/WeUIMain.h"
#include "Game/screens/CChooseProfilePhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CProfileManager.h"

CCreateProfilePhase g_CreateProfilePhase;

namespace
{
constexpr const char* WindowName = "CreateProfile_CreateProfileWnd";
constexpr const char* EditName = "CreateProfile_NameEdit";
constexpr int32_t MaxNameLength = 15;
}  // namespace

void CCreateProfilePhase::Enter()
{
    g_UIMain.CreateWindow(WindowName, g_Localization.GetText("UI: CREATE PROFILE"), "Root");
    g_UIMain.CreateLabel("CreateProfile_NameTitle", g_Localization.GetText("UI: ENTER YOUR NAME"), WindowName, -1);
    if (WeUIEditBox* edit = g_UIMain.CreateEditBox(EditName, WindowName))
    {
        edit->m_MaxLength = MaxNameLength;
        edit->SetText("PLAYER");
        edit->MoveCaretToEnd();
        edit->m_OnEnter = OnNameEnter;
        edit->m_OnEscape = OnNameEscape;
        g_UIMain.SetFocus(EditName);
    }
    g_UIMain.CreateButton("CREATEPROFILE_OK_BUTTON", g_Localization.GetText("UI: OK"), WindowName, OnOkClicked);
    g_UIMain.CreateButton("CREATEPROFILE_CANCEL_BUTTON", g_Localization.GetText("UI: CANCEL"), WindowName,
                          OnCancelClicked);
    g_UIMain.ShowComponent(WindowName, false);
}

void CCreateProfilePhase::Leave()
{
    g_UIMain.CloseComponent(WindowName, false);
}

void CCreateProfilePhase::HandleInput()
{
    if (g_Input.ConsumeKey(1))
    {
        g_MenuPhase.PlayMenuSound(CMenuPhase::SoundBack);
        g_PhaseManager.RequestPhase(nullptr, WePhaseManager::PopRequest);
    }
}

int32_t CCreateProfilePhase::OnOkClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    auto* edit = static_cast<WeUIEditBox*>(g_UIMain.FindComponent(EditName));
    WeString name = edit != nullptr ? edit->GetText() : WeString("");
    if (name.IsEmpty() || g_ProfileManager.Find(name) != nullptr)
    {
        g_MenuPhase.PlayMenuSound(CMenuPhase::SoundDenied);
        return 1;
    }
    CProfile* profile = g_ProfileManager.Create(name);
    if (profile == nullptr)
    {
        // A name of control bytes only cleans to nothing.
        g_MenuPhase.PlayMenuSound(CMenuPhase::SoundDenied);
        return 1;
    }
    g_ProfileManager.Save();
    g_ChooseProfilePhase.AddProfileRow(profile);
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    g_PhaseManager.RequestPhase(nullptr, WePhaseManager::PopRequest);
    return 1;
}

int32_t CCreateProfilePhase::OnCancelClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    g_PhaseManager.RequestPhase(nullptr, WePhaseManager::PopRequest);
    return 1;
}

int32_t CCreateProfilePhase::OnNameEnter(int32_t value, WeUIComponent* sender)
{
    return OnOkClicked(value, sender);
}

int32_t CCreateProfilePhase::OnNameEscape(int32_t value, WeUIComponent* sender)
{
    (void)value;
    (void)sender;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundKeyPress);
    return 1;
}
