#include "Game/shell/CPickup.h"

#include "Engine/foundation/WeFileStream.h"
#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXMatrixFunctions.h"

namespace
{
void ResetRotation(WeActor& actor)
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    actor.SetOrientation(identity);
}
}  // namespace

CPickup::CPickup(int32_t type)
{
    m_Type = type;
    m_ModelName = "Pickups.Models.Mine";
}

CPickup::~CPickup() = default;

void CPickup::Save(WeFileStream& stream)
{
    // The spin is not stored.
    ResetRotation(*this);
    WeActor::Save(stream);
    stream.WriteByte(m_Available ? 1 : 0);
    if (m_RecordVersion < RespawnTimeStoredBelow)
        stream.WriteFloat(m_RespawnTime);
    if (m_RecordVersion > RandomFlagStoredAbove)
        stream.WriteByte(m_Random ? 1 : 0);
}

bool CPickup::Load(WeFileStream& stream)
{
    const bool intact = WeActor::Load(stream);
    ResetRotation(*this);
    stream.ClearShortRead();
    m_Available = stream.ReadByte() != 0;
    if (m_RecordVersion < RespawnTimeStoredBelow)
        m_RespawnTime = stream.ReadFloat();
    if (m_RecordVersion > RandomFlagStoredAbove)
        m_Random = stream.ReadByte() != 0;
    return intact && !stream.HadShortRead();
}
