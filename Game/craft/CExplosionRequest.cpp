#include "Game/craft/CExplosionRequest.h"

#include "Engine/foundation/WeLog.h"
#include "Game/craft/CExplosionLocalized.h"
#include "Game/craft/CExplosionNuke.h"
#include "Game/craft/CExplosionSimple.h"
#include "Game/craft/CExplosionSplash.h"
#include "Game/craft/CTuber.h"

WeList<CExplosionRequest> g_ExplosionRequests;

void RequestSimpleExplosion(CTuber* attacker, float amount, CTuber* victim, int32_t kind)
{
    CExplosionRequest& r = g_ExplosionRequests.PushBack();
    r = CExplosionRequest();
    r.m_Type = CExplosionRequest::Simple;
    r.m_Owner = attacker;
    r.m_Damage = amount;
    r.m_Victim = victim;
    r.m_Kind = kind;
}

void RequestLocalizedExplosion(const D3DXVECTOR3& position, CTuber* owner, float damage, CTuber* hitCraft,
                               int32_t visualIndex, int32_t kind, int32_t extra)
{
    CExplosionRequest& r = g_ExplosionRequests.PushBack();
    r = CExplosionRequest();
    r.m_Type = CExplosionRequest::Localized;
    r.m_Position = position;
    r.m_Owner = owner;
    r.m_Damage = damage;
    r.m_Victim = hitCraft;
    r.m_VisualIndex = visualIndex;
    r.m_Kind = kind;
    r.m_Extra = extra;
}

void RequestNukeExplosion(const D3DXVECTOR3& position, CTuber* owner, float radius, float damage, int32_t kind)
{
    CExplosionRequest& r = g_ExplosionRequests.PushBack();
    r = CExplosionRequest();
    r.m_Type = CExplosionRequest::Nuke;
    r.m_Position = position;
    r.m_Owner = owner;
    r.m_Radius = radius;
    r.m_Damage = damage;
    r.m_Kind = kind;
}

void RequestSplashExplosion(const D3DXVECTOR3& position, CTuber* owner, float radius, float damage, int32_t mode,
                            int32_t kind)
{
    CExplosionRequest& r = g_ExplosionRequests.PushBack();
    r = CExplosionRequest();
    r.m_Type = CExplosionRequest::Splash;
    r.m_Position = position;
    r.m_Owner = owner;
    r.m_Radius = radius;
    r.m_Damage = damage;
    r.m_SplashMode = mode;
    r.m_Kind = kind;
}

namespace
{
// An explosion that found no world to live in (no owner, or an owner without one) shows nothing.
void KeepOrDrop(CExplosion* explosion, const char* what, int32_t kind)
{
    if (explosion && !explosion->m_World)
    {
        DebugLogPrintf("%s explosion of kind %d has no world: nothing shown", what, kind);
        delete explosion;
    }
}
}  // namespace

void ProcessExplosionRequests()
{
    CExplosionRequest r;
    // The request is copied out before anything is built: a post made while building reuses the node.
    while (g_ExplosionRequests.PopFront(r))
    {
        switch (r.m_Type)
        {
        case CExplosionRequest::Simple: delete new CExplosionSimple(r.m_Owner, r.m_Damage, r.m_Victim, r.m_Kind); break;
        case CExplosionRequest::Localized:
            KeepOrDrop(new CExplosionLocalized(r.m_Position, r.m_Owner, r.m_Damage, r.m_Victim, r.m_VisualIndex,
                                               r.m_Kind, r.m_Extra),
                       "localized", r.m_Kind);
            break;
        case CExplosionRequest::Nuke:
            KeepOrDrop(new CExplosionNuke(r.m_Position, r.m_Owner, r.m_Radius, r.m_Damage, r.m_Kind), "nuke", r.m_Kind);
            break;
        case CExplosionRequest::Splash:
            KeepOrDrop(new CExplosionSplash(r.m_Position, r.m_Owner, r.m_Radius, r.m_Damage, r.m_SplashMode, r.m_Kind),
                       "splash", r.m_Kind);
            break;
        default: DebugLogPrintf("explosion request of unknown type %d dropped", r.m_Type); break;
        }
    }
}

void ClearExplosionRequests()
{
    g_ExplosionRequests.Reset();
}
