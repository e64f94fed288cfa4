#include "Game/shell/CMap.h"

#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/world/WePathNode.h"
#include "Game/shell/CPickup.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CStartLocation.h"

CMap::CMap()
{
    m_Header.m_Map = this;
}

CMap::~CMap()
{
    // The pickups are the world's actors and go with it.
    m_Pickups.Clear();
}

void CMap::OnLoad(WeFileStream* stream, const WeString& mapName)
{
    if (stream != nullptr && stream->IsOpen() && !m_Header.Read(*stream))
    {
        // Nothing after a damaged header can be trusted to start where it should: the rest of the file is
        // skipped, so the map loads empty rather than from misread records. Its loader sees m_Damaged.
        stream->Seek(0, 2);
    }
    if (IsUnlistedMapName(mapName))
        return;
    m_Header.m_DisplayName = GetMapDisplayName(mapName);
    m_Header.m_Description = g_Localization.GetText(WeString("Maps: ") + GetBaseMapName(mapName) + ": DESC");
    const WeString prefix = WeString("Maps.") + mapName;
    m_Header.m_UnlockId = GetConfigInt(prefix + ".UnlockID", -1);
    const WeString& color = GetConfigString(prefix + ".LoadScreenColor", WeString());
    for (int32_t i = 0; i < 3; ++i)
        m_Header.m_LoadScreenColor[i] = color.GetToken(',', i).ToFloat(255.0f) * 0.003921569f;
    m_Header.m_LoadScreenColor[3] = 1.0f;
    const WeString& lapTimes = GetConfigString(prefix + ".LapTime", WeString());
    for (int32_t i = 0; i < CMapHeader::LapTimeCount; ++i)
        m_Header.m_LapTimes[i] = lapTimes.GetToken(',', i).ToFloat(m_Header.m_LapTimes[i]);
}

void CMap::OnSave(WeFileStream& stream)
{
    m_Header.Write(stream);
}

WeActor* CMap::CreateActor(int32_t typeCode)
{
    if (typeCode == CStartLocation::TypeCode)
        return new CStartLocation();
    if (CPickup* pickup = g_PickupFactory.Create(typeCode))
    {
        m_Pickups.PushBack(pickup);
        return pickup;
    }
    return WeWorld::CreateActor(typeCode);
}

void CMap::OnLoaded()
{
    if (m_EditorMode || m_FirstPathNode == nullptr)
        return;
    // The AI looks for pickups in the path nodes' lists, so each is filed under its nearest node. The
    // actors are gathered first: the track search walks tables of its own.
    std::vector<WeActor*> pickups;
    for (auto* e = GetActors().First(); e != nullptr; e = GetActors().Next())
        if (IsPickupType(e->value->m_Type))
            pickups.push_back(e->value);
    for (WeActor* actor : pickups)
    {
        WePathNode* node = nullptr;
        WePathNode* next = nullptr;
        float along = 0.0f, fromNext = 0.0f;
        D3DXVECTOR3 projected;
        FindTrackPosition(actor->GetWorldPosition(), &node, &next, &along, &fromNext, &projected, nullptr);
        if (node != nullptr && !node->m_AttachedActors.Contains(actor))
            node->m_AttachedActors.PushBack(actor);
    }
}

WeString GetBaseMapName(const WeString& name)
{
    WeString base = name;
    const int32_t paren = base.Find(" (");
    if (paren >= 0)
        base = base.Substring(0, paren);
    for (int32_t at = base.Find("_reverse"); at >= 0; at = base.Find("_reverse"))
        base = base.Substring(0, at) + base.Substring(at + 8, base.Length());
    return base;
}

void ParseMapVariant(const WeString& name, bool& reverse, bool& day, bool& night)
{
    reverse = name.Find("_reverse") >= 0;
    day = name.Find("(day)") >= 0;
    night = name.Find("(night)") >= 0;
}

WeString GetMapDisplayName(const WeString& name)
{
    WeString text = g_Localization.GetText(WeString("Maps: ") + GetBaseMapName(name) + ": NAME");
    text += '\n';
    bool reverse = false, day = false, night = false;
    ParseMapVariant(name, reverse, day, night);
    if (day || night || reverse)
    {
        text += '/';
        if (day)
            text += g_Localization.GetText("UI: day") + "/";
        if (night)
            text += g_Localization.GetText("UI: night") + "/";
        if (reverse)
            text += g_Localization.GetText("UI: reverse") + "/";
    }
    return text;
}

bool IsUnlistedMapName(const WeString& name)
{
    return !name.IsEmpty() && (name[0] == '_' || name[0] == '!');
}
