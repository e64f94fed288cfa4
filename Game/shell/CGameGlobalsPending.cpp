// The front end's world choice is kept by the screens that pick a world; until they exist no world is chosen,
// and the world music stops the music.
#include "Game/shell/CGameGlobals.h"

WeString CGameGlobals::GetSelectedWorldName()
{
    return WeString();
}
