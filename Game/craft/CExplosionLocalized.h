#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Engine/foundation/WeString.h"
#include "Game/craft/CExplosion.h"

class WeLight;
class WeModel;
class WeNewParticleSystem;

// One model of a visual-table name: where, how large and how long it shows.
struct CExplosionVisualEntry
{
    WeString model;
    float locationMin = 0.0f;
    float locationMax = 0.0f;
    float sizeMin = 0.0f;
    float sizeMax = 0.0f;
    float relativeDistance = 0.0f;
    float lifeTime = 0.0f;
    WeModel* loaded = nullptr;
};

// The configurable models of one visual-table name ("Explosions." + name + ".ModelsCount" and the rest).
struct CExplosionVisualSet
{
    static constexpr int32_t Capacity = 8;
    int32_t count = 0;
    CExplosionVisualEntry entries[Capacity];
};

// The impact of a bolt, rocket, mine or a craft's death: deals its damage once to the craft it hit and shows
// one of nine visual sets (by visual index) for a short life.
class CExplosionLocalized : public WeRecycled<CExplosionLocalized, CExplosion>
{
public:
    static constexpr int32_t ModelSlots = 6, VisualCount = 9;
    static constexpr float StartRange = 40.0f;  // the light's range at the blast
    static constexpr float ShockwaveScale = 250.0f;
    static const char* const VisualNames[VisualCount];

    CExplosionLocalized(const D3DXVECTOR3& position, CTuber* owner, float damage, CTuber* hitCraft, int32_t visualIndex,
                        int32_t kind, int32_t extra);
    ~CExplosionLocalized() override;
    void Tick() override;

    // Reads the nine names' tables from the configuration; counts are kept within 0..8.
    static void LoadVisualTable();
    // The fixed models, particle systems and flare textures, and every model of the visual table.
    static void LoadAssets();
    // Spawns the models of the visual-table set into the free slots, in order, at most six.
    void SpawnVisuals(int32_t set);

    WeActor* m_Shockwave = nullptr;
    // Only the slots the explosion reads later are kept (index 8's second); the others live by their own clock
    // and are forgotten once spawned.
    WeActor* m_Models[ModelSlots] = {};
    CTuber* m_HitCraft = nullptr;
    int32_t m_VisualIndex = 0;
    WeLight* m_Light = nullptr;
    float m_ShockwaveScale = 0.0f;  // 0: no shockwave
    WeActor* m_ParticleActor = nullptr;

    static CExplosionVisualSet s_VisualTable[VisualCount];

private:
    void PushHitCraft();
    void SpawnFixedModel(const char* name, float distanceBeyond, float scale, float lifeTime, int32_t preset);
    void ShakeForPlayer();
    void MakeFlare(int32_t visualIndex);
    void TickFlare(float age, float whole);
};
