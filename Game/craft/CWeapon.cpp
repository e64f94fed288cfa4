#include "Game/craft/CWeapon.h"

#include <cmath>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeMoveTowards.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeLightParams.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponContactMine.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/craft/CWeaponDoubleBolt.h"
#include "Game/craft/CWeaponEMPMine.h"
#include "Game/craft/CWeaponElectricMine.h"
#include "Game/craft/CWeaponForceFieldMine.h"
#include "Game/craft/CWeaponFrontFieldGenerator.h"
#include "Game/craft/CWeaponHomingMine.h"
#include "Game/craft/CWeaponHomingMissile.h"
#include "Game/craft/CWeaponMiniGun.h"
#include "Game/craft/CWeaponMotionMine.h"
#include "Game/craft/CWeaponNuclearWarhead.h"
#include "Game/craft/CWeaponNukeMine.h"
#include "Game/craft/CWeaponPlasmaBolt.h"
#include "Game/craft/CWeaponPreBolt.h"
#include "Game/craft/CWeaponProximityMine.h"
#include "Game/craft/CWeaponQuantumBolt.h"
#include "Game/craft/CWeaponSingularityMine.h"
#include "Game/craft/CWeaponSlowingRocket.h"
#include "Game/craft/CWeaponStealthMine.h"
#include "Game/craft/CWeaponSwarmer.h"
#include "Game/craft/CWeaponTranslocator.h"
#include "Game/shell/CActorKinds.h"
#include "Game/shell/CRacePhysics.h"
#include "Platform/math/D3DXMatrixFunctions.h"

namespace
{
constexpr float Pi = 3.1415927f;

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

D3DXVECTOR3 ForwardOf(const WeActor* actor)
{
    const D3DXMATRIX& m = actor->GetWorldMatrix();
    return D3DXVECTOR3(m._31, m._32, m._33);
}
}  // namespace

CWeapon::CWeapon()
{
    m_LifeTime = 10.0f;
    m_NoLifeTime = false;  // Init files it as timed once it has a world
    m_WantsTick = true;
    m_FurtherSwitch1 = m_FurtherSwitch2 = true;
}

CWeapon::~CWeapon()
{
    if (!g_WorldDestroying)
    {
        ReleaseTarget();
        if (m_Type == ActorKindMine && m_Owner && m_Owner->m_Mines.Contains(this))
            m_Owner->m_Mines.RemoveCurrent();
        WeActor* light = m_MineLight;
        ExpireChild(light);
        m_MineLight = nullptr;
    }
    m_Target = nullptr;
}

void CWeapon::Init()
{
    WeActor::Init();
    if (m_World && !m_NoLifeTime)
        m_World->EnterTimed(this);
}

void CWeapon::ExpireChild(WeActor*& child)
{
    if (!child)
        return;
    child->Detach();
    child->Expire();
    child = nullptr;
}

void CWeapon::Tick()
{
    if (m_Target && m_Target->m_Destroyed)
        ReleaseTarget();
    const float age = m_World ? m_World->m_WorldTime - m_SpawnTime : 0.0f;
    if (m_BobEnabled)
    {
        D3DXVECTOR3 p = m_BasePosition;
        const float offset = std::sin(m_BobFrequency * age) * m_BobAmplitude;
        if (m_BobAxis == 0)
            p.x += offset;
        else if (m_BobAxis == 1)
            p.y += offset;
        else if (m_BobAxis == 2)
            p.z += offset;
        SetLocation(p);
    }
    if (m_SpinEnabled)
    {
        const float angle = m_SpinSpeed * age * Pi;
        D3DXMATRIX r;
        if (m_SpinAxis == 0)
            D3DXMatrixRotationX(&r, angle);
        else if (m_SpinAxis == 2)
            D3DXMatrixRotationZ(&r, angle);
        else
            D3DXMatrixRotationY(&r, angle);
        SetOrientation(r);
    }
    // A static body is never synced from its actor: it follows the bobbing and spinning model by hand.
    if ((m_BobEnabled || m_SpinEnabled) && m_Static && m_PhysicHandle)
        m_PhysicHandle->SetPose(GetWorldMatrix());
    if (m_Type == ActorKindProjectile && m_PhysicHandle)
        m_PhysicHandle->SetLinearVelocity(m_FlightVelocity);
    WeActor::Tick();
}

