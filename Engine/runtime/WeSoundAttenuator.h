#pragma once
#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeString.h"

class WeSound;

// The volume balance of each sound, from the configuration keys "Sounds.Balance.<sound name>".
class WeSoundAttenuator
{
public:
    WeSoundAttenuator();
    virtual ~WeSoundAttenuator();

    void Load();
    // 1.0 for a name without a balance.
    float GetBalance(const WeString& name);
    // Gives the sound its gain: the effective volume times its balance, times the fade unless it is
    // a voice (as the volume pass does, so a sound started during a fade does not blip).
    void Apply(WeSound* sound);

    bool IsLoaded() const { return m_Loaded != 0; }
    void SetLoaded(bool loaded) { m_Loaded = loaded ? 1 : 0; }

private:
    uint8_t m_Loaded = 0;
    WeHashTable<float> m_Balances;
};

extern WeSoundAttenuator g_SoundAttenuator;
