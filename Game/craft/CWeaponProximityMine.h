#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

class CTrigger;
class WeSound3D;

// A mine set off by a craft coming within its reach once armed, or by a moving body striking it.
class CWeaponProximityMine : public WeRecycled<CWeaponProximityMine, CWeapon>
{
public:
    ~CWeaponProximityMine() override;
    void Launch() override;
    void OnCollision(WeActor* other) override;
    void OnTriggerTouch(WeActor* other, CTrigger* trigger) override;

    CTrigger* m_Trigger = nullptr;
    WeActor* m_Spare = nullptr;  // never filled
    WeSound3D* m_Hum = nullptr;
};
