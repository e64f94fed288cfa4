#include "Game/shell/CMapHeader.h"

#include <cmath>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/render/WeRenderDevice.h"
#include "Game/shell/CMap.h"
#include "Game/shell/CStartLocation.h"

namespace
{
void ReadColor(WeFileStream& stream, float rgba[4])
{
    for (int32_t i = 0; i < 4; ++i)
        rgba[i] = stream.ReadFloat();
}

void WriteColor(WeFileStream& stream, const float rgba[4])
{
    for (int32_t i = 0; i < 4; ++i)
        stream.WriteFloat(rgba[i]);
}

template <class T, int N>
void CopyArray(T (&to)[N], const T (&from)[N])
{
    for (int i = 0; i < N; ++i)
        to[i] = from[i];
}

// The smallest old start-location record: its actor record's version and the start index.
constexpr int64_t SmallestStartRecord = 8;
}  // namespace

CMapHeader::CMapHeader() = default;

CMapHeader::~CMapHeader() = default;

CMapHeader::CMapHeader(const CMapHeader& other)
{
    *this = other;
}

CMapHeader& CMapHeader::operator=(const CMapHeader& other)
{
    if (this == &other)
        return *this;
    m_Version = other.m_Version;
    m_UnlockId = other.m_UnlockId;
    m_DisplayName = other.m_DisplayName;
    m_Description = other.m_Description;
    m_PreviewTexture = other.m_PreviewTexture;
    m_LoadingTexture = other.m_LoadingTexture;
    CopyArray(m_AmbientColor, other.m_AmbientColor);
    m_ObsoleteTexts[0] = other.m_ObsoleteTexts[0];
    m_ObsoleteTexts[1] = other.m_ObsoleteTexts[1];
    m_WorldScale = other.m_WorldScale;
    m_FarValue = other.m_FarValue;
    m_ValueA = other.m_ValueA;
    m_Text5 = other.m_Text5;
    CopyArray(m_LapTimes, other.m_LapTimes);
    m_FogStart = other.m_FogStart;
    m_FogEnd = other.m_FogEnd;
    m_FogValue3 = other.m_FogValue3;
    m_FogValue4 = other.m_FogValue4;
    m_FogOn = other.m_FogOn;
    CopyArray(m_FogColor, other.m_FogColor);
    CopyArray(m_LoadScreenColor, other.m_LoadScreenColor);
    CopyArray(m_RendererValues, other.m_RendererValues);
    CopyArray(m_BloomLevels, other.m_BloomLevels);
    m_Damaged = other.m_Damaged;
    return *this;
}

