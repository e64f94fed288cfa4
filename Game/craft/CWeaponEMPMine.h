#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

class CTrigger;
class WeSound3D;

// A mine that, once armed, switches off the weapons of every craft in its reach, again and again.
class CWeaponEMPMine : public WeRecycled<CWeaponEMPMine, CWeapon>
{
public:
    ~CWeaponEMPMine() override;
    void Launch() override;
    void OnCollision(WeActor* other) override;
    void OnTriggerTouch(WeActor* other, CTrigger* trigger) override;
    // The blur blast of the EMP and electric mines; nothing when the mine is spent already.
    static void Detonate(CWeapon* mine);

    CTrigger* m_Trigger = nullptr;
    WeSound3D* m_Hum = nullptr;
};
