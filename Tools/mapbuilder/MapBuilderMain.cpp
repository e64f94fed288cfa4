// wemap build <description> <maps folder> <packages folder>: writes one map from its text description.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "Tools/map_common/MapDescription.h"
#include "Tools/map_common/MapWriter.h"

int main(int argc, char** argv)
{
    if (argc != 5 || std::string(argv[1]) != "build")
    {
        std::fprintf(stderr, "usage: wemap build <description> <maps folder> <packages folder>\n");
        return 2;
    }
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
    map.packagesFolder = argv[4];
    std::string written;
    if (!WriteMap(map, source, argv[3], written, error))
    {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::fputs(written.c_str(), stdout);
    return 0;
}
