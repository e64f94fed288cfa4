#include "Game/shell/CStartLocation.h"

#include "Engine/foundation/WeFileStream.h"

CStartLocation::CStartLocation()
{
    m_Type = TypeCode;
    m_ModelName = "MapEditor.Geometry.StartLocati";
}

CStartLocation::~CStartLocation() = default;

void CStartLocation::Save(WeFileStream& stream)
{
    WeActor::Save(stream);
    stream.WriteInt32(m_StartIndex);
}

bool CStartLocation::Load(WeFileStream& stream)
{
    const bool intact = WeActor::Load(stream);
    stream.ClearShortRead();
    m_StartIndex = stream.ReadInt32();
    return intact && !stream.HadShortRead();
}

void CStartLocation::Init()
{
    m_PhysicModel.physicsClass = WePhysicsNone;
    // The marker shows only in the editor.
    m_HasModel = m_EditorMode;
    if (!m_EditorMode)
    {
        m_ModelVisible = false;
        FixRotation(true);
    }
    WeActor::Init();
    m_PositionFixed = true;
    m_OrientationFixed = true;
}

void CStartLocation::CopyTo(WeActor* other)
{
    WeActor::CopyTo(other);
    if (CStartLocation* location = dynamic_cast<CStartLocation*>(other))
        location->m_StartIndex = m_StartIndex;
}
