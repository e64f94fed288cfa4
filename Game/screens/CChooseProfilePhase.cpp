#include "Game/screens/CChooseProfilePhase.h"

#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeStringList.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIMultiList.h"
#include "Engine/ui/WeUIText.h"
#include "Game/screens/CConfirmationPhase.h"
#include "Game/screens/CCreateProfilePhase.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CProfile.h"
#include "Game/screens/CProfileManager.h"

CChooseProfilePhase g_ChooseProfilePhase;

namespace
{
constexpr const char* WindowName = "ChooseProfile_Window";
constexpr const char* ListName = "ChooseProfile_ProfileList";
constexpr const char* CreateHint = "CreateProfileFirst";
constexpr const char* ChooseHint = "ChooseProfileFirst";
const char* const ButtonNames[] = {"CHOOSEPROFILE_OK_BUTTON", "CHOOSEPROFILE_BACK_BUTTON",
                                   "CHOOSEPROFILE_DELETE_PROFILE_BUTTON", "CHOOSEPROFILE_CREATE_PROFILE_BUTTON"};

void HideHints()
{
    g_UIMain.HideComponent(CreateHint, false);
    g_UIMain.HideComponent(ChooseHint, false);
}

// Dimmed and deaf while another screen is on top.
void SetScreenEnabled(bool enabled)
{
    auto apply = [enabled](const char* name)
    {
        if (WeUIComponent* c = g_UIMain.FindComponent(name))
        {
            c->m_Opacity = enabled ? 1.0f : 0.5f;
            c->m_InputEnabled = enabled ? 1 : 0;
        }
    };
    apply(WindowName);
    for (const char* name : ButtonNames)
        apply(name);
}

void MakeHint(const char* name, const char* key)
{
    WeUILabel* label = g_UIMain.CreateLabel(name, g_Localization.GetText(key), "Root", 1);
    if (label == nullptr)
        return;
    label->m_Text->m_Size = 16;
    label->m_Text->UpdateFont();
    label->m_Visible = 0;
}
}  // namespace

void CChooseProfilePhase::Enter()
{
    g_UIMain.CreateWindow(WindowName, g_Localization.GetText("UI: CHOOSE PROFILE"), "Root");
    m_ProfileList = g_UIMain.CreateMultiList(ListName, WindowName);
    if (m_ProfileList != nullptr)
    {
        WeStringList captions;
        captions.PushBack(g_Localization.GetText("UI: PROFILES"));
        m_ProfileList->SetColumns(captions, nullptr);
        m_ProfileList->m_OnDoubleClick = OnListDoubleClicked;
    }
    int32_t (*const callbacks[])(int32_t, WeUIComponent*) = {OnOkClicked, OnBackClicked, OnDeleteClicked,
                                                             OnCreateClicked};
    const char* const keys[] = {"UI: OK", "UI: BACK", "UI: DELETE", "UI: CREATE"};
    for (int32_t i = 0; i < 4; ++i)
    {
        g_UIMain.CreateButton(ButtonNames[i], g_Localization.GetText(keys[i]), "Root", callbacks[i]);
        g_UIMain.ShowComponent(ButtonNames[i], false);
    }
    MakeHint(CreateHint, "UI: CREATE PROFILE FIRST");
    MakeHint(ChooseHint, "UI: CHOOSE PROFILE FIRST");
    if (m_ProfileList != nullptr)
    {
        CProfile* current = g_ProfileManager.GetCurrent();
        for (auto* node = g_ProfileManager.GetProfiles().FirstNode(); node != nullptr;
             node = g_ProfileManager.GetProfiles().NextNode(node))
        {
            WeStringList texts;
            texts.PushBack(node->payload->m_Name);
            m_ProfileList->AddRow(&texts, reinterpret_cast<intptr_t>(node->payload));
            if (node->payload == current)
                m_ProfileList->SelectCellAt(0, m_ProfileList->GetRowCount() - 1);
        }
    }
    g_UIMain.ShowComponent(WindowName, false);
    g_UIMain.CloseComponent("MainMenu_Window", false);
    g_UIMain.CloseComponent("SinglePlayer_Window", false);
    g_UIMain.CloseComponent("MultiPlayer_Window", false);
}

void CChooseProfilePhase::Leave()
{
    g_UIMain.RemoveComponent(CreateHint);
    g_UIMain.RemoveComponent(ChooseHint);
    g_UIMain.CloseComponent(WindowName, false);
    for (const char* name : ButtonNames)
        g_UIMain.CloseComponent(name, false);
    // The list goes with its window; nothing may reach it through this pointer afterwards.
    m_ProfileList = nullptr;
    m_PendingDelete = nullptr;
}

void CChooseProfilePhase::OnCovered(WeAbstractPhase* newTop)
{
    (void)newTop;
    SetScreenEnabled(false);
}

void CChooseProfilePhase::OnUncovered(WeAbstractPhase* removed)
{
    (void)removed;
    SetScreenEnabled(true);
}

