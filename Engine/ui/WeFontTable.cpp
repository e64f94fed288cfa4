#include "Engine/ui/WeFontTable.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/ui/WeFont.h"

WeFontTable g_FontTable;
WeFontManager g_FontManager;

WeFontTable::~WeFontTable()
{
    DestroyAll();
}

WeString WeFontTable::ResolveKey(const WeString& key)
{
    if (key.IsEmpty())
        return key;
    if (key[0] == '*')
        return GetConfigString(WeString("UI.Fonts.DefaultFontName"), WeString("Arial")) +
               key.Substring(1, key.Length());
    if (key[0] == '+')
        return GetConfigString(WeString("UI.Fonts.DefaultUnicodeFontName"), WeString("Arial")) +
               key.Substring(1, key.Length());
    return key;
}

WeFont* WeFontTable::GetFont(const WeString& key)
{
    if (key.IsEmpty())
        return nullptr;
    // The canvas reaches the fonts through these once any exist.
    g_Canvas.m_RecreateFonts = [] { g_FontTable.RecreateAll(); };
    g_Canvas.m_DestroyFonts = [] { g_FontTable.DestroyAll(); };
    WeString resolved = ResolveKey(key);
    WeFont* font = nullptr;
    if (m_Fonts.Find(resolved, &font))
        return font;
    font = new WeFont();
    font->Create(resolved);
    // Kept also when creation failed, so that a bad key is not tried again.
    m_Fonts.Insert(resolved, font);
    return font;
}

void WeFontTable::RecreateAll()
{
    for (auto* entry = m_Fonts.First(); entry != nullptr; entry = m_Fonts.Next())
    {
        WeFont* font = entry->value;
        if (!font->m_Created)
            continue;
        WeTexture* old = font->m_Texture;
        font->m_Created = 0;
        font->m_Texture = nullptr;
        font->Create(font->m_Key);
        // The old atlas goes once the new one exists, not at exit.
        if (old != nullptr)
            g_TextureManager.ReleaseTexture(old, true);
    }
}

void WeFontTable::DestroyAll()
{
    for (auto* entry = m_Fonts.First(); entry != nullptr; entry = m_Fonts.Next())
        delete entry->value;
    m_Fonts.Clear();
}