void CWeapon::OnCollision(WeActor* other)
{
    if (!other || other->m_Type != ActorKindProjectile)
        return;
    m_Spent = true;
    if (m_Parent)
        Detach();
    Expire();
    SetCollisionEnabled(false);
    RequestLocalizedExplosion(GetWorldPosition(), m_Owner, 0.01f, nullptr, 5, m_Kind, 0);
}

void CWeapon::Fire(CTuber* owner, int32_t kind, int32_t alternate)
{
    if (!owner || kind < FirstKind || kind > LastKind)
        return;
    CWeapon* made[2] = {};
    int32_t count = 1;
    switch (kind)
    {
    case 1: made[0] = new CWeaponPlasmaBolt(); break;
    case 2:
        made[0] = new CWeaponDoubleBolt(1);
        made[1] = new CWeaponDoubleBolt(0);
        count = 2;
        break;
    case 3: made[0] = new CWeaponHomingMissile(); break;
    case 4:
        if (alternate != 0)
            made[0] = new CWeaponQuantumBolt();
        else
            made[0] = new CWeaponPreBolt();
        break;
    case 5: made[0] = new CWeaponSwarmer(alternate); break;
    case 6: made[0] = new CWeaponSlowingRocket(); break;
    case 7: made[0] = new CWeaponTranslocator(); break;
    case 8:
        made[0] = new CWeaponMiniGun(owner->m_MinigunSide ? 1 : 0);
        owner->m_MinigunSide = !owner->m_MinigunSide;
        break;
    case 9: made[0] = new CWeaponFrontFieldGenerator(); break;
    case 10: made[0] = new CWeaponNuclearWarhead(); break;
    case 11: made[0] = new CWeaponContactMine(); break;
    case 12: made[0] = new CWeaponSingularityMine(); break;
    case 13: made[0] = new CWeaponHomingMine(); break;
    case 14: made[0] = new CWeaponProximityMine(); break;
    case 15: made[0] = new CWeaponForceFieldMine(); break;
    case 16: made[0] = new CWeaponMotionMine(); break;
    case 17: made[0] = new CWeaponStealthMine(); break;
    case 18: made[0] = new CWeaponNukeMine(); break;
    case 19: made[0] = new CWeaponElectricMine(); break;
    default: made[0] = new CWeaponEMPMine(); break;
    }
    for (int32_t i = 0; i < count; ++i)
    {
        CWeapon* w = made[i];
        w->m_Kind = kind;
        w->m_Owner = owner;
        w->m_Description = &g_WeaponDescriptions.Get(kind);
        w->Launch();
        if (kind == 3 || kind == 5 || kind == 6 || kind == 7)
            w->SetTarget(nullptr);
        if (w->m_Type == ActorKindMine)
            owner->m_Mines.PushBack(w);
        if (owner->m_PhysicHandle && w->m_PhysicHandle && w->m_Type == ActorKindProjectile)
            g_Physics.IgnoreActorPair(owner, w);
    }
}

void CWeapon::AimAtTarget(D3DXVECTOR3* outDirection, CTuber** outTarget, bool backwards)
{
    CTuber* target = nullptr;
    D3DXVECTOR3 direction(0.0f, 0.0f, 1.0f);
    if (m_Owner)
    {
        const float distance = GetConfigFloat("tuber.Weapons.BoltLockDistance", 500.0f);
        const float minDot = GetConfigFloat("tuber.Weapons.BoltLockMinDot", 0.995f);
        target = m_Owner->FindTarget(distance, minDot, backwards, 0);
        direction = ForwardOf(m_Owner);
        if (target)
        {
            const D3DXVECTOR3 d = target->GetWorldPosition() - m_Owner->GetWorldPosition();
            const float length = Length(d);
            if (length > 0.0f)
                direction = d / length;
        }
    }
    if (outTarget)
        *outTarget = target;
    if (outDirection)
        *outDirection = direction;
}

