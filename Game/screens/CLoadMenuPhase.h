#pragma once
#include <cstdint>

#include "Engine/runtime/WeAbstractPhase.h"

// The start of the second pass: behind the splash picture with the legal text it loads every game-wide
// data set once, preloads the shared assets and the sounds, then hands over to the menus.
class CLoadMenuPhase : public WeAbstractPhase
{
public:
    void Enter() override;
    void Leave() override;
    void Update() override;

    // Everything the game loads once: fonts, data sets, shared assets, sounds, the buy-screen picture, the
    // menu music and background.
    static void LoadGameData();
    static void LoadSharedAssets();
    static void LoadSounds();

    // 0..7, one per frame (see Update).
    int32_t m_Step = 0;
};

extern CLoadMenuPhase g_LoadMenuPhase;
