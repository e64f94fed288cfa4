#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class CTuber;

// The texts of a death: the names of killer and victim set into a translated template, each as one colour
// run of the font's markup (byte 1, eight hexadecimal digits AARRGGBB, the name, byte 2).

// The longest name a text carries, in bytes; a longer one is cut at the last whole UTF-8 character.
constexpr int32_t KillTextMaxNameBytes = 64;
// The bytes a run adds around its name.
constexpr int32_t KillTextRunOverhead = 10;

// Appends one colour run of the cleaned name: every byte below 0x20 dropped (so no name opens or closes a
// run of its own), then the cut to KillTextMaxNameBytes.
void AppendNameRun(WeString& out, const WeString& name, uint32_t argb);
// One left-to-right pass over the template: "%a" and "%A" become the killer's run, "%k" and "%K" the victim's,
// every other byte (any other "%" sequence included) is copied as it stands. What was inserted is never read
// again, so a name holding "%a" stays as it is.
WeString BuildKillText(const WeString& templ, const WeString& killer, uint32_t killerArgb, const WeString& victim,
                       uint32_t victimArgb);
// The packed colour of a craft's trail colour (clamped, rounded, NaN as 0); white without a craft.
uint32_t PackTrailColour(const float rgba[4]);
// The death-text keyword of a damage kind, or null when the kind has none.
const char* DeathKeyword(int32_t kind);
// The text with every colour run's markup removed (what a reader sees).
WeString StripColourRuns(const WeString& text);
