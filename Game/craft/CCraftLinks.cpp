#include "Game/craft/CCraftLinks.h"

#include "Game/shell/CGameCamera.h"
#include "Game/shell/CGameCameraPreset.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CScreenEffects.h"
#include "Game/shell/CWeaponFactory.h"

CCraftLinkStandIns g_CraftLinkStandIns;

int32_t CurrentRaceState()
{
    return g_PlayGamePhase.m_RaceState;
}

float CurrentRaceClock()
{
    return g_PlayGamePhase.m_RaceClock;
}

bool IsFirstPersonCamera()
{
    const CGameCamera* camera = g_Game.m_Camera;
    return camera != nullptr && camera->m_ActivePreset != nullptr && camera->m_ActivePreset->m_FPS;
}

bool IsTrailHiddenByCamera()
{
    const CGameCamera* camera = g_Game.m_Camera;
    return camera != nullptr && camera->m_ActivePreset != nullptr && camera->m_ActivePreset->m_NoTrail;
}

void ShakeChaseCamera(int32_t mode, float seconds)
{
    if (g_Game.m_Camera != nullptr)
        g_Game.m_Camera->Shake(mode, seconds);
}

void RequestScreenEffect(int32_t state, float pulseTarget)
{
    g_ScreenEffects.m_State = state;
    g_ScreenEffects.m_PulseTarget = pulseTarget;
}

bool IsScreenEffectIdle()
{
    return g_ScreenEffects.m_State == 0;
}

bool WeaponsSafetyLockExpired()
{
    return g_WeaponFactory.m_SafetyLockExpired != 0;
}

bool RaceMessagesShown()
{
    return g_MainGameInterface.m_MessagesShown != 0;
}

void ShowCentredMessage(const WeString& key)
{
    g_MainGameInterface.ShowCentredMessage(key);
}

bool IsIdleHoverStopped()
{
    return g_MainGameInterface.m_IdleHoverStopped != 0;
}
