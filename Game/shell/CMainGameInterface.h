#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"
#include "Platform/math/D3DXVECTOR3.h"

class CTuber;
class CUberText;
class WeSound;
class WeTexture;

// The in-race heads-up display: the player's gauges, place, laps and times, weapon slots, power-ups, the
// standings, the queue of animated messages, the markers and warnings over the scene, and the interface
// sounds of the player's state. The race initialises it at its start, updates and draws it once a frame
// and clears it when it is left. Everything is drawn immediately through the canvas.
class CMainGameInterface
{
public:
    static constexpr int32_t ParticipantSlots = 6;
    static constexpr int32_t TranslocatorFrames = 3;
    // The number of LEDs a dial draws at most, whatever the layout says.
    static constexpr int32_t MaxLedCount = 64;
    // The power-ups the stack shows at most.
    static constexpr int32_t MaxPowerUps = 8;

    // A running power-up as the stack shows it: its number (0 invisibility, 1 invulnerability, 2 quad damage,
    // 3 engine ability) and its seconds left.
    struct PowerUpView
    {
        int32_t type;
        float remaining;
    };
    // The craft's running power-ups in its list's order, at most capacity of them; the count.
    static int32_t ListPowerUps(const CTuber* craft, PowerUpView* out, int32_t capacity);

    // Positions are fractions of the screen; the dials are in reference pixels (x from the left, y from
    // the bottom) and degrees. Read once at game-data load; every value defaults to 0.
    struct Layout
    {
        float leftTexX, leftTexY;
        float leftNumX, leftNumY;
        float rightTexX, rightTexY;
        float rightNumX, rightNumY;
        float lapY;
        float killsX, killsY;
        float coinsX, coinsY;
        float lastLapX, lastLapY;
        float lastLapNumX, lastLapNumY;
        float fastestLapX, fastestLapY;
        float fastestLapNumX, fastestLapNumY;
        float raceTimeX, raceTimeY;
        float raceTimeNumX, raceTimeNumY;
        int32_t speedRotX, speedRotY, speedRotRadius, speedRotCount;
        float speedRotAngle, speedRotStartAngle;
        int32_t turboSpeedRotX, turboSpeedRotY, turboSpeedRotRadius, turboSpeedRotCount;
        float turboSpeedRotAngle, turboSpeedRotStartAngle;
        float weaponX, mineX;
        float buffBackY, buffBackSpreadY;
    };
    static Layout s_Layout;

    CMainGameInterface() = default;
    virtual ~CMainGameInterface();
    CMainGameInterface(const CMainGameInterface&) = delete;
    CMainGameInterface& operator=(const CMainGameInterface&) = delete;

    // Game-data load.
    void LoadAtlases();
    void LoadLayout();

    // Race start (a second call before Clear does nothing), the race's start flags, and race leave.
    void Init();
    void SetRaceStartFlags();
    void Clear();

    void Update();
    void Render();

    void SetTimeWarning(float intensity) { m_TimeWarningIntensity = intensity; }
    // Hands a message to the queue, which owns it from then on; null is ignored.
    void AddMessage(CUberText* message);
    // Whether the queue still holds the message (it deletes what is done, so a caller's pointer may dangle).
    bool HoldsMessage(const CUberText* message) const;
    // A message of the translation of key with random animations in the default font.
    void ShowCentredMessage(const WeString& key);

    uint32_t GetAmmoColour(bool primary);
    // A left- and a right-anchored x, kept at its distance from its edge on a wide screen.
    float AnchorLeft(float x) const;
    float AnchorRight(float x) const;
    // int(scale * n): a reference pixel size on this screen.
    int32_t Scaled(int32_t n) const;

    void DrawGauges(int32_t pass);
    void DrawStandings(int32_t pass);

    void DrawBloodScreen();
    void DrawTranslocatorScreen();
    void DrawRivalTags();
    void DrawLockMessage();
    void DrawIncomingWarning();
    void CheckWrongWay();
    void DrawHealingText();
    void DrawPickupMarkers();
    void DrawMineMarkers();
    void DrawLockRings();
    void DrawCrosshair();
    void DrawMarker(bool isMine, float& timer, const D3DXVECTOR3& position);
    void DrawMessages();

    uint8_t m_Initialised = 0;
    float m_WarningSoundTimer = 0.0f;
    float m_LockSoundTimer = 0.0f;
    float m_WrongWayTimer = 0.0f;
    float m_BloodTimer = 0.0f;
    float m_StandingsTimer = 0.0f;
    float m_TimeWarningIntensity = 0.0f;
    float m_TimeWarningTimer = 0.0f;
    WeSound* m_HeartBeatSound = nullptr;
    WeSound* m_HitSound = nullptr;
    WeSound* m_ImmortalHitSound = nullptr;
    WeSound* m_TimeEndingSound = nullptr;
    float m_Scale = 1.0f;
    float m_HorizontalScale = 1.0f;
    float m_VerticalScale = 1.0f;
    WeTexture* m_HudAtlas = nullptr;
    WeTexture* m_LockingAtlas = nullptr;
    WeTexture* m_BloodScreen = nullptr;
    WeTexture* m_TranslocatorScreens[TranslocatorFrames] = {nullptr, nullptr, nullptr};
    float m_WeaponSlotX = 0.0f;
    float m_MineSlotX = 0.0f;
    uint8_t m_Visible = 1;
    uint8_t m_WeaponSlotsShown = 1;
    uint8_t m_StatsShown = 1;
    int32_t m_RivalTagMode = 1;
    uint8_t m_LockRingsShown = 1;
    uint8_t m_MessagesShown = 1;
    uint8_t m_StandingsShown = 1;
    uint8_t m_DistantExplosionRequest = 0;
    WeTexture* m_PrimaryPicture = nullptr;
    int32_t m_PrimaryPictureKind = 0;
    WeTexture* m_SecondaryPicture = nullptr;
    int32_t m_SecondaryPictureKind = 0;
    WeList<CUberText*> m_Messages;

    // The standings' row animation runs.
    uint8_t m_StandingsAnimating = 0;
    // The place each participant slot is shown at in the standings (0: not yet shown).
    int32_t m_ShownPlaces[ParticipantSlots] = {0, 0, 0, 0, 0, 0};
    // The lock message's text and its fade timer, kept between frames.
    WeString m_LockMessage;
    float m_LockMessageTimer = 0.0f;
    // Stops the craft's idle hover while set; cleared at each race start.
    uint8_t m_IdleHoverStopped = 0;

private:
    void DrawGaugeQuads(CTuber* craft);
    void DrawGaugeTexts(CTuber* craft);
    void DrawStandingsBacking(int32_t count);
    void DrawStandingsNames(int32_t count);
    // The update's steps that read the player's craft.
    void UpdateHeartBeat();
    void UpdateHitSound();
    void UpdateWeaponPictures();
    void UpdateDistantExplosion();
    void UpdateTimeWarning();
    void UpdateDebugKeys();
    void DestroyMessages();
};

extern CMainGameInterface g_MainGameInterface;
