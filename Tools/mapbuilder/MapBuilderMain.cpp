// wemap build <description> <maps folder> <packages folder> [definitions folder] [--previews <folder>]: writes
// one map from its text description. Particle systems placed from shipped definitions read them from the
// definitions folder (default: the packages folder); the plan pictures' PNG previews go to the previews folder.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "Tools/content/ContentDevice.h"
#include "Tools/map_common/MapDescription.h"
#include "Tools/map_common/MapWriter.h"
#include "Tools/mapbuilder/MapGameWriter.h"

int main(int argc, char** argv)
{
    std::string previews;
    if (argc >= 3 && std::string(argv[argc - 2]) == "--previews")
    {
        previews = argv[argc - 1];
        argc -= 2;
    }
    if ((argc != 5 && argc != 6) || std::string(argv[1]) != "build")
    {
        std::fprintf(stderr, "usage: wemap build <description> <maps folder> <packages folder> [definitions folder] "
                             "[--previews <folder>]\n");
        return 2;
    }
    SetMapPreviewFolder(previews);
    const std::string source = argv[2];
    std::ifstream in(source, std::ios::binary);
    if (!in)
    {
        std::fprintf(stderr, "%s:0: cannot be read\n", source.c_str());
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    MapDescription map;
    std::string error;
    if (!ParseMapDescription(text, source, map, error))
    {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    map.packagesFolder = argc == 6 ? argv[5] : argv[4];
    // The mesh writer computes tangents on a device mesh: a recording device serves, nothing reaches a GPU.
    ContentDevice device;
    if (!device.Open())
    {
        std::fprintf(stderr, "wemap: no recording device\n");
        return 1;
    }
    // A game map's header, start locations and pickups are written by the game's own classes.
    MapGameWriter::Register();
    std::string written;
    const bool ok = WriteMap(map, source, argv[3], argv[4], written, error);
    device.Close();
    if (!ok)
    {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::fputs(written.c_str(), stdout);
    return 0;
}
