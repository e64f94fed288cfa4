#include "Game/shell/CPlayGamePhase.h"

#include <cmath>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeConfigEntry.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeTickCost.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeFlareRenderer.h"
#include "Engine/render/WePostProcess.h"
#include "Engine/render/WeReflectionRenderer.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/world/WePhysics.h"
#include "Game/craft/CAIKernel.h"
#include "Game/craft/CTuber.h"
#include "Game/screens/CEndGamePhase.h"
#include "Game/screens/CInGameMenuPhase.h"
#include "Game/screens/CLoadMapPhase.h"
#include "Game/screens/CRestartPhase.h"
#include "Game/shell/CGameCamera.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CInputBindings.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/COneShotSounds.h"
#include "Game/shell/COptionsSettings.h"
#include "Game/shell/CPickupAnimation.h"
#include "Game/shell/CPostProcessSlots.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRacePhysics.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CScreenEffects.h"
#include "Game/shell/CScreenFader.h"
#include "Game/shell/CUberText.h"
#include "Game/shell/RaceResultLog.h"
#include "Game/shell/SpawnParticipantTuber.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/math/D3DXQUATERNION.h"

CPlayGamePhase g_PlayGamePhase;

namespace
{
constexpr float Pi = 3.14159265358979f;
constexpr float DegreesToRadians = Pi / 180.0f;
constexpr int32_t EscapeKey = 1;
constexpr int32_t FirstNumberKey = 2;  // "1" .. "0" are key codes 2 to 11

// Bound before the race begins, each with its default.
struct Settings
{
    const float& initRaceTime = GetConfigFloat("game.Hud.InitRaceTime", 3.0f);
    const bool& playSongBeforePreview = GetConfigBool("game.Music.PlaySongRaceBeforePreviewCameras", false);
    const float& safetyLockTime = GetConfigFloat("game.GamePlay.SafetyLockTime", 5.0f);
    const float& frontFireDistance = GetConfigFloat("tuber.Weapons.FrontFireDistance", 4.0f);
    const float& backFireDistance = GetConfigFloat("tuber.Weapons.BackFireDistance", 4.0f);
    const float& boltLockDistance = GetConfigFloat("tuber.Weapons.BoltLockDistance", 500.0f);
    const float& boltLockMinDot = GetConfigFloat("tuber.Weapons.BoltLockMinDot", 0.995f);
    const float& finalisationTime = GetConfigFloat("game.GamePlay.RaceFinalizationTime", 7.0f);
    const float& countdownScale = GetConfigFloat("game.Hud.CountdownScale", 1.0f);
    const float& previewTime = GetConfigFloat("cameras.Preview.PreviewTime", 2.0f);
    const float& defaultFocusDistance = GetConfigFloat("cameras.Preview.DefaultFocusDistance", 8.0f);
    const float& defaultFocusRange = GetConfigFloat("cameras.Preview.DefaultFocusRange", 200.0f);
    const float& defaultMaxCoC = GetConfigFloat("cameras.Preview.DefaultMaxCoC", 4.0f);
    const float& lookAtFocus = GetConfigFloat("cameras.Preview.LookAtFocus", 100.0f);
    const float& positionFreq = GetConfigFloat("cameras.Preview.PositionFreq", 1.0f);
    const float& rotationFreq = GetConfigFloat("cameras.Preview.RotationFreq", 1.0f);
    const float& previewFov = GetConfigFloat("cameras.Preview.FOV", 90.0f);
    const float& previewFocusDistance = GetConfigFloat("cameras.Preview.FocusDistance", 8.0f);
    const float& previewFocusRange = GetConfigFloat("cameras.Preview.FocusRange", 200.0f);
    const float& previewMaxCoC = GetConfigFloat("cameras.Preview.MaxCoC", 4.0f);
    const float& raceFocusDistance = GetConfigFloat("cameras.DoF.RaceFocusDistance", 8.0f);
    const float& raceFocusRange = GetConfigFloat("cameras.DoF.RaceFocusRange", 200.0f);
    const float& raceMaxCoC = GetConfigFloat("cameras.DoF.RaceMaxCoC", 4.0f);
};

const Settings& GetSettings()
{
    static const Settings settings;
    return settings;
}

// Bound at start-up, as the race's tunables are: the first race then finds them with their defaults.
const Settings& g_BoundSettings = GetSettings();

void IgnoreSleepOrWake(WeActor*) {}

void Black(CScreenFader::Callback callback)
{
    g_ScreenFader.FadeTo(callback, CPlayGamePhase::FadeSeconds, 0.0f, 0.0f, 0.0f, 1.0f);
}

// The device holds {focus range, focus distance, maximum circle of confusion}.
void SetDepthOfField(float focusDistance, float focusRange, float maxCoC)
{
    g_RenderDevice.m_DepthOfField[0] = focusRange;
    g_RenderDevice.m_DepthOfField[1] = focusDistance;
    g_RenderDevice.m_DepthOfField[2] = maxCoC;
}

void WriteBack(const char* key, float value)
{
    WeConfigEntry* entry = FindConfigEntry(WeString(key));
    if (entry == nullptr)
        return;
    entry->text = WeString().AppendFloat(value, 3);
    entry->hasValue = true;
    entry->ParseText();
}

// Field `index` of a comma-separated key: a number, or the fallback when the field is missing or not one.
float FieldOr(const WeString& text, int32_t index, float fallback)
{
    const WeString field = text.GetToken(',', index);
    const char* c = field.c_str();
    while (*c == ' ' || *c == '\t')
        ++c;
    if (*c == '\0')
        return fallback;
    const float value = WeString(c).ToFloat(fallback);
    return std::isfinite(value) ? value : fallback;
}

D3DXVECTOR3 Row(const D3DXMATRIX& m, int32_t row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

CUberText* MakeCentredText(const WeString& key, WeFont* font, int32_t inStyle, int32_t outStyle)
{
    CUberText* text = new CUberText(g_Localization.GetText(key), 0.5f, 0.5f, inStyle, outStyle);
    text->SetFormat(5);
    text->SetFont(font);
    text->SetColor(1.0f, 1.0f, 0.0f, 1.0f);
    text->SetShadow(false);
    return text;
}

bool IsKeyboardBinding(const CInputBindings::Binding& b)
{
    return b.code != 0 && b.isMouse == 0 && b.isJoystick == 0;
}
}  // namespace

CPlayGamePhase::~CPlayGamePhase()
{
    m_Checkpoints.Reset();
    m_CraftPush.Reset();
}

CTuber* CPlayGamePhase::SlotCraft(int32_t slot)
{
    if (slot < 0 || slot >= CRaceSettings::SlotCount)
        return nullptr;
    CRaceParticipant* p = g_RaceSettings.m_Participants[slot];
    return p != nullptr && p->IsRacing() ? p->m_Craft : nullptr;
}

void CPlayGamePhase::Enter()
{
    g_Timer.m_MinimumFrameTime = 0.0125;
    g_Engine.m_PhysicsEnabled = 1;

    m_FinishReason = 0;
    m_EndMessageShown = 0;
    m_TimeTrialLapMark = -10;
    m_LapTimeLimit = m_ShownLapTime = 0.0f;
    m_StartDelayTimer = m_RaceClock = m_NextPlayerWaitTimer = 0.0f;
    m_FinalisationTimer = m_CountdownTimer = m_PreCountdownTimer = 0.0f;
    m_CountdownStep = 0;
    m_MusicStarted = 0;

    g_MainGameInterface.Init();
    RemoveRacePickups();
    StartSafetyLock();

    g_Physics.SetContactCallback(OnRaceContact);
    g_Physics.SetTriggerCallback(OnRaceTrigger);
    g_Physics.SetSleepCallback(IgnoreSleepOrWake);
    g_Physics.SetWakeCallback(IgnoreSleepOrWake);
    ApplyRaceCollisionGroups();

    g_FlareRenderer.ClearLights();
    g_PostProcess.Reinitialize();
    g_MainGameInterface.Init();
    m_InRace = 1;
    CreateAgents();

    for (int32_t slot = 0; slot < CRaceSettings::SlotCount; ++slot)
    {
        CRaceParticipant* p = g_RaceSettings.m_Participants[slot];
        if (p == nullptr || !p->IsRacing())
            continue;
        CTuber* craft = SpawnParticipantTuber(p);
        // Start locations can run out: that slot races without a craft.
        if (craft != nullptr && p->m_Kind == CRaceParticipant::Human)
            craft->SetAsPlayer();
    }

    // A paused step here would hand the racers to a set-up of the implementer's choosing; nothing of the race
    // depends on it, so the race goes straight to the start delay.
    m_RaceState = Paused;
    m_RaceState = StartDelay;

    CGameCamera* camera = g_Game.m_Camera;
    if (g_Game.m_Map != nullptr)
    {
        const CMapHeader& header = g_Game.m_Map->m_Header;
        header.Apply();
        if (camera != nullptr)
        {
            const float nearPlane = header.m_ValueA > 0.0f ? header.m_ValueA : 0.2f;
            const float farPlane = header.m_FarValue > nearPlane ? header.m_FarValue : 3000.0f;
            camera->SetNearPlane(nearPlane);
            camera->SetFarPlane(farPlane);
        }
    }
    if (camera != nullptr)
        camera->ResetPresetState();
    g_Game.m_ReverseView = 0;

    ClearPostProcessSlots();
    ResetScreenEffects();
    g_MainGameInterface.SetRaceStartFlags();
    g_UIShowCursor = 0;
    g_Timer.m_FrameDelta = 0.0;
    g_Timer.m_FrameDeltaF = 0.0f;
    BuildCheckpoints();
    g_EndGamePhase.m_LeaveAtOnce = 0;
    g_EndGamePhase.m_Restarting = 0;

    m_RaceOver = m_Restart = m_PreviewDone = 0;
    m_PreviewCameraIndex = 0;
    m_PreviewActive = 0;
    m_PreviewCameraTimer = 0.0f;
    m_TimeTrialTextTimer = 0.0f;
}

void CPlayGamePhase::Leave()
{
    g_Timer.m_MinimumFrameTime = 0.0;
    g_Engine.m_PhysicsEnabled = 0;
    g_Engine.m_PhysicsPaused = 0;
    ClearExplosionQueue();
    ClearZoneRenderFlag();
    g_Physics.SetContactCallback(nullptr);
    g_Physics.SetTriggerCallback(nullptr);
    g_Physics.SetSleepCallback(nullptr);
    g_Physics.SetWakeCallback(nullptr);
    g_AudioDevice.SetSoundFade(1.0f);
    ClearPostProcessSlots();
    ResetScreenEffects();
    g_MainGameInterface.Clear();
    ClearPickupAnimations();
    ClearOneShotSounds();

    g_Game.m_PlayerTuber = nullptr;
    DeleteAgents();
    if (g_Game.m_Map != nullptr)
    {
        CGameMap* map = g_Game.m_Map;
        g_Game.m_Map = nullptr;
        delete map;
    }
    // The map took every craft with it; the results stay for the end screen.
    for (CRaceParticipant* p : g_RaceSettings.m_Participants)
        if (p != nullptr)
        {
            p->m_Craft = nullptr;
            p->m_Agent = nullptr;
        }
    m_CraftPush.Reset();

    g_RenderQueue.m_World = nullptr;
    g_RenderQueue.m_Camera = nullptr;
    delete m_SplitTextAhead;
    m_SplitTextAhead = nullptr;
    delete m_SplitTextBehind;
    m_SplitTextBehind = nullptr;
    g_UIShowCursor = 1;
    m_InRace = 0;
    m_StartDelayTimer = 0.0f;
}

void CPlayGamePhase::FinishRace(int32_t reason)
{
    if (m_RaceState == Finished)
        return;
    m_RaceState = Finished;
    m_FinalisationTimer = 0.0f;
    m_FinishReason = uint8_t(reason);
    for (int32_t slot = 0; slot < CRaceSettings::SlotCount; ++slot)
    {
        CTuber* craft = SlotCraft(slot);
        if (craft != nullptr && !craft->m_Finished)
            craft->FinishRace(false);
    }
}

void CPlayGamePhase::OnRaceExitFadeDone()
{
    WeAbstractPhase* next = g_PlayGamePhase.m_Restart != 0 ? static_cast<WeAbstractPhase*>(&g_RestartPhase)
                                                           : static_cast<WeAbstractPhase*>(&g_EndGamePhase);
    g_PhaseManager.RequestPhase(next, WePhaseManager::ChangeRequest);
}

void CPlayGamePhase::ShowNextPreviewCamera()
{
    CPlayGamePhase& race = g_PlayGamePhase;
    const Settings& settings = GetSettings();
    const WeString prefix = WeString("Maps.") + g_RaceSettings.m_MapName + ".PreviewCamera";
    for (int32_t i = race.m_PreviewCameraIndex + 1; i <= MaxPreviewCameras; ++i)
    {
        WeString key = prefix;
        key.AppendInt(i);
        const WeConfigEntry* entry = FindConfigEntry(key);
        if (entry == nullptr || !entry->fromFile)
            continue;
        const WeString& text = entry->text;
        race.m_PreviewPosition = D3DXVECTOR3(FieldOr(text, 0, 0.0f), FieldOr(text, 1, 0.0f), FieldOr(text, 2, 0.0f));
        D3DXQUATERNION q(FieldOr(text, 3, 0.0f), FieldOr(text, 4, 0.0f), FieldOr(text, 5, 0.0f),
                         FieldOr(text, 6, 1.0f));
        // A rotation of no length (fields missing or garbage) would make a degenerate view.
        const float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
        if (length > 1e-6f && std::isfinite(length))
            q = D3DXQUATERNION(q.x / length, q.y / length, q.z / length, q.w / length);
        else
            q = D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f);
        race.m_PreviewRotation[0] = q.x;
        race.m_PreviewRotation[1] = q.y;
        race.m_PreviewRotation[2] = q.z;
        race.m_PreviewRotation[3] = q.w;
        D3DXMATRIX rotation;
        D3DXMatrixRotationQuaternion(&rotation, &q);
        race.m_PreviewUp = Row(rotation, 1);
        race.m_PreviewForward = Row(rotation, 2);
        race.m_PreviewFocusDistance = FieldOr(text, 7, settings.defaultFocusDistance);
        race.m_PreviewFocusRange = FieldOr(text, 8, settings.defaultFocusRange);
        race.m_PreviewMaxCoC = FieldOr(text, 9, settings.defaultMaxCoC);
        WriteBack("cameras.Preview.FocusDistance", race.m_PreviewFocusDistance);
        WriteBack("cameras.Preview.FocusRange", race.m_PreviewFocusRange);
        WriteBack("cameras.Preview.MaxCoC", race.m_PreviewMaxCoC);
        race.m_PreviewCameraIndex = i;
        race.m_PreviewActive = 1;
        race.m_PreviewCameraTimer = 0.0f;
        return;
    }
    SkipPreview();
}

