#include "Engine/runtime/WeAudioDevice.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <AL/alut.h>

#include <cstring>

#include "Engine/foundation/WeConfig.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeSound3D.h"
#include "Engine/runtime/WeSoundAttenuator.h"
#include "Engine/runtime/WeSoundBuffer.h"
#include "Engine/runtime/WeSoundListener.h"
#include "Engine/runtime/WeSoundSourcePool.h"
#include "Engine/runtime/WeSoundStream.h"
#include "Engine/runtime/WeUnmanagedSound.h"

WeAudioDevice g_AudioDevice;

namespace
{
// Sounds without priority take sources without limit; ask for far more than the default 255.
constexpr ALCint MonoSources = 512;

float GlobalMusicVolume()
{
    static float& value = GetConfigFloat("Sounds.General.GlobalMusicVolume", 1.0f);
    return value;
}
}  // namespace

WeAudioDevice::WeAudioDevice() {}

WeAudioDevice::~WeAudioDevice() {}

void WeAudioDevice::SetOutput(Output output, const WeString& deviceName)
{
    m_Output = output;
    m_DeviceName = deviceName;
}

bool WeAudioDevice::Init()
{
    if (m_Initialised)
        return true;
    // A second start in the same process finds ALUT initialised already; nothing reads the answer.
    alutInitWithoutContext(nullptr, nullptr);
    alcIsExtensionPresent(nullptr, "ALC_ENUMERATE_ALL_EXT");

    // The named device of the original platform does not exist here; the default device serves.
    ALCdevice* device = nullptr;
    m_IsLoopback = m_Output == Output::Loopback || m_Output == Output::LoopbackWithoutFormat;
    if (m_IsLoopback)
    {
        auto open =
            reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
        if (open != nullptr)
            device = open(nullptr);
    }
    else if (m_Output == Output::Named)
        device = alcOpenDevice(m_DeviceName.c_str());
    else
        device = alcOpenDevice(nullptr);
    if (device == nullptr)
    {
        g_Engine.m_ErrorText = "Error: Cannot create OpenAL device";
        return false;
    }

    ALCint attributes[16];
    int32_t n = 0;
    attributes[n++] = ALC_MONO_SOURCES;
    attributes[n++] = MonoSources;
    if (m_Output == Output::Loopback)
    {
        attributes[n++] = ALC_FORMAT_CHANNELS_SOFT;
        attributes[n++] = ALC_STEREO_SOFT;
        attributes[n++] = ALC_FORMAT_TYPE_SOFT;
        attributes[n++] = ALC_SHORT_SOFT;
        attributes[n++] = ALC_FREQUENCY;
        attributes[n++] = LoopbackRate;
    }
    attributes[n] = 0;
    ALCcontext* context = alcCreateContext(device, attributes);
    if (context == nullptr)
    {
        alcCloseDevice(device);
        g_Engine.m_ErrorText = "Error: Cannot create OpenAL context";
        return false;
    }
    alcMakeContextCurrent(context);
    m_Device = device;
    m_Context = context;
    m_Initialised = 1;

    g_SoundSourcePool.Init();
    g_SoundAttenuator.Load();
    float doppler = GetConfigFloat("Sounds.General.Doppler", 0.5f);
    if (!(doppler >= 0.0f))
        doppler = 0.0f;
    if (doppler > 10.0f)
        doppler = 10.0f;
    alDopplerFactor(doppler);
    g_SoundListener.Apply();
    return true;
}

void WeAudioDevice::Update()
{
    if (!m_Initialised)
        return;
    g_SoundSourcePool.ReclaimAll();
    StopDistantSounds();
    if (m_Music != nullptr)
        m_Music->Update();
}

void WeAudioDevice::Shutdown()
{
    if (!m_Initialised)
        return;
    delete m_Music;
    m_Music = nullptr;
    g_SoundSourcePool.Shutdown();
    g_SoundAttenuator.SetLoaded(false);
    ClearSoundBuffers();
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(static_cast<ALCcontext*>(m_Context));
    alcCloseDevice(static_cast<ALCdevice*>(m_Device));
    m_Context = nullptr;
    m_Device = nullptr;
    m_Initialised = 0;
}

