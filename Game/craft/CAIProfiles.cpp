#include "Game/craft/CAIProfiles.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeLog.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Platform/system/SysRandom.h"

namespace
{
const char* const LevelNames[CAIProfiles::LevelCount] = {"Easy", "Medium", "Hard"};

int32_t ParseLevel(const WeString& text)
{
    if (text.Length() == 1)
    {
        switch (text.c_str()[0])
        {
        case 'E': return 1;
        case 'M': return 2;
        case 'H': return 3;
        default: break;
        }
    }
    return 0;
}

// The key of the catalogue's first craft in table order; empty when the catalogue has none.
WeString FirstCraftKey()
{
    auto* entry = g_TuberCatalogue.m_Records.First();
    return entry != nullptr ? entry->key : WeString();
}
}  // namespace

CAIProfiles& CAIProfiles::Instance()
{
    static CAIProfiles store;
    return store;
}

void CAIProfiles::Load()
{
    m_Profiles.Clear();
    const WeString list = GetConfigString("AIProfiles.List.Names", "");
    for (int32_t i = 0;; ++i)
    {
        const WeString name = list.GetToken(',', i);
        if (name.IsEmpty())
            break;
        const WeString prefix = WeString("AIProfiles.") + name;
        WeString craft = GetConfigString(prefix + ".Ship", "");
        if (g_TuberCatalogue.Find(craft) == nullptr)
        {
            DebugLogPrintf("WARNING: Invalid Ship for AI Profile %s\n", name.c_str());
            craft = FirstCraftKey();
            // With no craft at all there is nothing the opponent could race.
            if (craft.IsEmpty())
                continue;
        }
        int32_t level = ParseLevel(GetConfigString(prefix + ".Level", ""));
        if (level == 0)
        {
            DebugLogPrintf("WARNING: Invalid Level for AI Profile %s\n", name.c_str());
            level = 1;
        }
        CAIProfile profile;
        profile.m_Name = name;
        profile.m_Level = level;
        profile.m_CraftKeyword = craft;
        m_Profiles.Insert(name, profile);
    }

    for (int32_t level = 0; level < LevelCount; ++level)
    {
        WeStringList& names = m_DriverNames[level];
        names.Clear();
        for (int32_t n = 1;; ++n)
        {
            WeString key = WeString("AI_") + LevelNames[level] + "_";
            key.AppendInt(n);
            if (!g_Localization.HasText(key))
                break;
            names.PushBack(g_Localization.GetText(key));
        }
    }
}

void CAIProfiles::CollectProfilesOfLevel(WeList<CAIProfile*>& out, int32_t level)
{
    out.Reset();
    for (auto* entry = m_Profiles.First(); entry != nullptr; entry = m_Profiles.Next())
        if (entry->value.m_Level == level)
            out.PushBack(&entry->value);
}

void CAIProfiles::PickDriverNames(WeStringList& out, int32_t level, int32_t count)
{
    out.Clear();
    WeStringList pool;
    if (level >= 1 && level <= LevelCount)
        for (const WeString& name : m_DriverNames[level - 1])
            pool.PushBack(name);
    for (int32_t i = 0; i < count; ++i)
    {
        const int32_t n = pool.Count();
        if (n == 0)
        {
            out.PushBack(g_Localization.GetText("UI: AI"));
            continue;
        }
        const int32_t pick = SysRandom::Scaled(n);
        WeListNode<WeString>* node = pool.FirstNode();
        for (int32_t k = 0; k < pick; ++k)
            node = pool.NextNode(node);
        out.PushBack(node->payload);
        pool.Remove(node);
    }
}
