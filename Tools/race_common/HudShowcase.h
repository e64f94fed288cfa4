#pragma once
#include <cstdint>
#include <string>

class CPickup;
class RaceRig;

// A race set up so that every part of the heads-up display is on screen at once: the player at 15 % health
// with a picked-up weapon and its ammunition, two running power-ups (one blinking), a lap message and a split text in the queue, six standings in
// their team colours, a rival close ahead with its name tag, health bar, the lock rings and the crosshair on
// it, and a pickup ahead in its brackets. race_demo --hud-showcase draws it; hud_bench times it.
class HudShowcase
{
public:
    static constexpr int32_t Participants = 6;

    // The rig's options for the showcase race on the given backend.
    static void Configure(RaceRig*& rig, bool offscreenGl);
    // Runs the race to three seconds of racing with the messages queued on the way; false with the reason.
    bool Reach(RaceRig& rig, std::string* error);
    // Puts the state in place (again after a tick, which moves the craft and lets the lock decay).
    void Apply(RaceRig& rig);

private:
    CPickup* m_Pickup = nullptr;
};
