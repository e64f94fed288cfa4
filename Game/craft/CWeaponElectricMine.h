#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

class CTrigger;
class WeSound3D;

// A mine that, once armed, hurts every vulnerable craft in its reach for as long as it stays.
class CWeaponElectricMine : public WeRecycled<CWeaponElectricMine, CWeapon>
{
public:
    ~CWeaponElectricMine() override;
    void Launch() override;
    void OnCollision(WeActor* other) override;
    void OnTriggerTouch(WeActor* other, CTrigger* trigger) override;

    CTrigger* m_Trigger = nullptr;
    WeSound3D* m_Hum = nullptr;
};
