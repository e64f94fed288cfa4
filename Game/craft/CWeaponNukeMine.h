#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// A mine that blows as a nuke when a craft hits it or, at the latest, once it is armed; a shot that hits it
// first defuses it.
class CWeaponNukeMine : public WeRecycled<CWeaponNukeMine, CWeapon>
{
public:
    ~CWeaponNukeMine() override;
    void Launch() override;
    void OnCollision(WeActor* other) override;

    bool m_Armed = false;
};
