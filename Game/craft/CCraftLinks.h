#pragma once
#include <cstdint>
#include <vector>

#include "Engine/foundation/WeString.h"

class CAgent;

// The craft's calls into the race phase, the chase camera, the screen effects, the weapon factory, the
// computer driver and the heads-up display. Each is one function here; until its owner provides the real
// one, the body answers neutrally, or reads and records the stand-in state below so a headless race and its
// tests can drive and observe it.
int32_t CurrentRaceState();
float CurrentRaceClock();
bool IsFirstPersonCamera();
bool IsTrailHiddenByCamera();
void ShakeChaseCamera(int32_t mode, float seconds);
void RequestScreenEffect(int32_t state, float pulseTarget);
bool IsScreenEffectIdle();
bool WeaponsSafetyLockExpired();
void UpdateAgent(CAgent* agent);
bool IsAutopilotAgent(const CAgent* agent);
float AgentMaxHPModifier(const CAgent* agent);
// The factor on the damage the agent's craft deals (its profile's); 1 without an agent or profile.
float AgentDamageModifier(const CAgent* agent);
// The heads-up display's: its messages switch, a centred message of a translation key, the head light's
// sound (Game/shell/HudText.h) and the display's stop of the idle hover.
bool RaceMessagesShown();
void ShowCentredMessage(const WeString& key);
void PlayHeadLightSound();
bool IsIdleHoverStopped();

// The stand-ins: what the links answer and what they were asked, until the owners' code replaces them.
struct CCraftLinkStandIns
{
    void Reset() { *this = CCraftLinkStandIns(); }
};

extern CCraftLinkStandIns g_CraftLinkStandIns;
