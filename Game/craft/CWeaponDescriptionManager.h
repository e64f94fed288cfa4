#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"
#include "Game/craft/CWeaponDescription.h"

// The records of the weapon kinds 1 to 21 by kind id; 0 is no weapon and 22 (collision damage) has none.
// A record's address is stable for the program's life.
class CWeaponDescriptionManager
{
public:
    static constexpr int32_t RecordCount = 23;
    static constexpr int32_t KindCount = 21;
    static constexpr int32_t PictureKindCount = 20;

    CWeaponDescriptionManager();
    ~CWeaponDescriptionManager() = default;
    CWeaponDescriptionManager(const CWeaponDescriptionManager&) = delete;
    CWeaponDescriptionManager& operator=(const CWeaponDescriptionManager&) = delete;

    // Fills every record and its picture; again reloads them.
    void LoadPictures();
    void InitNames();
    // The kind id of the keyword (case-sensitive), 0 for none; loads the table first if needed.
    int32_t GetIdByName(const WeString& keyword);
    // The record of a kind id; record 0 for an id outside 0..22.
    CWeaponDescription& Get(int32_t id);
    bool IsLoaded() const { return m_Loaded; }
    // The keyword of kind 1..21, or null.
    static const char* GetKeyword(int32_t id);

    // Bound before the entry function; the weapon kinds read them each time.
    static float& s_FFGFrontDistance;
    static float& s_FFGUpDistance;
    static float& s_FFGFieldRadius;
    static float& s_FFGDamageRadius;
    static float& s_FFGPushRadius;
    static float& s_FFGFadeInTime;
    static float& s_FFGFadeOutTime;
    static float& s_DoubleBoltScale;
    static float& s_PlasmaBoltScale;

    bool m_Loaded = false;
    CWeaponDescription m_Records[RecordCount];
};

extern CWeaponDescriptionManager g_WeaponDescriptions;
