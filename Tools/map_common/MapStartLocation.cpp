#include "Tools/map_common/MapStartLocation.h"

#include "Engine/foundation/WeFileStream.h"

MapStartLocation::MapStartLocation()
{
    m_Type = TypeCode;
    m_ModelName = "MapEditor.Geometry.StartLocati";
}

void MapStartLocation::Save(WeFileStream& stream)
{
    WeActor::Save(stream);
    stream.WriteInt32(m_StartIndex);
}

bool MapStartLocation::Load(WeFileStream& stream)
{
    const bool intact = WeActor::Load(stream);
    stream.ClearShortRead();
    m_StartIndex = stream.ReadInt32();
    return intact && !stream.HadShortRead();
}
