#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CExplosion.h"

class WeLight;

// The impact of a bolt, rocket, mine or a craft's death: deals its damage once to the craft it hit and shows
// one of nine visual sets (by visual index) for a short life.
class CExplosionLocalized : public WeRecycled<CExplosionLocalized, CExplosion>
{
public:
    static constexpr int32_t ModelSlots = 6, VisualCount = 9;
    static constexpr float StartRange = 40.0f;  // the light's range at the blast

    CExplosionLocalized(const D3DXVECTOR3& position, CTuber* owner, float damage, CTuber* hitCraft, int32_t visualIndex,
                        int32_t kind, int32_t extra);
    ~CExplosionLocalized() override;
    void Tick() override;

    WeActor* m_Shockwave = nullptr;
    WeActor* m_Models[ModelSlots] = {};
    CTuber* m_HitCraft = nullptr;
    int32_t m_VisualIndex = 0;
    WeLight* m_Light = nullptr;
    float m_ShockwaveScale = 0.0f;  // 0: no shockwave
    WeActor* m_ParticleActor = nullptr;

private:
    void PushHitCraft();
};