void CPlayGamePhase::SkipPreview()
{
    CPlayGamePhase& race = g_PlayGamePhase;
    race.m_PreviewActive = 0;
    race.m_PreviewDone = 1;
    if (race.m_MusicStarted == 0)
    {
        g_Game.PlayMusic(CGameGlobals::RaceMusic);
        race.m_MusicStarted = 1;
    }
    SetPostProcessSlot(0, 3, 1.0f, g_Game.m_PlayerTuber);
}

void CPlayGamePhase::Update()
{
    CGameMap* map = g_Game.m_Map;
    CGameCamera* camera = g_Game.m_Camera;
    const float dt = g_Timer.m_FrameDeltaF;
    UpdateOneShotSounds();

    if (map != nullptr)
    {
        WeHashTable<WeActor*>& actors = map->GetActors();
        for (auto* entry = actors.First(); entry != nullptr; entry = actors.Next())
        {
            WeActor* actor = entry->value;
            if (!actor->m_TeleportPending)
                continue;
            actor->SetTransform(actor->m_TeleportTargetMatrix);
            actor->OnTeleport();
            actor->m_TeleportPending = false;
        }
    }

    if (m_RaceOver != 0)
    {
        if (m_RaceState == Paused)
        {
            if (camera != nullptr)
                camera->Update();
        }
        else
        {
            if (map != nullptr)
                map->Tick();
            if (camera != nullptr)
                camera->Update();
            for (int32_t slot = 0; slot < CRaceSettings::SlotCount; ++slot)
                if (CTuber* craft = SlotCraft(slot))
                    craft->ApplyZoneRenderFlag();
            UpdateScreenEffects();
            UpdatePostProcessSlots();
        }
        g_MainGameInterface.Update();
        return;
    }

    g_OptionsSettings.m_Bindings.FillInputMessage(&g_PlayerInputMessage);
    {
        WeTickCost::Scope cost(WeCostStage::PickupsStandings);
        StepRaceState();
    }
    StepSafetyLock();
    g_FlareRenderer.ClearOccluders();

    if (m_RaceState == Paused)
    {
        g_Engine.m_PhysicsPaused = 1;
        if (camera != nullptr)
            camera->Update();
        g_MainGameInterface.Update();
        return;
    }
    g_Engine.m_PhysicsPaused = 0;
    {
        WeTickCost::Scope cost(WeCostStage::Weapons);
        DrainExplosionRequests();
    }
    if (map != nullptr)
        map->Tick();
    if (camera != nullptr)
        camera->Update();
    for (int32_t slot = 0; slot < CRaceSettings::SlotCount; ++slot)
        if (CTuber* craft = SlotCraft(slot))
            craft->ApplyZoneRenderFlag();
    if (m_RaceState == Racing)
    {
        {
            WeTickCost::Scope cost(WeCostStage::Weapons);
            for (int32_t slot = 0; slot < CRaceSettings::SlotCount; ++slot)
                if (CTuber* craft = SlotCraft(slot))
                    craft->ProcessFireRequests();
        }
        WeTickCost::Scope cost(WeCostStage::PickupsStandings);
        UpdateCheckpoints();
    }
    if (m_SplitTextAhead != nullptr)
        m_SplitTextAhead->Update();
    if (m_SplitTextBehind != nullptr)
        m_SplitTextBehind->Update();
    {
        WeTickCost::Scope cost(WeCostStage::Craft);
        PushCrafts();
    }
    {
        WeTickCost::Scope cost(WeCostStage::PickupsStandings);
        UpdatePickupAnimations();
    }
    UpdateScreenEffects();
    UpdatePostProcessSlots();
    if (m_RaceState >= PreCountdown && m_RaceState <= Finished && g_Input.ConsumeKey(EscapeKey))
        g_PhaseManager.RequestPhase(&g_InGameMenuPhase, WePhaseManager::PushRequest);
    HandleCameraKeys();
    WeTickCost::Scope cost(WeCostStage::HudUi);
    g_MainGameInterface.Update();
    (void)dt;
}

