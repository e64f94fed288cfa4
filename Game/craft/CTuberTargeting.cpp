#include <algorithm>
#include <cmath>

#include "Engine/foundation/WeTimer.h"
#include "Engine/runtime/WeSound.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberBoundKeys.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/PathNodeFields.h"

namespace
{
constexpr float LockRange = 500.0f;
// Closer than this a rival has no direction to aim along.
constexpr float MinTargetDistance = 0.001f;
constexpr int32_t RaceStatePaused = 6;

D3DXVECTOR3 Forward(const CTuber* craft)
{
    const D3DXMATRIX& m = craft->GetWorldMatrix();
    return D3DXVECTOR3(m._31, m._32, m._33);
}

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

int32_t ClampAmmo(int32_t n)
{
    return std::clamp(n, 0, 999);
}

// A rival this craft may aim at: racing, fully visible, alive, not finished and of another team.
bool IsRival(const CTuber* self, const CTuber* other)
{
    return other && other != self && other->m_Visibility >= 1.0f && !other->m_Destroyed && !other->m_Finished &&
           !self->IsSameTeam(other);
}
}  // namespace

int32_t GetAbilityPickupKind(int32_t type)
{
    switch (type)
    {
    case 0: return 10029;
    case 1: return 10030;
    case 3: return 10031;
    default: return 10032;
    }
}

bool CTuber::IsSameTeam(const CTuber* other) const
{
    return other && m_Participant && other->m_Participant &&
           m_Participant->m_StartPlace == other->m_Participant->m_StartPlace;
}

bool CTuber::IsEnemy(const CTuber* other) const
{
    return IsRival(this, other);
}

bool CTuber::IsVulnerable() const
{
    return !m_Destroyed && !m_Finished && !m_Invulnerable;
}

CTuber* CTuber::FindTarget(float maxDistance, float minDot, bool backwards, int32_t kindMask)
{
    const D3DXVECTOR3 own = GetWorldPosition();
    D3DXVECTOR3 aim = Forward(this);
    if (backwards)
        aim = -aim;
    CTuber* nearest = nullptr;
    float nearestDistance = maxDistance + 10.0f;
    CTuber* byKind[5] = {};
    float byKindDistance[5];
    std::fill(std::begin(byKindDistance), std::end(byKindDistance), maxDistance + 10.0f);
    for (int32_t slot = 0; slot < 6; ++slot)
    {
        CRaceParticipant* p = g_RaceSettings.m_Participants[slot];
        if (!p || p->m_Kind < 1 || p->m_Kind > 4 || !IsRival(this, p->m_Craft))
            continue;
        CTuber* other = p->m_Craft;
        const D3DXVECTOR3 d = other->GetWorldPosition() - own;
        const float distance = Length(d);
        if (distance > maxDistance || distance < MinTargetDistance)
            continue;
        if (Dot(aim, d / distance) < minDot)
            continue;
        if (distance < nearestDistance)
        {
            nearest = other;
            nearestDistance = distance;
        }
        if (distance < byKindDistance[p->m_Kind])
        {
            byKind[p->m_Kind] = other;
            byKindDistance[p->m_Kind] = distance;
        }
    }
    if (kindMask == 0)
        return nearest;
    // Bit 0 human, then Easy, Medium and Hard.
    const int32_t kinds[4] = {4, 1, 2, 3};
    for (int32_t bit = 0; bit < 4; ++bit)
        if ((kindMask & (1 << bit)) && byKind[kinds[bit]])
            return byKind[kinds[bit]];
    return nullptr;
}

CTuber* CTuber::FindLockCandidate()
{
    if (!g_RaceSettings.m_Weapons)
        return nullptr;
    const D3DXVECTOR3 own = GetWorldPosition();
    const D3DXVECTOR3 forward = Forward(this);
    CTuber* best = nullptr;
    float bestDot = TuberBoundKeys().minLockDot.Get();
    for (int32_t slot = 0; slot < 6; ++slot)
    {
        CRaceParticipant* p = g_RaceSettings.m_Participants[slot];
        if (!p || p->m_Kind < 1 || p->m_Kind > 4 || !IsRival(this, p->m_Craft))
            continue;
        const D3DXVECTOR3 d = p->m_Craft->GetWorldPosition() - own;
        const float distance = Length(d);
        if (distance > LockRange || distance < MinTargetDistance)
            continue;
        const float dot = Dot(forward, d / distance);
        if (dot > bestDot)
        {
            best = p->m_Craft;
            bestDot = dot;
        }
    }
    return best;
}

