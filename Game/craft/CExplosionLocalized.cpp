#include "Game/craft/CExplosionLocalized.h"

#include <cmath>

#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CPostProcessRequests.h"

namespace
{
struct VisualSet
{
    float life;
    const float* light;  // null: no light
};

constexpr float White[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float Green[4] = {0.0f, 1.0f, 0.0f, 1.0f};
constexpr float Cyan[4] = {0.0f, 1.0f, 1.0f, 1.0f};

// By visual index: plasma bolt, homing missile, quantum bolt, minigun, translocator, blur mine, slowing
// rocket, force-field mine, craft.
constexpr VisualSet Visuals[CExplosionLocalized::VisualCount] = {
    {0.1f, nullptr}, {0.7f, White}, {1.0f, Green}, {1.0f, nullptr}, {1.0f, nullptr},
    {1.0f, White},   {0.7f, Cyan},  {1.0f, Cyan},  {1.0f, White},
};
}  // namespace

CExplosionLocalized::CExplosionLocalized(const D3DXVECTOR3& position, CTuber* owner, float damage, CTuber* hitCraft,
                                         int32_t visualIndex, int32_t kind, int32_t)
    : WeRecycled(owner, damage, kind), m_HitCraft(hitCraft), m_VisualIndex(visualIndex)
{
    SetLocation(position);
    const bool known = visualIndex >= 0 && visualIndex < VisualCount;
    Join(ChooseWorld(hitCraft), known ? Visuals[visualIndex].life : 1.0f);

    if (m_World && known)
    {
        switch (visualIndex)
        {
        case 1:
            PlaySound(kind == 5 ? "Sounds.Explosions.Swarmer" : "Sounds.Explosions.StandardRocket", true);
            if (kind == 3)
                PushHitCraft();
            break;
        case 2:
        case 7: PlaySound("Sounds.Explosions.QuantumBolt", true); break;
        case 4:
            PlaySound("Sounds.Explosions.Translocator", true);
            if (m_HitCraft)
            {
                m_HitCraft->m_Translocated = true;
                m_HitCraft->m_TranslocationTimer = 0.0f;
                if (m_Owner)
                {
                    m_Owner->m_Translocated = true;
                    m_Owner->m_TranslocationTimer = 0.0f;
                }
                if ((m_Owner && m_Owner->m_IsPlayer) || m_HitCraft->m_IsPlayer)
                    RequestPostProcessEffect(1, 4, 0.0f, nullptr);
            }
            break;
        case 6:
            PlaySound("Sounds.Explosions.SlowingRocket", true);
            if (m_HitCraft)
                m_HitCraft->m_Slowed = true;
            break;
        case 8: PlaySound("Sounds.Explosions.TuberExplosion", true); break;
        default: break;
        }
        if (Visuals[visualIndex].light)
            m_Light = MakeLight(Visuals[visualIndex].light, StartRange, 1.0f, 0.5f);
    }

    if (m_HitCraft)
        AffectTuber(m_HitCraft);
}

CExplosionLocalized::~CExplosionLocalized()
{
    if (g_WorldDestroying)
        return;
    WeActor* children[] = {m_Light, m_Shockwave, m_ParticleActor};
    for (WeActor* child : children)
    {
        if (!child)
            continue;
        child->Detach();
        child->Expire();
    }
    RequestPostProcessEffect(1, 0, 0.0f, nullptr);
}

void CExplosionLocalized::Tick()
{
    const float dt = g_Timer.m_FrameDeltaF;
    const float age = m_World ? m_World->m_WorldTime - m_SpawnTime : 0.0f;
    const float whole = age + m_LifeTime;
    // A life of 0 has nothing left to fade.
    if (m_Light && whole > 0.0f && m_Light->m_Range >= 0.0f)
        m_Light->m_Range = std::fmax(0.0f, m_Light->m_Range - StartRange / whole * dt);
    WeActor::Tick();
}

void CExplosionLocalized::PushHitCraft()
{
    if (!m_HitCraft)
        return;
    D3DXVECTOR3 d = m_HitCraft->GetWorldPosition() - GetWorldPosition();
    const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    if (length <= 0.0f)
        return;
    d = d * (1000.0f * g_Timer.m_FrameDeltaF / length);
    if (m_HitCraft->IsVulnerable())
    {
        m_HitCraft->AddPendingImpulse(d);
        if (m_HitCraft->m_IsPlayer)
            ShakeChaseCamera(1, 0.2f);
    }
}
