#pragma once
#include <cstdint>
#include <vector>

#include "Engine/foundation/WeString.h"

// The lap counts a single race offers: the fields of the text split at commas, from the first until the
// first empty field or until MaxLapCounts are kept, each kept when its decimal value is above 0. Never
// empty: a text that yields nothing gives {1}, so there is always a first entry.
constexpr int32_t MaxLapCounts = 20;
std::vector<int32_t> ParseLapCounts(const WeString& text);
// The same of "game.GamePlay.LapCounts" (default "1").
std::vector<int32_t> GetLapCounts();
