#include "Game/screens/CShipyardPhase.h"

#include <cmath>
#include <cstdlib>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeFlareRenderer.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeMeshManager.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/render/WePostProcess.h"
#include "Engine/render/WeReflectionRenderer.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/ui/WeFont.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIProgressBar.h"
#include "Engine/ui/WeUIText.h"
#include "Engine/ui/WeUIWindow.h"
#include "Engine/world/WeActor.h"
#include "Game/craft/CAIProfile.h"
#include "Game/craft/CAIProfiles.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/craft/CTuberDescription.h"
#include "Game/craft/CWeaponDescription.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/screens/CLoadMapPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CProfile.h"
#include "Game/screens/CProfileManager.h"
#include "Game/screens/CProgressBar.h"
#include "Game/screens/CSingleRacePhase.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/CMap.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/CMapInfo.h"
#include "Game/shell/COptionsSettings.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CScreenFader.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/math/D3DXVectorFunctions.h"

CShipyardPhase g_ShipyardPhase;

namespace
{
constexpr float Pi = 3.14159265358979f;
constexpr float DegreesToRadians = Pi / 180.0f;
constexpr const char* StartButton = "Shopping_StartRace_Button";
constexpr const char* BackButton = "Shipyard_Back_Button";
constexpr const char* DescWindow = "Shipyard_DescWindow";
constexpr const char* NextButton = "Shipyard_NextShip_Button";
constexpr const char* PrevButton = "Shipyard_PrevShip_Button";
const char* const RatingNames[4] = {"Shipyard_Speed", "Shipyard_Acceleration", "Shipyard_Steering", "Shipyard_HP"};
const char* const RatingKeys[4] = {"UI: SPEED", "UI: ACCELERATION", "UI: TURBO", "UI: HP"};
const char* const BarNames[4] = {"Shipyard_SpeedProgress", "Shipyard_AccelProgress", "Shipyard_SteeringProgress",
                                 "Shipyard_HPProgress"};

float Setting(const char* key, float fallback)
{
    return GetConfigFloat(WeString(key), fallback);
}

void Show(const char* name)
{
    g_UIMain.ShowComponent(name, false);
}

uint32_t ParseColour(const WeString& text)
{
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 16);
    return end != text.c_str() ? static_cast<uint32_t>(value) : 0xFFFFFFFFu;
}

void SetLabel(WeUILabel* label, const WeString& text)
{
    if (label != nullptr)
        label->m_Text->m_Text = text;
}

CShipyardPhase::CTuberInfo* Info(WeListNode<CShipyardPhase::CTuberInfo*>* node)
{
    return node != nullptr ? node->payload : nullptr;
}

void Fade(CScreenFader::Callback callback)
{
    g_ScreenFader.FadeTo(callback, 2.0f, 0.0f, 0.0f, 0.0f, 1.0f);
}

// Whether a computer opponent of a level from `lowest` to 3 drives the craft.
bool IsOffered(const CTuberDescription* description, int32_t lowest)
{
    WeList<CAIProfile*> profiles;
    for (int32_t level = lowest; level <= 3; ++level)
    {
        g_AIProfiles.CollectProfilesOfLevel(profiles, level);
        for (auto* n = profiles.FirstNode(); n != nullptr; n = profiles.NextNode(n))
            if (n->payload->m_CraftKeyword == description->m_Name)
                return true;
    }
    return false;
}
}  // namespace

CShipyardPhase::CTuberInfo::~CTuberInfo()
{
    if (m_Actor != nullptr)
    {
        if (m_Actor->m_World != nullptr)
            m_Actor->m_World->RemoveActor(m_Actor);
        delete m_Actor;
        m_Actor = nullptr;
    }
}

