#pragma once
#include <cstdint>

#include "Game/shell/CPickup.h"

// A coin of one of three sizes: it hides while taken.
class CPickupCoin : public CPickup
{
public:
    explicit CPickupCoin(int32_t type);
    void Init() override;
    static void LoadModels();
    static void ReleaseModels();

private:
    static WeModel* s_Models[3];
};
