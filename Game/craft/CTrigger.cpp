#include "Game/craft/CTrigger.h"

#include "Game/shell/CActorKinds.h"

CTrigger::CTrigger(WeActor* owner) : m_Owner(owner)
{
    m_Type = ActorKindTrigger;
}

void CTrigger::Expire()
{
    m_Owner = nullptr;
    WeActor::Expire();
}
