#include "Engine/foundation/WePackageTypes.h"

#include <cstring>

const char* const g_PackageTypeExtensions[WePackageTypeCount] = {
    "",           "texture",   "material", "shader", "sound", "mesh",  "model", "animodel", "oldparticles",
    "anitexture", "particles", "ini",      "cfg",    "txt",   "light", "map",   "ogg",      "font",
};

int32_t PackageTypeFromExtension(const char* extension)
{
    for (int32_t code = 1; code < WePackageTypeCount; ++code)
        if (std::strcmp(g_PackageTypeExtensions[code], extension) == 0)
            return code;
    return 0;
}
