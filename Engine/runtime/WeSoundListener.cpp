#include "Engine/runtime/WeSoundListener.h"

#include <AL/al.h>

#include "Engine/runtime/WeAudioDevice.h"

WeSoundListener g_SoundListener;

void WeSoundListener::SetPosition(const D3DXVECTOR3& position)
{
    m_Position = position;
    if (!g_AudioDevice.IsInitialised())
        return;
    float v[3];
    ToOpenAL(position, v);
    alListener3f(AL_POSITION, v[0], v[1], v[2]);
}

void WeSoundListener::SetVelocity(const D3DXVECTOR3& velocity)
{
    m_Velocity = velocity;
    if (!g_AudioDevice.IsInitialised())
        return;
    float v[3];
    ToOpenAL(velocity, v);
    alListener3f(AL_VELOCITY, v[0], v[1], v[2]);
}

void WeSoundListener::SetOrientation(const D3DXVECTOR3& forward, const D3DXVECTOR3& up)
{
    m_Forward = forward;
    m_Up = up;
    if (!g_AudioDevice.IsInitialised())
        return;
    float v[6];
    ToOpenAL(forward, v);
    ToOpenAL(up, v + 3);
    alListenerfv(AL_ORIENTATION, v);
}

void WeSoundListener::Apply()
{
    SetPosition(m_Position);
    SetVelocity(m_Velocity);
    SetOrientation(m_Forward, m_Up);
}
