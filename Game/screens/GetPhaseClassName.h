#pragma once
#include <cstdint>

class WeAbstractPhase;

// The game's phase objects and their class names, for the lines that say which screen is on top.
struct CGamePhaseName
{
    WeAbstractPhase* phase;
    const char* className;
};

// The table; its size into count.
const CGamePhaseName* GetGamePhaseNames(int32_t& count);
// The class name of a phase object of the game; "?" for one the table does not know, "none" for null.
const char* GetPhaseClassName(const WeAbstractPhase* phase);
