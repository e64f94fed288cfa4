#include "Engine/runtime/WeUnmanagedSound.h"

#include <AL/al.h>

#include "Engine/runtime/WeSound.h"
#include "Engine/runtime/WeSoundAttenuator.h"
#include "Engine/runtime/WeSoundBuffer.h"

WeUnmanagedSound::WeUnmanagedSound(const WeString& name)
{
    m_Balance = g_SoundAttenuator.GetBalance(name);
    m_Buffer = GetSoundBuffer(name);
    Generate();
    if (m_Source != 0 && m_Buffer->GetBuffer() != 0)
    {
        ALuint buffer = m_Buffer->GetBuffer();
        alSourceQueueBuffers(m_Source, 1, &buffer);
    }
}

WeUnmanagedSound::WeUnmanagedSound()
{
    Generate();
}

void WeUnmanagedSound::Generate()
{
    // OpenAL leaves the name untouched when it runs out of sources: start from 0 and ask.
    ALuint source = 0;
    alGetError();
    alGenSources(1, &source);
    if (alGetError() == AL_NO_ERROR)
        m_Source = source;
}

WeUnmanagedSound::~WeUnmanagedSound()
{
    if (m_Owner != nullptr)
        m_Owner->DetachSource(this);
    if (m_Source != 0)
    {
        alSourceStop(m_Source);
        alSourcei(m_Source, AL_BUFFER, 0);
        alDeleteSources(1, &m_Source);
    }
}

int32_t WeUnmanagedSound::GetState()
{
    if (m_Source == 0)
        return AL_STOPPED;
    ALint state = AL_STOPPED;
    alGetSourcei(m_Source, AL_SOURCE_STATE, &state);
    return state;
}

void WeUnmanagedSound::Play(bool loop)
{
    if (m_Source == 0 || GetState() == AL_PLAYING)
        return;
    alSourcei(m_Source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    alSourcePlay(m_Source);
}

void WeUnmanagedSound::Stop()
{
    if (m_Source != 0)
        alSourceStop(m_Source);
}

void WeUnmanagedSound::Rewind()
{
    if (m_Source != 0)
        alSourceRewind(m_Source);
}

void WeUnmanagedSound::Pause()
{
    if (m_Source != 0)
        alSourcePause(m_Source);
}

void WeUnmanagedSound::SetGain(float gain)
{
    if (m_Source != 0)
        alSourcef(m_Source, AL_GAIN, gain);
}

void WeUnmanagedSound::SetPitch(float pitch)
{
    if (m_Source != 0)
        alSourcef(m_Source, AL_PITCH, pitch);
}

bool WeUnmanagedSound::IsPlaying()
{
    return GetState() == AL_PLAYING;
}

bool WeUnmanagedSound::IsPaused()
{
    return GetState() == AL_PAUSED;
}

void WeUnmanagedSound::QueueBuffer(const WeString& name)
{
    WeSoundBuffer* buffer = GetSoundBuffer(name);
    if (m_Source == 0 || buffer->GetBuffer() == 0)
        return;
    ALuint id = buffer->GetBuffer();
    alSourceQueueBuffers(m_Source, 1, &id);
}
