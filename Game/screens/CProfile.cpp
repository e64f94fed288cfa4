#include "Game/screens/CProfile.h"

#include "Engine/foundation/WeFileStream.h"
#include "Game/shell/CInputBindings.h"

CProfile::CProfile() : m_Bindings(new CInputBindings()) {}

CProfile::~CProfile()
{
    delete m_Bindings;
}

void CProfile::SetBindings(CInputBindings* bindings)
{
    if (bindings == m_Bindings)
        return;
    delete m_Bindings;
    m_Bindings = bindings != nullptr ? bindings : new CInputBindings();
}

WeString CProfile::CleanName(const WeString& name)
{
    WeString clean;
    for (int32_t i = 0; i < name.Length(); ++i)
    {
        if (static_cast<unsigned char>(name[i]) >= 0x20)
            clean.AppendChar(name[i]);
    }
    return clean;
}

bool CProfile::Save(WeFileStream& stream) const
{
    bool ok = stream.WriteInt32(RecordVersion);
    ok &= stream.WriteString(m_Name);
    ok &= m_Bindings->Save(stream);
    ok &= stream.WriteString(m_LastMap);
    ok &= stream.WriteString(m_LastCraft);
    for (int32_t i = 1; i < SlotCount; ++i)
    {
        ok &= stream.WriteString(m_RaceSlots[i].craft);
        ok &= stream.WriteInt32(m_RaceSlots[i].startPlace);
        ok &= stream.WriteInt32(m_RaceSlots[i].kind);
    }
    ok &= stream.WriteByte(static_cast<char>(m_Weapons));
    ok &= stream.WriteByte(static_cast<char>(m_Reserved));
    ok &= stream.WriteInt32(m_LapCount);
    ok &= stream.WriteInt32(m_RaceType);
    ok &= stream.WriteByte(static_cast<char>(m_Dynamics));
    ok &= stream.WriteByte(static_cast<char>(m_UnlimitedTurbo));
    ok &= stream.WriteInt32(m_Difficulty);
    for (int32_t i = 1; i < SlotCount; ++i)
        ok &= stream.WriteByte(static_cast<char>(m_RandomOpponents[i]));
    return ok;
}

bool CProfile::Load(WeFileStream& stream)
{
    // The stream's short-read flag tells whether the record ended inside a value.
    stream.ClearShortRead();

    const int32_t version = stream.ReadInt32();
    if (version > 9)
    {
        WeString name = CleanName(stream.ReadString());
        m_Name = name.IsEmpty() ? WeString("Player") : name;
        m_Bindings->Load(stream);
        // Fields of old versions that nothing reads any more.
        if (version <= 11)
            stream.ReadInt32();
        if (version >= 12 && version <= 18)
            stream.ReadInt32();
        if (version >= 13)
        {
            m_LastMap = stream.ReadString();
            m_LastCraft = stream.ReadString();
        }
        if (version >= 15)
        {
            // Before version 20 every slot was stored, the player's own too, each after a name that is
            // no longer kept.
            const int32_t first = version < 20 ? 0 : 1;
            for (int32_t i = first; i < SlotCount; ++i)
            {
                if (version < 20)
                    stream.ReadString();
                m_RaceSlots[i].craft = stream.ReadString();
                m_RaceSlots[i].startPlace = stream.ReadInt32();
                m_RaceSlots[i].kind = stream.ReadInt32();
            }
            m_Weapons = static_cast<uint8_t>(stream.ReadByte());
            m_Reserved = static_cast<uint8_t>(stream.ReadByte());
            m_LapCount = stream.ReadInt32();
            m_RaceType = stream.ReadInt32();
            m_Dynamics = static_cast<uint8_t>(stream.ReadByte());
            m_UnlimitedTurbo = static_cast<uint8_t>(stream.ReadByte());
        }
        if (version >= 16)
        {
            m_Difficulty = stream.ReadInt32();
            const int32_t first = version < 20 ? 0 : 1;
            for (int32_t i = first; i < SlotCount; ++i)
                m_RandomOpponents[i] = static_cast<uint8_t>(stream.ReadByte());
        }
    }

    return !stream.HadShortRead();
}
