#include "Game/craft/CCraftLinks.h"

#include "Game/shell/COneShotSounds.h"

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

void UpdateAgent(CAgent*) {}

bool IsAutopilotAgent(const CAgent*)
{
    return false;
}

float AgentMaxHPModifier(const CAgent*)
{
    return 1.0f;
}

bool RaceMessagesShown()
{
    return g_CraftLinkStandIns.raceMessagesShown;
}

void ShowCentredMessage(const WeString& key)
{
    g_CraftLinkStandIns.centredMessages.emplace_back(key.c_str());
}

void PlayHeadLightSound()
{
    ++g_CraftLinkStandIns.headLightSounds;
    PlayOneShotSound("Sounds.Tuber.HeadLight");
}

bool IsIdleHoverStopped()
{
    return false;
}