void CPlayGamePhase::StepRaceState()
{
    const Settings& settings = GetSettings();
    const float dt = g_Timer.m_FrameDeltaF;
    switch (m_RaceState)
    {
    case StartDelay:
        m_StartDelayTimer += dt;
        if (m_StartDelayTimer >= settings.initRaceTime)
        {
            m_RaceState = Preview;
            if (settings.playSongBeforePreview)
            {
                g_Game.PlayMusic(CGameGlobals::RaceMusic);
                m_MusicStarted = 1;
            }
            m_PreCountdownTimer = 0.0f;
            Black(ShowNextPreviewCamera);
        }
        break;
    case Preview:
        if (g_ScreenFader.m_State != CScreenFader::Idle)
            break;
        if (m_PreviewDone != 0)
            m_RaceState = PreCountdown;
        else if (m_PreviewActive != 0)
        {
            if (g_Input.m_PendingEdges > 0)
                Black(SkipPreview);
            else
            {
                m_PreviewCameraTimer += dt;
                if (m_PreviewCameraTimer > settings.previewTime)
                    Black(ShowNextPreviewCamera);
            }
        }
        break;
    case PreCountdown:
        m_PreCountdownTimer += dt;
        if (m_PreCountdownTimer >= 1.0f)
        {
            m_CountdownStep = 0;
            m_CountdownTimer = 0.0f;
            m_RaceState = Countdown;
        }
        break;
    case Countdown: StepCountdown(); break;
    case Racing:
        m_RaceClock += dt;
        UpdatePlacings();
        CheckRaceEnd();
        break;
    case Finished:
        m_FinalisationTimer += dt;
        if (m_FinalisationTimer >= settings.finalisationTime)
        {
            EstimateFinishTimes();
            WriteRaceResults();
            m_RaceOver = 1;
            Black(OnRaceExitFadeDone);
        }
        break;
    default: break;
    }
}

