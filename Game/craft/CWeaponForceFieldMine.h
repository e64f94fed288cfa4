#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

class CTrigger;
class WeSound3D;

// A post standing in a wide field panel across the track: the panel holds crafts back until the mine is
// armed, and the first craft to touch it after that collapses it harmlessly.
class CWeaponForceFieldMine : public WeRecycled<CWeaponForceFieldMine, CWeapon>
{
public:
    ~CWeaponForceFieldMine() override;
    void Launch() override;
    void OnCollision(WeActor* other) override;
    void OnTriggerTouch(WeActor* other, CTrigger* trigger) override;
    // Spends the mine with a harmless blast; nothing when it is spent already.
    void Detonate();

    CTrigger* m_Trigger = nullptr;
    WeSound3D* m_Hum = nullptr;
    WeActor* m_Field = nullptr;
};
