#include "Game/shell/RaceResultLog.h"

#include <algorithm>

#include "Engine/foundation/WeLog.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"

namespace
{
// A name with a space would split the line's fields for a reader; the line keeps one word per field.
WeString OneWord(const WeString& text)
{
    if (text.IsEmpty())
        return WeString("-");
    WeString word = text;
    char* bytes = word.Data();
    for (int32_t i = 0; i < word.Length(); ++i)
        if (bytes[i] == ' ' || bytes[i] == '\t')
            bytes[i] = '_';
    return word;
}
}  // namespace

void WriteRaceResults()
{
    // In place order; a racer the race never placed (place 0) comes last, in slot order.
    const CRaceParticipant* racers[CRaceSettings::SlotCount] = {};
    int32_t count = 0;
    for (int32_t slot = 0; slot < CRaceSettings::SlotCount; ++slot)
    {
        const CRaceParticipant* p = g_RaceSettings.GetParticipant(slot);
        if (p != nullptr && p->IsRacing())
            racers[count++] = p;
    }
    const auto key = [](const CRaceParticipant* p) { return p->m_RacePlace > 0 ? p->m_RacePlace : 1000; };
    std::stable_sort(racers, racers + count,
                     [&](const CRaceParticipant* a, const CRaceParticipant* b) { return key(a) < key(b); });
    for (int32_t i = 0; i < count; ++i)
    {
        const CRaceParticipant* p = racers[i];
        DebugLogPrintf("race result %d %s %s %.3f %.3f\n", p->m_RacePlace, OneWord(p->m_DisplayName).c_str(),
                       OneWord(p->m_CraftKey).c_str(), double(p->m_RaceTime), double(p->m_BestLap));
    }
}
