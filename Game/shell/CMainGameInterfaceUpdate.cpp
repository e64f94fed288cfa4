// The update's steps that follow the player's craft: the heartbeat at low health, the hit sound and the
// cached weapon pictures.
#include "Engine/runtime/WeSound.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/CPickupAnimationWeapon.h"
#include "Game/shell/CRaceSettings.h"

namespace
{

// Below this share of its maximum health the player hears the heartbeat.
constexpr float HeartBeatHealth = 0.2f;

}  // namespace

void CMainGameInterface::UpdateHeartBeat()
{
    if (m_HeartBeatSound == nullptr)
        return;
    const CTuber* craft = g_Game.m_PlayerTuber;
    const bool low = craft != nullptr && !craft->m_Finished && !craft->m_Destroyed && !craft->m_Invulnerable &&
                     craft->m_MaxHealth > 0.0f && craft->m_Health / craft->m_MaxHealth < HeartBeatHealth;
    if (low)
    {
        if (!m_HeartBeatSound->IsPlaying())
        {
            m_HeartBeatSound->Rewind();
            m_HeartBeatSound->Play(true);
        }
    }
    else if (m_HeartBeatSound->IsPlaying())
    {
        m_HeartBeatSound->Pause();
    }
}

void CMainGameInterface::UpdateHitSound()
{
    CTuber* craft = g_Game.m_PlayerTuber;
    if (craft == nullptr || !craft->m_HitRecord)
        return;
    WeSound*& sound = craft->m_Invulnerable ? m_ImmortalHitSound : m_HitSound;
    if (sound == nullptr)
        sound = new WeSound(WeString(craft->m_Invulnerable ? "Sounds.Interface.ImmortalHit" : "Sounds.Interface.Hit"),
                            false);
    sound->Rewind();
    sound->Play(false);
    craft->m_HitRecord = false;
}

void CMainGameInterface::UpdateWeaponPictures()
{
    if (!g_RaceSettings.m_Weapons)
    {
        m_PrimaryPicture = nullptr;
        m_SecondaryPicture = nullptr;
        return;
    }
    const CTuber* craft = g_Game.m_PlayerTuber;
    if (craft == nullptr)
        return;
    const int32_t primary = craft->m_PickupPrimaryKind != 0 ? craft->m_PickupPrimaryKind : craft->m_BuiltInPrimaryKind;
    if (m_PrimaryPicture == nullptr || (primary != 0 && primary != m_PrimaryPictureKind))
    {
        m_PrimaryPicture = GetWeaponPicture(primary);
        m_PrimaryPictureKind = primary;
    }
    const int32_t secondary =
        craft->m_PickupSecondaryKind != 0 ? craft->m_PickupSecondaryKind : craft->m_BuiltInSecondaryKind;
    if (m_SecondaryPicture == nullptr || (secondary != 0 && secondary != m_SecondaryPictureKind))
    {
        m_SecondaryPicture = GetWeaponPicture(secondary);
        m_SecondaryPictureKind = secondary;
    }
}
