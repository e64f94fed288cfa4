#include "Game/shell/CRaceStats.h"

#include "Engine/foundation/WeConfig.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"

CRaceStats g_RaceStats;

CRaceStats::CRaceStats()
{
    LoadPointsTable();
}

void CRaceStats::LoadPointsTable()
{
    for (int32_t place = 1; place <= 5; ++place)
    {
        WeString key("game.PointsTable.");
        key.AppendInt(place);
        m_Points[place - 1] = GetConfigInt(key, 0);
    }
    m_Points[5] = 0;
}

int32_t CRaceStats::GetPointsForPlace(int32_t place) const
{
    if (place < 1 || place > 6)
        return 0;
    return m_Points[place - 1];
}

void CRaceStats::RecordLap(int32_t slot, int32_t lap, float lapTime, float ratio)
{
    if (slot < 0 || slot >= SlotCount || lap < 1 || lap > MaxLaps)
        return;
    LapRecord& record = m_Laps[slot][lap - 1];
    const CRaceParticipant* participant = g_RaceSettings.GetParticipant(slot);
    record.place = participant != nullptr ? participant->m_RacePlace : 0;
    record.time = lapTime;
    record.ratio = ratio;
}

const CRaceStats::LapRecord* CRaceStats::GetLap(int32_t slot, int32_t lap) const
{
    if (slot < 0 || slot >= SlotCount || lap < 1 || lap > MaxLaps)
        return nullptr;
    return &m_Laps[slot][lap - 1];
}

void CRaceStats::ClearLaps()
{
    for (auto& slot : m_Laps)
        for (LapRecord& record : slot)
            record = LapRecord();
}
