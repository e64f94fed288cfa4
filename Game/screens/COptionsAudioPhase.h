#pragma once
#include <cstdint>

#include "Engine/runtime/WeAbstractPhase.h"

class WeSound;
class WeUIComponent;

// The AUDIO sub-screen of the options: the music and the sound volume, each change heard at once and saved.
// A change of the sound volume asks for the test sound, except the first after entering.
class COptionsAudioPhase : public WeAbstractPhase
{
public:
    COptionsAudioPhase() = default;
    ~COptionsAudioPhase();
    COptionsAudioPhase(const COptionsAudioPhase&) = delete;
    COptionsAudioPhase& operator=(const COptionsAudioPhase&) = delete;

    void Enter() override;
    void Leave() override;
    void OnCovered(WeAbstractPhase* newTop) override;
    void OnUncovered(WeAbstractPhase* removed) override;
    void HandleInput() override;
    // Plays the test sound once asked for and not already playing.
    void Update() override;

    static int32_t OnMusicVolumeChanged(WeUIComponent* sender);
    static int32_t OnSoundVolumeChanged(WeUIComponent* sender);

    WeSound* m_TestSound = nullptr;  // "Sounds.Menu.VolumeTest", owned while the screen shows
    bool m_TestSoundRequested = false;
    // Test sounds started since start-up, for the screens' tests and demos.
    int32_t m_TestSoundsPlayed = 0;
    // The next sound-volume report plays nothing.
    static bool s_SkipNextSoundReport;
};

extern COptionsAudioPhase g_OptionsAudioPhase;
