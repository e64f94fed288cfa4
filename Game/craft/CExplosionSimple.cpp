#include "Game/craft/CExplosionSimple.h"

#include "Game/craft/CTuber.h"

CExplosionSimple::CExplosionSimple(CTuber* attacker, float amount, CTuber* victim, int32_t kind)
    : WeRecycled(attacker, amount, kind)
{
    if (!victim || victim->m_Destroyed)
        return;
    victim->ApplyDamage(amount, attacker, kind);
    MarkHit(victim);
}
