#include "Game/screens/CInstantRacePhase.h"

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeStringList.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/ui/WeUIMain.h"
#include "Game/craft/CAIProfile.h"
#include "Game/craft/CAIProfiles.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/screens/CLoadMapPhase.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CProfile.h"
#include "Game/screens/CProfileManager.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CScreenFader.h"
#include "Platform/system/SysRandom.h"

CInstantRacePhase g_InstantRacePhase;

namespace
{
// One entry of a list drawn at random; null for an empty list.
template <typename T>
const T* Draw(const WeList<T>& list)
{
    const int32_t count = list.Count();
    if (count <= 0)
        return nullptr;
    const int32_t index = SysRandom::Scaled(count);
    int32_t at = 0;
    for (auto* n = list.FirstNode(); n != nullptr; n = list.NextNode(n), ++at)
        if (at == index)
            return &n->payload;
    return nullptr;
}
}  // namespace

void CInstantRacePhase::Enter()
{
    m_Started = false;
}

void CInstantRacePhase::Update()
{
    if (m_Started || !g_UIMain.IsFadeOutDone())
        return;
    m_Started = true;

    WeStringList maps;
    for (auto* n = g_MapCatalogue.m_Names.FirstNode(); n != nullptr; n = g_MapCatalogue.m_Names.NextNode(n))
        maps.PushBack(n->payload);
    const WeString* map = Draw(maps);
    // Nothing to race on, or nothing to race with: back to the menu instead of a race that cannot load.
    if (map == nullptr || g_TuberCatalogue.m_Names.IsEmpty())
    {
        g_MenuPhase.PlayMenuSound(CMenuPhase::SoundDenied);
        g_PhaseManager.RequestPhase(&g_MainMenuPhase, WePhaseManager::ChangeRequest);
        return;
    }
    const WeString mapName = *map;
    g_RaceSettings.m_MapName = mapName;
    g_RaceSettings.SetPlayerParticipant();
    g_RaceSettings.m_MapName = mapName;

    g_RaceSettings.m_Dynamics = SysRandom::Scaled(2) != 0;
    g_RaceSettings.m_Weapons = true;
    g_RaceSettings.m_Laps = SysRandom::Scaled(10) + 1;
    g_RaceSettings.m_RaceType = CRaceSettings::StandardRace;
    g_RaceSettings.m_UnlimitedTurbo = false;
    g_RaceSettings.m_Reserved = true;
    g_RaceSettings.m_InstantRace = true;
    for (bool& random : g_RaceSettings.m_RandomOpponents)
        random = false;

    int32_t level = SysRandom::Scaled(3) + 1;
    WeList<CAIProfile*> profiles;
    g_AIProfiles.CollectProfilesOfLevel(profiles, level);
    while (profiles.IsEmpty() && level != 1)
    {
        --level;
        g_AIProfiles.CollectProfilesOfLevel(profiles, level);
    }
    g_RaceSettings.m_Difficulty = level >= 1 && level <= 3 ? level : 1;

    const int32_t count = SysRandom::Scaled(5) + 1;
    if (!profiles.IsEmpty())
        for (int32_t i = 1; i <= count; ++i)
        {
            const CAIProfile* pick = *Draw(profiles);
            if (CRaceParticipant* slot = g_RaceSettings.SetParticipant(i, pick->m_Level, pick->m_CraftKeyword, i + 1))
                slot->m_DisplayName = "";
        }
    g_RaceSettings.AssignAINames();

    CRaceParticipant* human = g_RaceSettings.GetParticipant(0);
    if (!profiles.IsEmpty())
        human->m_CraftKey = (*Draw(profiles))->m_CraftKeyword;
    else
    {
        // Without opponents there is no craft to draw: the player's own last one, else the first built.
        const CProfile* profile = g_ProfileManager.GetCurrent();
        if (profile != nullptr && g_TuberCatalogue.Find(profile->m_LastCraft) != nullptr)
            human->m_CraftKey = profile->m_LastCraft;
        else
            human->m_CraftKey = g_TuberCatalogue.m_Names.FirstNode()->payload;
    }

    g_ScreenFader.FadeTo(OnFadeDone, 2.0f, 0.0f, 0.0f, 0.0f, 1.0f);
}

void CInstantRacePhase::OnFadeDone()
{
    g_PhaseManager.RequestPhase(nullptr, WePhaseManager::PopRequest);
    g_PhaseManager.RequestPhase(&g_LoadMapPhase, WePhaseManager::ChangeRequest);
}
