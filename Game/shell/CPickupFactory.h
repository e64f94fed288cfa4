#pragma once
#include <cstdint>

class CMap;
class CPickup;

// The pickup type ids: the actor kind of a pickup and its type code in a map file.
enum PickupType : int32_t
{
    PickupNuclearWarhead = 10003,
    PickupQuantumBolt = 10004,
    PickupSwarmer = 10005,
    PickupFFG = 10006,
    PickupSlowingRocket = 10007,
    PickupTranslocator = 10008,
    PickupHomingMissile = 10009,
    PickupPlasmaBolt = 10010,
    PickupDoubleBolt = 10011,
    PickupMinigun = 10013,
    PickupNukeMine = 10014,
    PickupMotionMine = 10016,
    PickupStealthMine = 10017,
    PickupForceFieldMine = 10018,
    PickupElectricMine = 10019,
    PickupSingularityMine = 10020,
    PickupHomingMine = 10021,
    PickupProximityMine = 10022,
    PickupContactMine = 10025,
    PickupCoinSmall = 10026,
    PickupCoinLarge = 10027,
    PickupCoinKest = 10028,
    PickupInvisibility = 10029,
    PickupInvulnerability = 10030,
    PickupKestEngine = 10031,
    PickupQuadDamage = 10032,
    PickupEMPMine = 10033
};

constexpr int32_t PickupTypeCount = 27;
// Every pickup id, weapons first, then mines, coins and abilities.
extern const int32_t g_PickupTypes[PickupTypeCount];

bool IsWeaponPickup(int32_t type);
bool IsMinePickup(int32_t type);
bool IsWeaponOrMinePickup(int32_t type);
bool IsCoinPickup(int32_t type);
bool IsAbilityPickup(int32_t type);
bool IsPickupType(int32_t type);
// The weapon kind a weapon or mine box gives; 0 for any other id.
int32_t PickupTypeToWeaponIndex(int32_t type);
// The name after "Pickups.Models." ("PlasmaBolt"); empty for an id that is no pickup.
const char* GetPickupTypeName(int32_t type);
// The id of a name as GetPickupTypeName gives it; 0 for none.
int32_t FindPickupTypeByName(const char* name);

// Makes the pickup of a map record's type code and, at race start, removes the boxes a race without weapons
// does not keep.
class CPickupFactory
{
public:
    static constexpr int32_t RandomTableSize = 20;

    CPickupFactory();
    virtual ~CPickupFactory();
    CPickupFactory(const CPickupFactory&) = delete;
    CPickupFactory& operator=(const CPickupFactory&) = delete;

    // A new pickup of the type, or null for a type that is no pickup.
    CPickup* Create(int32_t type);
    void SetKeepPickups(int32_t keep) { m_KeepPickups = keep; }
    void RemoveNonCoinPickups(CMap* map);

    int32_t m_KeepPickups = 1;
    // The ten weapon ids in table order, then the ten mine ids.
    int32_t m_RandomTable[RandomTableSize];
};

extern CPickupFactory g_PickupFactory;
