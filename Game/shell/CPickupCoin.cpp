#include "Game/shell/CPickupCoin.h"

#include "Game/shell/CPickupFactory.h"

WeModel* CPickupCoin::s_Models[3] = {};

namespace
{
const char* const CoinKeys[3] = {"Pickups.Models.CoinSmall", "Pickups.Models.CoinLarge", "Pickups.Models.CoinKest"};
}  // namespace

CPickupCoin::CPickupCoin(int32_t type) : CPickup(type)
{
    ApplyClassSettings("Coins", 30.0f, false);
    m_Hover = true;
}

void CPickupCoin::LoadModels()
{
    LoadModelCache(s_Models, CoinKeys, 3);
}

void CPickupCoin::ReleaseModels()
{
    ReleaseModelCache(s_Models, 3);
}

void CPickupCoin::Init()
{
    const int32_t index = m_Type - PickupCoinSmall;
    if (index >= 0 && index < 3)
        TakeModel(s_Models[index], CoinKeys[index]);
    if (!m_EditorMode)
        m_OrientationFixed = true;
    CPickup::Init();
}
