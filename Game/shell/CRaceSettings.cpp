#include "Game/shell/CRaceSettings.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeStringList.h"
#include "Game/craft/CAIProfiles.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/shell/CRaceParticipant.h"

CRaceSettings g_RaceSettings;

CRaceSettings::CRaceSettings()
{
    for (int32_t i = 0; i < SlotCount; ++i)
    {
        m_Participants[i] = new CRaceParticipant(i);
        m_RandomOpponents[i] = false;
    }
    LoadTeamColors();
}

CRaceSettings::~CRaceSettings()
{
    for (CRaceParticipant*& slot : m_Participants)
    {
        delete slot;
        slot = nullptr;
    }
}

void CRaceSettings::LoadTeamColors()
{
    for (int32_t team = 0; team < TeamCount; ++team)
    {
        WeString key("game.TeamColors.TeamColor");
        key.AppendInt(team + 1);
        const WeString& text = GetConfigString(key, WeString());
        for (int32_t c = 0; c < 3; ++c)
            m_TeamColors[team][c] = text.GetToken(',', c).ToFloat(0.0f) * 0.003921569f;
        m_TeamColors[team][3] = 1.0f;
    }
}

void CRaceSettings::ClearParticipants()
{
    for (CRaceParticipant* slot : m_Participants)
    {
        slot->m_DisplayName.Clear();
        slot->m_CraftKey.Clear();
        slot->m_Kind = CRaceParticipant::Open;
        slot->m_StartPlace = 0;
        slot->ResetResults();
    }
}

void CRaceSettings::SetPlayerParticipant()
{
    ClearParticipants();
    CRaceParticipant* player = m_Participants[0];
    player->m_DisplayName = GetCurrentProfileName();
    player->m_Kind = CRaceParticipant::Human;
    player->m_StartPlace = 1;
}

CRaceParticipant* CRaceSettings::SetParticipant(int32_t index, int32_t kind, const WeString& craftKey,
                                                int32_t startPlace)
{
    CRaceParticipant* slot = GetParticipant(index);
    if (slot == nullptr)
        return nullptr;
    slot->m_Kind = kind;
    slot->m_CraftKey = craftKey;
    slot->m_StartPlace = startPlace;
    return slot;
}

CRaceParticipant* CRaceSettings::GetParticipant(int32_t index) const
{
    return index >= 0 && index < SlotCount ? m_Participants[index] : nullptr;
}

int32_t CRaceSettings::CountParticipants() const
{
    int32_t count = 0;
    for (const CRaceParticipant* slot : m_Participants)
        if (slot->IsRacing())
            ++count;
    return count;
}

int32_t CRaceSettings::CountFinishedParticipants() const
{
    int32_t count = 0;
    for (const CRaceParticipant* slot : m_Participants)
        if (slot->IsRacing() && slot->m_Craft != nullptr && HasCraftFinishedRace(slot->m_Craft))
            ++count;
    return count;
}

int32_t CRaceSettings::CountActiveParticipants() const
{
    int32_t count = 0;
    for (const CRaceParticipant* slot : m_Participants)
        if (slot->IsRacing() && slot->m_Craft != nullptr && !HasCraftFinishedRace(slot->m_Craft))
            ++count;
    return count;
}

CRaceParticipant* CRaceSettings::FindParticipantByPlace(int32_t place) const
{
    for (CRaceParticipant* slot : m_Participants)
        if (slot->IsRacing() && slot->m_RacePlace == place)
            return slot;
    return nullptr;
}

void CRaceSettings::LookupCraftName(WeString& out, const WeString& craftKey) const
{
    const CTuberDescription* record = g_TuberCatalogue.Find(craftKey);
    if (record != nullptr)
        out = record->m_DisplayName;
    else
        out.Clear();
}

void CRaceSettings::AssignAINames()
{
    int32_t wanted = 0;
    for (int32_t i = 1; i < SlotCount; ++i)
        if (m_Participants[i]->IsAI())
            ++wanted;
    WeStringList names;
    g_AIProfiles.PickDriverNames(names, m_Difficulty, wanted);
    WeListNode<WeString>* next = names.FirstNode();
    for (int32_t i = 1; i < SlotCount && next != nullptr; ++i)
    {
        CRaceParticipant* slot = m_Participants[i];
        if (!slot->IsAI() || !slot->m_DisplayName.IsEmpty())
            continue;
        slot->m_DisplayName = next->payload;
        next = names.NextNode(next);
    }
}
