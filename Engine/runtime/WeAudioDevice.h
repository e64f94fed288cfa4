#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"

class WeSound3D;
class WeSoundStream;

// The OpenAL device and context, the music stream, the volumes and a nesting pause count, and the
// positional loops that stop when the listener moves away from them. Lives through both passes of
// the game: Init and Shutdown may alternate.
class WeAudioDevice
{
public:
    // Where the sound goes. Tests and the WAV writer render through OpenAL Soft's loopback device
    // (16-bit stereo at 44.1 kHz) to advance time without waiting for it.
    enum class Output
    {
        Default,                // the system's default device
        Named,                  // the device of the given name
        Loopback,               // rendered on demand by RenderSamples
        LoopbackWithoutFormat,  // a loopback context without its format: the context fails
    };
    static constexpr int32_t LoopbackRate = 44100;

    WeAudioDevice();
    virtual ~WeAudioDevice();

    bool Init();
    void Update();
    void Shutdown();

    bool PlayMusic(const WeString& name, bool loop);
    void StopMusic();
    void PauseMusic();
    void ResumeMusic();
    bool IsMusicPlaying();
    bool IsMusicPaused();

    void SetMusicVolume(float volume);
    void SetSoundVolume(float volume);
    void SetSoundFade(float fade);
    void SetPaused(bool paused);

    void Register3DSound(WeSound3D* sound);
    void Unregister3DSound(WeSound3D* sound);
    bool Is3DSoundRegistered(WeSound3D* sound);
    void StopDistantSounds();

    bool IsInitialised() const { return m_Initialised != 0; }
    int32_t GetPauseCount() const { return m_PauseCount; }
    float GetSoundVolume() const { return m_SoundVolume; }
    float GetMusicVolume() const { return m_MusicVolume; }
    float GetSoundFade() const { return m_Fade; }
    // 0 while paused, else the sound volume.
    float GetEffectiveVolume() const { return m_PauseCount != 0 ? 0.0f : m_SoundVolume; }
    WeSoundStream* GetMusic() const { return m_Music; }
    int32_t GetRegisteredCount() const { return m_Registered->Count(); }

    // Takes effect at the next Init.
    void SetOutput(Output output, const WeString& deviceName = WeString());
    // Renders `frames` frames of interleaved 16-bit stereo from the loopback device; false (and
    // silence) without one.
    bool RenderSamples(int16_t* out, int32_t frames);

private:
    WeSoundStream* m_Music = nullptr;
    uint8_t m_Initialised = 0;
    int32_t m_PauseCount = 0;
    float m_SoundVolume = 1.0f;
    float m_Fade = 1.0f;
    float m_MusicVolume = 1.0f;
    void* m_Device = nullptr;   // ALCdevice
    void* m_Context = nullptr;  // ALCcontext
    // Never freed: positional sounds in process-wide objects unregister from their exit-time
    // destructors, whatever the order of those.
    WeList<WeSound3D*>* m_Registered = new WeList<WeSound3D*>();
    Output m_Output = Output::Default;
    WeString m_DeviceName;
    bool m_IsLoopback = false;
};

extern WeAudioDevice g_AudioDevice;
