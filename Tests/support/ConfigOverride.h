#pragma once
// Gives a configuration entry another text for one test and puts the old one back when the object goes.
// The entry is re-parsed in place, so references bound to it (the settings a file binds before `main`)
// see the change at once.
#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeConfigEntry.h"

class ConfigOverride
{
public:
    ConfigOverride(const char* key, const char* text) : m_Entry(FindConfigEntry(key))
    {
        m_OldText = m_Entry->text;
        m_OldHasValue = m_Entry->hasValue;
        m_Entry->text = text;
        m_Entry->hasValue = true;
        m_Entry->ParseText();
    }
    ~ConfigOverride()
    {
        m_Entry->text = m_OldText;
        m_Entry->hasValue = m_OldHasValue;
        m_Entry->ParseText();
    }
    ConfigOverride(const ConfigOverride&) = delete;
    ConfigOverride& operator=(const ConfigOverride&) = delete;

private:
    WeConfigEntry* m_Entry;
    WeString m_OldText;
    bool m_OldHasValue;
};
