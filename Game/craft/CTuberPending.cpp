#include "Game/shell/CRaceParticipant.h"

// No craft exists before the craft's own code: none has finished.
bool HasCraftFinishedRace(const CTuber*)
{
    return false;
}
