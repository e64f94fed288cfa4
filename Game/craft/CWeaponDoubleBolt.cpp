#include "Game/craft/CWeaponDoubleBolt.h"

#include "Engine/foundation/WeConfig.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponParts.h"
#include "Platform/math/D3DXMatrixFunctions.h"

void CWeaponDoubleBolt::Launch()
{
    static const float& scale = GetConfigFloat("Weapons.DoubleBolt.Scale", 1.0f);
    static const float& frontFire = GetConfigFloat("tuber.Weapons.FrontFireDistance", 4.0f);
    m_Model = WeaponParts::CloneModel("Weapons.Models.DoubleBolt");
    m_HasModel = m_Model != nullptr;
    D3DXVECTOR3 direction;
    AimAtTarget(&direction, nullptr, m_Side == 0);
    StartAtMuzzle();
    if (m_Side == 0 && m_Owner)
    {
        D3DXMATRIX back, start;
        D3DXMatrixTranslation(&back, 0.0f, 0.0f, -frontFire);
        D3DXMatrixMultiply(&start, &back, &m_Owner->GetWorldMatrix());
        SetTransform(start);
    }
    SetScaling(D3DXVECTOR3(scale, scale, scale));
    SetupFlight(&direction, nullptr, 2.0f);
    if (m_Side == 1 && m_Owner)
        WeaponParts::PlayNumberedOneShot("Sounds.Weapons.StandardBolt", m_Owner->GetWorldPosition());
}

void CWeaponDoubleBolt::OnCollision(WeActor* other)
{
    if (m_Side != 0)
    {
        StandardImpact(other, 100.0f, false, 0, false);
        return;
    }
    // The rear bolt pushes along its negated forward axis: the body is thrown back, away from the craft.
    StandardImpact(other, -100.0f, false, 0, false);
}
