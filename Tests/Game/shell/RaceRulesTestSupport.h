#pragma once
// The rules' tests: a closed ring of known shape (path nodes all the way round, the grid just past the line),
// with or without two marked checkpoints, and up to three racers (the player first).
#include <string>

#include "Tests/Game/shell/RaceTestSupport.h"

inline std::string RulesRing(bool marked)
{
    std::string text = "map RulesRing\nsky Maps.Sky.Plain 0\nprofile channel 16 2\nstep 2\nsegment 200\n"
                       "materials Maps.Common.Road Maps.Common.Wall\nnodes 25 1.5\nstarts 8 8\nheader\nend\n"
                       "section\n  point 0 0 0\n  point 200 0 200\n";
    if (marked)
        text += "  checkpoint\n";
    text += "  point 0 0 400\n";
    if (marked)
        text += "  checkpoint\n";
    text += "  point -200 0 200\n  point 0 0 0\nend\n";
    return text;
}

inline RaceRigOptions RulesOptions(int count)
{
    RaceRigOptions o = RaceTestOptions();
    o.mapDescription = RulesRing(false);
    o.slots.clear();
    o.slots.push_back(RaceRigSlot{4, "Falconer", "", 0, 1});
    for (int i = 1; i < count; ++i)
        o.slots.push_back(RaceRigSlot{2, "EclosionHunter", "", 0, i + 1});
    return o;
}
