#include "Game/shell/SpawnParticipantTuber.h"

#include "Engine/foundation/WeLog.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CActorKinds.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CStartLocation.h"
#include "Platform/math/D3DXVECTOR3.h"

CTuber* SpawnParticipantTuber(CRaceParticipant* participant)
{
    CGameMap* map = g_Game.m_Map;
    if (participant == nullptr || map == nullptr)
        return nullptr;
    CStartLocation* chosen = nullptr;
    CStartLocation* lastFree = nullptr;
    WeHashTable<WeActor*>& actors = map->GetActors();
    for (auto* entry = actors.First(); entry != nullptr; entry = actors.Next())
    {
        if (entry->value->m_Type != ActorKindStartLocation)
            continue;
        CStartLocation* start = static_cast<CStartLocation*>(entry->value);
        if (start->m_TakenBy != nullptr)
            continue;
        lastFree = start;
        if (chosen == nullptr && start->m_StartIndex == participant->m_StartPlace)
            chosen = start;
    }
    if (chosen == nullptr)
        chosen = lastFree;
    if (chosen == nullptr)
    {
        DebugLogPrintf("NO FREE START LOCATION: SLOT %d STAYS EMPTY", int(participant->m_Index));
        return nullptr;
    }
    CTuber* craft = new CTuber(participant);
    craft->SetTransform(chosen->GetWorldMatrix());
    craft->SetVelocity(D3DXVECTOR3(0.0f, 0.0f, 0.0f));
    craft->SetAngularVelocity(D3DXVECTOR3(0.0f, 0.0f, 0.0f));
    chosen->m_TakenBy = craft;
    map->AddActor(craft);
    return craft;
}
