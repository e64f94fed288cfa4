#pragma once
#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

class CTrigger;
class CTuber;
class WeLight;
class WeNewParticleSystem;

// The released quantum shot: homes on the craft it was aimed at and draws loose bodies near its path.
class CWeaponQuantumBolt : public WeRecycled<CWeaponQuantumBolt, CWeapon>
{
public:
    CWeaponQuantumBolt() = default;
    ~CWeaponQuantumBolt() override;
    void Tick() override;
    void Launch() override;
    void OnCollision(WeActor* other) override;
    void OnTriggerTouch(WeActor* other, CTrigger* trigger) override;

    CTuber* m_HomingTarget = nullptr;  // not owned, and not listed with that craft
    WeLight* m_Light = nullptr;
    CTrigger* m_TriggerVolume = nullptr;
    WeNewParticleSystem* m_Particles[2] = {};
};
