#include "Game/craft/CCraftLinks.h"

#include "Game/shell/CMainGameInterface.h"

CCraftLinkStandIns g_CraftLinkStandIns;

int32_t CurrentRaceState()
{
    return g_CraftLinkStandIns.raceState;
}

float CurrentRaceClock()
{
    return g_CraftLinkStandIns.raceClock;
}

bool IsFirstPersonCamera()
{
    return g_CraftLinkStandIns.firstPersonCamera;
}

bool IsTrailHiddenByCamera()
{
    return g_CraftLinkStandIns.trailHiddenByCamera;
}

void ShakeChaseCamera(int32_t mode, float seconds)
{
    g_CraftLinkStandIns.shakes.push_back({mode, seconds});
}

void RequestScreenEffect(int32_t state, float pulseTarget)
{
    g_CraftLinkStandIns.screenEffects.push_back({state, pulseTarget});
}

bool IsScreenEffectIdle()
{
    return g_CraftLinkStandIns.screenEffectIdle;
}

bool WeaponsSafetyLockExpired()
{
    return g_CraftLinkStandIns.weaponsSafetyLockExpired;
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
