#include "Engine/runtime/WeSound.h"

#include <AL/al.h>

#include "Engine/foundation/WeConfig.h"
#include "Engine/runtime/WeSoundAttenuator.h"
#include "Engine/runtime/WeSoundListener.h"
#include "Engine/runtime/WeSoundSourcePool.h"
#include "Engine/runtime/WeUnmanagedSound.h"

WeSound::WeSound(const WeString& name, bool priority) : m_Name(name), m_Priority(priority ? 1 : 0)
{
    // Bound for the tools that switch it; the sound layer itself does not log.
    static bool& enableLogging = GetConfigBool("debug.Sound.EnableLogging", false);
    (void)enableLogging;
    DetermineGroup();
    AcquireSource();
}

WeSound::~WeSound()
{
    // The source stays in the pool until it has stopped; only its owner may detach it.
    if (m_Source != nullptr && m_Source->GetOwner() == this)
        m_Source->SetOwner(nullptr);
    m_Source = nullptr;
}

void WeSound::DetachSource(WeUnmanagedSound* source)
{
    if (m_Source == source)
        m_Source = nullptr;
}

void WeSound::AcquireSource()
{
    if (m_Source != nullptr)
        return;
    m_Source = g_SoundSourcePool.Acquire(m_Name, m_Priority != 0, m_Group);
    if (m_Source == nullptr)
        return;
    m_Source->SetOwner(this);
    SetUpSource();
}

void WeSound::SetUpSource()
{
    const uint32_t source = m_Source->GetSource();
    if (source == 0)
        return;
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
}

void WeSound::DetermineGroup()
{
    m_Voice = 0;
    const WeString category = m_Name.GetToken('.', 1);
    if (category == "Explosions")
        m_Group = 3;
    else if (category == "Mines")
        m_Group = 2;
    else if (category == "Pickup")
        m_Group = 1;
    else if (category == "Tuber")
    {
        const WeString kind = m_Name.GetToken('.', 2);
        m_Group = (kind == "Engine" || kind == "Turbo") ? 4 : 5;
    }
    else
    {
        // Music, Environment, Interface, Menu, Voice, Weapons and anything else.
        m_Group = 0;
        if (category == "Voice")
            m_Voice = 1;
    }
}

void WeSound::Play(bool loop)
{
    AcquireSource();
    if (m_Source == nullptr)
        return;
    SetUpSource();
    g_SoundAttenuator.Apply(this);
    m_Loop = loop ? 1 : 0;
    m_Source->Play(loop);
}

bool WeSound::IsPlaying()
{
    return m_Source != nullptr && m_Source->IsPlaying();
}

void WeSound::Stop()
{
    if (m_Source != nullptr)
        m_Source->Stop();
}

void WeSound::Pause()
{
    if (m_Source != nullptr)
        m_Source->Pause();
}

void WeSound::Rewind()
{
    if (m_Source != nullptr)
        m_Source->Rewind();
}

void WeSound::QueueBuffer(const WeString& name)
{
    AcquireSource();
    if (m_Source != nullptr)
        m_Source->QueueBuffer(name);
}

void WeSound::SetGain(float gain)
{
    AcquireSource();
    if (m_Source != nullptr)
        m_Source->SetGain(gain);
}

void WeSound::SetPitch(float pitch)
{
    AcquireSource();
    if (m_Source != nullptr)
        m_Source->SetPitch(pitch);
}

D3DXVECTOR3 WeSound::GetPosition()
{
    if (m_Source == nullptr || m_Source->GetSource() == 0)
        return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    float v[3] = {};
    alGetSource3f(m_Source->GetSource(), AL_POSITION, &v[0], &v[1], &v[2]);
    return WeSoundListener::FromOpenAL(v);
}
