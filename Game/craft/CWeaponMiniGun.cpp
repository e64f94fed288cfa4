#include "Game/craft/CWeaponMiniGun.h"

#include "Engine/foundation/WeConfig.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponParts.h"
#include "Game/shell/CActorKinds.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/system/SysRandom.h"

namespace
{
// A jitter of (-0.5..0.5) x spread from the engine's generator.
float Jitter(float spread)
{
    return (static_cast<float>(SysRandom::Scaled(32768)) / 32767.0f - 0.5f) * spread;
}
}  // namespace

void CWeaponMiniGun::Launch()
{
    static const float& x1 = GetConfigFloat("tuber.Minigun.X1", 0.0f);
    static const float& y1 = GetConfigFloat("tuber.Minigun.Y1", 0.0f);
    static const float& z1 = GetConfigFloat("tuber.Minigun.Z1", 0.0f);
    static const float& x2 = GetConfigFloat("tuber.Minigun.X2", 0.0f);
    static const float& y2 = GetConfigFloat("tuber.Minigun.Y2", 0.0f);
    static const float& z2 = GetConfigFloat("tuber.Minigun.Z2", 0.0f);
    static const float& spread = GetConfigFloat("tuber.Minigun.Random", 0.5f);
    SetLifeTime(20.0f);
    m_Type = ActorKindProjectile;
    m_Model = WeaponParts::CloneModel("Weapons.Models.MiniGunAmmo");
    m_HasModel = m_Model != nullptr;
    D3DXVECTOR3 offset = m_Side == 1 ? D3DXVECTOR3(x1, y1, z1) : D3DXVECTOR3(x2, y2, z2);
    offset.x += Jitter(spread);
    offset.y += Jitter(spread);
    if (m_Owner)
    {
        D3DXMATRIX launch = m_Owner->m_FrontLaunchMatrix, start;
        launch._41 += offset.x;
        launch._42 += offset.y;
        launch._43 += offset.z;
        D3DXMatrixMultiply(&start, &launch, &m_Owner->GetWorldMatrix());
        SetTransform(start);
    }
    D3DXVECTOR3 direction;
    AimAtTarget(&direction, nullptr, false);
    SetupFlight(&direction, nullptr, 1.0f);
    WeaponParts::PlayNumberedOneShot("Sounds.Weapons.MiniGunShoot", GetWorldPosition());
    if (m_Owner)
        m_Owner->StartMinigunFire();
}

void CWeaponMiniGun::OnCollision(WeActor* other)
{
    StandardImpact(other, 100.0f, true, 3, true);
}
