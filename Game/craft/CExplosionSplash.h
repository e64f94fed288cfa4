#pragma once
#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CExplosion.h"

class WeLight;

// A sphere of fixed radius that damages, per second, the craft touching it: a rocket's blast (mode 0), a
// homing mine's (1) or the engine ability's (2, only while its owner's turbo runs).
class CExplosionSplash : public WeRecycled<CExplosionSplash, CExplosion>
{
public:
    CExplosionSplash(const D3DXVECTOR3& position, CTuber* owner, float radius, float damage, int32_t mode,
                     int32_t kind);
    ~CExplosionSplash() override;
    void Tick() override;
    void AffectTuber(CTuber* craft) override;
    void OnTriggerTouch(WeActor* other, CTrigger* trigger) override;

    static void LoadAssets();

    int32_t m_Mode = 0;
    // The models and the particle copy live by their own clocks: spawned and forgotten, so these stay null.
    WeActor* m_Models[3] = {};
    WeLight* m_Light = nullptr;
    WeActor* m_ParticleActor = nullptr;
    float m_Radius = 0.0f;

private:
    bool OwnerTurboOn() const;
};
