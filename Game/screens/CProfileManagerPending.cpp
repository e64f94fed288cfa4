#include "Game/shell/CRaceSettings.h"

// No profile store before the profiles' own code: no current profile.
WeString GetCurrentProfileName()
{
    return WeString();
}
