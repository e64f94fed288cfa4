#pragma once
#include <cstdint>

// What the end screen shows of a race: the points per place and each slot's lap records.
class CRaceStats
{
public:
    static constexpr int32_t SlotCount = 6;
    static constexpr int32_t MaxLaps = 20;

    struct LapRecord
    {
        int32_t place = 0;
        float time = 0.0f;
        float ratio = 0.0f;  // the craft's per-lap counter over its full turbo energy
    };

    CRaceStats();

    // Places 1 to 5 from "game.PointsTable.<n>"; place 6 is always 0.
    void LoadPointsTable();
    int32_t GetPointsForPlace(int32_t place) const;
    // The record of lap `lap` (1-based, the craft's laps completed) of the slot: its current race place,
    // the lap's time and the ratio. A slot outside 0..5 or a lap outside 1..20 is ignored.
    void RecordLap(int32_t slot, int32_t lap, float lapTime, float ratio);
    // Null outside the table.
    const LapRecord* GetLap(int32_t slot, int32_t lap) const;
    void ClearLaps();

    int32_t m_Points[6];
    LapRecord m_Laps[SlotCount][MaxLaps];
};

extern CRaceStats g_RaceStats;