void CShipyardPhase::Enter()
{
    g_MenuPhase.RemoveBackground();
    g_Timer.m_MinimumFrameTime = 0.0125;
    g_Engine.m_PhysicsEnabled = 1;

    const CMapInfo* info = g_MapCatalogue.Find(g_RaceSettings.m_MapName);
    m_WorldName = info != nullptr ? info->m_WorldName : WeString("");
    m_LoadingPictureNumber = m_LoadingPictureNumber % LoadingPictureCount + 1;
    m_LoadingPicture = nullptr;
    if (!m_WorldName.IsEmpty())
    {
        WeString picture = WeString("Ingame.LoadingScreens.") + WeString(m_WorldName.c_str(), 1) + "Shipyard";
        picture.AppendInt(m_LoadingPictureNumber);
        m_LoadingPicture = g_TextureManager.GetTexture(picture, false, 0, true);
        if (m_LoadingPicture != nullptr)
            m_LoadingPicture->SetMinimumQuality(2);
    }

    m_Leaving = 0;
    m_Starting = 0;
    m_LoadingView = 1;
    m_Loaded = 0;
    m_FirstShow = 0;
    m_SlidingForward = m_SlidingBack = 0;
    m_BuildStep = 1;
    m_SceneStartTime = -1.0;
    m_SavedReflectionQuality = g_RenderDevice.m_ReflectionQuality;
    m_SavedQualityLevel = g_RenderDevice.m_MotionBlurMode;
    if (m_SavedQualityLevel == 2 && !g_RenderDevice.m_G16R16FTargets)
        m_SavedQualityLevel = 1;
    g_RenderDevice.m_MotionBlurMode = 0;
    g_RenderDevice.SetReflectionQuality(1);
    g_PostProcess.Reinitialize();
    g_FlareRenderer.ClearLights();

    m_GarageMap = new CMap();
    m_Camera = new WeCamera();
    m_TitleColour = ParseColour(
        GetConfigString(WeString("Maps.Worlds.ShipyardLoadScreenColor:") + m_WorldName, WeString("FFFFFFFF")));
    m_ProgressBar = new CProgressBar(true, true);
    m_ProgressBar->m_Value = 0.0f;
    m_ProgressBar->m_BarColor = m_TitleColour;
    m_ProgressBar->m_TextColor = m_TitleColour;

    g_UIMain.CreateButton(StartButton, g_Localization.GetText("UI: START"), "Root", OnStartClicked);
    g_UIMain.CreateButton(BackButton, g_Localization.GetText("UI: BACK"), "Root", OnBackClicked);
    WeUIWindow* window = g_UIMain.CreateWindow(DescWindow, g_Localization.GetText("UI: SHIP INFO"), "Root");
    g_UIMain.CreateButton(NextButton, g_Localization.GetText("UI: NEXT"), "Root", OnNextClicked);
    g_UIMain.CreateButton(PrevButton, g_Localization.GetText("UI: PREV"), "Root", OnPrevClicked);
    for (int32_t i = 0; i < 4; ++i)
    {
        m_RatingLabels[i] = g_UIMain.CreateLabel(RatingNames[i], g_Localization.GetText(RatingKeys[i]), DescWindow, -1);
        m_RatingBars[i] = g_UIMain.CreateProgressBar(BarNames[i], DescWindow);
    }
    m_DescriptionLabel = g_UIMain.CreateLabel("Shipyard_Description", "", DescWindow, 16);
    m_NameLabel = g_UIMain.CreateLabel("Shipyard_ShipName", "", DescWindow, -1);
    m_WeaponLabel = g_UIMain.CreateLabel("Shipyard_WeaponName", "", DescWindow, -1);
    m_MineLabel = g_UIMain.CreateLabel("Shipyard_MineName", "", DescWindow, -1);
    for (const char* name : {StartButton, BackButton, DescWindow, NextButton, PrevButton})
        if (WeUIComponent* c = g_UIMain.FindComponent(name))
            c->m_Visible = 0;
    // On a screen wider than the layout the window keeps to the left edge.
    const float layoutWidth = float(g_ScreenSize.height) * 1024.0f / 768.0f;
    if (window != nullptr && float(g_ScreenSize.width) > layoutWidth && g_ScreenSize.width > 0)
    {
        const float extra = (float(g_ScreenSize.width) - layoutWidth) / float(g_ScreenSize.width);
        window->SetRect(window->m_X - extra / 2.0f, window->m_Y, window->m_Width, window->m_Height);
    }

    g_UIShowCursor = 0;
    m_CatalogueCursor = g_TuberCatalogue.m_Names.FirstNode();
    UpdateCamera();
    g_Game.PlayMusic(CGameGlobals::WorldMusic);
}

