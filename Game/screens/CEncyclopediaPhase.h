#pragma once
#include <cstdint>

#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"
#include "Engine/runtime/WeAbstractPhase.h"
#include "Game/screens/CNextPrevRepeat.h"

class WeUIComponent;
class WeUIScrollFrame;

// The game's reference pages over the menu background: eight category buttons and a presentation window
// that pages through the chosen category's entries, each with its name, picture and scrolled text. The
// entries come from the configuration, the texts from the translations; nothing outlives the screen.
class CEncyclopediaPhase : public WeAbstractPhase
{
public:
    struct Entry
    {
        WeString m_Key;
        WeString m_DisplayName;
    };
    static constexpr int32_t CategoryCount = 8;
    // In the order of their buttons.
    static const char* const Categories[CategoryCount];

    void Enter() override;
    void Leave() override;
    void HandleInput() override;
    void Update() override;

    // The list of a category name; null for any other name.
    WeList<Entry>* GetList(const WeString& category);
    void FillList(const WeString& category);
    // Keeps the entries that name a map of the track list, as "<short world name> - <name>".
    void RestrictMaps();
    void ShowEntry();
    void SelectCategory(const WeString& category);
    void ShowNext();
    void ShowPrevious();

    static int32_t OnCategoryClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnNextClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnPrevClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnBackClicked(int32_t button, WeUIComponent* sender);

    WeUIComponent* m_CaptionLabel = nullptr;
    WeUIScrollFrame* m_ScrollFrame = nullptr;
    WeUIComponent* m_TextLabel = nullptr;
    WeUIComponent* m_PresentationWindow = nullptr;
    WeUIComponent* m_Picture = nullptr;
    WeString m_CurrentCategory;
    int32_t m_CurrentIndex = 0;
    WeList<Entry> m_Worlds;
    WeList<Entry> m_Ships;
    WeList<Entry> m_Weapons;
    WeList<Entry> m_Maps;
    WeList<Entry> m_Pickups;
    WeList<Entry> m_Tips;
    WeList<Entry> m_History;
    WeList<Entry> m_Story;
    WeList<Entry>* m_CurrentList = nullptr;
    CNextPrevRepeat m_PrevRepeat;
    CNextPrevRepeat m_NextRepeat;
    // Map name to world name, built once from the track list.
    WeHashTable<WeString> m_MapWorlds;
};

extern CEncyclopediaPhase g_EncyclopediaPhase;