void CPlayGamePhase::StepCountdown()
{
    m_CountdownTimer += g_Timer.m_FrameDeltaF;
    if (m_CountdownStep > 3 || m_CountdownTimer < 0.6f * float(m_CountdownStep))
        return;
    const int32_t step = m_CountdownStep++;
    ShowCountdownStep(step);
    if (step == 3)
        m_RaceState = Racing;
}

void CPlayGamePhase::ShowCountdownStep(int32_t step)
{
    static const char* const Texts[4] = {"MSG: COUNTDOWN 3", "MSG: COUNTDOWN 2", "MSG: COUNTDOWN 1",
                                         "MSG: COUNTDOWN GO"};
    static const char* const Voices[4] = {"Sounds.Voice.CountThree", "Sounds.Voice.CountTwo", "Sounds.Voice.CountOne",
                                          "Sounds.Voice.CountGo"};
    if (step < 0 || step > 3)
        return;
    CUberText* text = MakeCentredText(WeString(Texts[step]), g_Game.m_FontBig, 206, 206);
    const float scale = GetSettings().countdownScale;
    text->SetScaleKey(0.0f, 0);
    text->SetScaleKey(scale, 1);
    text->SetScaleKey(scale, 2);
    text->SetScaleKey(scale, 3);
    text->SetInTime(0.5f);
    text->SetHoldTime(0.0f);
    text->SetOutTime(0.0f);
    g_MainGameInterface.AddMessage(text);
    PlayOneShotSound(WeString(Voices[step]));
}

