#pragma once
#include <cstdint>

#include "Game/shell/CPickup.h"

// A weapon or mine box; a random box changes what it gives every so often, between a weapon and a mine.
class CPickupWeapon : public CPickup
{
public:
    static constexpr int32_t ModelCount = 21;  // the twenty boxes and the random box

    explicit CPickupWeapon(int32_t type);
    void Init() override;
    void Tick() override;
    // A new weapon after a mine, a mine after a weapon, drawn from the factory's random-box table.
    void Reroll();
    static void LoadModels();
    static void ReleaseModels();

    float m_LastRerollTime = 0.0f;

private:
    static WeModel* s_Models[ModelCount];
};
