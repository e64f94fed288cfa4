#pragma once
#include <cstdint>

#include "Engine/foundation/WeApplication.h"
#include "Engine/foundation/WeString.h"
#include "Engine/foundation/WeStringList.h"

class WeAbstractPhase;

// The game application: two passes over the engine, each bringing the window and the devices up and down.
// Pass 1 shows the intro; pass 2 runs the game from the start-up loading screen.
class CGameApplication : public WeApplication
{
public:
    static constexpr int32_t PassCount = 2;

    CGameApplication() = default;
    CGameApplication(const CGameApplication&) = delete;
    CGameApplication& operator=(const CGameApplication&) = delete;

    // Both passes; stops after a pass that ended with a close. 1 when a pass could not create its window or
    // start the engine, else 0.
    int Run() override;
    const char* GetName() override;

    // Brings a pass up; false when the window or the engine could not start.
    bool Init(int32_t pass);
    // Runs frames while the window is alive.
    bool MainLoop(int32_t pass);
    // Brings a pass down, whatever Init reached.
    void Shutdown(int32_t pass);
    // The engine's tick callback.
    static void OnTick();
    // The render device's callback while the game runs: the camera, the phases, the frame-rate overlay.
    static void OnRender();
    // The phase a pass pushes first (tests and demos start a pass anywhere). Null restores the default: the
    // intro in pass 1, the start-up loading screen in pass 2.
    void SetFirstPhase(int32_t pass, WeAbstractPhase* phase);
    WeAbstractPhase* GetFirstPhase(int32_t pass) const;

    // The folder of the user fonts; empty: the executable's folder + "/Fonts".
    void SetFontsFolder(const WeString& folder) { m_FontsFolder = folder; }
    WeString GetFontsFolder() const;

    WeAbstractPhase* m_FirstPhase[PassCount] = {};  // null: the default
    uint8_t m_StartFailed = 0;                      // a pass could not create its window or start the engine
    WeString m_FontsFolder;
    WeStringList m_InstalledFonts;  // the font files this pass added, removed again by Shutdown
};

extern CGameApplication g_GameApplication;