bool CShipyardPhase::AddNextTuberInfo()
{
    if (m_CatalogueCursor != nullptr)
    {
        const CTuberDescription* description = g_TuberCatalogue.Find(m_CatalogueCursor->payload);
        const int32_t lowest = g_RaceSettings.m_RaceType == 1 ? g_RaceSettings.m_Difficulty : 1;
        if (description != nullptr && IsOffered(description, lowest))
        {
            auto* info = new CTuberInfo();
            info->m_Description = description;
            info->m_Actor = new WeActor();
            info->m_Actor->m_Model = g_ModelManager.Clone(description->m_Models[0]);
            D3DXMATRIX turn;
            D3DXMatrixRotationY(&turn, Pi);
            info->m_Actor->SetOrientation(turn);
            if (m_GarageMap != nullptr)
                m_GarageMap->AddActor(info->m_Actor);
            info->m_Actor->m_ModelVisible = false;
            m_Entries.PushBack(info);
            m_Selected = m_Entries.LastNode();
        }
        m_CatalogueCursor = g_TuberCatalogue.m_Names.NextNode(m_CatalogueCursor);
        if (m_CatalogueCursor != nullptr)
            return false;
    }
    m_Selected = m_Entries.FirstNode();
    const CProfile* profile = g_ProfileManager.GetCurrent();
    if (profile != nullptr)
        for (auto* n = m_Entries.FirstNode(); n != nullptr; n = m_Entries.NextNode(n))
            if (n->payload->m_Description->m_Name == profile->m_LastCraft)
            {
                m_Selected = n;
                break;
            }
    if (CTuberInfo* info = Info(m_Selected))
        info->m_Actor->m_ModelVisible = true;
    ShowTuberInfo();
    for (int32_t i = 0; i < 4; ++i)
        m_ShownRatings[i] = m_TargetRatings[i];
    return true;
}

void CShipyardPhase::ShowTuberInfo()
{
    CTuberInfo* info = Info(m_Selected);
    if (info == nullptr)
        return;
    const CTuberDescription* d = info->m_Description;
    SetLabel(m_NameLabel, d->m_DisplayName);
    SetLabel(m_DescriptionLabel, d->m_Description);
    auto weaponName = [](const WeString& keyword)
    {
        const int32_t id = g_WeaponDescriptions.GetIdByName(keyword);
        return id != 0 ? g_WeaponDescriptions.Get(id).m_DisplayName : WeString("");
    };
    SetLabel(m_WeaponLabel, g_Localization.GetText("UI: WEAPON") + ": " + weaponName(d->m_Primary));
    SetLabel(m_MineLabel, g_Localization.GetText("UI: MINE") + ": " + weaponName(d->m_Secondary));
    m_TargetRatings[0] = d->m_SpeedRating;
    m_TargetRatings[1] = d->m_AccelerationRating;
    m_TargetRatings[2] = d->m_TurboRating;
    m_TargetRatings[3] = d->m_HPRating;
    if (!m_FirstShow)
    {
        m_FirstShow = 1;
        m_BarProgress = 1.0f;
    }
    info->m_Actor->m_ModelPreset = 0;
    for (int32_t i = 0; i < 4; ++i)
    {
        if (m_RatingLabels[i] != nullptr)
            m_RatingLabels[i]->m_Visible = 1;
        if (m_RatingBars[i] != nullptr)
            m_RatingBars[i]->m_Visible = 1;
    }
    for (WeUILabel* label : {m_DescriptionLabel, m_NameLabel, m_WeaponLabel, m_MineLabel})
        if (label != nullptr)
            label->m_Visible = 1;
    if (WeUIComponent* start = g_UIMain.FindComponent(StartButton))
    {
        start->m_Opacity = 1.0f;
        start->m_InputEnabled = 1;
        if (m_LoadingView == 0)
            Show(StartButton);
    }
}

void CShipyardPhase::UpdateCamera()
{
    if (m_Camera == nullptr)
        return;
    const float t = float(g_Timer.m_TotalTime);
    const float distance = Setting("shipyard.Camera.Distance", 10.0f);
    const float angle = Setting("shipyard.Camera.Speed", 1.0f) * t * DegreesToRadians;
    // (0, Y, Distance) turned about the vertical axis, in the engine's row-vector convention.
    D3DXVECTOR3 eye(distance * std::sin(angle), Setting("shipyard.Camera.Y", 1.0f), distance * std::cos(angle));
    eye.y += std::sin(Setting("shipyard.Camera.YSpeed", 1.0f) * t * DegreesToRadians) *
             Setting("shipyard.Camera.YDelta", 1.0f);
    m_Camera->m_Position = eye;
    D3DXVECTOR3 direction = D3DXVECTOR3(0.0f, Setting("shipyard.Camera.LookAtY", 0.0f), 0.0f) - eye;
    D3DXVec3Normalize(&direction, &direction);
    m_Camera->m_Direction = direction;
    m_Camera->m_Up = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    m_Camera->SetFov(Setting("shipyard.Camera.FOV", 1.0f));
}

