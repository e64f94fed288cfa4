#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

class CTrigger;
class WeLight;
class WeNewParticleSystem;
class WeSound3D;

// A spinning orange ring that swaps its owner with the craft it strikes; loose bodies near it are pushed away.
class CWeaponTranslocator : public WeRecycled<CWeaponTranslocator, CWeapon>
{
public:
    CWeaponTranslocator() = default;
    ~CWeaponTranslocator() override;
    void Tick() override;
    void Launch() override;
    void OnCollision(WeActor* other) override;
    void OnTriggerTouch(WeActor* other, CTrigger* trigger) override;

    WeNewParticleSystem* m_Aura = nullptr;
    WeLight* m_Light = nullptr;
    WeSound3D* m_EngineSound = nullptr;
    int32_t m_SpareInt = 0;
    CTrigger* m_TriggerVolume = nullptr;
};
