#include "Engine/foundation/WeExeFolder.h"

#include "Platform/system/SysPath.h"

WeString& GetExeFolder()
{
    static WeString* folder = new WeString(SysPath::ExecutableFolder().c_str());
    return *folder;
}
