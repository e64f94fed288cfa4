#include "Engine/world/WePortal.h"

#include <algorithm>

#include "Engine/foundation/WeFileStream.h"

WePortal::WePortal() : m_PreviousScale(0.0f, 0.0f, 0.0f)
{
    m_Type = WeActorTypePortal;
    for (D3DXVECTOR3& corner : m_Corners)
        corner = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

WePortal::~WePortal() = default;

float WePortal::Side(const D3DXVECTOR3& point) const
{
    const D3DXMATRIX& m = GetWorldMatrix();
    return m._31 * (point.x - m._41) + m._32 * (point.y - m._42) + m._33 * (point.z - m._43);
}

void WePortal::Init()
{
    m_PhysicModel.physicsClass = 0;
    m_HasModel = m_EditorMode;
    if (m_EditorMode)
    {
        m_PhysicModel.collisionGroup = 10;
        m_WantsTick = true;
    }
    else
    {
        m_ModelVisible = false;
        m_Static = true;
    }
    WeActor::Init();
    m_FurtherSwitch1 = true;
    m_FurtherSwitch2 = true;
    UpdateGeometry();
}

void WePortal::Tick()
{
    if (!m_EditorMode)
        return;
    SetScaling(D3DXVECTOR3(m_Width, m_Height, 1.0f));
    WeActor::Tick();
    if (m_Scale.x != m_PreviousScale.x || m_Scale.y != m_PreviousScale.y || m_Scale.z != m_PreviousScale.z)
    {
        // Only the body and the model scale are rebuilt: the world's registration files an actor once
        // however often its Init runs.
        ReleasePhysicsHandle();
        WeActor::Init();
        m_PreviousScale = m_Scale;
    }
    UpdateGeometry();
}

void WePortal::UpdateGeometry()
{
    const D3DXMATRIX& m = GetWorldMatrix();
    const float w = m_Width * 0.5f;
    const float h = m_Height * 0.5f;
    const D3DXVECTOR3 x(m._11 * w, m._12 * w, m._13 * w);
    const D3DXVECTOR3 y(m._21 * h, m._22 * h, m._23 * h);
    const D3DXVECTOR3 p(m._41, m._42, m._43);
    m_Corners[0] = D3DXVECTOR3(p.x - x.x - y.x, p.y - x.y - y.y, p.z - x.z - y.z);
    m_Corners[1] = D3DXVECTOR3(p.x - x.x + y.x, p.y - x.y + y.y, p.z - x.z + y.z);
    m_Corners[2] = D3DXVECTOR3(p.x + x.x + y.x, p.y + x.y + y.y, p.z + x.z + y.z);
    m_Corners[3] = D3DXVECTOR3(p.x + x.x - y.x, p.y + x.y - y.y, p.z + x.z - y.z);
    m_BoundingSphere.center = p;
    m_BoundingSphere.radius = std::max(w, h) * 1.4142135f;
}

void WePortal::SaveProperties(WeFileStream& stream)
{
    stream.WriteInt32(RecordVersion);
    stream.WriteInt32(m_FirstLink);
    stream.WriteInt32(m_SecondLink);
    stream.WriteString(m_FirstText);
    stream.WriteString(m_SecondText);
    stream.WriteByte(m_Switch);
    stream.WriteFloat(m_Width);
    stream.WriteFloat(m_Height);
    stream.WriteByte(m_Active);
    stream.WriteByte(m_LimitedReach);
    stream.WriteFloat(m_FrontReach);
    stream.WriteFloat(m_BackReach);
}

bool WePortal::LoadProperties(WeFileStream& stream)
{
    stream.ClearShortRead();
    const int32_t version = stream.ReadInt32();
    if (version >= 1 && version <= 4)
    {
        m_FirstLink = stream.ReadInt32();
        m_SecondLink = stream.ReadInt32();
        m_FirstText = stream.ReadString();
        m_SecondText = stream.ReadString();
        m_Switch = stream.ReadByte() != 0;
        m_Width = stream.ReadFloat();
        m_Height = stream.ReadFloat();
        if (version >= 2)
            m_Active = stream.ReadByte() != 0;
        if (version == 3)
        {
            m_LimitedReach = stream.ReadByte() != 0;
            m_FrontReach = m_BackReach = stream.ReadFloat();
        }
        else if (version == 4)
        {
            m_LimitedReach = stream.ReadByte() != 0;
            m_FrontReach = stream.ReadFloat();
            m_BackReach = stream.ReadFloat();
        }
    }
    return !stream.HadShortRead();
}

void WePortal::Save(WeFileStream& stream)
{
    WeActor::Save(stream);
    SaveProperties(stream);
}

bool WePortal::Load(WeFileStream& stream)
{
    if (!WeActor::Load(stream))
        return false;
    return LoadProperties(stream);
}

void WePortal::CopyTo(WeActor* other)
{
    WeActor::CopyTo(other);
    WePortal* portal = dynamic_cast<WePortal*>(other);
    if (!portal || portal == this)
        return;
    portal->m_FirstText = m_FirstText;
    portal->m_SecondText = m_SecondText;
    portal->m_FirstLink = m_FirstLink;
    portal->m_SecondLink = m_SecondLink;
    portal->m_Width = m_Width;
    portal->m_Height = m_Height;
    portal->m_Active = m_Active;
    portal->m_LimitedReach = m_LimitedReach;
    portal->m_FrontReach = m_FrontReach;
    portal->m_BackReach = m_BackReach;
}
