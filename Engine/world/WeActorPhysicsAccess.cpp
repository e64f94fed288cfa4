#include "Engine/world/WeActorPhysicsAccess.h"

namespace
{

WeActorPhysicsAccess& Defaults()
{
    static WeActorPhysicsAccess* s_defaults = new WeActorPhysicsAccess();  // never destroyed
    return *s_defaults;
}

WeActorPhysicsAccess* g_InstalledAccess = nullptr;

}  // namespace

WeActorPhysicsAccess& GetActorPhysicsAccess()
{
    return g_InstalledAccess ? *g_InstalledAccess : Defaults();
}

void SetActorPhysicsAccess(WeActorPhysicsAccess* access)
{
    g_InstalledAccess = access;
}
