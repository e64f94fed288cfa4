#pragma once
#include <cstdint>

#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeString.h"
#include "Engine/foundation/WeStringList.h"
#include "Game/craft/CTuberDescription.h"

// The selectable craft by key name, and the order the shipyard steps through them.
class CTuberCatalogue
{
public:
    CTuberCatalogue() = default;
    ~CTuberCatalogue() = default;
    CTuberCatalogue(const CTuberCatalogue&) = delete;
    CTuberCatalogue& operator=(const CTuberCatalogue&) = delete;

    // Every craft of the built-in list whose UnlockID is 0..999.
    void Load();
    const CTuberDescription* Find(const WeString& name) const;
    // Loads the models of every record, bucket by bucket.
    void LoadModels();
    // The first record of the bucket walk (the AI profiles' fallback craft); null when empty.
    const CTuberDescription* First();
    void Clear();

    WeHashTable<CTuberDescription> m_Records;
    WeStringList m_Names;
};

extern CTuberCatalogue g_TuberCatalogue;