void CWeapon::SetupFlight(const D3DXVECTOR3* direction, const D3DXVECTOR3* angularVelocity, float boxSize)
{
    const D3DXVECTOR3 d = direction ? *direction : ForwardOf(this);
    m_FlightVelocity = d * (m_Description ? m_Description->m_Speed : 0.0f);
    m_PhysicModel.linearVelocity = m_FlightVelocity;
    m_PhysicModel.angularVelocity = angularVelocity ? *angularVelocity : D3DXVECTOR3();
    m_PhysicModel.physicsClass = WePhysicsDynamicBox;
    m_PhysicModel.size = D3DXVECTOR3(boxSize, boxSize, boxSize);
    m_PhysicModel.explicitSize = true;
    m_PhysicModel.collisionGroup = 3;
    m_PhysicModel.shapeFlags = 1;
    m_PhysicModel.mass = 0.1f;
    m_PhysicModel.material = g_Physics.GetMaterialIndex(1);
    m_PhysicModel.gravity = false;
    if (m_Owner && m_Owner->m_World)
        m_Owner->m_World->AddActor(this);
    SetGravityEnabled(false);
}

void CWeapon::SteerToward(CTuber* target)
{
    if (!target || !m_Owner || !m_Owner->IsEnemy(target))
        return;
    D3DXVECTOR3 d = target->GetWorldPosition() - GetWorldPosition();
    const float length = Length(d);
    if (length <= 0.0f)
        return;
    d = d / length;
    const D3DXVECTOR3 f = ForwardOf(this);
    const float c = d.x * f.x + d.y * f.y + d.z * f.z;
    if (!(c > 0.7f && c < 1.0f))
        return;
    const D3DXVECTOR3 desired = d * (m_Description ? m_Description->m_Speed : 0.0f);
    MoveTowards(m_FlightVelocity, desired, 0.0f, 10.0f, g_Timer.m_FrameDeltaF);
}

void CWeapon::SetTarget(CTuber* target)
{
    if (!target)
    {
        if (!m_Owner || !m_Owner->m_LockTarget || m_Owner->m_LockLevel != 1.0f)
            return;
        target = m_Owner->m_LockTarget;
    }
    if (target == m_Target)
        return;
    // A weapon is in one craft's list at most: leaving the old one first keeps no stale entry behind.
    ReleaseTarget();
    m_Target = target;
    target->m_IncomingWeapons.PushBack(this);
}

void CWeapon::ReleaseTarget()
{
    if (!m_Target)
        return;
    CTuber* target = m_Target;
    m_Target = nullptr;
    if (target->m_IncomingWeapons.Contains(this))
        target->m_IncomingWeapons.RemoveCurrent();
    target->FindNearestIncomingWeapon();
}

