#include "Game/shell/CPickupFactory.h"

#include <cstring>

#include "Engine/world/WePathNode.h"
#include "Game/shell/CMap.h"
#include "Game/shell/CPickup.h"
#include "Game/shell/CPickupAbility.h"
#include "Game/shell/CPickupCoin.h"
#include "Game/shell/CPickupWeapon.h"

CPickupFactory g_PickupFactory;

namespace
{
struct PickupName
{
    int32_t type;
    const char* name;
    int32_t weaponIndex;
};

// Weapons, mines, coins and abilities, each group in the order of the random-box table.
const PickupName Names[PickupTypeCount] = {
    {PickupNuclearWarhead, "NuclearWarhead", 10},
    {PickupQuantumBolt, "QuantumBolt", 4},
    {PickupSwarmer, "Swarmer", 5},
    {PickupFFG, "FFG", 9},
    {PickupSlowingRocket, "SlowingRocket", 6},
    {PickupTranslocator, "Translocator", 7},
    {PickupHomingMissile, "HomingMissile", 3},
    {PickupPlasmaBolt, "PlasmaBolt", 1},
    {PickupDoubleBolt, "DoubleBolt", 2},
    {PickupMinigun, "Minigun", 8},
    {PickupNukeMine, "NukeMine", 18},
    {PickupMotionMine, "MotionMine", 16},
    {PickupStealthMine, "StealthMine", 17},
    {PickupForceFieldMine, "ForceFieldMine", 15},
    {PickupElectricMine, "ElectricMine", 19},
    {PickupSingularityMine, "SingularityMine", 12},
    {PickupHomingMine, "HomingMine", 13},
    {PickupProximityMine, "ProximityMine", 14},
    {PickupContactMine, "ContactMine", 11},
    {PickupEMPMine, "EMPMine", 20},
    {PickupCoinSmall, "CoinSmall", 0},
    {PickupCoinLarge, "CoinLarge", 0},
    {PickupCoinKest, "CoinKest", 0},
    {PickupInvisibility, "Invisibility", 0},
    {PickupInvulnerability, "Invulnerability", 0},
    {PickupKestEngine, "KestEngine", 0},
    {PickupQuadDamage, "QuadDamage", 0},
};

const PickupName* FindName(int32_t type)
{
    for (const PickupName& entry : Names)
        if (entry.type == type)
            return &entry;
    return nullptr;
}
}  // namespace

const int32_t g_PickupTypes[PickupTypeCount] = {
    PickupNuclearWarhead,  PickupQuantumBolt,    PickupSwarmer,       PickupFFG,
    PickupSlowingRocket,   PickupTranslocator,   PickupHomingMissile, PickupPlasmaBolt,
    PickupDoubleBolt,      PickupMinigun,        PickupNukeMine,      PickupMotionMine,
    PickupStealthMine,     PickupForceFieldMine, PickupElectricMine,  PickupSingularityMine,
    PickupHomingMine,      PickupProximityMine,  PickupContactMine,   PickupEMPMine,
    PickupCoinSmall,       PickupCoinLarge,      PickupCoinKest,      PickupInvisibility,
    PickupInvulnerability, PickupKestEngine,     PickupQuadDamage};

bool IsWeaponPickup(int32_t type)
{
    return (type >= PickupNuclearWarhead && type <= PickupDoubleBolt) || type == PickupMinigun;
}

bool IsMinePickup(int32_t type)
{
    switch (type)
    {
    case PickupNukeMine:
    case PickupMotionMine:
    case PickupStealthMine:
    case PickupForceFieldMine:
    case PickupElectricMine:
    case PickupSingularityMine:
    case PickupHomingMine:
    case PickupProximityMine:
    case PickupContactMine:
    case PickupEMPMine: return true;
    default: return false;
    }
}

bool IsWeaponOrMinePickup(int32_t type)
{
    return IsWeaponPickup(type) || IsMinePickup(type);
}

bool IsCoinPickup(int32_t type)
{
    return type >= PickupCoinSmall && type <= PickupCoinKest;
}

bool IsAbilityPickup(int32_t type)
{
    return type >= PickupInvisibility && type <= PickupQuadDamage;
}

bool IsPickupType(int32_t type)
{
    return IsWeaponOrMinePickup(type) || IsCoinPickup(type) || IsAbilityPickup(type);
}

int32_t PickupTypeToWeaponIndex(int32_t type)
{
    const PickupName* entry = FindName(type);
    return entry != nullptr ? entry->weaponIndex : 0;
}

const char* GetPickupTypeName(int32_t type)
{
    const PickupName* entry = FindName(type);
    return entry != nullptr ? entry->name : "";
}

int32_t FindPickupTypeByName(const char* name)
{
    if (name == nullptr)
        return 0;
    for (const PickupName& entry : Names)
        if (std::strcmp(entry.name, name) == 0)
            return entry.type;
    return 0;
}

CPickupFactory::CPickupFactory()
{
    for (int32_t i = 0; i < RandomTableSize; ++i)
        m_RandomTable[i] = Names[i].type;
}

CPickupFactory::~CPickupFactory() = default;

CPickup* CPickupFactory::Create(int32_t type)
{
    if (IsWeaponOrMinePickup(type))
        return new CPickupWeapon(type);
    if (IsAbilityPickup(type))
        return new CPickupAbility(type);
    if (IsCoinPickup(type))
        return new CPickupCoin(type);
    return nullptr;
}

void CPickupFactory::RemoveNonCoinPickups(CMap* map)
{
    if (map == nullptr || m_KeepPickups != 0)
        return;
    for (auto* node = map->m_Pickups.FirstNode(); node != nullptr;)
    {
        auto* next = map->m_Pickups.NextNode(node);
        CPickup* pickup = node->payload;
        if (!IsCoinPickup(pickup->m_Type))
        {
            // Nothing may point at it once the world deletes it: the path node the AI reads, the map's list.
            for (auto* e = map->GetPathNodes().First(); e != nullptr; e = map->GetPathNodes().Next())
            {
                WeList<WeActor*>& attached = static_cast<WePathNode*>(e->value)->m_AttachedActors;
                while (attached.Contains(pickup))
                    attached.RemoveCurrent();
            }
            map->m_Pickups.Remove(node);
            if (pickup->m_GlowMarker != nullptr)
            {
                pickup->m_GlowMarker->Expire();
                pickup->m_GlowMarker = nullptr;
            }
            pickup->MarkForDeletion();
        }
        node = next;
    }
}
