#include "Tools/map_common/MapWorld.h"

#include "Tools/map_common/MapStartLocation.h"

WeActor* MapWorld::CreateActor(int32_t typeCode)
{
    if (typeCode == MapStartLocation::TypeCode)
        return new MapStartLocation();
    return WeWorld::CreateActor(typeCode);
}
