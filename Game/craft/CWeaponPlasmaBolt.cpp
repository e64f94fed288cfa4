#include "Game/craft/CWeaponPlasmaBolt.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/render/WeModelManager.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/COneShotSounds.h"
#include "Platform/system/SysRandom.h"

void CWeaponPlasmaBolt::Launch()
{
    m_Model = g_ModelManager.Load("Weapons.Models.StandardLaser", 0);
    if (!m_Model)
        DebugLogPrintf("plasma bolt: model Weapons.Models.StandardLaser is missing");
    m_HasModel = m_Model != nullptr;
    D3DXVECTOR3 direction;
    AimAtTarget(&direction, nullptr, false);
    StartAtMuzzle();
    const float scale = GetConfigFloat("Weapons.PlasmaBolt.Scale", 1.0f);
    SetScaling(D3DXVECTOR3(scale, scale, scale));
    SetupFlight(&direction, nullptr, 2.0f);
    WeString sound("Sounds.Weapons.StandardBolt");
    sound.AppendInt(SysRandom::Scaled(3) + 1);
    if (m_Owner)
        PlayOneShotSound3D(sound, m_Owner->GetWorldPosition(), D3DXVECTOR3(), 100.0f);
}

void CWeaponPlasmaBolt::OnCollision(WeActor* other)
{
    StandardImpact(other, 100.0f, false, 0, true);
}