void CShipyardPhase::Update()
{
    g_OptionsSettings.m_Bindings.FillInputMessage(&g_PlayerInputMessage);
    if (!m_Loaded)
    {
        if (g_ScreenFader.m_State == CScreenFader::FadingIn || m_GarageMap == nullptr)
            return;
        if (m_GarageMap->m_Loaded)
        {
            const bool done = AddNextTuberInfo();
            const int32_t count = g_TuberCatalogue.m_Names.Count();
            // An empty catalogue is built at once.
            const float part = count > 0 ? float(m_BuildStep) / float(count) : 1.0f;
            m_ProgressBar->m_Value = std::fmin(1.0f, 0.8f + 0.2f * part);
            ++m_BuildStep;
            if (done)
            {
                m_BuildStep = 1;
                m_Loaded = 1;
                g_RenderDevice.m_BloomScale = m_GarageMap->m_Header.m_BloomLevels[1];
                Fade(OnLoadingFadeDone);
            }
        }
        else if (m_GarageMap->m_LoadProgress > 0.0f || m_MapLoading)
        {
            if (!m_GarageMap->LoadStep() && !m_GarageMap->m_Loaded)
            {
                DebugLogPrintf("Shipyard: a load step of the garage map \"_garage_%s\" failed\n", m_WorldName.c_str());
                m_Leaving = 1;
                Fade(OnBackFadeDone);
                m_Loaded = 1;
                return;
            }
            m_ProgressBar->m_Value = 0.8f * m_GarageMap->m_LoadProgress;
        }
        else
        {
            const WeString name = WeString("_garage_") + m_WorldName;
            if (m_WorldName.IsEmpty() || !m_GarageMap->BeginLoad(name))
            {
                DebugLogPrintf("Shipyard: the garage map \"%s\" cannot be opened\n", name.c_str());
                m_Leaving = 1;
                m_Loaded = 1;
                Fade(OnBackFadeDone);
                return;
            }
            m_MapLoading = 1;
        }
        return;
    }

    if (!m_Leaving && !m_Starting && !m_LoadingView && !m_Entries.IsEmpty())
    {
        const float interval = Setting("game.Input.AutoRepeatNextPrevButton", 0.5f);
        if (m_PrevRepeat.Step(g_PlayerInputMessage.m_RotateLeft != 0, g_Timer.m_FrameDeltaF, interval))
            MoveSelection(false);
        if (m_NextRepeat.Step(g_PlayerInputMessage.m_RotateRight != 0, g_Timer.m_FrameDeltaF, interval))
            MoveSelection(true);
    }
    if (m_SlidingForward || m_SlidingBack)
    {
        m_BarProgress += Setting("shipyard.Misc.ProgressBarsSpeed", 1.0f) * g_Timer.m_FrameDeltaF;
        if (m_BarProgress >= 1.0f)
        {
            m_BarProgress = 1.0f;
            m_SlidingForward = m_SlidingBack = 0;
        }
        for (int32_t i = 0; i < 4; ++i)
            m_ShownRatings[i] = m_StartRatings[i] + (m_TargetRatings[i] - m_StartRatings[i]) * m_BarProgress;
    }
    for (int32_t i = 0; i < 4; ++i)
        if (m_RatingBars[i] != nullptr)
            m_RatingBars[i]->SetValue(m_ShownRatings[i]);

    UpdateCamera();
    if (CTuberInfo* info = Info(m_Selected))
    {
        const float t = float(g_Timer.m_TotalTime);
        const float yaw =
            std::sin(Setting("shipyard.Tuber.YawSpeed", 7.0f) * t + Setting("shipyard.Tuber.YawFixed", 0.0f)) *
                Setting("shipyard.Tuber.YawDelta", 90.0f) * DegreesToRadians +
            Pi;
        const float pitch =
            std::sin(Setting("shipyard.Tuber.PitchSpeed", 7.0f) * t + Setting("shipyard.Tuber.PitchFixed", 0.0f)) *
            Setting("shipyard.Tuber.PitchDelta", 90.0f) * DegreesToRadians;
        const float roll =
            std::sin(Setting("shipyard.Tuber.RollSpeed", 7.0f) * t + Setting("shipyard.Tuber.RollFixed", 0.0f)) *
            Setting("shipyard.Tuber.RollDelta", 90.0f) * DegreesToRadians;
        D3DXMATRIX orientation;
        D3DXMatrixRotationYawPitchRoll(&orientation, yaw, pitch, roll);
        const D3DXVECTOR3 position(0.0f,
                                   std::sin(Setting("shipyard.Tuber.YSpeed", 3.0f) * t) *
                                           Setting("shipyard.Tuber.YDelta", 0.1f) +
                                       Setting("shipyard.Tuber.YFixed", 0.5f),
                                   0.0f);
        info->m_Actor->SetLocationAndOrientation(position, orientation);
    }
    if (m_Camera != nullptr)
        m_Camera->Update();
    if (m_GarageMap != nullptr)
        m_GarageMap->Tick();
}