void CChooseProfilePhase::HandleInput()
{
    if (!g_Input.ConsumeKey(1))
        return;
    if (g_ProfileManager.GetCurrent() != nullptr)
    {
        g_MenuPhase.PlayMenuSound(CMenuPhase::SoundBack);
        g_PhaseManager.RequestPhase(&g_MainMenuPhase, WePhaseManager::ChangeRequest);
    }
    else
        g_MenuPhase.PlayMenuSound(CMenuPhase::SoundDenied);
}

void CChooseProfilePhase::ShowHint()
{
    const bool any = g_ProfileManager.Count() > 0;
    g_UIMain.ShowComponent(any ? ChooseHint : CreateHint, false);
    g_UIMain.HideComponent(any ? CreateHint : ChooseHint, false);
}

void CChooseProfilePhase::AddProfileRow(CProfile* profile)
{
    if (m_ProfileList == nullptr || profile == nullptr)
        return;
    WeStringList texts;
    texts.PushBack(profile->m_Name);
    m_ProfileList->AddRow(&texts, reinterpret_cast<intptr_t>(profile));
    m_ProfileList->SelectCellAt(0, m_ProfileList->GetRowCount() - 1);
}

CProfile* CChooseProfilePhase::GetSelectedProfile() const
{
    if (m_ProfileList == nullptr)
        return nullptr;
    WeUILabel* cell = m_ProfileList->GetSelectedCell();
    return cell != nullptr ? reinterpret_cast<CProfile*>(cell->m_UserData) : nullptr;
}

int32_t CChooseProfilePhase::OnOkClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    CProfile* profile = g_ChooseProfilePhase.GetSelectedProfile();
    if (profile == nullptr)
    {
        g_MenuPhase.PlayMenuSound(CMenuPhase::SoundDenied);
        g_ChooseProfilePhase.ShowHint();
        return 1;
    }
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    g_ProfileManager.SetCurrent(profile);
    g_ProfileManager.ApplyCurrent();
    g_ProfileManager.Save();
    g_PhaseManager.RequestPhase(&g_MainMenuPhase, WePhaseManager::ChangeRequest);
    return 1;
}

int32_t CChooseProfilePhase::OnBackClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    if (g_ProfileManager.GetCurrent() == nullptr)
    {
        g_MenuPhase.PlayMenuSound(CMenuPhase::SoundDenied);
        g_ChooseProfilePhase.ShowHint();
        return 1;
    }
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    g_PhaseManager.RequestPhase(&g_MainMenuPhase, WePhaseManager::ChangeRequest);
    return 1;
}

int32_t CChooseProfilePhase::OnDeleteClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    HideHints();
    CProfile* profile = g_ChooseProfilePhase.GetSelectedProfile();
    if (profile == nullptr)
        return 1;
    g_ChooseProfilePhase.m_PendingDeleteName = profile->m_Name;
    g_ChooseProfilePhase.m_PendingDelete = profile;
    g_ConfirmationPhase.m_ResultCallback = OnDeleteAnswered;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    g_PhaseManager.RequestPhase(&g_ConfirmationPhase, WePhaseManager::PushRequest);
    return 1;
}

int32_t CChooseProfilePhase::OnCreateClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    HideHints();
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    g_PhaseManager.RequestPhase(&g_CreateProfilePhase, WePhaseManager::PushRequest);
    return 1;
}

int32_t CChooseProfilePhase::OnListDoubleClicked(WeUIComponent* sender)
{
    if (g_ChooseProfilePhase.GetSelectedProfile() == nullptr)
        g_MenuPhase.PlayMenuSound(CMenuPhase::SoundDenied);
    return OnOkClicked(0, sender);
}

void CChooseProfilePhase::OnDeleteAnswered(bool yes)
{
    CChooseProfilePhase& screen = g_ChooseProfilePhase;
    CProfile* pending = screen.m_PendingDelete;
    screen.m_PendingDelete = nullptr;
    if (!yes)
        return;
    if (screen.m_ProfileList == nullptr || !screen.m_ProfileList->HasSelection())
    {
        g_MenuPhase.PlayMenuSound(CMenuPhase::SoundDenied);
        return;
    }
    // The very profile DELETE was pressed on, and the row that holds it: with two profiles of one name,
    // deleting by name would take the other one and leave a row on freed memory.
    int32_t row = -1;
    for (int32_t r = 0; r < screen.m_ProfileList->GetRowCount(); ++r)
    {
        WeUILabel* cell = screen.m_ProfileList->GetCell(0, r);
        if (cell != nullptr && reinterpret_cast<CProfile*>(cell->m_UserData) == pending)
            row = r;
    }
    if (pending == nullptr || row < 0)
    {
        g_MenuPhase.PlayMenuSound(CMenuPhase::SoundDenied);
        return;
    }
    g_ProfileManager.Delete(pending);
    screen.m_ProfileList->RemoveRow(row);
    g_ProfileManager.Save();
}
