#include "Game/craft/CWeaponPreBolt.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeLightParams.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponParts.h"
#include "Game/shell/CActorKinds.h"
#include "Game/shell/CGameCamera.h"
#include "Game/shell/CGameGlobals.h"

CWeaponPreBolt::~CWeaponPreBolt()
{
    WeActor* light = m_Light;
    WeActor* particles = m_Particles;
    WeaponParts::Release(light);
    WeaponParts::Release(particles);
    m_Light = nullptr;
    m_Particles = nullptr;
    WeaponParts::StopSound(m_ChargeSound);
}

void CWeaponPreBolt::Launch()
{
    static const float& frontFire = GetConfigFloat("tuber.Weapons.FrontFireDistance", 4.0f);
    m_Type = ActorKindProjectile;
    m_HasModel = false;
    m_HasPhysics = false;
    // Held until it fires or cancels; set before joining the world, so the world never times it.
    m_NoLifeTime = true;
    if (!m_Owner || !m_Owner->m_World)
        return;
    SetParent(m_Owner);
    SetLocation(D3DXVECTOR3(0.0f, 0.0f, 0.4f * frontFire));
    m_Owner->m_World->AddActor(this);
    if (GetConfigBool("Weapons.Light.Enabled", true))
    {
        WeLight* light = new WeLight();
        light->m_Kind = 2;
        light->m_Range = 200.0f;
        WeLightParams key;
        key.color[0] = 0.0f, key.color[1] = 1.0f, key.color[2] = 0.0f, key.color[3] = 1.0f;
        key.intensity = 0.0f;
        light->AddTimedKeyFrame(key, 1.0f, true);
        light->SetParent(this);
        m_World->AddActor(light);
        m_Light = light;
    }
    m_Particles = WeaponParts::CopyParticles(this, "Assets.Weapons.QuantumPrefire", false);
    SetScaling(D3DXVECTOR3(10.0f, 10.0f, 10.0f));
    m_ChargeTime = 1.0f;
    m_Elapsed = 0.0f;
    m_ChargeSound = WeaponParts::StartSound("Sounds.Weapons.QuantumPrefire", GetWorldPosition(), D3DXVECTOR3(), false);
    if (m_Owner->m_IsPlayer && g_Game.m_Camera)
        g_Game.m_Camera->Shake(CGameCamera::RisingShake, m_ChargeTime);
}

void CWeaponPreBolt::Cancel()
{
    if (m_Parent)
        Detach();
    Expire();
    m_Spent = true;
}

void CWeaponPreBolt::Tick()
{
    if (m_Spent)
        return;
    // A craft that died during the charge fires nothing from its wreck.
    if (!m_Owner || m_Owner->m_Destroyed)
    {
        Cancel();
        return;
    }
    m_Elapsed += g_Timer.m_FrameDeltaF;
    WeaponParts::MoveSound(m_ChargeSound, GetWorldPosition(), D3DXVECTOR3());
    if (m_Elapsed >= m_ChargeTime)
    {
        CWeapon::Fire(m_Owner, 4, 1);
        Cancel();
        return;
    }
    const float progress = m_ChargeTime > 0.0f ? m_Elapsed / m_ChargeTime : 1.0f;
    const float scale = (1.0f - 0.7f * progress) * 10.0f;
    SetScaling(D3DXVECTOR3(scale, scale, scale));
    if (m_Light && m_Light->m_KeyFrames.FirstNode())
    {
        m_Light->m_KeyFrames.Front().intensity = progress;
        m_Light->m_AnimationTime = 0.0f;
    }
    CWeapon::Tick();
    if (m_Owner->m_Finished)
        Cancel();
}
