#pragma once
#include <cstdint>

#include "Engine/world/WeActor.h"
#include "Platform/math/D3DXVECTOR3.h"

class CTrigger;
class CTuber;
class WeLight;
class WeWorld;

// The base of every explosion: an actor of kind 4 that knows its damage, its owner and the weapon kind that
// caused it, and deals damage to a craft through the craft's own damage step.
class CExplosion : public WeActor
{
public:
    CExplosion(CTuber* owner, float damage, int32_t kind);
    ~CExplosion() override;

    // Deals the stored damage once, with the owner's multiplier.
    virtual void AffectTuber(CTuber* craft);
    virtual void DamageTuber(CTuber* craft, float amount, bool useOwnerMultiplier);
    virtual void OnTriggerTouch(WeActor* other, CTrigger* trigger);

    float m_Damage = 0.0f;
    CTuber* m_Owner = nullptr;
    int32_t m_Kind = 0;

protected:
    // The world the explosion joins: the owner's, else the fallback's (a localized blast's hit craft).
    WeWorld* ChooseWorld(CTuber* fallback) const;
    // Joins the world with its life clock running.
    void Join(WeWorld* world, float lifeTime);
    // A light of kind 2 at the centre with one key frame of the colour; null while lights are off.
    WeLight* MakeLight(const float colour[4], float range, float intensity, float secondIntensity);
    // A positional sound played once at the centre; withDigit appends 1 or 2.
    void PlaySound(const char* name, bool withDigit);
    // Pushes a vulnerable craft through its pending impulse, any other hittable body by a velocity change.
    static void Push(WeActor* actor, const D3DXVECTOR3& push);
    // The craft's hit reaction after a hit that counted.
    static void MarkHit(CTuber* craft);
};
