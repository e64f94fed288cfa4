#include "Game/shell/CGameMap.h"

#include "Engine/world/WeActor.h"
#include "Game/shell/CRaceSettings.h"

CGameMap::CGameMap() = default;

CGameMap::~CGameMap() = default;

void CGameMap::OnActorLoaded(WeActor* actor)
{
    const int32_t physicsClass = actor->m_PhysicModel.physicsClass;
    if (!g_RaceSettings.m_Dynamics && actor->m_Type == WeActorTypePlain && physicsClass >= 5 && physicsClass <= 8)
    {
        actor->m_DiscardOnLoad = true;
        return;
    }
    CMap::OnActorLoaded(actor);
}