bool CTuber::IsLockValid()
{
    CTuber* target = m_LockTarget;
    // A target that is not fully visible can no longer be held, partly locked or not.
    if (!target || target->m_Destroyed || target->m_Finished || target->m_Visibility < 1.0f)
        return false;
    const int32_t ownBranch = m_CurrentNode ? PathNodeFields::GetBranchTag(*m_CurrentNode) : 0;
    const int32_t targetBranch = target->m_CurrentNode ? PathNodeFields::GetBranchTag(*target->m_CurrentNode) : 0;
    if (ownBranch != 0 && targetBranch != 0 && ownBranch != targetBranch)
        return false;
    if (GetPrimaryWeaponKind() != m_LockWeaponKind)
        return false;
    const D3DXVECTOR3 d = target->GetWorldPosition() - GetWorldPosition();
    const float distance = Length(d);
    if (distance > LockRange || distance < MinTargetDistance)
        return false;
    return Dot(Forward(this), d / distance) >= TuberBoundKeys().minLockDot.Get();
}

void CTuber::ClearLock()
{
    if (m_LockTarget)
        m_LockTarget->m_FullyLocked = false;
    m_LockTarget = nullptr;
    m_LockWeaponKind = 0;
    m_LockLevel = m_LockDuration = m_LockTimer = 0.0f;
}

void CTuber::UpdateLocking()
{
    if (CurrentRaceState() == RaceStatePaused)
        return;
    if (!WeaponsSafetyLockExpired())
    {
        ClearLock();
        return;
    }
    if (m_Visibility < 1.0f && m_FullyLocked)
    {
        m_FullyLocked = false;
        for (int32_t slot = 0; slot < 6; ++slot)
        {
            CRaceParticipant* p = g_RaceSettings.m_Participants[slot];
            if (p && p->m_Craft && p->m_Craft->m_LockTarget == this)
                p->m_Craft->ClearLock();
        }
    }
    const int32_t kind = GetPrimaryWeaponKind();
    const int32_t ammo = m_PickupPrimaryKind != 0 ? m_PickupPrimaryAmmo : m_BuiltInPrimaryAmmo;
    if (ammo < 1)
    {
        ClearLock();
        return;
    }
    const float lockTime = g_WeaponDescriptions.Get(kind).m_HomingLockTime;
    if (m_Finished || m_Destroyed || !(lockTime > 0.0f))
    {
        ClearLock();
        return;
    }
    if (!m_LockTarget)
    {
        m_LockTarget = FindLockCandidate();
        if (m_LockTarget)
            m_LockWeaponKind = kind;
        return;
    }
    if (!IsLockValid())
    {
        ClearLock();
        return;
    }
    m_LockTimer += g_Timer.m_FrameDeltaF;
    m_LockDuration = lockTime;
    m_LockLevel = std::min(m_LockTimer / m_LockDuration, 1.0f);
    if (m_LockLevel >= 1.0f)
        m_LockTarget->m_FullyLocked = true;
    if (!m_IsPlayer)
        return;
    if (m_LockLevel < 1.0f)
    {
        if (!m_LockingSound)
            m_LockingSound = new WeSound("Sounds.Interface.Locking", false);
        if (!m_LockingSound->IsPlaying())
            m_LockingSound->Play(true);
        s_LockingHeard = true;
    }
    else if (s_LockingHeard)
    {
        if (m_LockingSound)
            m_LockingSound->Stop();
        if (!m_LockedSound)
            m_LockedSound = new WeSound("Sounds.Interface.Locked", false);
        m_LockedSound->Play(false);
        s_LockingHeard = false;
    }
}

int32_t CTuber::GetPrimaryWeaponKind() const
{
    return m_PickupPrimaryKind != 0 ? m_PickupPrimaryKind : m_BuiltInPrimaryKind;
}

int32_t CTuber::GetSecondaryWeaponKind() const
{
    return m_PickupSecondaryKind != 0 ? m_PickupSecondaryKind : m_BuiltInSecondaryKind;
}

void CTuber::SetPrimaryAmmo(int32_t n)
{
    m_BuiltInPrimaryAmmo = ClampAmmo(n);
}

void CTuber::SetSecondaryAmmo(int32_t n)
{
    m_BuiltInSecondaryAmmo = ClampAmmo(n);
}

void CTuber::SetPickupPrimaryAmmo(int32_t n)
{
    m_PickupPrimaryAmmo = ClampAmmo(n);
}

void CTuber::SetPickupSecondaryAmmo(int32_t n)
{
    m_PickupSecondaryAmmo = ClampAmmo(n);
}

void CTuber::StartMinigunFire()
{
    static const float MinigunFlashSeconds = 0.1f;
    m_MinigunFireTimer = MinigunFlashSeconds;
    m_MinigunLightTimer = MinigunFlashSeconds;
}