void CPlayGamePhase::HandleCameraKeys()
{
    CGameCamera* camera = g_Game.m_Camera;
    if (camera == nullptr)
        return;
    const CInputBindings& bindings = g_OptionsSettings.m_Bindings;
    // A mouse or joystick binding's code is no key code (mouse button 2 would read as the "1" key).
    const CInputBindings::Binding& change = bindings.entries[CInputBindings::ChangeCamera];
    if (IsKeyboardBinding(change) && g_Input.ConsumeKey(change.code))
        camera->NextPreset();
    const CInputBindings::Binding& reverse = bindings.entries[CInputBindings::ReverseCamera];
    if (IsKeyboardBinding(reverse))
    {
        g_Game.m_ReverseView = g_Input.IsKeyDown(reverse.code) ? 1 : 0;
        camera->SelectActivePreset();
    }
    if (g_Input.m_Shift == 0 && g_Input.m_Ctrl == 0 && g_Input.m_Alt == 0 && g_Game.m_PlayerTuber != nullptr)
        for (int32_t i = 0; i < 10; ++i)
            if (g_Input.ConsumeKey(FirstNumberKey + i))
            {
                camera->SelectPreset(i);
                break;
            }
}

void CPlayGamePhase::Render()
{
    if (g_Game.m_PlayerTuber != nullptr && m_PreviewDone != 0)
        RenderRace();
    else if (m_PreviewActive != 0)
        RenderPreview();
    else
        RenderLoadingScreen();
}

