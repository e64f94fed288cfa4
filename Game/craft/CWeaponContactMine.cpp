#include "Game/craft/CWeaponContactMine.h"

#include "Engine/runtime/WeSound3D.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponAssets.h"
#include "Game/craft/CWeaponStealthMine.h"
#include "Game/craft/MineParts.h"

CWeaponContactMine::~CWeaponContactMine()
{
    DeleteMineHum(m_Hum);
}

void CWeaponContactMine::Launch()
{
    static const float White[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    m_BobEnabled = m_SpinEnabled = true;
    PlaceMine(MineDropped(this, "Weapons.Models.ContactMine"), White);
    m_Hum = MakeMineHum("Sounds.Mines.HomingMine", GetWorldPosition());
}

void CWeaponContactMine::OnCollision(WeActor* other)
{
    CWeapon::OnCollision(other);
    if (other)
        CWeaponStealthMine::Detonate(this);  // the same splash; nothing once the base impact spent it
}
