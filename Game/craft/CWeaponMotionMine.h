#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

class CTrigger;
class WeSound3D;
class WeTrail;

// A proximity mine that, once armed, swings about its drop point on a fixed path.
class CWeaponMotionMine : public WeRecycled<CWeaponMotionMine, CWeapon>
{
public:
    ~CWeaponMotionMine() override;
    void Launch() override;
    void Tick() override;
    void OnCollision(WeActor* other) override;
    void OnTriggerTouch(WeActor* other, CTrigger* trigger) override;

    CTrigger* m_Trigger = nullptr;
    WeTrail* m_Trail = nullptr;
    WeSound3D* m_Hum = nullptr;
};
