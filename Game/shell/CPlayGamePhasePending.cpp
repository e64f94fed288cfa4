// Race steps whose owners have not written them yet: each does nothing until its owner moves it into its own
// source file.
#include "Game/craft/CAIDifficultyProfile.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/RaceRules.h"

// The catch-up of computer craft without an agent: the Medium level's values, read afresh each time.
const CAIDifficultyProfile& CatchUpProfileWithoutAgent()
{
    static CAIDifficultyProfile medium;
    medium.Load(WeString("Medium"));
    return medium;
}
