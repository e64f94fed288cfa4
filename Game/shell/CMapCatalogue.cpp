#include "Game/shell/CMapCatalogue.h"

#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeLog.h"
#include "Game/shell/CMap.h"
#include "Game/shell/CMapInfo.h"

CMapCatalogue g_MapCatalogue;

namespace
{
const char* const Worlds = "Gnosis,Evelad";
const char* const MapsPerWorld = "1,1";
const char* const Maps = "Wastelands of Apeiron (day),Fusion Sphere (night)";

struct WorldCount
{
    WeString name;
    int32_t count = 0;
};
}  // namespace

CMapCatalogue::CMapCatalogue() = default;

CMapCatalogue::~CMapCatalogue()
{
    Clear();
}

void CMapCatalogue::Clear()
{
    for (auto* e = m_Entries.First(); e != nullptr; e = m_Entries.Next())
        delete e->value;
    m_Entries.Clear();
    m_Names.Clear();
}

CMapInfo* CMapCatalogue::Find(const WeString& name)
{
    CMapInfo* info = nullptr;
    return m_Entries.Find(name, &info) ? info : nullptr;
}

void CMapCatalogue::Load()
{
    Clear();
    const WeString worlds(Worlds);
    const WeString counts(MapsPerWorld);
    std::vector<WorldCount> worldList;
    for (int32_t i = 0;; ++i)
    {
        WeString token = worlds.GetToken(',', i);
        if (token.IsEmpty())
            break;
        worldList.push_back({token, counts.GetToken(',', i).ToInt(10)});
    }
    if (worldList.empty())
        worldList.push_back({WeString(), 0});

    CMap reader;
    if (!m_MapsFolder.IsEmpty())
        reader.SetMapsFolder(m_MapsFolder);
    size_t world = 0;
    int32_t inWorld = 0;
    const WeString maps(Maps);
    for (int32_t i = 0;; ++i)
    {
        const WeString name = maps.GetToken(',', i);
        if (name.IsEmpty())
            break;
        const int32_t unlockId = GetConfigInt(WeString("Maps.") + name + ".UnlockID", -1);
        if (static_cast<uint32_t>(unlockId) <= 999u)
        {
            // Every map is read into a fresh header, so none inherits the one before it.
            reader.m_Header = CMapHeader();
            const bool opened = reader.Load(name);
            if (!opened)
                DebugLogPrintf("MISSING MAP %s\n", name.c_str());
            else if (reader.m_Header.m_Damaged)
                DebugLogPrintf("DAMAGED MAP %s\n", name.c_str());
            else
            {
                m_Names.PushBack(name);
                CMapInfo* info = new CMapInfo();
                info->m_UnlockId = unlockId;
                info->m_WorldName = worldList[world].name;
                info->m_Header = reader.m_Header;
                m_Entries.Insert(name, info);
            }
        }
        if (++inWorld >= worldList[world].count && world + 1 < worldList.size())
        {
            ++world;
            inWorld = 0;
        }
    }
}
