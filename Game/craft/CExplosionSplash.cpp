#include "Game/craft/CExplosionSplash.h"

#include <cmath>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CExplosionAssets.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CActorKinds.h"
#include "Game/shell/CRacePhysics.h"
#include "Platform/system/SysRandom.h"

namespace
{
constexpr float White[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float LightRange = 30.0f;
constexpr const char* RocketModels[3] = {"Weapons.Explosion.ExplosionBigAssRocket1",
                                         "Weapons.Explosion.ExplosionBigAssRocket2",
                                         "Weapons.Explosion.ExplosionBigAssRocket3"};
constexpr const char* HomingMineModel = "Weapons.Explosions.HomingMine";
constexpr const char* EngineParticles = "Assets.Weapons.KestEngine";

// rand()/32767 x 9 + 1: from 1 to 10.
float OneToTen()
{
    return static_cast<float>(SysRandom::Next()) / static_cast<float>(SysRandom::Max) * 9.0f + 1.0f;
}

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}
}  // namespace

CExplosionSplash::CExplosionSplash(const D3DXVECTOR3& position, CTuber* owner, float radius, float damage, int32_t mode,
                                   int32_t kind)
    : WeRecycled(owner, damage, kind), m_Mode(mode), m_Radius(radius)
{
    SetLocation(position);
    m_PhysicModel.physicsClass = WePhysicsDynamicSphere;
    m_PhysicModel.size = D3DXVECTOR3(radius > 0.0f ? radius : 0.0f, 0.0f, 0.0f);
    m_PhysicModel.explicitSize = true;
    m_PhysicModel.collisionGroup = 9;
    m_PhysicModel.mass = 10.0f;
    m_PhysicModel.shapeFlags = 7;
    m_PhysicModel.gravity = false;
    float life = mode == 0 ? 0.8f : 1.2f;
    if (mode == 2)
    {
        life = GetConfigFloat("Weapons.KestEngine.ExplosionDuration", 0.1f);
        if (!std::isfinite(life))
            life = 0.1f;
    }
    Join(ChooseWorld(nullptr), life);
    if (!m_World)
        return;
    if (mode == 2)
    {
        CExplosionAssets::SpawnParticles(m_World, CExplosionAssets::FindParticles(EngineParticles), GetWorldMatrix(),
                                         life, nullptr);
        return;
    }
    PlaySound("Sounds.Explosions.HomingMineExplosion", true);
    const D3DXVECTOR3 centre = GetWorldPosition();
    if (mode == 0)
        for (int32_t i = 0; i < 3; ++i)
        {
            const CExplosionModelAsset* asset = CExplosionAssets::FindModel(RocketModels[SysRandom::Scaled(3)]);
            const float x = 3.0f / OneToTen();
            const float y = 3.0f / OneToTen();
            const float z = 3.0f / OneToTen();
            if (asset)
                CExplosionAssets::SpawnModel(m_World, asset, centre + D3DXVECTOR3(x, y, z), 1.0f,
                                             asset->particleDuration, 0);
        }
    else if (mode == 1)
    {
        const CExplosionModelAsset* asset = CExplosionAssets::FindModel(HomingMineModel);
        if (asset)
            CExplosionAssets::SpawnModel(m_World, asset, centre, radius > 0.0f ? radius : 1.0f, asset->particleDuration,
                                         0);
    }
    m_Light = MakeLight(White, LightRange, 1.0f, 0.5f);
}

void CExplosionSplash::LoadAssets()
{
    for (const char* name : RocketModels)
        CExplosionAssets::LoadModel(name);
    CExplosionAssets::LoadModel(HomingMineModel);
    CExplosionAssets::LoadParticles(EngineParticles);
}

CExplosionSplash::~CExplosionSplash()
{
    if (g_WorldDestroying)
        return;
    if (m_Light)
        m_Light->Expire();
}

bool CExplosionSplash::OwnerTurboOn() const
{
    return m_Owner && m_Owner->m_Turbo;
}

void CExplosionSplash::Tick()
{
    if (m_Light)
    {
        m_Light->SetLocation(GetWorldPosition());
        // On the last frame nothing remains to divide by; the light simply goes out.
        if (m_LifeTime > 0.0f && m_Light->m_Range >= 0.0f)
            m_Light->m_Range = std::fmax(0.0f, m_Light->m_Range - LightRange / m_LifeTime * g_Timer.m_FrameDeltaF);
        else
            m_Light->m_Range = 0.0f;
    }
    WeActor::Tick();
}

void CExplosionSplash::AffectTuber(CTuber* craft)
{
    if (!craft || (m_Mode == 2 && !OwnerTurboOn()))
        return;
    if (!((m_Kind == 5 || m_Kind == 21) && craft == m_Owner))
        DamageTuber(craft, m_Damage * g_Timer.m_FrameDeltaF, true);
    if (craft->m_IsPlayer && craft->IsVulnerable())
        ShakeChaseCamera(1, 0.1f);
}

void CExplosionSplash::OnTriggerTouch(WeActor* other, CTrigger*)
{
    if (!other || other->m_Type == ActorKindTuber || (m_Mode == 2 && !OwnerTurboOn()))
        return;
    const D3DXVECTOR3 d = other->GetWorldPosition() - GetWorldPosition();
    const float length = Length(d);
    if (length > 0.0f && IsHittableActor(other))
        other->m_PhysicHandle->AddVelocityChange(d * (15.0f / length), false);
}
