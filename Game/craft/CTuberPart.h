#pragma once
#include <cstdint>
#include <vector>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeRecycled.h"
#include "Engine/world/WeActor.h"
#include "Game/craft/CTuber.h"
#include "Platform/math/D3DXVECTOR3.h"

class CTuber;
class WeNewParticleSystem;

// One flying wreck piece of a dead craft: it tumbles away under a tenth of gravity, burns or smokes, bounces
// off what it meets once it has flown a while, and is deleted by the world when its four seconds are up.
class CTuberPart : public WeRecycled<CTuberPart, WeActor>
{
public:
    static constexpr int32_t ActorKind = 13;
    static constexpr float LifeSeconds = 4.0f;
    static constexpr int32_t NoEffect = 0, Burning = 1, FireAndSmoke = 2;

    explicit CTuberPart(int32_t effectKind);
    ~CTuberPart() override;
    void Tick() override;
    // The contact handler's: reflects the velocity about the last contact normal force, less a fifth.
    void Bounce(WeActor* other);

    // The three particle templates, read from the file system; names asked for are recorded.
    static void LoadAssets();
    static void ReleaseAssets();
    // No live piece points at the craft any more (it is going).
    static void ForgetOwner(const CTuber* craft);
    static int32_t LiveCount();

    float m_LifeFactor = 0.0f;  // 0.1..1, drawn on the first tick
    int32_t m_EffectKind = NoEffect;
    WeNewParticleSystem* m_FirstSystem = nullptr;   // owned by the world
    WeNewParticleSystem* m_SecondSystem = nullptr;  // owned by the world
    CTuber* m_Owner = nullptr;
    D3DXVECTOR3 m_Velocity;
    float m_Elapsed = 0.0f;
    bool m_VelocityGiven = false;

    struct Assets
    {
        WeNewParticleSystem* burningPart = nullptr;
        WeNewParticleSystem* explosionFire = nullptr;
        WeNewParticleSystem* explosionSmoke = nullptr;
        std::vector<CTuberAssetRequest> requests;
    };
    static Assets s_Assets;

private:
    static WeList<CTuberPart*>& LivePieces();
    void AttachSystem(WeNewParticleSystem*& slot, WeNewParticleSystem* templ);
};
