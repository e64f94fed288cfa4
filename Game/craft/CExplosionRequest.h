#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Platform/math/D3DXVECTOR3.h"

class CTuber;

// A detonation waiting for the race's next drain. Weapons, dying craft and collisions post these from inside
// physics reports and ticks, where making an actor is not allowed.
struct CExplosionRequest
{
    enum Type : int32_t
    {
        Simple = 0,
        Localized = 1,
        Nuke = 2,
        Splash = 3
    };

    int32_t m_Type = Simple;
    CTuber* m_Owner = nullptr;  // the attacker
    float m_Damage = 0.0f;
    CTuber* m_Victim = nullptr;  // simple: the victim; localized: the craft that was hit, or null
    int32_t m_Kind = 0;          // weapon kind of the cause; 22 collisions, 0 a craft's death
    D3DXVECTOR3 m_Position;
    float m_Radius = 0.0f;
    int32_t m_Extra = 0;        // localized: the swarm index
    int32_t m_VisualIndex = 0;  // localized: 0 to 8
    int32_t m_SplashMode = 0;   // splash: 0 rocket, 1 homing mine, 2 engine ability
};

// Posted in order, drained from the head; removed nodes are reused by the next post.
extern WeList<CExplosionRequest> g_ExplosionRequests;

void RequestSimpleExplosion(CTuber* attacker, float amount, CTuber* victim, int32_t kind);
void RequestLocalizedExplosion(const D3DXVECTOR3& position, CTuber* owner, float damage, CTuber* hitCraft,
                               int32_t visualIndex, int32_t kind, int32_t extra);
void RequestNukeExplosion(const D3DXVECTOR3& position, CTuber* owner, float radius, float damage, int32_t kind);
void RequestSplashExplosion(const D3DXVECTOR3& position, CTuber* owner, float radius, float damage, int32_t mode,
                            int32_t kind);

// Creates one explosion per request in posting order, including those posted while it runs (a kill's death
// explosion), until the queue is empty.
void ProcessExplosionRequests();
// Drops every pending request unmade.
void ClearExplosionRequests();
