#pragma once
#include <cstdint>

// The game's actor kinds (`WeActor::m_Type`), beside the engine's own negative ones.
constexpr int32_t ActorKindExplosion = 4;
constexpr int32_t ActorKindStartLocation = 6;
constexpr int32_t ActorKindTuber = 8;
constexpr int32_t ActorKindProjectile = 9;
constexpr int32_t ActorKindMine = 11;
constexpr int32_t ActorKindTrigger = 12;
constexpr int32_t ActorKindTuberPart = 13;
constexpr int32_t ActorKindFirstPickup = 10003;
constexpr int32_t ActorKindLastPickup = 10033;

inline bool IsPickupKind(int32_t kind)
{
    return kind >= ActorKindFirstPickup && kind <= ActorKindLastPickup;
}
