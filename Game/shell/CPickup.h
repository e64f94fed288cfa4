#pragma once
#include <cstdint>

#include "Engine/world/WeActor.h"
#include "Platform/math/D3DXVECTOR3.h"

// A box, coin or ability placed on the track that a craft collects by flying through it. Its map record
// is the actor record, then whether it is available, its respawn time (old records only) and, for weapon
// boxes, whether it is a random box.
class CPickup : public WeActor
{
public:
    // The actor record version from which the respawn time is no longer stored, and after which the random
    // flag is.
    static constexpr int32_t RespawnTimeStoredBelow = 30;
    static constexpr int32_t RandomFlagStoredAbove = 28;

    explicit CPickup(int32_t type);
    ~CPickup() override;

    void Tick() override;
    void Save(WeFileStream& stream) override;
    bool Load(WeFileStream& stream) override;
    void Init() override;
    // A craft took it: it goes out of play until it respawns.
    void Take();

    float m_TakenTime = 0.0f;
    D3DXVECTOR3 m_HomePosition{0.0f, 0.0f, 0.0f};
    WeActor* m_GlowMarker = nullptr;  // owned by the world
    bool m_Hover = true;
    bool m_Available = true;
    float m_RespawnTime = 30.0f;  // 0 or less: never disappears
    bool m_Random = false;        // weapon boxes only
    bool m_Glow = false;
    float* m_GlowScale = nullptr;
    float* m_GlowAlpha = nullptr;
    float m_MarkerTimer = 0.0f;  // the display's brackets on it slide in by it
};
