// The race set-up's copy in the current profile: what the single-race screen restores when it opens and
// stores when it closes.
#include <algorithm>
#include <vector>

#include "Game/craft/CTuberCatalogue.h"
#include "Game/screens/CProfile.h"
#include "Game/screens/CProfileManager.h"
#include "Game/screens/GetLapCounts.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"

WeString GetCurrentProfileName()
{
    const CProfile* current = g_ProfileManager.GetCurrent();
    return current != nullptr ? current->m_Name : WeString();
}

void CRaceSettings::LoadFromProfile()
{
    const CProfile* profile = g_ProfileManager.GetCurrent();
    if (profile == nullptr)
        return;
    if (!profile->m_LastMap.IsEmpty())
        m_MapName = profile->m_LastMap;

    // Slot 0 is the player's own; a human slot keeps its player.
    for (int32_t i = 1; i < SlotCount; ++i)
    {
        CRaceParticipant* slot = GetParticipant(i);
        if (slot == nullptr || slot->m_Kind == CRaceParticipant::Human)
            continue;
        const CProfileRaceSlot& stored = profile->m_RaceSlots[i];
        // A stored file could name a second human or a team outside the six colours.
        slot->m_Kind = stored.kind >= CRaceParticipant::Open && stored.kind <= CRaceParticipant::AIHard
                           ? stored.kind
                           : CRaceParticipant::Open;
        slot->m_CraftKey = stored.craft;
        slot->m_StartPlace = stored.startPlace >= 1 && stored.startPlace <= TeamCount ? stored.startPlace : i + 1;
        if (!stored.craft.IsEmpty())
            LookupCraftName(slot->m_DisplayName, stored.craft);
        m_RandomOpponents[i] = profile->m_RandomOpponents[i] != 0;
        // A computer craft the catalogue does not know is drawn afresh when the set-up closes.
        if (slot->IsAI() && g_TuberCatalogue.Find(stored.craft) == nullptr)
            m_RandomOpponents[i] = true;
    }

    m_Weapons = profile->m_Weapons != 0;
    m_Reserved = true;
    const std::vector<int32_t> lapCounts = GetLapCounts();
    m_Laps = std::find(lapCounts.begin(), lapCounts.end(), profile->m_LapCount) != lapCounts.end() ? profile->m_LapCount
                                                                                                   : lapCounts.front();
    m_RaceType =
        profile->m_RaceType >= StandardRace && profile->m_RaceType <= LastOneOut ? profile->m_RaceType : StandardRace;
    m_Dynamics = profile->m_Dynamics != 0;
    m_UnlimitedTurbo = profile->m_UnlimitedTurbo != 0;
    m_Difficulty = profile->m_Difficulty >= 1 && profile->m_Difficulty <= 3 ? profile->m_Difficulty : 1;
}

void CRaceSettings::SaveToProfile()
{
    CProfile* profile = g_ProfileManager.GetCurrent();
    if (profile == nullptr)
        return;
    profile->m_LastMap = m_MapName;
    for (int32_t i = 1; i < SlotCount; ++i)
    {
        const CRaceParticipant* slot = GetParticipant(i);
        if (slot == nullptr || slot->m_Kind == CRaceParticipant::Human)
            continue;
        CProfileRaceSlot& stored = profile->m_RaceSlots[i];
        stored.kind = slot->m_Kind;
        stored.craft = slot->m_CraftKey;
        stored.startPlace = slot->m_StartPlace;
        profile->m_RandomOpponents[i] = m_RandomOpponents[i] ? 1 : 0;
    }
    // The reserved flag stays as the profile has it.
    profile->m_Weapons = m_Weapons ? 1 : 0;
    profile->m_LapCount = m_Laps;
    profile->m_RaceType = m_RaceType;
    profile->m_Dynamics = m_Dynamics ? 1 : 0;
    profile->m_UnlimitedTurbo = m_UnlimitedTurbo ? 1 : 0;
    profile->m_Difficulty = m_Difficulty;
}
