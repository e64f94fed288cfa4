#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class CGameCamera;
class CGameMap;
class CGameWindow;
class CTuber;
class WeFont;

// The game-wide state: the music playing, the frame-rate overlay, the movies switch, the game window, the
// fonts, the race map, the chase camera and the player's craft with the bytes the race and the camera share.
class CGameGlobals
{
public:
    // Music kinds of PlayMusic.
    enum MusicKind : int32_t
    {
        NoMusic = 0,
        MenuMusic = 1,
        WorldMusic = 2,
        RaceMusic = 3,
        StatisticsMusic = 4,
        CreditsMusic = 5,
        ExtraMusic = 6
    };

    // Creates the camera and the window object, which are never deleted.
    CGameGlobals();
    ~CGameGlobals();
    CGameGlobals(const CGameGlobals&) = delete;
    CGameGlobals& operator=(const CGameGlobals&) = delete;

    // The game's step of every engine tick: focus, the player's message, F9, the fader, the phases.
    void Tick();
    // Requests the nine fonts from the UI's font manager (once the UI is up).
    void LoadFonts();
    // Starts the music of a kind; nothing when that kind is already the current one.
    void PlayMusic(int32_t kind);
    // "FPS: <n>" while the overlay is on.
    void DrawFrameRate();
    // The sound name of a music kind ("Sounds.Music." + ...), without ".ogg"; empty when the kind has none.
    static WeString GetMusicName(int32_t kind, const WeString& worldName, const WeString& mapName);
    // The world picked in the front end and the map of the race, for the music of kinds 2 to 4.
    static WeString GetSelectedWorldName();
    static WeString GetRaceMapName();
    // Whether the game window is this thread's foreground window.
    bool IsWindowInFront() const;

    int32_t m_MusicKind = NoMusic;
    uint8_t m_ShowFrameRate = 0;  // toggled by F9
    uint8_t m_PlayMovies = 1;     // "--no-movies" clears it
    CGameWindow* m_Window = nullptr;
    WeFont* m_Font12 = nullptr;
    WeFont* m_Font16 = nullptr;
    WeFont* m_Font20 = nullptr;
    WeFont* m_Font24 = nullptr;
    WeFont* m_Font30 = nullptr;
    WeFont* m_Font32 = nullptr;
    WeFont* m_Font50 = nullptr;
    WeFont* m_FontBig = nullptr;
    WeFont* m_FontCourier = nullptr;
    CGameMap* m_Map = nullptr;  // the race map while one is loaded
    CGameCamera* m_Camera = nullptr;
    CTuber* m_PlayerTuber = nullptr;  // the local player's craft during a race
    uint8_t m_PlayerFlag = 0;         // raised by the craft that becomes the player's
    uint8_t m_ReverseView = 0;        // the chase camera looks back (set every race frame from the key)
    uint8_t m_Snap = 0;               // no camera smoothing this frame (respawn, teleport)
    uint8_t m_ResetDirection = 0;     // the camera takes the craft's direction afresh
};

extern CGameGlobals g_Game;
