#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"
#include "Engine/runtime/WeAbstractPhase.h"

class CProfile;
class WeUIComponent;
class WeUIMultiList;

// The list of profiles with OK, BACK, DELETE and CREATE; each row carries its profile.
class CChooseProfilePhase : public WeAbstractPhase
{
public:
    void Enter() override;
    void Leave() override;
    void OnCovered(WeAbstractPhase* newTop) override;
    void OnUncovered(WeAbstractPhase* removed) override;
    void HandleInput() override;

    // "ChooseProfileFirst" when the store holds a profile, else "CreateProfileFirst".
    void ShowHint();
    // Appends a row for a profile and selects it.
    void AddProfileRow(CProfile* profile);
    // The profile of the selected row, null when none.
    CProfile* GetSelectedProfile() const;

    static int32_t OnOkClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnBackClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnDeleteClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnCreateClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnListDoubleClicked(WeUIComponent* sender);
    static void OnDeleteAnswered(bool yes);

    WeUIMultiList* m_ProfileList = nullptr;
    WeString m_PendingDeleteName;
    // The selected row's profile when DELETE was pressed: names may repeat in an old file, pointers do not.
    CProfile* m_PendingDelete = nullptr;
};

extern CChooseProfilePhase g_ChooseProfilePhase;
