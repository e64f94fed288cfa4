#include "Game/shell/CPickupWeapon.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeModel.h"
#include "Game/shell/CPickupFactory.h"
#include "Platform/system/SysRandom.h"

WeModel* CPickupWeapon::s_Models[CPickupWeapon::ModelCount] = {};

namespace
{
constexpr int32_t WeaponAndMineCount = 20;

// Weapon ids, then mine ids, as the random-box table holds them, then the random box.
const char* const* WeaponModelKeys()
{
    static WeString keys[CPickupWeapon::ModelCount];
    static const char* pointers[CPickupWeapon::ModelCount];
    if (keys[0].IsEmpty())
    {
        for (int32_t i = 0; i < WeaponAndMineCount; ++i)
            keys[i] = WeString("Pickups.Models.") + GetPickupTypeName(g_PickupFactory.m_RandomTable[i]);
        keys[WeaponAndMineCount] = "Pickups.Models.RandomWeapon";
        for (int32_t i = 0; i < CPickupWeapon::ModelCount; ++i)
            pointers[i] = keys[i].c_str();
    }
    return pointers;
}

int32_t WeaponModelIndex(int32_t type)
{
    for (int32_t i = 0; i < WeaponAndMineCount; ++i)
        if (g_PickupFactory.m_RandomTable[i] == type)
            return i;
    return -1;
}
}  // namespace

CPickupWeapon::CPickupWeapon(int32_t type) : CPickup(type)
{
    ApplyClassSettings("Weapons", 5.0f, true);
}

void CPickupWeapon::LoadModels()
{
    LoadModelCache(s_Models, WeaponModelKeys(), ModelCount);
}

void CPickupWeapon::ReleaseModels()
{
    ReleaseModelCache(s_Models, ModelCount);
}

void CPickupWeapon::Init()
{
    if (m_Random)
    {
        Reroll();
        TakeModel(s_Models[WeaponAndMineCount], WeaponModelKeys()[WeaponAndMineCount]);
    }
    else
    {
        const int32_t index = WeaponModelIndex(m_Type);
        if (index >= 0)
            TakeModel(s_Models[index], WeaponModelKeys()[index]);
    }
    CPickup::Init();
}

void CPickupWeapon::Tick()
{
    CPickup::Tick();
    static const float& randomTime = GetConfigFloat("Pickups.Weapons.RandomTime", 1.0f);
    if (m_Random && float(g_Timer.m_TotalTime) - m_LastRerollTime >= randomTime)
        Reroll();
}

void CPickupWeapon::Reroll()
{
    const int32_t i = SysRandom::Scaled(10);
    const bool holdsWeapon = IsWeaponPickup(m_Type);
    m_Type = g_PickupFactory.m_RandomTable[(holdsWeapon ? 10 : 0) + i];
    // The box always looks the same while what it gives changes.
    if (m_Model != nullptr || s_Models[WeaponAndMineCount] != nullptr)
    {
        TakeModel(s_Models[WeaponAndMineCount], WeaponModelKeys()[WeaponAndMineCount]);
        if (m_Model != nullptr)
        {
            m_Model->SetPreset(m_ModelPreset);
            HandMatrixToModel(true);
        }
        UpdateBoundingSphere();
    }
    m_LastRerollTime = float(g_Timer.m_TotalTime);
}
