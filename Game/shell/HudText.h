#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class WeFont;

// The heads-up display's free helpers, shared with the end-of-race screen and the craft.

// Draws text shadowed at (screen width * x, screen height * y) with the canvas format flags (1 centre,
// 2 right, 4 vertical centre, 8 bottom) about that point.
void DrawHudText(const WeString& text, WeFont* font, float x, float y, uint32_t colour, int32_t format);
// Appends minutes, seconds and hundredths, each two digits at least, with the separator between them
// (01:05:37); a negative, infinite or not-a-number time appends 00:00:00.
void FormatRaceTime(WeString& out, float seconds, char separator);
// Plays "Sounds.Tuber.HeadLight" once.
void PlayHeadLightSound();
