// weapons_demo: the weapons on the headless race rig.
//   weapons_demo kinds --sheet FILE    every weapon class in flight, laid or charging, on a sheet of tiles

#include <cstdio>
#include <cstring>

#include "Tools/weapons_demo/WeaponsDemoKinds.h"

namespace
{
const char* const Usage = "usage: weapons_demo kinds --sheet FILE";
}

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "kinds") == 0)
        return RunWeaponKindsSheet(argc - 2, argv + 2);
    std::fprintf(stderr, "%s\n", Usage);
    return 2;
}
