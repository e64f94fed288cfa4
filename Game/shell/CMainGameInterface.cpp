#include "Game/shell/CMainGameInterface.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WeSound.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/shell/COneShotSounds.h"
#include "Game/shell/CPickupAnimation.h"
#include "Game/shell/CUberText.h"
#include "Platform/system/SysRandom.h"

CMainGameInterface g_MainGameInterface;
CMainGameInterface::Layout CMainGameInterface::s_Layout = {};

namespace
{

// The DirectInput codes of F1 to F7.
constexpr int32_t KeyF1 = 59;
constexpr int32_t KeyF7 = 65;
// The race state of a race paused under the pause menu.
constexpr int32_t RaceStatePaused = 6;

WeTexture* LoadHudTexture(const char* name)
{
    WeTexture* texture = g_TextureManager.GetTexture(WeString(name), false, 0, true);
    if (texture != nullptr)
        texture->SetMinimumQuality(2);
    return texture;
}

void StopAndDestroy(WeSound*& sound)
{
    if (sound == nullptr)
        return;
    sound->Stop();
    delete sound;
    // The hit sounds are made on first use: a pointer kept past its sound would be played next race.
    sound = nullptr;
}

float LayoutFloat(const char* key)
{
    return GetConfigFloat(WeString(key), 0.0f);
}

int32_t LayoutInt(const char* key)
{
    return GetConfigInt(WeString(key), 0);
}

}  // namespace

CMainGameInterface::~CMainGameInterface()
{
    DestroyMessages();
}

void CMainGameInterface::LoadAtlases()
{
    m_HudAtlas = LoadHudTexture("Ingame.Atlases.Hud");
    m_LockingAtlas = LoadHudTexture("Ingame.Atlases.Locking");
    m_BloodScreen = LoadHudTexture("Ingame.Misc.BloodScreen");
    m_TranslocatorScreens[0] = LoadHudTexture("Ingame.Misc.TranslocatorScreen01");
    m_TranslocatorScreens[1] = LoadHudTexture("Ingame.Misc.TranslocatorScreen02");
    m_TranslocatorScreens[2] = LoadHudTexture("Ingame.Misc.TranslocatorScreen03");
}

void CMainGameInterface::LoadLayout()
{
    Layout& l = s_Layout;
    l.leftTexX = LayoutFloat("UI.Hud.lefttexx");
    l.leftTexY = LayoutFloat("UI.Hud.lefttexy");
    l.leftNumX = LayoutFloat("UI.Hud.leftnumx");
    l.leftNumY = LayoutFloat("UI.Hud.leftnumy");
    l.rightTexX = LayoutFloat("UI.Hud.righttexx");
    l.rightTexY = LayoutFloat("UI.Hud.righttexy");
    l.rightNumX = LayoutFloat("UI.Hud.rightnumx");
    l.rightNumY = LayoutFloat("UI.Hud.rightnumy");
    l.lapY = LayoutFloat("UI.Hud.lapy");
    l.killsX = LayoutFloat("UI.Hud.killsx");
    l.killsY = LayoutFloat("UI.Hud.killsy");
    l.coinsX = LayoutFloat("UI.Hud.coinsx");
    l.coinsY = LayoutFloat("UI.Hud.coinsy");
    l.lastLapX = LayoutFloat("UI.Hud.lastlapx");
    l.lastLapY = LayoutFloat("UI.Hud.lastlapy");
    l.lastLapNumX = LayoutFloat("UI.Hud.lastlapnumx");
    l.lastLapNumY = LayoutFloat("UI.Hud.lastlapnumy");
    l.fastestLapX = LayoutFloat("UI.Hud.fastestlapx");
    l.fastestLapY = LayoutFloat("UI.Hud.fastestlapy");
    l.fastestLapNumX = LayoutFloat("UI.Hud.fastestlapnumx");
    l.fastestLapNumY = LayoutFloat("UI.Hud.fastestlapnumy");
    l.raceTimeX = LayoutFloat("UI.Hud.racetimex");
    l.raceTimeY = LayoutFloat("UI.Hud.racetimey");
    l.raceTimeNumX = LayoutFloat("UI.Hud.racetimenumx");
    l.raceTimeNumY = LayoutFloat("UI.Hud.racetimenumy");
    l.speedRotX = LayoutInt("UI.Hud.SpeedRotX");
    l.speedRotY = LayoutInt("UI.Hud.SpeedRotY");
    l.speedRotRadius = LayoutInt("UI.Hud.SpeedRotRadius");
    l.speedRotCount = LayoutInt("UI.Hud.SpeedRotCount");
    l.speedRotAngle = LayoutFloat("UI.Hud.SpeedRotAngle");
    l.speedRotStartAngle = LayoutFloat("UI.Hud.SpeedRotStartAngle");
    l.turboSpeedRotX = LayoutInt("UI.Hud.TurboSpeedRotX");
    l.turboSpeedRotY = LayoutInt("UI.Hud.TurboSpeedRotY");
    l.turboSpeedRotRadius = LayoutInt("UI.Hud.TurboSpeedRotRadius");
    l.turboSpeedRotCount = LayoutInt("UI.Hud.TurboSpeedRotCount");
    l.turboSpeedRotAngle = LayoutFloat("UI.Hud.TurboSpeedRotAngle");
    l.turboSpeedRotStartAngle = LayoutFloat("UI.Hud.TurboSpeedRotStartAngle");
    l.weaponX = LayoutFloat("UI.Hud.WeaponX");
    l.mineX = LayoutFloat("UI.Hud.MineX");
    l.buffBackY = LayoutFloat("UI.Hud.buffbacky");
    l.buffBackSpreadY = LayoutFloat("UI.Hud.buffbackspready");
    m_WeaponSlotX = l.weaponX;
    m_MineSlotX = l.mineX;
}