void CPlayGamePhase::RenderRace()
{
    const Settings& settings = GetSettings();
    CTuber* player = g_Game.m_PlayerTuber;
    g_ReflectionRenderer.SetPosition(player->GetWorldPosition());
    SetDepthOfField(settings.raceFocusDistance, settings.raceFocusRange, settings.raceMaxCoC);
    if (g_Game.m_Map != nullptr)
        g_Game.m_Map->Render(g_Game.m_Camera);
    WeTickCost::Scope cost(WeCostStage::HudUi);
    g_MainGameInterface.Render();
    RenderSafetyLockCaption();
    if (m_RaceState == Finished && m_FinishReason == 0)
        ShowEndMessage();
    if (g_RaceSettings.m_RaceType == CRaceSettings::TimeTrial)
        RenderTimeTrial();
    if (m_SplitTextAhead != nullptr)
        m_SplitTextAhead->Draw();
    if (m_SplitTextBehind != nullptr)
        m_SplitTextBehind->Draw();
}

void CPlayGamePhase::ShowEndMessage()
{
    if (m_EndMessageShown != 0)
        return;
    m_EndMessageShown = 1;
    const CTuber* player = g_Game.m_PlayerTuber;
    const CRaceParticipant* p = player != nullptr ? player->m_Participant : nullptr;
    const char* key = "MSG: PLAYER LOST";
    const char* voice = "Sounds.Voice.EndYouLose";
    if (g_RaceSettings.m_RaceType != CRaceSettings::StandardRace)
    {
        if (p != nullptr && p->m_Won)
        {
            key = "MSG: PLAYER WIN";
            voice = "Sounds.Voice.EndYouWin";
        }
    }
    else if (p != nullptr && p->m_RacePlace >= 1 && p->m_RacePlace <= 3)
    {
        static const char* const Keys[3] = {"MSG: PLAYER FIRST PLACE", "MSG: PLAYER SECOND PLACE",
                                            "MSG: PLAYER THIRD PLACE"};
        static const char* const Voices[3] = {"Sounds.Voice.EndFirstPlace", "Sounds.Voice.EndSecondPlace",
                                              "Sounds.Voice.EndThirdPlace"};
        key = Keys[p->m_RacePlace - 1];
        voice = Voices[p->m_RacePlace - 1];
    }
    if (g_MainGameInterface.m_Visible != 0)
    {
        CUberText* text = MakeCentredText(WeString(key), g_Game.m_Font50, 207, 1);
        text->SetScaleKey(4.0f, 0);
        text->SetScaleKey(1.0f, 1);
        text->SetScaleKey(1.0f, 2);
        text->SetScaleKey(1.0f, 3);
        text->SetInTime(1.0f);
        text->SetHoldTime(5.0f);
        text->SetOutTime(0.0f);
        g_MainGameInterface.AddMessage(text);
    }
    PlayOneShotSound(WeString(voice));
}

