#include "Engine/runtime/WeSound3D.h"

#include <AL/al.h>

#include "Engine/foundation/WeConfig.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeSoundAttenuator.h"
#include "Engine/runtime/WeSoundListener.h"
#include "Engine/runtime/WeUnmanagedSound.h"

namespace
{
float& MaxDistanceSetting()
{
    static float& value = GetConfigFloat("Sounds.General.MaxDistance", 1000.0f);
    return value;
}
float& RefVsMaxSetting()
{
    static float& value = GetConfigFloat("Sounds.General.RefvsMax", 0.2f);
    return value;
}
float& RollOffSetting()
{
    static float& value = GetConfigFloat("Sounds.General.RollOff", 1.0f);
    return value;
}
}  // namespace

WeSound3D::WeSound3D(const WeString& name, bool priority) : WeSound(name, priority)
{
    m_MaxDistance = MaxDistanceSetting();
    // The base constructor set the source up as a plain sound.
    if (m_Source != nullptr)
        SetUpSource();
}

WeSound3D::~WeSound3D()
{
    g_AudioDevice.Unregister3DSound(this);
}

void WeSound3D::SetUpSource()
{
    const uint32_t source = m_Source->GetSource();
    if (source == 0)
        return;
    float v[3];
    alSourcei(source, AL_SOURCE_RELATIVE, AL_FALSE);
    ApplyDistances();
    alSourcef(source, AL_ROLLOFF_FACTOR, RollOffSetting());
    WeSoundListener::ToOpenAL(m_Position, v);
    alSource3f(source, AL_POSITION, v[0], v[1], v[2]);
    WeSoundListener::ToOpenAL(m_Velocity, v);
    alSource3f(source, AL_VELOCITY, v[0], v[1], v[2]);
}

void WeSound3D::ApplyDistances()
{
    const uint32_t source = m_Source->GetSource();
    alSourcef(source, AL_MAX_DISTANCE, m_MaxDistance);
    alSourcef(source, AL_REFERENCE_DISTANCE, m_MaxDistance * RefVsMaxSetting());
}

bool WeSound3D::IsInReach(const D3DXVECTOR3& position) const
{
    if (m_MaxDistance <= 0.0f)
        return true;
    const D3DXVECTOR3 listener = g_SoundListener.GetPosition();
    const float dx = listener.x - position.x;
    const float dy = listener.y - position.y;
    const float dz = listener.z - position.z;
    return dx * dx + dy * dy + dz * dz <= m_MaxDistance * m_MaxDistance;
}

void WeSound3D::Play(bool loop)
{
    if (!IsInReach(m_Position))
        return;
    if (m_MaxDistance > 0.0f)
        g_AudioDevice.Register3DSound(this);
    AcquireSource();
    if (m_Source == nullptr)
        return;
    g_SoundAttenuator.Apply(this);
    m_Loop = loop ? 1 : 0;
    m_Source->Play(loop);
}

void WeSound3D::SetPosition(const D3DXVECTOR3& position)
{
    m_Position = position;
    AcquireSource();
    if (m_Source == nullptr || m_Source->GetSource() == 0)
        return;
    float v[3];
    WeSoundListener::ToOpenAL(position, v);
    alSource3f(m_Source->GetSource(), AL_POSITION, v[0], v[1], v[2]);
}

void WeSound3D::SetVelocity(const D3DXVECTOR3& velocity)
{
    m_Velocity = velocity;
    AcquireSource();
    if (m_Source == nullptr || m_Source->GetSource() == 0)
        return;
    float v[3];
    WeSoundListener::ToOpenAL(velocity, v);
    alSource3f(m_Source->GetSource(), AL_VELOCITY, v[0], v[1], v[2]);
}

void WeSound3D::SetMaxDistance(float distance)
{
    m_MaxDistance = distance;
    AcquireSource();
    if (m_Source == nullptr || m_Source->GetSource() == 0)
        return;
    ApplyDistances();
}