void CMainGameInterface::Init()
{
    if (m_Initialised)
        return;
    m_PrimaryPicture = nullptr;
    m_PrimaryPictureKind = 0;
    m_SecondaryPicture = nullptr;
    m_SecondaryPictureKind = 0;
    m_StandingsTimer = 0.0f;
    // A new race's standings start from its own places, and no overlay or lock message carries over.
    m_StandingsAnimating = 0;
    for (int32_t& place : m_ShownPlaces)
        place = 0;
    m_BloodTimer = 0.0f;
    m_LockMessage.Clear();
    m_LockMessageTimer = 0.0f;
    m_TimeEndingSound = new WeSound(WeString("Sounds.Interface.TimeEndingText"), false);
    m_HeartBeatSound = new WeSound(WeString("Sounds.Interface.HeartBeat"), false);
    m_TimeWarningIntensity = 0.0f;
    m_TimeWarningTimer = 0.0f;
    m_Initialised = 1;
}

// The other switches keep what the player's keys made of them for the life of the program. A distant
// explosion requested in the last race must not sound at this one's start.
void CMainGameInterface::SetRaceStartFlags()
{
    m_WeaponSlotsShown = 1;
    m_StatsShown = 1;
    m_MessagesShown = 1;
    m_DistantExplosionRequest = 0;
    m_IdleHoverStopped = 0;
}

void CMainGameInterface::Clear()
{
    if (!m_Initialised)
        return;
    StopAndDestroy(m_HeartBeatSound);
    StopAndDestroy(m_HitSound);
    StopAndDestroy(m_ImmortalHitSound);
    StopAndDestroy(m_TimeEndingSound);
    DestroyMessages();
    m_Initialised = 0;
}

void CMainGameInterface::DestroyMessages()
{
    for (CUberText* message : m_Messages)
        delete message;
    m_Messages.Reset();
}

void CMainGameInterface::AddMessage(CUberText* message)
{
    if (message != nullptr)
        m_Messages.PushBack(message);
}

void CMainGameInterface::ShowCentredMessage(const WeString& key)
{
    AddMessage(new CUberText(g_Localization.GetText(key), CUberText::RandomStyle, CUberText::RandomStyle, nullptr));
}

float CMainGameInterface::AnchorLeft(float x) const
{
    float k = m_HorizontalScale > 0.0f ? m_Scale / m_HorizontalScale : 1.0f;
    return k * x;
}

