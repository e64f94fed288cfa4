#pragma once
#include <cstdint>
#include <vector>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeStringList.h"
#include "Engine/runtime/WeAbstractPhase.h"
#include "Game/screens/CNextPrevRepeat.h"

class CAIProfile;
class CMapHeader;
class WeTexture;
class WeUIComponent;

// The single race set-up: the map browser, the race options and the six participant rows; START leads to
// the shipyard. Every choice goes into the race settings as it is made.
class CSingleRacePhase : public WeAbstractPhase
{
public:
    void Enter() override;
    void Leave() override;
    void HandleInput() override;
    void Update() override;

    // The rows from the race settings; in a "last one" race the lap count follows the participants.
    void RefreshRows();
    // The option combo boxes from the race settings, then the START button.
    void SyncComboBoxes();
    // Race type k, as if just chosen.
    void ApplyRaceType(int32_t type);
    void ShowMap();
    void FillPlayerCombos();
    void MarkRandomRows();
    void UpdateStartButton();
    // The list of opponents of a level (1 to 3); the easy list for any other.
    WeList<CAIProfile*>& GetOpponents(int32_t level);
    void BrowseMap(bool forward);

    static int32_t OnPlayerChanged(WeUIComponent* sender);
    static int32_t OnTeamChanged(WeUIComponent* sender);
    static int32_t OnOptionChanged(WeUIComponent* sender);
    static int32_t OnPrevMapClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnNextMapClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnBackClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnStartClicked(int32_t button, WeUIComponent* sender);
    static void OnStartFadeDone();

    uint8_t m_Leaving = 0;
    WeTexture* m_MapTexture = nullptr;
    // The map browser: its cursor is on the map shown.
    WeStringList m_MapNames;
    const CMapHeader* m_Map = nullptr;
    int32_t m_ParticipantCount = 0;
    // The level of each entry of the difficulty combo box.
    WeList<int32_t> m_DifficultyLevels;
    WeList<CAIProfile*> m_EasyOpponents;
    WeList<CAIProfile*> m_MediumOpponents;
    WeList<CAIProfile*> m_HardOpponents;
    // At most MaxLapCounts entries, never empty.
    std::vector<int32_t> m_LapCounts;
    CNextPrevRepeat m_PrevRepeat;
    CNextPrevRepeat m_NextRepeat;
};

extern CSingleRacePhase g_SingleRacePhase;
