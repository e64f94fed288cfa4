#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

class CTrigger;

// A proximity mine with no light and no sound.
class CWeaponStealthMine : public WeRecycled<CWeaponStealthMine, CWeapon>
{
public:
    ~CWeaponStealthMine() override;
    void Launch() override;
    void OnCollision(WeActor* other) override;
    void OnTriggerTouch(WeActor* other, CTrigger* trigger) override;
    // The splash of the stealth, motion and proximity mines; nothing when the mine is spent already.
    static void Detonate(CWeapon* mine);

    CTrigger* m_Trigger = nullptr;
};
