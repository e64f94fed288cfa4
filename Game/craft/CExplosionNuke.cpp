#include "Game/craft/CExplosionNuke.h"

#include <cmath>

#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CExplosionAssets.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CGameGlobals.h"

namespace
{
constexpr float White[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr const char* NukeModel = "Weapons.Models.NukeExplosion";
// A shock actor scaled to nothing would have no inverse; this is too small to see.
constexpr float MinimumScale = 0.001f;

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}
}  // namespace

CExplosionNuke::CExplosionNuke(const D3DXVECTOR3& position, CTuber* owner, float radius, float damage, int32_t kind)
    : WeRecycled(owner, damage, kind), m_Radius(radius), m_FlashPending(true)
{
    SetLocation(position);
    m_PhysicModel.physicsClass = WePhysicsDynamicSphere;
    m_PhysicModel.size = D3DXVECTOR3(radius > 0.0f ? radius : 0.0f, 0.0f, 0.0f);
    m_PhysicModel.explicitSize = true;
    m_PhysicModel.collisionGroup = 9;
    m_PhysicModel.mass = 10.0f;
    m_PhysicModel.shapeFlags = 7;
    m_PhysicModel.gravity = false;
    Join(ChooseWorld(nullptr), Life);
    if (!m_World)
        return;
    // One model for the first shock actor, one for the two others: both are the same mesh here.
    const CExplosionModelAsset* model = CExplosionAssets::FindModel(NukeModel);
    for (WeActor*& shock : m_ShockActors)
        shock = CExplosionAssets::SpawnModel(m_World, model, GetWorldPosition(), MinimumScale, -1.0f, 0);
    m_Light = MakeLight(White, 0.0f, 1.0f, 0.5f);
    PlaySound("Sounds.Explosions.NukeExplosion", false);
}

void CExplosionNuke::LoadAssets()
{
    CExplosionAssets::LoadModel(NukeModel);
    CExplosionAssets::LoadModel(NukeModel);
}

CExplosionNuke::~CExplosionNuke()
{
    if (g_WorldDestroying)
        return;
    for (WeActor* shock : m_ShockActors)
        if (shock)
            shock->Expire();
    if (m_Light)
        m_Light->Expire();
}

float CExplosionNuke::Growth() const
{
    if (!m_World)
        return 0.0f;
    const float age = m_World->m_WorldTime - m_SpawnTime;
    const float whole = age + m_LifeTime;
    return whole > 0.0f ? age / whole : 1.0f;
}

void CExplosionNuke::Tick()
{
    const float c = Growth();
    if (m_Light)
        m_Light->m_Range = c * 1000.0f;
    const float r = std::fmax(MinimumScale, c * m_Radius);
    if (m_ShockActors[0])
        m_ShockActors[0]->SetScaling(D3DXVECTOR3(r, r, r));
    if (m_ShockActors[1])
        m_ShockActors[1]->SetScaling(D3DXVECTOR3(1.5f * r, m_ShockActors[1]->m_Scale.y, 1.5f * r));
    if (m_ShockActors[2])
        m_ShockActors[2]->SetScaling(D3DXVECTOR3(m_ShockActors[2]->m_Scale.x, 1.5f * r, 1.5f * r));
    const float age = m_World ? m_World->m_WorldTime - m_SpawnTime : 0.0f;
    if (m_FlashPending && age >= 1.0f)
    {
        m_FlashPending = false;
        CTuber* player = g_Game.m_PlayerTuber;
        if (player && Length(player->GetWorldPosition() - GetWorldPosition()) <= 4.0f * m_Radius)
            RequestScreenEffect(1, 1.0f);
    }
    WeActor::Tick();
}

void CExplosionNuke::AffectTuber(CTuber* craft)
{
    if (!craft)
        return;
    if (Length(craft->GetWorldPosition() - GetWorldPosition()) <= Growth() * m_Radius)
        DamageTuber(craft, m_Damage * g_Timer.m_FrameDeltaF, true);
    if (craft->m_IsPlayer)
        ShakeChaseCamera(1, 0.2f);
}

void CExplosionNuke::OnTriggerTouch(WeActor* other, CTrigger*)
{
    if (!other)
        return;
    const D3DXVECTOR3 d = other->GetWorldPosition() - GetWorldPosition();
    const float length = Length(d);
    if (length > 0.0f)
        Push(other, d * (50.0f / length));
}
