#include "Engine/foundation/WeLocalization.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeStringList.h"

namespace
{
const char* const RemapMarker = "+ CH - ";
constexpr int32_t RemapMarkerLength = 7;

void AppendRemapped(WeString& out, const WeString& text, const int32_t* remap)
{
    for (int32_t pos = 0; pos < text.Length(); pos = text.NextUtf8Pos(pos))
    {
        const int32_t codePoint = text.DecodeUtf8At(pos);
        const bool inTable = codePoint >= 0 && codePoint < WeLocalization::RemapSize;
        out.AppendUtf8(inTable ? remap[codePoint] : codePoint);
    }
}
}  // namespace

// Bound while the process initialises, like every other setting; Load binds it should it run first.
WeString* g_Language = &GetConfigString(WeString("build.Options.Language"), WeString());
WeLocalization g_Localization;

WeLocalization::WeLocalization() : m_Remap(new int32_t[RemapSize])
{
    for (int32_t i = 0; i < RemapSize; ++i)
        m_Remap[i] = i;
}

WeLocalization::~WeLocalization()
{
    delete[] m_Remap;
}

void WeLocalization::Load()
{
    if (!g_Language)
        g_Language = &GetConfigString(WeString("build.Options.Language"), WeString());
    WeString prefix("Localization");
    prefix += *g_Language;
    prefix += ".Localization.";

    WeStringList keys;
    ListConfigKeys(prefix, keys);
    m_Texts.Clear();
    for (const WeString& key : keys)
        m_Texts.Insert(key.GetTokenTail('.', 2), LookupConfigEntry(key, true)->text);

    for (int32_t i = 0; i < RemapSize; ++i)
        m_Remap[i] = i;
    ListConfigKeys(prefix + RemapMarker, keys);
    for (const WeString& key : keys)
    {
        const WeString marker = key.GetTokenFromEnd('.', 0);
        if (marker.Length() <= RemapMarkerLength)
            continue;
        const int32_t shown = marker.DecodeUtf8At(RemapMarkerLength);
        const WeString& letters = LookupConfigEntry(key, true)->text;
        for (int32_t pos = 0; pos < letters.Length(); pos = letters.NextUtf8Pos(pos))
        {
            const int32_t codePoint = letters.DecodeUtf8At(pos);
            if (codePoint >= 0 && codePoint < RemapSize)
                m_Remap[codePoint] = shown;
        }
    }
}

const WeString& WeLocalization::GetText(const WeString& key)
{
    WeString* text = nullptr;
    if (m_Texts.FindRef(key, &text))
        return *text;
    // A missing translation shows its key.
    WeDebugPrint("MISSING TRANSLATION: %s\n", key.c_str());
    return m_Texts.Insert(key, key);
}

bool WeLocalization::HasText(const WeString& key)
{
    WeString* text = nullptr;
    return m_Texts.FindRef(key, &text);
}

WeString WeLocalization::GetRemappedText(const WeString& key)
{
    WeString out;
    AppendRemapped(out, GetText(key), m_Remap);
    return out;
}
