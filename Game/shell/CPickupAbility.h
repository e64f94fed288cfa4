#pragma once
#include <cstdint>

#include "Game/shell/CPickup.h"

// An ability box: invisibility, invulnerability, quad damage or the engine ability.
class CPickupAbility : public CPickup
{
public:
    explicit CPickupAbility(int32_t type);
    void Init() override;
    static void LoadModels();
    static void ReleaseModels();
    // The power-up number of an ability id (0 invisibility, 1 invulnerability, 2 quad damage, 3 engine); -1.
    static int32_t PowerUpOf(int32_t type);

    int32_t m_PowerUp = -1;

private:
    static WeModel* s_Models[4];
};