void CPlayGamePhase::RenderPreview()
{
    const Settings& settings = GetSettings();
    const float t = g_Timer.m_TotalTimeF;
    const D3DXVECTOR3& position = m_PreviewPosition;
    const D3DXVECTOR3& forward = m_PreviewForward;
    const D3DXVECTOR3& up = m_PreviewUp;
    const D3DXVECTOR3 focus = position + forward * settings.lookAtFocus;
    const float a = std::sin(2.0f * Pi * settings.positionFreq * t);
    const float b = 2.0f * Pi * settings.rotationFreq * t;
    D3DXVECTOR3 side;
    D3DXVec3Cross(&side, &forward, &up);
    const D3DXVECTOR3 eye = position + up * a + side * std::cos(b) + up * std::sin(b);
    D3DXVECTOR3 look = focus - eye;
    const float length = std::sqrt(look.x * look.x + look.y * look.y + look.z * look.z);
    look = length > 1e-6f ? look / length : forward;
    WeCamera& camera = m_PreviewCamera;
    camera.m_Position = eye;
    camera.m_Direction = look;
    camera.m_Up = up;
    const CGameCamera* chase = g_Game.m_Camera;
    camera.SetProjection(settings.previewFov * DegreesToRadians, chase != nullptr ? chase->m_Near : 0.2f,
                         chase != nullptr ? chase->m_Far : 3000.0f, 0.0f);
    camera.Update();
    g_RenderDevice.SetCamera(&camera);
    g_ReflectionRenderer.SetPosition(eye);
    SetDepthOfField(settings.previewFocusDistance, settings.previewFocusRange, settings.previewMaxCoC);
    if (g_Game.m_Map != nullptr)
        g_Game.m_Map->Render(&camera);
}

void CPlayGamePhase::CreateAgents()
{
    g_AIKernel.CreateAgents();
}

void CPlayGamePhase::DeleteAgents()
{
    g_AIKernel.DeleteAgents();
}

// The loading screen stays up through the start delay and whenever no preview camera shows.
void CPlayGamePhase::RenderLoadingScreen()
{
    g_LoadMapPhase.Render();
}

void CPlayGamePhase::UpdatePickupAnimations()
{
    CPickupAnimation::UpdateAll();
}

void CPlayGamePhase::ClearPickupAnimations()
{
    CPickupAnimation::DeleteAll();
}

void CPlayGamePhase::ClearZoneRenderFlag()
{
    g_RenderDevice.m_QueueByte = 0;
}
