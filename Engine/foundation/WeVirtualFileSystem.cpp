#include "Engine/foundation/WeVirtualFileSystem.h"

#include "Engine/foundation/WeDataFile.h"
#include "Engine/foundation/WeFileSystem.h"

#ifndef WE_LOOSE_FILES
#define WE_LOOSE_FILES 0
#endif

namespace
{
// Built on first use, because the configuration store reaches them during static initialisation; kept
// until the process ends, so no exit-time destructor can pull them from under a late user.
struct FileSystems
{
    WeDataFile* dataFile = new WeDataFile();
    WeFileSystem* fileSystem = new WeFileSystem();
};

FileSystems& TheFileSystems()
{
    static FileSystems* systems = new FileSystems();
    return *systems;
}
}  // namespace

WeVirtualFileSystem* WeVirtualFileSystem::Instance()
{
    if (WE_LOOSE_FILES)
        return TheFileSystems().fileSystem;
    return TheFileSystems().dataFile;
}

WeDataFile* WeVirtualFileSystem::GetDataFile()
{
    return TheFileSystems().dataFile;
}

WeFileSystem* WeVirtualFileSystem::GetFileSystem()
{
    return TheFileSystems().fileSystem;
}
