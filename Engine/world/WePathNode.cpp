#include "Engine/world/WePathNode.h"

#include <cstdint>

#include "Engine/foundation/WeFileStream.h"

int32_t& WePathNode::IdCounter()
{
    static int32_t s_counter = 0;
    return s_counter;
}

int32_t WePathNode::NextId()
{
    // A map file can raise the counter to the top of the range; there it stays rather than overflowing.
    int32_t& counter = IdCounter();
    counter = counter > INT32_MAX - 10 ? INT32_MAX : counter + 10;
    return counter;
}

WePathNode::WePathNode()
{
    m_Type = WeActorTypePathNode;
}

WePathNode::~WePathNode() = default;

WeString WePathNode::GetName()
{
    WeString name;
    if (!m_OnTrack)
        name += "INVALID ";
    name.AppendInt(m_Id);
    name += " -> ";
    if (m_Next)
        name.AppendInt(m_Next->m_Id);
    else
        name += "?";
    return name;
}

void WePathNode::Save(WeFileStream& stream)
{
    WeActor::Save(stream);
    stream.WriteInt32(NodeRecordVersion);
    stream.WriteInt32(m_Id);
    stream.WriteFloat(m_Value1);
    stream.WriteFloat(m_Value2);
    stream.WriteFloat(m_Value3);
    stream.WriteByte(m_Flag);
    stream.WriteInt32(m_Kind);
    stream.WriteInt32(m_Link1);
    stream.WriteInt32(m_Link2);
    stream.WriteFloat(m_Value);
    stream.WriteByte(m_Switch3);
    stream.WriteByte(m_Switch1);
    stream.WriteByte(m_Switch2);
}

bool WePathNode::Load(WeFileStream& stream)
{
    const bool actorIntact = WeActor::Load(stream);
    stream.ClearShortRead();
    const int32_t r = stream.ReadInt32();
    int32_t& counter = IdCounter();
    if (r <= 0)
    {
        m_Id = NextId();
        if (r < 0)
            stream.Seek(-4, 1);
    }
    m_Id = stream.ReadInt32();
    if (m_Id > counter)
        counter = m_Id;
    if (r < 13)
    {
        if (r >= 2)
            for (int i = 0; i < 4; ++i)
                stream.ReadFloat();
        if (r >= 9)
            stream.ReadFloat();
    }
    if (r >= 3)
        m_Value1 = stream.ReadFloat();
    if (r >= 4)
    {
        m_Value2 = stream.ReadFloat();
        m_Value3 = stream.ReadFloat();
    }
    if (r >= 11)
        m_Flag = stream.ReadByte() != 0;
    else if (r >= 5)
        m_Flag = stream.ReadInt32() == 2;
    if (r >= 6)
        m_Kind = stream.ReadInt32();
    if (r >= 7)
    {
        m_Link1 = stream.ReadInt32();
        m_Link2 = stream.ReadInt32();
        m_Value = stream.ReadFloat();
    }
    if (r >= 8)
        m_Switch3 = stream.ReadByte() != 0;
    if (r >= 10)
        m_Switch1 = stream.ReadByte() != 0;
    if (r >= 12)
        m_Switch2 = stream.ReadByte() != 0;
    return actorIntact && !stream.HadShortRead();
}

void WePathNode::Init()
{
    m_PhysicModel.physicsClass = WePhysicsNone;
    m_HasModel = m_EditorMode;
    if (!m_EditorMode)
    {
        m_ModelVisible = false;
        m_Static = true;
        m_PositionFixed = true;
        m_OrientationFixed = true;
        FixRotation(true);
    }
    WeActor::Init();
    m_FurtherSwitch1 = true;
    m_FurtherSwitch2 = true;
}

void WePathNode::CopyTo(WeActor* other)
{
    WeActor::CopyTo(other);
    WePathNode* node = dynamic_cast<WePathNode*>(other);
    if (!node || node == this)
        return;
    node->m_Id = NextId();
    node->m_Flag = m_Flag;
    node->m_Value2 = m_Value2;
    node->m_Value3 = m_Value3;
    node->m_Kind = m_Kind;
    node->m_Link1 = m_Link1;
    node->m_Link2 = m_Link2;
    node->m_Value = m_Value;
    node->m_Switch1 = m_Switch1;
}
