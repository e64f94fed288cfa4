#pragma once
#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

class CTrigger;
class WeLight;
class WeNewParticleSystem;
class WeSound3D;

// A slim cyan rocket that slows the craft it strikes and disables its weapons for a while; loose bodies near
// its path are drawn after it.
class CWeaponSlowingRocket : public WeRecycled<CWeaponSlowingRocket, CWeapon>
{
public:
    CWeaponSlowingRocket() = default;
    ~CWeaponSlowingRocket() override;
    void Tick() override;
    void Launch() override;
    void OnCollision(WeActor* other) override;
    void OnTriggerTouch(WeActor* other, CTrigger* trigger) override;

    WeActor* m_SpareActor = nullptr;  // always empty
    WeNewParticleSystem* m_Exhaust = nullptr;
    WeLight* m_Light = nullptr;
    WeSound3D* m_EngineSound = nullptr;
    CTrigger* m_TriggerVolume = nullptr;
};
