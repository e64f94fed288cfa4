#include "Game/shell/GameMain.h"

int main(int argc, char** argv)
{
    return GameMain(argc, argv);
}
