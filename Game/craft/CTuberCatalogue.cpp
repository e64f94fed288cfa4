#include "Game/craft/CTuberCatalogue.h"

#include "Engine/foundation/WeConfig.h"

CTuberCatalogue g_TuberCatalogue;

namespace
{
const char* const CraftList = "Falconer,EclosionHunter,Xdrone";
}

void CTuberCatalogue::Clear()
{
    // Entries are reused by the table: release the loaded models now rather than at some later insert.
    for (auto* e = m_Records.First(); e != nullptr; e = m_Records.Next())
        e->value.ReleaseModels();
    m_Records.Clear();
    m_Names.Clear();
}

void CTuberCatalogue::Load()
{
    Clear();
    const WeString list(CraftList);
    for (int32_t i = 0;; ++i)
    {
        const WeString name = list.GetToken(',', i);
        if (name.IsEmpty())
            break;
        const int32_t unlockId = GetConfigInt(WeString("tubers.") + name + ".UnlockID", -1);
        if (static_cast<uint32_t>(unlockId) > 999u)
            continue;
        CTuberDescription& record = m_Records.Insert(name, CTuberDescription());
        record.Load(name);
        m_Names.PushBack(name);
    }
}

const CTuberDescription* CTuberCatalogue::Find(const WeString& name) const
{
    CTuberDescription* record = nullptr;
    return const_cast<WeHashTable<CTuberDescription>&>(m_Records).FindRef(name, &record) ? record : nullptr;
}

void CTuberCatalogue::LoadModels()
{
    for (auto* e = m_Records.First(); e != nullptr; e = m_Records.Next())
        e->value.LoadModels();
}

const CTuberDescription* CTuberCatalogue::First()
{
    auto* e = m_Records.First();
    return e != nullptr ? &e->value : nullptr;
}
