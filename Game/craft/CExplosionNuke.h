#pragma once
#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CExplosion.h"

class WeLight;

// A sphere that grows to its radius over two seconds and damages, per second, every craft it has reached.
class CExplosionNuke : public WeRecycled<CExplosionNuke, CExplosion>
{
public:
    static constexpr float Life = 2.0f;

    CExplosionNuke(const D3DXVECTOR3& position, CTuber* owner, float radius, float damage, int32_t kind);
    ~CExplosionNuke() override;
    void Tick() override;
    void AffectTuber(CTuber* craft) override;
    void OnTriggerTouch(WeActor* other, CTrigger* trigger) override;

    static void LoadAssets();

    // Its growth so far: 0 at the blast, 1 at the end.
    float Growth() const;

    WeActor* m_ShockActors[3] = {};
    WeLight* m_Light = nullptr;
    float m_Radius = 0.0f;
    bool m_FlashPending = false;
};
