#pragma once
#include <cstdint>

#include "Engine/world/WePathNode.h"

// What the game means by a path node's neutral record fields. The race, the craft and the AI read and the
// map builder writes them only through these names.
namespace PathNodeFields
{
// Seconds an AI holds back on reaching the node.
inline float GetHoldTime(const WePathNode& node)
{
    return node.m_Value1;
}
inline void SetHoldTime(WePathNode& node, float seconds)
{
    node.m_Value1 = seconds;
}
// Health per second healed on the node's section.
inline float GetHealingValue(const WePathNode& node)
{
    return node.m_Value2;
}
inline void SetHealingValue(WePathNode& node, float hpPerSecond)
{
    node.m_Value2 = hpPerSecond;
}
// The screen effect's value on the node's section.
inline float GetEffectValue(const WePathNode& node)
{
    return node.m_Value;
}
inline void SetEffectValue(WePathNode& node, float value)
{
    node.m_Value = value;
}
// A checkpoint of the split times.
inline bool IsCheckpoint(const WePathNode& node)
{
    return node.m_Flag;
}
inline void SetCheckpoint(WePathNode& node, bool on)
{
    node.m_Flag = on;
}
// Copied to the render state while the player is on the section (the render queue draws it as wireframe).
inline bool GetZoneByte(const WePathNode& node)
{
    return node.m_Switch1;
}
inline void SetZoneByte(WePathNode& node, bool on)
{
    node.m_Switch1 = on;
}
// The craft switches its headlights on here.
inline bool IsHeadlightZone(const WePathNode& node)
{
    return node.m_Switch2;
}
inline void SetHeadlightZone(WePathNode& node, bool on)
{
    node.m_Switch2 = on;
}
// 0 on the main path, 1 and 2 on a fork's branches.
inline int32_t GetBranchTag(const WePathNode& node)
{
    return node.m_BranchTag;
}
}  // namespace PathNodeFields
