#include "Game/craft/CWeaponDescriptionManager.h"

#include "Engine/foundation/WeBusy.h"
#include "Engine/foundation/WeConfig.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"

CWeaponDescriptionManager g_WeaponDescriptions;

float& CWeaponDescriptionManager::s_FFGFrontDistance = GetConfigFloat("Weapons.FFG.FrontDistance", 30.0f);
float& CWeaponDescriptionManager::s_FFGUpDistance = GetConfigFloat("Weapons.FFG.UpDistance", 0.0f);
float& CWeaponDescriptionManager::s_FFGFieldRadius = GetConfigFloat("Weapons.FFG.FieldRadius", 20.0f);
float& CWeaponDescriptionManager::s_FFGDamageRadius = GetConfigFloat("Weapons.FFG.DamageRadius", 40.0f);
float& CWeaponDescriptionManager::s_FFGPushRadius = GetConfigFloat("Weapons.FFG.PushRadius", 10.0f);
float& CWeaponDescriptionManager::s_FFGFadeInTime = GetConfigFloat("Weapons.FFG.FadeInTime", 1.0f);
float& CWeaponDescriptionManager::s_FFGFadeOutTime = GetConfigFloat("Weapons.FFG.FadeOutTime", 1.0f);
float& CWeaponDescriptionManager::s_DoubleBoltScale = GetConfigFloat("Weapons.DoubleBolt.Scale", 1.0f);
float& CWeaponDescriptionManager::s_PlasmaBoltScale = GetConfigFloat("Weapons.PlasmaBolt.Scale", 1.0f);

namespace
{
const char* const Keywords[CWeaponDescriptionManager::KindCount + 1] = {
    nullptr,          "PlasmaBolt",    "DoubleBolt",      "HomingMissile", "QuantumBolt",
    "Swarmer",        "SlowingRocket", "Translocator",    "Minigun",       "FFG",
    "NuclearWarhead", "ContactMine",   "SingularityMine", "HomingMine",    "ProximityMine",
    "ForceFieldMine", "MotionMine",    "StealthMine",     "NukeMine",      "ElectricMine",
    "EMPMine",        "KestEngine"};
}  // namespace

CWeaponDescriptionManager::CWeaponDescriptionManager() = default;

const char* CWeaponDescriptionManager::GetKeyword(int32_t id)
{
    return id >= 1 && id <= KindCount ? Keywords[id] : nullptr;
}

void CWeaponDescriptionManager::InitNames()
{
    for (int32_t id = 1; id <= KindCount; ++id)
    {
        CWeaponDescription& record = m_Records[id];
        record.m_Id = id;
        record.m_Keyword = Keywords[id];
        record.Load();
    }
}

void CWeaponDescriptionManager::LoadPictures()
{
    InitNames();
    m_Records[0].m_PickupPicture = g_TextureManager.m_DefaultBlack;
    BeginBusy();
    for (int32_t id = 1; id <= KindCount; ++id)
    {
        CWeaponDescription& record = m_Records[id];
        if (id <= PictureKindCount)
        {
            record.m_PickupPicture =
                g_TextureManager.GetTexture(WeString("Pickups.Pictures.") + record.m_Keyword, false, 0, true);
            if (record.m_PickupPicture != nullptr)
                record.m_PickupPicture->SetMinimumQuality(2);
        }
        record.m_FireInterval = record.m_FireRate > 0.0f ? 1.0f / record.m_FireRate : 0.01f;
    }
    EndBusy();
    m_Loaded = true;
}

int32_t CWeaponDescriptionManager::GetIdByName(const WeString& keyword)
{
    if (!m_Loaded)
        LoadPictures();
    if (keyword.IsEmpty())
        return 0;
    for (int32_t id = 1; id < RecordCount; ++id)
        if (m_Records[id].m_Keyword == keyword)
            return id;
    return 0;
}

CWeaponDescription& CWeaponDescriptionManager::Get(int32_t id)
{
    // Readers index by kind id; one out of range gets the no-weapon record rather than memory past the table.
    return id >= 0 && id < RecordCount ? m_Records[id] : m_Records[0];
}
