#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

class CTrigger;
class WeNewParticleSystem;
class WeSound3D;

// A mine that brakes every craft in its reach and, once armed, pulls loose bodies in for 5 s and
// pushes them out for 0.2 s, over and over.
class CWeaponSingularityMine : public WeRecycled<CWeaponSingularityMine, CWeapon>
{
public:
    ~CWeaponSingularityMine() override;
    void Launch() override;
    void Tick() override;
    void OnCollision(WeActor* other) override;
    void OnTriggerTouch(WeActor* other, CTrigger* trigger) override;

    CTrigger* m_Trigger = nullptr;
    WeSound3D* m_Hum = nullptr;
    int32_t m_CycleState = 0;  // 0 waiting, 1 rest, 2 pull, 3 push
    float m_CycleTimer = 0.0f;
    float m_CyclePeriod = 0.0f;
    WeNewParticleSystem* m_Particles[3] = {};
};
