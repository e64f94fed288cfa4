#pragma once
#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

class WeLight;
class WeNewParticleSystem;
class WeSound3D;
class WeTrail;

// A missile homing on the owner's locked craft: a white-hot exhaust streak with a trail and a light.
class CWeaponHomingMissile : public WeRecycled<CWeaponHomingMissile, CWeapon>
{
public:
    CWeaponHomingMissile() = default;
    ~CWeaponHomingMissile() override;
    void OnTeleport() override;
    void Tick() override;
    void Launch() override;
    void OnCollision(WeActor* other) override;

    WeNewParticleSystem* m_Exhaust = nullptr;
    WeLight* m_Light = nullptr;
    WeSound3D* m_EngineSound = nullptr;
    WeTrail* m_Trail = nullptr;
};
