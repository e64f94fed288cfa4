#pragma once
#include <cstdint>

#include "Engine/world/WeActor.h"
#include "Platform/math/D3DXVECTOR3.h"

class WeModel;

// A box, coin or ability placed on the track that a craft collects by flying through it. It spins and
// hovers about its home position, disappears when taken and comes back after its respawn time. Its map
// record is the actor record, then whether it is available, its respawn time (old records only) and, for
// weapon boxes, whether it is a random box.
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
    // A craft touched it: it hides (coins) or turns to its taken look (the rest) until it respawns. A pickup
    // that never respawns stays as it is.
    void Take();
    // The glow model of every pickup marker, loaded once.
    static void LoadGlowModel();
    static void ReleaseGlowModel();
    // The rotation and hover offset all pickups share at a world time.
    static void SharedMotion(float worldTime, D3DXMATRIX& rotation, float& hover);

    float m_TakenTime = 0.0f;
    D3DXVECTOR3 m_HomePosition{0.0f, 0.0f, 0.0f};
    WeActor* m_GlowMarker = nullptr;  // owned by the world
    bool m_Hover = true;
    bool m_Available = true;
    float m_RespawnTime = 30.0f;  // 0 or less: never disappears
    bool m_Random = false;        // weapon boxes only
    bool m_Glow = false;
    const float* m_GlowScale = nullptr;
    const float* m_GlowAlpha = nullptr;
    float m_MarkerTimer = 0.0f;  // the HUD's marker of this pickup: advanced and reset by the HUD

protected:
    // Loads each missing model of the cache once, between BeginBusy and EndBusy so its textures stay.
    static void LoadModelCache(WeModel** cache, const char* const* keys, int32_t count);
    static void ReleaseModelCache(WeModel** cache, int32_t count);
    // Respawn time and glow from the settings of the pickup's class.
    void ApplyClassSettings(const char* prefix, float respawnTime, bool glow);
    // The cached model of a key as a clone; the key as the model name when the cache holds none.
    void TakeModel(WeModel* cached, const char* key);

    static WeModel* s_GlowModel;
};