float CMainGameInterface::AnchorRight(float x) const
{
    float k = m_HorizontalScale > 0.0f ? m_Scale / m_HorizontalScale : 1.0f;
    return 1.0f + k * (x - 1.0f);
}

int32_t CMainGameInterface::Scaled(int32_t n) const
{
    return int32_t(m_Scale * float(n));
}

void CMainGameInterface::Update()
{
    // Finished messages go; the rest take this frame's step.
    for (m_Messages.CursorToFirst(); m_Messages.CursorValid();)
    {
        CUberText* message = *m_Messages.Current();
        if (message == nullptr || message->IsFinished())
        {
            delete message;
            m_Messages.RemoveCurrent();
            continue;
        }
        message->Update();
        m_Messages.CursorNext();
    }

    const float dt = g_Timer.m_FrameDeltaF;
    m_WarningSoundTimer += dt;
    m_LockSoundTimer += dt;
    m_WrongWayTimer += dt;

    UpdateHeartBeat();
    UpdateHitSound();
    UpdateDistantExplosion();
    UpdateWeaponPictures();
    UpdateTimeWarning();
    UpdateDebugKeys();
}

void CMainGameInterface::UpdateDistantExplosion()
{
    if (!m_DistantExplosionRequest)
        return;
    WeString name("Sounds.Explosions.DistantExplosion");
    name.AppendInt(SysRandom::Scaled(3) + 1);
    PlayOneShotSound(name);
    m_DistantExplosionRequest = 0;
}

void CMainGameInterface::UpdateTimeWarning()
{
    // The tick comes every 1 - intensity seconds, and never faster than every 0.3 s.
    if (m_TimeWarningIntensity == 0.0f)
        return;
    m_TimeWarningTimer += g_Timer.m_FrameDeltaF;
    if (m_TimeWarningTimer >= 0.3f && m_TimeWarningTimer >= 1.0f - m_TimeWarningIntensity)
    {
        if (m_TimeEndingSound != nullptr)
        {
            m_TimeEndingSound->Rewind();
            m_TimeEndingSound->Play(false);
        }
        m_TimeWarningTimer = 0.0f;
    }
}

void CMainGameInterface::UpdateDebugKeys()
{
    for (int32_t key = KeyF1; key <= KeyF7; ++key)
    {
        if (!g_Input.ConsumeKey(key))
            continue;
        switch (key - KeyF1)
        {
        case 0: m_Visible = !m_Visible; break;
        case 1: m_WeaponSlotsShown = !m_WeaponSlotsShown; break;
        case 2: m_StatsShown = !m_StatsShown; break;
        case 3:
            // A mode out of range (set from outside) comes back into it.
            m_RivalTagMode = ((m_RivalTagMode % 4 + 4) % 4 + 1) % 4;
            break;
        case 4: m_LockRingsShown = !m_LockRingsShown; break;
        case 5: m_MessagesShown = !m_MessagesShown; break;
        default: m_StandingsShown = !m_StandingsShown; break;
        }
    }
}

void CMainGameInterface::Render()
{
    if (g_UIReferenceSize.width > 0 && g_UIReferenceSize.height > 0)
    {
        m_HorizontalScale = float(g_ScreenSize.width) / float(g_UIReferenceSize.width);
        m_VerticalScale = float(g_ScreenSize.height) / float(g_UIReferenceSize.height);
        m_Scale = m_VerticalScale;
    }
    if (m_Visible)
    {
        DrawGauges(1);
        DrawStandings(1);
        DrawGauges(2);
        DrawStandings(2);
        CPickupAnimation::RenderAll();
    }
    DrawBloodScreen();
    DrawTranslocatorScreen();
    DrawRivalTags();
    if (m_MessagesShown)
        DrawMessages();
    if (CurrentRaceState() == RaceStatePaused)
        return;
    DrawLockMessage();
    DrawIncomingWarning();
    CheckWrongWay();
    DrawHealingText();
    DrawPickupMarkers();
    DrawMineMarkers();
    if (m_LockRingsShown)
        DrawLockRings();
    DrawCrosshair();
}

void CMainGameInterface::DrawMessages()
{
    for (CUberText* message : m_Messages)
    {
        if (message != nullptr)
            message->Draw();
    }
}
