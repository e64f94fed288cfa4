#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

class WeSound3D;

// A mine set off by any contact: a splash where it lies.
class CWeaponContactMine : public WeRecycled<CWeaponContactMine, CWeapon>
{
public:
    ~CWeaponContactMine() override;
    void Launch() override;
    void OnCollision(WeActor* other) override;

    WeSound3D* m_Hum = nullptr;
};
