#pragma once
#include <cstdint>

#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeStringList.h"
#include "Game/craft/CAIProfile.h"

// The named computer opponents, each with a craft and a difficulty, and the translated driver names of each
// difficulty. Read once per process, after the craft catalogue. Pointers to the records stay valid while the
// store is not loaded again.
class CAIProfiles
{
public:
    static constexpr int32_t LevelCount = 3;

    // The process-wide store, built on first use.
    static CAIProfiles& Instance();

    CAIProfiles() = default;
    ~CAIProfiles() = default;
    CAIProfiles(const CAIProfiles&) = delete;
    CAIProfiles& operator=(const CAIProfiles&) = delete;

    // The profiles of "AIProfiles.List.Names" (up to the first empty field) and the driver names
    // "AI_<Easy|Medium|Hard>_<n>" (up to the first missing number).
    void Load();
    // Empties the list, then appends every profile of the level (1 to 3) in table order.
    void CollectProfilesOfLevel(WeList<CAIProfile*>& out, int32_t level);
    // Empties `out`, then appends `count` driver names of the level (1 to 3) in random order, never one twice;
    // once the level's names run out (or for any other level) the translation of "UI: AI".
    void PickDriverNames(WeStringList& out, int32_t level, int32_t count);

    WeHashTable<CAIProfile> m_Profiles;
    WeStringList m_DriverNames[LevelCount];  // Easy, Medium, Hard
};

#define g_AIProfiles (CAIProfiles::Instance())
