#include "Platform/physics/NxControllerManager.h"

NxControllerManager* NxCreateControllerManager(NxUserAllocator*)
{
    return new NxControllerManager();
}
void NxReleaseControllerManager(NxControllerManager* manager)
{
    delete manager;
}
