#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/render/WeCamera.h"
#include "Engine/runtime/WeAbstractPhase.h"
#include "Platform/math/D3DXVECTOR3.h"

class CRaceParticipant;
class CTuber;
class CUberText;

// A point of the lap at which every participant's passing time is kept, for the split times.
struct CRaceCheckpoint
{
    static constexpr int32_t SlotCount = 6;
    float m_TrackFraction = 0.0f;  // 0 to 1 along the lap
    float m_SlotTimes[SlotCount] = {};
};

// The race: from the loading screen's hand-over through the start delay, the preview fly-by, the countdown
// and the race to the finish and the fade to the end screen. One process-wide object, never deleted through
// its base.
class CPlayGamePhase : public WeAbstractPhase
{
public:
    enum RaceState : int32_t
    {
        StartDelay = 0,
        Preview = 1,
        PreCountdown = 2,
        Countdown = 3,
        Racing = 4,
        Finished = 5,
        Paused = 6
    };
    static constexpr int32_t MaxPreviewCameras = 10;
    static constexpr float FadeSeconds = 2.0f;

    CPlayGamePhase() = default;
    ~CPlayGamePhase();
    CPlayGamePhase(const CPlayGamePhase&) = delete;
    CPlayGamePhase& operator=(const CPlayGamePhase&) = delete;

    void Enter() override;
    void Leave() override;
    void Update() override;
    void Render() override;

    // Ends the race once: a second call changes nothing, not even the reason (0 is a normal end).
    void FinishRace(int32_t reason);
    // The fader's callbacks.
    static void OnRaceExitFadeDone();
    static void ShowNextPreviewCamera();
    static void SkipPreview();

    // The standings and rules of the running race, and the weapons' safety lock.
    void UpdatePlacings();
    void CheckRaceEnd();
    void EstimateFinishTimes();
    void BuildCheckpoints();
    void UpdateCheckpoints();
    void PushCrafts();
    void StartSafetyLock();
    void StepSafetyLock();
    // The time-trial display and the safety-lock caption of the race view.
    void RenderSafetyLockCaption();
    void RenderTimeTrial();

    // Steps of the race that other parts of the game provide.
    void RemoveRacePickups();
    void DrainExplosionRequests();
    void ClearExplosionQueue();
    void CreateAgents();
    void DeleteAgents();
    void UpdatePickupAnimations();
    void ClearPickupAnimations();
    void RenderLoadingScreen();
    void ClearZoneRenderFlag();

    // Pieces of the steps above.
    void StepRaceState();
    void StepCountdown();
    void ShowCountdownStep(int32_t step);
    void ShowEndMessage();
    void HandleCameraKeys();
    void RenderRace();
    void RenderPreview();
    void EndPreview();
    // The craft of every occupied participant slot, in slot order (null for slots without one).
    static CTuber* SlotCraft(int32_t slot);

    // --- the race's state, in order ---
    float m_StartDelayTimer = 0.0f;
    float m_RaceClock = 0.0f;  // the craft's race time; runs only while racing
    float m_FinalisationTimer = 0.0f;
    float m_NextPlayerWaitTimer = 0.0f;
    float m_TimeTrialTextTimer = 0.0f;
    int32_t m_RaceState = StartDelay;
    int32_t m_SavedRaceState = StartDelay;  // kept by the pause menu while it holds state 6
    D3DXVECTOR3 m_LastContactPoint;
    D3DXVECTOR3 m_LastContactNormalForce;
    uint8_t m_InRace = 0;
    uint8_t m_RaceOver = 0;  // the exit fade started: from here the update only animates
    uint8_t m_Restart = 0;   // the pause menu's restart
    uint8_t m_PreviewDone = 0;
    uint8_t m_FinishReason = 0;
    int32_t m_TimeTrialLapMark = -10;
    float m_LapTimeLimit = 0.0f;
    float m_ShownLapTime = 0.0f;
    int32_t m_CountdownStep = 0;
    float m_CountdownTimer = 0.0f;
    float m_PreCountdownTimer = 0.0f;
    uint8_t m_EndMessageShown = 0;
    CUberText* m_SplitTextAhead = nullptr;   // owned
    CUberText* m_SplitTextBehind = nullptr;  // owned
    int32_t m_PreviewCameraIndex = 0;        // 0 before the first
    float m_PreviewCameraTimer = 0.0f;
    D3DXVECTOR3 m_PreviewPosition;
    float m_PreviewRotation[4] = {0.0f, 0.0f, 0.0f, 1.0f};  // x, y, z, w
    D3DXVECTOR3 m_PreviewForward{0.0f, 0.0f, 1.0f};
    D3DXVECTOR3 m_PreviewUp{0.0f, 1.0f, 0.0f};
    float m_PreviewFocusDistance = 8.0f;
    float m_PreviewFocusRange = 200.0f;
    float m_PreviewMaxCoC = 4.0f;
    uint8_t m_PreviewActive = 0;
    WeList<CRaceCheckpoint> m_Checkpoints;

    // --- what the race uses beside them ---
    WeCamera m_PreviewCamera;
    WeList<CTuber*> m_CraftPush;  // its nodes are recycled from frame to frame
    uint8_t m_MusicStarted = 0;   // the race music began before the preview
};

extern CPlayGamePhase g_PlayGamePhase;