void CShipyardPhase::Render()
{
    const bool loadingView = !m_Loaded || (m_LoadingView && g_ScreenFader.m_State == CScreenFader::FadingIn);
    const float w = float(g_ScreenSize.width);
    const float h = float(g_ScreenSize.height);
    if (loadingView)
    {
        // The view owns the whole screen: the menus' widgets are gone and nothing else draws under it.
        g_Canvas.DrawQuad(0, 0, int32_t(w), int32_t(h), 0xFF000000, nullptr, 0);
        const float top = float(GetConfigInt(WeString("UI.Shipyard.BackgroundPosY"), 0)) / 768.0f * h;
        const float height = float(GetConfigInt(WeString("UI.Shipyard.BackgroundHeight"), 0)) / 768.0f * h;
        if (m_LoadingPicture != nullptr)
            g_Canvas.DrawQuad(0, int32_t(top), int32_t(w), int32_t(height), 0xFFFFFFFF, m_LoadingPicture, 0);
        if (m_ProgressBar != nullptr)
            m_ProgressBar->Draw();
        if (g_Game.m_Font32 != nullptr)
        {
            const float y = float(GetConfigInt(WeString("UI.Shipyard.TextPosY"), 0)) / 768.0f * h;
            g_Canvas.DrawText(g_Game.m_Font32, g_Localization.GetText("UI: SHIPYARD"), 0, int32_t(y), int32_t(w), 40,
                              m_TitleColour, 1, 1.0f);
        }
        return;
    }
    if (m_GarageMap == nullptr || m_Camera == nullptr)
        return;
    if (m_SceneStartTime < 0.0)
        m_SceneStartTime = g_Timer.m_TotalTime;
    const float fadeTime = Setting("cameras.DoF.ShipyardFocusFadeTime", 0.0f);
    const float elapsed = float(g_Timer.m_TotalTime - m_SceneStartTime);
    const float d = fadeTime > 0.0f ? std::fmin(1.0f, elapsed / fadeTime) : 1.0f;
    auto blend = [d](const char* fadeKey, float fadeDefault, const char* finalKey, float finalDefault)
    {
        const float from = Setting(fadeKey, fadeDefault);
        return from + (Setting(finalKey, finalDefault) - from) * d;
    };
    // The device's order: focus range, focus distance, maximum circle of confusion.
    g_RenderDevice.m_DepthOfField[0] =
        blend("cameras.DoF.ShipyardFocusFadeRange", 200.0f, "cameras.DoF.ShipyardFocusRange", 200.0f);
    g_RenderDevice.m_DepthOfField[1] =
        blend("cameras.DoF.ShipyardFocusFadeDistance", 8.0f, "cameras.DoF.ShipyardFocusDistance", 8.0f);
    g_RenderDevice.m_DepthOfField[2] =
        blend("cameras.DoF.ShipyardFadeMaxCoC", 4.0f, "cameras.DoF.ShipyardMaxCoC", 4.0f);
    g_ReflectionRenderer.SetPosition(D3DXVECTOR3(0.0f, 0.0f, 0.0f));
    g_RenderDevice.SetCamera(m_Camera);
    m_GarageMap->Render(m_Camera);
}

void CShipyardPhase::HandleInput()
{
    if (!g_Input.ConsumeKey(1))
        return;
    // Not before loading ends, nor while its fade or a START or BACK fade runs.
    if (!m_Loaded || m_LoadingView || m_Leaving || m_Starting)
        return;
    OnBackClicked(0, nullptr);
}

