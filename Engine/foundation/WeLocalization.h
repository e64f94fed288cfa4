#pragma once
#include <cstdint>

#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeString.h"

// Translations are configuration entries under "Localization<language>.Localization." (the language
// from "build.Options.Language"): the rest of the entry's key is the text key, its value the text.
// Entries named "+ CH - <c>" remap every character of their value to c, for fonts that lack letters.
class WeLocalization
{
public:
    static constexpr int32_t RemapSize = 65536;

    WeLocalization();
    virtual ~WeLocalization();
    WeLocalization(const WeLocalization&) = delete;
    WeLocalization& operator=(const WeLocalization&) = delete;

    // Reads the translations of the configured language; a second call starts over.
    void Load();
    // The translation of the key. A key without one becomes its own text (and stays in the table).
    const WeString& GetText(const WeString& key);
    bool HasText(const WeString& key);
    // GetText with every character of the Basic Multilingual Plane passed through the remap table;
    // characters beyond it are kept as they are.
    WeString GetRemappedText(const WeString& key);

private:
    WeHashTable<WeString> m_Texts;
    int32_t* m_Remap;
};

// The value of "build.Options.Language" (default empty), bound during static initialisation.
extern WeString* g_Language;
extern WeLocalization g_Localization;
