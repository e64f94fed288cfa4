#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

class CTrigger;
class WeSound3D;
class WeTrail;

// A mine that takes an enemy coming within its reach as its target and chases it until they meet.
class CWeaponHomingMine : public WeRecycled<CWeaponHomingMine, CWeapon>
{
public:
    ~CWeaponHomingMine() override;
    void Launch() override;
    void Tick() override;
    void OnCollision(WeActor* other) override;
    void OnTriggerTouch(WeActor* other, CTrigger* trigger) override;

    CTrigger* m_Trigger = nullptr;
    WeTrail* m_Trail = nullptr;
    WeSound3D* m_Hum = nullptr;
    float m_RetargetTimer = 0.0f;
};
