#include "Game/screens/GetLapCounts.h"

#include "Engine/foundation/WeConfig.h"

namespace
{
// A decimal count, blanks around it allowed; 0 for anything else (the string's own reading takes letters
// for digits of higher bases).
int32_t ReadCount(const WeString& field)
{
    int32_t i = 0;
    const int32_t n = field.Length();
    while (i < n && (field[i] == ' ' || field[i] == '\t'))
        ++i;
    int64_t value = 0;
    int32_t digits = 0;
    while (i < n && field[i] >= '0' && field[i] <= '9')
    {
        value = value * 10 + (field[i] - '0');
        if (value > 1000000)
            return 0;
        ++i;
        ++digits;
    }
    while (i < n && (field[i] == ' ' || field[i] == '\t'))
        ++i;
    return digits > 0 && i == n ? static_cast<int32_t>(value) : 0;
}
}  // namespace

std::vector<int32_t> ParseLapCounts(const WeString& text)
{
    std::vector<int32_t> counts;
    for (int32_t i = 0; static_cast<int32_t>(counts.size()) < MaxLapCounts; ++i)
    {
        const WeString field = text.GetToken(',', i);
        if (field.IsEmpty())
            break;
        const int32_t laps = ReadCount(field);
        if (laps > 0)
            counts.push_back(laps);
    }
    if (counts.empty())
        counts.push_back(1);
    return counts;
}

std::vector<int32_t> GetLapCounts()
{
    static const WeString& text = GetConfigString("game.GamePlay.LapCounts", "1");
    return ParseLapCounts(text);
}
