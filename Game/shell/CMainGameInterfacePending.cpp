// The display's steps that read records not yet in the game: each answers as if there were none.
#include "Game/shell/CMainGameInterface.h"

// The craft's running power-ups, until the pickups' action record is in.
int32_t CMainGameInterface::ListPowerUps(const CTuber*, PowerUpView*, int32_t)
{
    return 0;
}