bool WeAudioDevice::RenderSamples(int16_t* out, int32_t frames)
{
    if (frames <= 0)
        return false;
    if (!m_Initialised || !m_IsLoopback)
    {
        std::memset(out, 0, static_cast<size_t>(frames) * 2 * sizeof(int16_t));
        return false;
    }
    static const auto render =
        reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (render == nullptr)
        return false;
    render(static_cast<ALCdevice*>(m_Device), out, frames);
    return true;
}

bool WeAudioDevice::PlayMusic(const WeString& name, bool loop)
{
    if (!m_Initialised)
        return false;
    delete m_Music;
    m_Music = new WeSoundStream(name);
    m_Music->SetGain(m_MusicVolume * GlobalMusicVolume());
    return m_Music->Play(loop);
}

void WeAudioDevice::StopMusic()
{
    if (m_Initialised && m_Music != nullptr)
        m_Music->Stop();
}

void WeAudioDevice::PauseMusic()
{
    if (m_Initialised && m_Music != nullptr)
        m_Music->Pause();
}

void WeAudioDevice::ResumeMusic()
{
    if (m_Initialised && m_Music != nullptr)
        m_Music->Resume();
}

bool WeAudioDevice::IsMusicPlaying()
{
    return m_Initialised && m_Music != nullptr && m_Music->IsPlaying();
}

bool WeAudioDevice::IsMusicPaused()
{
    return m_Initialised && m_Music != nullptr && m_Music->IsPaused();
}

void WeAudioDevice::SetMusicVolume(float volume)
{
    if (!m_Initialised)
        return;
    m_MusicVolume = volume;
    if (m_Music != nullptr)
        m_Music->SetGain(volume * GlobalMusicVolume());
}

void WeAudioDevice::SetSoundVolume(float volume)
{
    if (!m_Initialised)
        return;
    m_SoundVolume = volume;
    g_SoundSourcePool.SetVolume(GetEffectiveVolume(), nullptr);
}

void WeAudioDevice::SetSoundFade(float fade)
{
    if (!m_Initialised)
        return;
    m_Fade = fade;
    g_SoundSourcePool.SetVolume(GetEffectiveVolume(), nullptr);
}

void WeAudioDevice::SetPaused(bool paused)
{
    if (!m_Initialised)
        return;
    if (paused)
        ++m_PauseCount;
    else if (m_PauseCount > 0)
        --m_PauseCount;
    g_SoundSourcePool.SetVolume(GetEffectiveVolume(), nullptr);
}

void WeAudioDevice::Register3DSound(WeSound3D* sound)
{
    if (!m_Registered->Contains(sound))
        m_Registered->PushBack(sound);
}

void WeAudioDevice::Unregister3DSound(WeSound3D* sound)
{
    if (m_Registered->Contains(sound))
        m_Registered->RemoveCurrent();
}

bool WeAudioDevice::Is3DSoundRegistered(WeSound3D* sound)
{
    return m_Registered->Contains(sound);
}

void WeAudioDevice::StopDistantSounds()
{
    const D3DXVECTOR3 listener = g_SoundListener.GetPosition();
    for (WeSound3D* sound : *m_Registered)
    {
        // A sound without a source is silent already; a distance of 0 or less has no limit.
        const float limit = sound->GetMaxDistance();
        if (!sound->GetLoop() || sound->GetSource() == nullptr || limit <= 0.0f)
            continue;
        const D3DXVECTOR3 position = sound->GetPosition();
        const float dx = position.x - listener.x;
        const float dy = position.y - listener.y;
        const float dz = position.z - listener.z;
        if (dx * dx + dy * dy + dz * dz > limit * limit)
            sound->Stop();
    }
}
