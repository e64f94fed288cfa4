#pragma once
#include "Game/craft/CTuberSetting.h"

// The craft's settings bound before the game starts: their entries exist with their defaults from then on.
struct CTuberBoundKeys
{
    CTuberSetting minLockDot{"tuber.Weapons.MinLockDot", 0.9f};
    CTuberSetting respawnTime{"tuber.Respawn.Time", 2.0f};
    CTuberSetting respawnAITime{"tuber.Respawn.AITime", 2.0f};
    CTuberSetting turboUsagePerSecond{"tuber.Turbo.UsagePerSecond", 50.0f};
    CTuberSetting hyperBrakeUsagePerSecond{"tuber.HyperBrake.UsagePerSecond", 50.0f};
    CTuberSetting hyperBrakeExtraAccel{"tuber.HyperBrake.ExtraAccel", 1.0f};
    CTuberSetting hyperBrakeMaxTime{"tuber.HyperBrake.MaxTime", 3.0f};
    CTuberSetting baseHealingHP{"tuber.Healing.BaseHealingHP", 500.0f};
    CTuberSetting invisibilityFadeInSpeed{"tuber.Render.InvisibilityFadeInSpeed", 1.0f};
    CTuberSetting invisibilityFadeOutSpeed{"tuber.Render.InvisibilityFadeOutSpeed", 1.0f};
    CTuberSetting raceFinishedFadeOutSpeed{"tuber.Render.RaceFinishedFadeOutSpeed", 1.0f};
    CTuberSetting addonsFadeInSpeed{"tuber.Render.AddonsFadeInSpeed", 1.0f};
    CTuberSetting addonsFadeOutSpeed{"tuber.Render.AddonsFadeOutSpeed", 1.0f};
};

// The one set, made on first use (the craft's source file makes it before the game starts).
CTuberBoundKeys& TuberBoundKeys();

// The thirteen keys above, in order, for the tests that check they were bound.
extern const char* const TuberBoundKeyNames[13];
