#pragma once
#include <cstdint>

#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeString.h"
#include "Engine/foundation/WeStringList.h"
#include "Game/shell/CMapHeader.h"

class CMapInfo;

// The race maps the front end offers, in list order, each with its world and header.
class CMapCatalogue
{
public:
    CMapCatalogue();
    ~CMapCatalogue();
    CMapCatalogue(const CMapCatalogue&) = delete;
    CMapCatalogue& operator=(const CMapCatalogue&) = delete;

    // Rebuilds the list: every map of the built-in list with an unlock id 0..999 whose file opens and whose
    // header is whole.
    void Load();
    // Null when the map is not listed.
    CMapInfo* Find(const WeString& name);
    void Clear();
    // Where the map files are looked up (default: "Maps" beside the executable); for tests.
    void SetMapsFolder(const WeString& folder) { m_MapsFolder = folder; }

    WeHashTable<CMapInfo*> m_Entries;
    CMapHeader m_DefaultHeader;
    WeStringList m_Names;
    WeString m_MapsFolder;
};

extern CMapCatalogue g_MapCatalogue;