void CWeapon::PlaceMine(WeModel* model, const float* lightColour)
{
    m_Type = ActorKindMine;
    m_LifeTime = 20.0f;
    m_NoLifeTime = false;
    if (model)
        m_Model = g_ModelManager.Clone(model);
    if (m_Owner)
    {
        D3DXMATRIX drop, step, placement;
        D3DXMatrixTranslation(&drop, 0.0f, 0.0f, -m_DropDistance);
        D3DXMatrixMultiply(&step, &drop, &m_Owner->m_RearLaunchMatrix);
        D3DXMatrixMultiply(&placement, &step, &m_Owner->GetWorldMatrix());
        if (m_AlignToPath && m_Owner->m_CurrentNode)
        {
            const D3DXMATRIX& n = m_Owner->m_CurrentNode->GetWorldMatrix();
            placement._11 = n._11, placement._12 = n._12, placement._13 = n._13;
            placement._21 = n._21, placement._22 = n._22, placement._23 = n._23;
            placement._31 = n._31, placement._32 = n._32, placement._33 = n._33;
        }
        SetTransform(placement);
    }
    m_PhysicModel.explicitSize = true;
    m_PhysicModel.physicsClass = m_Dynamic ? WePhysicsDynamicBox : WePhysicsStaticBox;
    m_PhysicModel.size = m_CustomBox ? m_BoxSize : D3DXVECTOR3(1.5f, 1.5f, 1.5f);
    m_PhysicModel.mass = 0.1f;
    m_PhysicModel.shapeFlags = 1;
    if (m_PhysicModel.collisionGroup == 0)
        m_PhysicModel.collisionGroup = 4;
    m_PhysicModel.gravity = false;
    m_Static = !m_Dynamic;
    if (m_Owner && m_Owner->m_World)
        m_Owner->m_World->AddActor(this);
    SetGravityEnabled(false);

    if (m_World && lightColour && GetConfigBool("Weapons.MineLight.Enabled", true))
    {
        WeLight* light = new WeLight();
        light->m_Kind = 2;
        light->m_Range = 40.0f;
        light->m_Dynamic = true;
        WeLightParams key;
        for (int i = 0; i < 4; ++i)
            key.color[i] = lightColour[i];
        key.duration = 1.0f;
        light->AddTimedKeyFrame(key, 1.0f, true);
        light->SetParent(this);
        m_World->AddActor(light);
        m_MineLight = light;
    }
    m_BasePosition = GetWorldPosition();
    if (m_World && m_Owner && m_Owner->m_CurrentNode)
    {
        D3DXVECTOR3 projected = m_BasePosition;
        WePathNode* node = nullptr;
        WePathNode* next = nullptr;
        m_World->FindTrackPosition(m_BasePosition, &node, &next, nullptr, nullptr, &projected, m_Owner->m_CurrentNode);
        const D3DXVECTOR3 d = projected - m_BasePosition;
        const float length = Length(d);
        // A mine on the centre line has no direction to it.
        m_TrackDirection = length > 0.0f ? d / length : D3DXVECTOR3();
        m_TrackFraction = m_Owner->m_CurrentNode->m_Fraction;
    }
}

void CWeapon::StartAtMuzzle()
{
    m_Type = ActorKindProjectile;
    if (!m_Owner)
        return;
    D3DXMATRIX start;
    D3DXMatrixMultiply(&start, &m_Owner->m_FrontLaunchMatrix, &m_Owner->GetWorldMatrix());
    SetTransform(start);
}

void CWeapon::StandardImpact(WeActor* other, float push, bool requestBack, int32_t visualIndex, bool baseAfter)
{
    if (m_Spent || !other || other == m_Owner)
        return;
    if (m_Parent)
        Detach();
    Expire();
    SetCollisionEnabled(false);
    m_Spent = true;
    const D3DXVECTOR3 forward = ForwardOf(this);
    CTuber* hit = nullptr;
    if (other->m_Type == ActorKindTuber)
        hit = static_cast<CTuber*>(other);
    else if (other->m_PhysicHandle && IsHittableActor(other))
        other->m_PhysicHandle->AddVelocityChange(forward * push, false);
    D3DXVECTOR3 at = GetWorldPosition();
    if (requestBack)
        at = at - forward;
    RequestLocalizedExplosion(at, m_Owner, m_Description ? m_Description->m_Damage : 0.0f, hit, visualIndex, m_Kind, 0);
    if (baseAfter)
        CWeapon::OnCollision(other);
}

void CWeapon::LeaveAtOnce()
{
    if (m_Owner && m_Owner->m_World)
        m_Owner->m_World->AddActor(this);
    Expire();
}
