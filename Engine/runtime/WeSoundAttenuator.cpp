#include "Engine/runtime/WeSoundAttenuator.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeStringList.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeSound.h"

WeSoundAttenuator g_SoundAttenuator;

WeSoundAttenuator::WeSoundAttenuator() {}

WeSoundAttenuator::~WeSoundAttenuator() {}

void WeSoundAttenuator::Load()
{
    static float& nonVoiceBalance = GetConfigFloat("Sounds.General.NonVoiceBalance", 1.0f);
    WeStringList keys;
    ListConfigKeys("Sounds.Balance.", keys);
    m_Balances.Clear();
    for (const WeString& key : keys)
    {
        // "Sounds.Balance.Sounds.Menu.Click1": the sound's name starts at the third segment.
        const WeString name = key.GetTokenTail('.', 2);
        float balance = GetConfigFloat(key, 1.0f);
        if (name.Find("Sounds.Voice.") != 0)
            balance *= nonVoiceBalance;
        m_Balances.Insert(name, balance);
    }
    m_Loaded = 1;
}

float WeSoundAttenuator::GetBalance(const WeString& name)
{
    float balance = 1.0f;
    if (m_Balances.Find(name, &balance))
        return balance;
    return 1.0f;
}

void WeSoundAttenuator::Apply(WeSound* sound)
{
    if (!m_Loaded || sound == nullptr)
        return;
    float gain = g_AudioDevice.GetEffectiveVolume() * GetBalance(sound->GetName());
    if (!sound->IsVoice())
        gain *= g_AudioDevice.GetSoundFade();
    sound->SetGain(gain);
}