void CShipyardPhase::MoveSelection(bool forward)
{
    if (m_Selected == nullptr || m_Entries.IsEmpty() || m_Leaving || m_Starting)
        return;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    m_SlidingForward = forward ? 1 : 0;
    m_SlidingBack = forward ? 0 : 1;
    m_BarProgress = 0.0f;
    m_Selected->payload->m_Actor->m_ModelVisible = false;
    auto* next = forward ? m_Entries.NextNode(m_Selected) : m_Entries.PrevNode(m_Selected);
    if (next == nullptr)
        next = forward ? m_Entries.FirstNode() : m_Entries.LastNode();
    m_Selected = next;
    m_Selected->payload->m_Actor->m_ModelVisible = true;
    for (int32_t i = 0; i < 4; ++i)
        m_StartRatings[i] = m_ShownRatings[i];
    ShowTuberInfo();
}

int32_t CShipyardPhase::OnNextClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_ShipyardPhase.MoveSelection(true);
    return 1;
}

int32_t CShipyardPhase::OnPrevClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_ShipyardPhase.MoveSelection(false);
    return 1;
}

int32_t CShipyardPhase::OnStartClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    CShipyardPhase& s = g_ShipyardPhase;
    if (s.m_Leaving || s.m_Starting || s.m_Selected == nullptr)
        return 1;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    Fade(OnStartFadeDone);
    s.m_Starting = 1;
    return 1;
}

int32_t CShipyardPhase::OnBackClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    CShipyardPhase& s = g_ShipyardPhase;
    if (s.m_Leaving || s.m_Starting)
        return 1;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundBack);
    s.m_Leaving = 1;
    Fade(OnBackFadeDone);
    return 1;
}

void CShipyardPhase::OnLoadingFadeDone()
{
    CShipyardPhase& s = g_ShipyardPhase;
    g_UIShowCursor = 1;
    Show(BackButton);
    Show(DescWindow);
    // With no craft offered there is nothing to browse or start.
    if (!s.m_Entries.IsEmpty())
    {
        Show(NextButton);
        Show(PrevButton);
        Show(StartButton);
    }
    s.m_LoadingView = 0;
}

void CShipyardPhase::OnStartFadeDone()
{
    CShipyardPhase& s = g_ShipyardPhase;
    if (CTuberInfo* info = Info(s.m_Selected))
        g_RaceSettings.GetParticipant(0)->m_CraftKey = info->m_Description->m_Name;
    g_PhaseManager.RequestPhase(&g_LoadMapPhase, WePhaseManager::ChangeRequest);
}

void CShipyardPhase::OnBackFadeDone()
{
    g_Game.PlayMusic(CGameGlobals::MenuMusic);
    g_MenuPhase.StartBackground();
    g_PhaseManager.RequestPhase(&g_MenuPhase, WePhaseManager::ChangeRequest);
    g_PhaseManager.RequestPhase(&g_SingleRacePhase, WePhaseManager::PushRequest);
}

void CShipyardPhase::Leave()
{
    g_Timer.m_MinimumFrameTime = 0.0;
    g_Engine.m_PhysicsEnabled = 0;
    if (CTuberInfo* info = Info(m_Selected))
        if (CProfile* profile = g_ProfileManager.GetCurrent())
        {
            profile->m_LastCraft = info->m_Description->m_Name;
            g_ProfileManager.Save();
        }
    CTuberInfo* entry = nullptr;
    while (m_Entries.PopFront(entry))
        delete entry;
    m_Selected = nullptr;
    delete m_Camera;
    m_Camera = nullptr;
    m_CatalogueCursor = nullptr;
    for (const char* name : {StartButton, BackButton, DescWindow, NextButton, PrevButton})
        g_UIMain.RemoveComponent(name);
    for (int32_t i = 0; i < 4; ++i)
    {
        m_RatingLabels[i] = nullptr;
        m_RatingBars[i] = nullptr;
    }
    m_DescriptionLabel = m_NameLabel = m_WeaponLabel = m_MineLabel = nullptr;
    delete m_ProgressBar;
    m_ProgressBar = nullptr;
    delete m_GarageMap;
    m_GarageMap = nullptr;
    m_MapLoading = 0;
    g_RenderDevice.m_MotionBlurMode = m_SavedQualityLevel;
    g_RenderDevice.SetReflectionQuality(m_SavedReflectionQuality);
    m_LoadingPicture = nullptr;
    m_PrevRepeat = CNextPrevRepeat();
    m_NextRepeat = CNextPrevRepeat();
    g_Engine.EndPhysicsStep();
    g_MeshManager.ReleaseAll(false);
    g_MaterialManager.ReleaseAll(false);
    g_TextureManager.ReleaseAll(false);
}
