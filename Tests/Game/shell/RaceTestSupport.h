#pragma once
// What the race phase's tests share: a short generated ring (closed, so path nodes run all the way round and
// laps count), the race rig in its race-phase mode on the recording backend, the player and one computer racer,
// and the catalogue's two craft unlocked.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Game/shell/CPlayGamePhase.h"
#include "Tests/support/ConfigOverride.h"
#include "Tools/race_common/RaceRig.h"

inline const char* RaceTestTrack()
{
    return "map RaceRing\nsky Maps.Sky.Plain 0\nprofile channel 16 2\nstep 2\nsegment 200\n"
           "materials Maps.Common.Road Maps.Common.Wall\nnodes 25 1.5\nstarts 8 8\nheader\nend\n"
           "section\n  point 0 0 0\n  point 200 0 200\n  point 0 0 400\n  point -200 0 200\n  point 0 0 0\nend\n";
}

inline RaceRigOptions RaceTestOptions()
{
    RaceRigOptions o;
    o.racePhase = true;
    o.mapDescription = RaceTestTrack();
    o.slots.push_back(RaceRigSlot{4, "Falconer", "", 0, 1});
    o.slots.push_back(RaceRigSlot{2, "EclosionHunter", "", 0, 2});
    return o;
}

class RaceFixture : public ::testing::Test
{
protected:
    void StartRace(RaceRigOptions options = RaceTestOptions())
    {
        rig = std::make_unique<RaceRig>(std::move(options));
        std::string error;
        ASSERT_TRUE(rig->Start(&error)) << error;
    }
    void TearDown() override
    {
        if (rig)
            rig->Stop();
        rig.reset();
    }
    // Ticks until the race state is reached (at most the seconds given); the tick since entry it took.
    int64_t RunToState(int32_t state, double seconds = 30.0)
    {
        rig->RunUntil([&] { return rig->InRace() && g_PlayGamePhase.m_RaceState == state; }, seconds);
        return rig->Ticks() - 1 - rig->EnterTick();
    }

    ConfigOverride falconer{"tubers.Falconer.UnlockID", "0"};
    ConfigOverride eclosion{"tubers.EclosionHunter.UnlockID", "0"};
    std::unique_ptr<RaceRig> rig;
};
