#pragma once
#include <cstdint>

#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeString.h"

class WeFont;

// The process-wide fonts by resolved key: each created on first request and shared afterwards. The canvas
// re-creates them after a device reset and deletes them at shutdown through the hooks GetFont installs.
class WeFontTable
{
public:
    WeFontTable() = default;
    ~WeFontTable();
    WeFontTable(const WeFontTable&) = delete;
    WeFontTable& operator=(const WeFontTable&) = delete;

    WeFont* GetFont(const WeString& key);
    // A leading "*" becomes the default face, a leading "+" the default Unicode face.
    static WeString ResolveKey(const WeString& key);
    void RecreateAll();
    void DestroyAll();
    int32_t Count() const { return m_Fonts.Count(); }

    WeHashTable<WeFont*> m_Fonts;
};

extern WeFontTable g_FontTable;

// What the game reaches the fonts through; the ready switch is set by the game once its translations
// are loaded and only stored here.
struct WeFontManager
{
    uint8_t ready = 0;
    WeFont* GetFont(const WeString& key) { return g_FontTable.GetFont(key); }
};

extern WeFontManager g_FontManager;
