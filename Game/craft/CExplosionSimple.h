#pragma once
#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CExplosion.h"

// The instant explosion: direct damage to one victim, no visual, never in a world. The drain deletes it at once.
class CExplosionSimple : public WeRecycled<CExplosionSimple, CExplosion>
{
public:
    CExplosionSimple(CTuber* attacker, float amount, CTuber* victim, int32_t kind);
};
