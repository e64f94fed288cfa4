#include "Game/shell/GameMain.h"

#include <cstdio>

int GameMain(int, char**)
{
    std::fprintf(stderr, "kestrovane: the game's shell is not built yet\n");
    return 1;
}
