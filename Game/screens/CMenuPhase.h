#pragma once
#include <cstdint>

#include "Engine/runtime/WeAbstractPhase.h"

class WeTexture;
class WeUIMovie;
class WeUIPicture;

// The bottom of the stack under every menu screen: the moving background (a still picture with movies
// off), the build version, the menu music, and the menu sounds every screen plays.
class CMenuPhase : public WeAbstractPhase
{
public:
    static constexpr int32_t SoundConfirm = 0;
    static constexpr int32_t SoundBack = 1;
    static constexpr int32_t SoundDenied = 2;
    static constexpr int32_t SoundKeyPress = 3;

    void Enter() override;
    void Leave() override;
    void Render() override;

    // Plays one menu sound once; kinds outside 0..3 play nothing.
    void PlayMenuSound(int32_t kind);
    // The sound name of a kind, empty outside 0..3.
    static const char* GetMenuSoundName(int32_t kind);
    void StartBackground();
    void RemoveBackground();

    WeUIMovie* m_MovieWidget = nullptr;
    WeUIPicture* m_PictureWidget = nullptr;
    uint8_t m_UsesMovie = 0;
    // How often each kind was asked for since start-up, for the screens' tests and demos.
    int32_t m_SoundsPlayed[4] = {};
    // "Ingame.Misc.MenuBackground", kept once loaded.
    static WeTexture* s_BackgroundTexture;
};

extern CMenuPhase g_MenuPhase;
