#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"
#include "Game/screens/CProfileRaceSlot.h"

class CInputBindings;
class WeFileStream;

// A named player: his own input bindings, the craft he last chose and the set-up of his last single race.
// The profile store owns every profile and keeps them all in one file.
class CProfile
{
public:
    static constexpr int32_t SlotCount = 6;
    // The record version this code writes.
    static constexpr int32_t RecordVersion = 21;

    CProfile();
    virtual ~CProfile();
    CProfile(const CProfile&) = delete;
    CProfile& operator=(const CProfile&) = delete;

    // One profile record. Save returns false when a write failed.
    bool Save(WeFileStream& stream) const;
    // Reads a record of any version this game ever wrote; fields the version does not carry keep their
    // values. Returns false when the record could not be read whole (the stream ended inside it).
    bool Load(WeFileStream& stream);

    // Replaces the bindings by the given set, which the profile then owns (null gives a default set).
    void SetBindings(CInputBindings* bindings);

    // Drops the bytes below 0x20 from a name, so that no stored name carries the text markup's control
    // bytes onto the screens that draw it.
    static WeString CleanName(const WeString& name);

    WeString m_Name = "Player";
    CInputBindings* m_Bindings = nullptr;
    WeString m_LastMap;
    WeString m_LastCraft;
    CProfileRaceSlot m_RaceSlots[SlotCount];
    uint8_t m_Weapons = 1;
    // Stored and read, used by nothing else.
    uint8_t m_Reserved = 1;
    int32_t m_LapCount = 3;
    // 0 standard race, 1 time trial, 2 last one.
    int32_t m_RaceType = 0;
    uint8_t m_Dynamics = 1;
    uint8_t m_UnlimitedTurbo = 0;
    // 1 easy, 2 medium, 3 hard.
    int32_t m_Difficulty = 1;
    // Per slot: the computer opponent of the slot is drawn at random when the race set-up closes.
    uint8_t m_RandomOpponents[SlotCount] = {};
};
