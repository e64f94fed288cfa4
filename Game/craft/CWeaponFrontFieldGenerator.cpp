#include "Game/craft/CWeaponFrontFieldGenerator.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeModel.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponDescription.h"
#include "Game/craft/CWeaponParts.h"
#include "Game/shell/CActorKinds.h"
#include "Game/shell/CRacePhysics.h"
#include "Platform/math/D3DXMatrixFunctions.h"

namespace
{
struct FieldSettings
{
    const float& frontDistance = GetConfigFloat("Weapons.FFG.FrontDistance", 30.0f);
    const float& upDistance = GetConfigFloat("Weapons.FFG.UpDistance", 0.0f);
    const float& fadeInTime = GetConfigFloat("Weapons.FFG.FadeInTime", 1.0f);
    const float& fadeOutTime = GetConfigFloat("Weapons.FFG.FadeOutTime", 1.0f);
    const float& fieldRadius = GetConfigFloat("Weapons.FFG.FieldRadius", 20.0f);
    const float& damageRadius = GetConfigFloat("Weapons.FFG.DamageRadius", 40.0f);
    const float& pushRadius = GetConfigFloat("Weapons.FFG.PushRadius", 10.0f);
    const float& pushStrength = GetConfigFloat("Weapons.FFG.PushStrength", 250.0f);
};

const FieldSettings& Settings()
{
    static const FieldSettings settings;
    return settings;
}

void SetAlpha(WeActor* actor, float alpha)
{
    if (actor && actor->m_Model)
        actor->m_Model->m_Values[3] = alpha;
}
}  // namespace

CWeaponFrontFieldGenerator::~CWeaponFrontFieldGenerator()
{
    WeActor* trigger = m_TriggerVolume;
    WeaponParts::Release(m_SecondModel);
    WeaponParts::Release(trigger);
    m_TriggerVolume = nullptr;
    WeaponParts::StopSound(m_FieldSound);
}

float CWeaponFrontFieldGenerator::Growth(float age, float remaining, float fadeIn, float fadeOut)
{
    if (age < fadeIn)
        return fadeIn > 0.0f ? age / fadeIn : 1.0f;
    if (remaining < fadeOut)
        return fadeOut > 0.0f ? (remaining > 0.0f ? remaining / fadeOut : 0.0f) : 1.0f;
    return 1.0f;
}

D3DXMATRIX CWeaponFrontFieldGenerator::Placement() const
{
    const FieldSettings& s = Settings();
    D3DXMATRIX ahead, m;
    D3DXMatrixTranslation(&ahead, 0.0f, s.upDistance, s.frontDistance);
    if (!m_Owner)
        return ahead;
    D3DXMatrixMultiply(&m, &ahead, &m_Owner->GetWorldMatrix());
    return m;
}

void CWeaponFrontFieldGenerator::Launch()
{
    const FieldSettings& s = Settings();
    m_Type = ActorKindProjectile;
    m_LifeTime = m_Description ? m_Description->m_FireInterval : 0.01f;
    m_Model = WeaponParts::CloneModel("Weapons.Models.FrontFieldGenerator");
    m_HasModel = m_Model != nullptr;
    SetAlpha(this, 0.0f);
    const D3DXMATRIX m = Placement();
    SetTransform(m);
    SetScaling(D3DXVECTOR3());
    m_PhysicModel.physicsClass = WePhysicsDynamicSphere;
    m_PhysicModel.size = D3DXVECTOR3(s.pushRadius > 0.0f ? s.pushRadius : 0.1f, 0.0f, 0.0f);
    m_PhysicModel.explicitSize = true;
    m_PhysicModel.collisionGroup = 11;
    m_PhysicModel.mass = 10000.0f;
    m_PhysicModel.gravity = false;
    m_FlightVelocity = D3DXVECTOR3();
    if (!m_Owner || !m_Owner->m_World)
        return;
    m_Owner->m_World->AddActor(this);
    SetGravityEnabled(false);
    SetLinearVelocity(D3DXVECTOR3());
    m_SecondModel = WeaponParts::MakeModelActor(this, WeaponParts::CloneModel("Weapons.Models.FrontFieldGenerator"));
    if (m_SecondModel)
    {
        SetAlpha(m_SecondModel, 0.0f);
        m_SecondModel->m_ModelPreset = 1;
        if (m_SecondModel->m_Model)
            m_SecondModel->m_Model->SetPreset(1);
        m_SecondModel->SetScaling(D3DXVECTOR3());
    }
    m_TriggerVolume = WeaponParts::MakeTriggerSphere(this, m, s.damageRadius, 9, 10.0f, 7);
    m_FieldSound = WeaponParts::StartSound("Sounds.Weapons.ForceField", GetWorldPosition(), D3DXVECTOR3(), true);
}

void CWeaponFrontFieldGenerator::Tick()
{
    const FieldSettings& s = Settings();
    const D3DXMATRIX m = Placement();
    SetTransform(m);
    if (m_PhysicHandle)
        m_PhysicHandle->SetPose(m);
    if (m_TriggerVolume)
    {
        m_TriggerVolume->SetTransform(m);
        if (m_TriggerVolume->m_PhysicHandle)
            m_TriggerVolume->m_PhysicHandle->SetPose(m);
    }
    const float age = m_World ? m_World->m_WorldTime - m_SpawnTime : 0.0f;
    const float g = Growth(age, m_LifeTime, s.fadeInTime, s.fadeOutTime);
    const float scale = s.fieldRadius * g;
    SetAlpha(this, g);
    SetAlpha(m_SecondModel, g);
    SetScaling(D3DXVECTOR3(scale, scale, scale));
    if (m_SecondModel)
        m_SecondModel->SetScaling(D3DXVECTOR3(scale, scale, scale));
    WeaponParts::MoveSound(m_FieldSound, GetWorldPosition(), D3DXVECTOR3());
    CWeapon::Tick();
}

void CWeaponFrontFieldGenerator::OnTriggerTouch(WeActor* other, CTrigger* trigger)
{
    const FieldSettings& s = Settings();
    if (!other || other == m_Owner)
        return;
    const float dt = g_Timer.m_FrameDeltaF;
    if (other->m_Type == ActorKindTuber)
    {
        CTuber* craft = static_cast<CTuber*>(other);
        const float multiplier = m_Owner ? m_Owner->m_DamageMultiplier : 1.0f;
        const float damage = (m_Description ? m_Description->m_Damage : 0.0f) * multiplier * dt;
        if (craft->ApplyDamage(damage, m_Owner, m_Kind))
            craft->ShowHitEffect(0, GetWorldPosition(), m_Scale.x);
    }
    if (!IsHittableActor(other))
        return;
    const D3DXVECTOR3 centre = trigger ? trigger->GetWorldPosition() : GetWorldPosition();
    const D3DXVECTOR3 d = other->GetWorldPosition() - centre;
    if (d.x * d.x + d.y * d.y + d.z * d.z > s.pushRadius * s.pushRadius)
        return;
    WeaponParts::PushBody(other, WeaponParts::UnitToward(centre, other->GetWorldPosition()) * (s.pushStrength * dt));
}