bool CMapHeader::Read(WeFileStream& stream)
{
    m_Damaged = false;
    stream.ClearShortRead();
    m_Version = stream.ReadInt32();
    if (stream.HadShortRead())
    {
        m_Damaged = true;
        return false;
    }
    // A newer writer's header is read as far as its fields are known.
    const int32_t v = m_Version > CurrentVersion ? CurrentVersion : m_Version;
    if (v > 10)
    {
        WeString name = stream.ReadString();
        if (!name.IsEmpty())
            m_DisplayName = name;
    }
    m_Description = stream.ReadString();
    m_PreviewTexture = stream.ReadString();
    m_LoadingTexture = stream.ReadString();
    if (v > 1 && v <= 16)
        stream.ReadFloat();
    m_ValueA = stream.ReadFloat();
    m_Text5 = stream.ReadString();
    if (v > 2)
        ReadColor(stream, m_AmbientColor);
    if (v > 3)
    {
        m_FogOn = stream.ReadByte() != 0;
        m_FogStart = stream.ReadFloat();
        m_FogEnd = stream.ReadFloat();
    }
    if (v > 14)
    {
        m_FogValue3 = stream.ReadFloat();
        m_FogValue4 = stream.ReadFloat();
    }
    if (v > 3)
        ReadColor(stream, m_FogColor);
    if (v > 4 && v < 9)
    {
        float discarded[4];
        ReadColor(stream, discarded);
        ReadColor(stream, discarded);
    }
    if (stream.HadShortRead())
    {
        m_Damaged = true;
        return false;
    }
    if (v < 18)
    {
        // Old headers carried the start locations; they are read and dropped. A count the rest of the file
        // cannot hold is a damaged header, never a loop over garbage.
        const int32_t count = stream.ReadInt32();
        const int64_t remaining = stream.GetSize() - stream.Tell();
        if (stream.HadShortRead() || count < 0 || count > remaining / SmallestStartRecord)
        {
            m_Damaged = true;
            return false;
        }
        for (int32_t i = 0; i < count; ++i)
        {
            CStartLocation old;
            if (!old.Load(stream))
            {
                m_Damaged = true;
                return false;
            }
        }
    }
    if (v > 13)
        m_WorldScale = stream.ReadFloat();
    if (v > 5)
        m_FarValue = stream.ReadFloat();
    if (v > 5 && v < 12)
        m_ObsoleteTexts[0] = stream.ReadString();
    if (v > 7 && v < 12)
        m_ObsoleteTexts[1] = stream.ReadString();
    if (v > 6)
        for (float& level : m_BloomLevels)
            level = stream.ReadFloat();
    if (v > 15)
    {
        m_RendererValues[0] = stream.ReadFloat();
        m_RendererValues[1] = stream.ReadFloat();
    }
    if (v > 9)
    {
        const bool flag = stream.ReadByte() != 0;
        if (m_Map != nullptr)
            m_Map->m_PortalsEnabled = flag;
    }
    if (v > 12)
    {
        const float first = stream.ReadFloat();
        const float second = stream.ReadFloat();
        if (m_Map != nullptr)
        {
            m_Map->m_EditorDistance1 = first;
            m_Map->m_EditorDistance2 = second;
        }
    }
    // NaN compares false with everything, so a plain "below 1" test would let it through.
    if (!std::isfinite(m_WorldScale) || m_WorldScale < 1.0f)
        m_WorldScale = 1.0f;
    if (stream.HadShortRead())
    {
        m_Damaged = true;
        return false;
    }
    return true;
}

void CMapHeader::Write(WeFileStream& stream) const
{
    stream.WriteInt32(CurrentVersion);
    stream.WriteString(m_DisplayName);
    stream.WriteString(m_Description);
    stream.WriteString(m_PreviewTexture);
    stream.WriteString(m_LoadingTexture);
    stream.WriteFloat(m_ValueA);
    stream.WriteString(m_Text5);
    WriteColor(stream, m_AmbientColor);
    stream.WriteByte(m_FogOn ? 1 : 0);
    stream.WriteFloat(m_FogStart);
    stream.WriteFloat(m_FogEnd);
    stream.WriteFloat(m_FogValue3);
    stream.WriteFloat(m_FogValue4);
    WriteColor(stream, m_FogColor);
    stream.WriteFloat(m_WorldScale);
    stream.WriteFloat(m_FarValue);
    for (float level : m_BloomLevels)
        stream.WriteFloat(level);
    stream.WriteFloat(m_RendererValues[0]);
    stream.WriteFloat(m_RendererValues[1]);
    stream.WriteByte(m_Map != nullptr ? (m_Map->m_PortalsEnabled ? 1 : 0) : 1);
    stream.WriteFloat(m_Map != nullptr ? m_Map->m_EditorDistance1 : 500.0f);
    stream.WriteFloat(m_Map != nullptr ? m_Map->m_EditorDistance2 : 1000.0f);
}

void CMapHeader::Apply() const
{
    g_RenderDevice.SetAmbientColor(m_AmbientColor);
    g_RenderDevice.SetFog(m_FogOn, m_FogColor, m_FogStart, m_FogEnd, m_FogValue3, m_FogValue4);
    g_RenderDevice.m_CameraValues[0] = m_RendererValues[0];
    g_RenderDevice.m_CameraValues[1] = m_RendererValues[1];
}
