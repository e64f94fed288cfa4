#include "Game/craft/CWeaponSingularityMine.h"

#include <algorithm>
#include <cmath>

#include "Engine/foundation/WeTimer.h"
#include "Engine/runtime/WeSound3D.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberDescription.h"
#include "Game/craft/CTuberSetting.h"
#include "Game/craft/CWeaponAssets.h"
#include "Game/craft/CWeaponDescription.h"
#include "Game/craft/MineParts.h"
#include "Game/shell/CActorKinds.h"
#include "Game/shell/CRacePhysics.h"

namespace
{
// Below this a distance or a speed has no direction worth keeping.
constexpr float Epsilon = 1e-4f;

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}
}  // namespace

CWeaponSingularityMine::~CWeaponSingularityMine()
{
    ExpireMineTrigger(m_Trigger);
    if (!g_WorldDestroying)
        for (WeNewParticleSystem*& system : m_Particles)
        {
            WeActor* child = system;
            ExpireChild(child);
        }
    for (WeNewParticleSystem*& system : m_Particles)
        system = nullptr;
    DeleteMineHum(m_Hum);
}

void CWeaponSingularityMine::Launch()
{
    static const float White[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    m_BobEnabled = m_SpinEnabled = true;
    m_PhysicModel.collisionGroup = 12;
    PlaceMine(MineDropped(this, "Weapons.Models.SingularityMine"), White);
    m_Trigger = MakeMineTriggerSphere(this, m_Description ? m_Description->m_EffectiveRadius : 0.0f, 8);
    m_Hum = MakeMineHum("Sounds.Mines.GravityMine", GetWorldPosition());
    if (m_World)
        for (int i = 0; i < 3; ++i)
        {
            static const char* const Names[3] = {"Assets.Weapons.GravityMine1", "Assets.Weapons.GravityMine2",
                                                 "Assets.Weapons.GravityMine3"};
            WeNewParticleSystem* templ = g_WeaponAssets.Particles(Names[i]);
            if (!templ)
                continue;
            WeNewParticleSystem* system = new WeNewParticleSystem();
            templ->CopyTo(system);
            system->SetParent(this);
            m_World->AddActor(system);
            m_Particles[i] = system;
        }
    m_CycleState = 0;
    m_CyclePeriod = 0.0f;
    m_CycleTimer = 1.0f;
}

void CWeaponSingularityMine::Tick()
{
    m_CycleTimer += g_Timer.m_FrameDeltaF;
    if (m_CycleTimer >= m_CyclePeriod)
    {
        const float activation = m_Description ? m_Description->m_ActivationTime : 0.0f;
        if (m_CycleState == 0)
        {
            if (MineAge(this) >= activation)
            {
                m_CycleTimer = 0.0f;
                m_CycleState = 1;
                m_CyclePeriod = 0.0f;
            }
        }
        else
        {
            m_CycleTimer = 0.0f;
            if (m_CycleState == 1)
                m_CycleState = 2, m_CyclePeriod = 5.0f;
            else if (m_CycleState == 2)
                m_CycleState = 3, m_CyclePeriod = 0.2f;
            else
                m_CycleState = 1, m_CyclePeriod = 0.0f;
        }
    }
    CWeapon::Tick();
}

void CWeaponSingularityMine::OnCollision(WeActor* other)
{
    CWeapon::OnCollision(other);
}

void CWeaponSingularityMine::OnTriggerTouch(WeActor* other, CTrigger*)
{
    if (m_Spent || !other || !m_Description || MineAge(this) < m_Description->m_ActivationTime)
        return;
    static const CTuberSetting pullSpeed("Weapons.SingularityMine.PullSpeed", 300.0f);
    static const CTuberSetting pushSpeed("Weapons.SingularityMine.PushSpeed", 200.0f);
    static const CTuberSetting tuberPullSpeed("Weapons.SingularityMine.TuberPullSpeed", 100.0f);
    static const CTuberSetting minTuberSpeedCoef("Weapons.SingularityMine.MinTuberSpeedCoef", 0.25f);
    static const CTuberSetting minDistance("Weapons.SingularityMine.MinDistance", 2.0f);
    const D3DXVECTOR3 d = GetWorldPosition() - other->GetWorldPosition();
    const float dist = Length(d);
    const float r = m_Description->m_EffectiveRadius;
    const float dt = g_Timer.m_FrameDeltaF;

    if (other->m_Type == ActorKindTuber)
    {
        CTuber* craft = static_cast<CTuber*>(other);
        const D3DXVECTOR3 v = craft->m_PendingLinearVelocity;
        const float s = Length(v);
        const float sMin = (craft->m_Description ? craft->m_Description->m_Speed : 0.0f) * minTuberSpeedCoef.Get();
        if (s < sMin || s <= Epsilon)
            return;
        const float low = minDistance.Get();
        const float m = std::max(dist, low);
        // A craft whose box only reaches into the sphere is farther than the radius: it is braked not at all,
        // rather than sped up; a radius inside the full-strength distance brakes at full strength everywhere.
        const float strength = r > low ? std::clamp(1.0f - (m - low) / (r - low), 0.0f, 1.0f) : 1.0f;
        const float braked = std::max(s - strength * tuberPullSpeed.Get() * dt, sMin);
        craft->SetLinearVelocity(v * (braked / s));
        return;
    }
    if ((m_CycleState != 2 && m_CycleState != 3) || dist <= Epsilon || !(r > 0.0f))
        return;
    if (!IsHittableActor(other) || !other->m_PhysicHandle)
        return;
    const D3DXVECTOR3 u = d / dist;
    D3DXVECTOR3 v;
    other->m_PhysicHandle->GetLinearVelocity(v);
    D3DXVECTOR3 dv;
    float cap = 0.0f;
    if (m_CycleState == 2)
    {
        dv = u * (dist / r * pullSpeed.Get() * dt);
        cap = 10000.0f;
    }
    else
    {
        dv = -u * (std::max(1.0f - dist / r, 0.0f) * pushSpeed.Get() * dt);
        cap = 3000.0f;
    }
    const D3DXVECTOR3 next = v + dv;
    if (next.x * next.x + next.y * next.y + next.z * next.z > cap)
        return;
    other->m_PhysicHandle->AddVelocityChange(dv, false);
}
