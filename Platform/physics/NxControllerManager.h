#pragma once
#include "Platform/physics/NxTypes.h"

class NxUserAllocator;

// Character controllers are never created by the program, so the manager holds none and updating
// them does nothing.
class NxControllerManager
{
public:
    NxU32 getNbControllers() const { return 0; }
    void updateControllers() {}
    void purgeControllers() {}
};

NxControllerManager* NxCreateControllerManager(NxUserAllocator* allocator);
void NxReleaseControllerManager(NxControllerManager* manager);
