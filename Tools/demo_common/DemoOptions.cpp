#include "Tools/demo_common/DemoOptions.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

bool DemoOptions::parse(int argc, char** argv, std::initializer_list<DemoTextOption> more)
{
    for (int i = 1; i < argc; ++i)
    {
        const DemoTextOption* own = nullptr;
        for (const DemoTextOption& option : more)
        {
            if (std::strcmp(argv[i], option.flag) == 0 && i + 1 < argc)
                own = &option;
        }
        if (own)
        {
            *own->value = argv[++i];
        }
        else if (std::strcmp(argv[i], "--png") == 0 && i + 1 < argc)
        {
            pngPath = argv[++i];
        }
        else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc)
        {
            frames = std::atoi(argv[++i]);
        }
        else if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc)
        {
            if (std::sscanf(argv[++i], "%ux%u", &width, &height) != 2 || width == 0 || height == 0)
            {
                std::fprintf(stderr, "%s: bad size\n", name);
                return false;
            }
        }
        else
        {
            std::fprintf(stderr, "usage: %s\n", usage);
            return false;
        }
    }
    if (frames < 0)
        frames = pngPath ? 1 : 300;
    return true;
}
