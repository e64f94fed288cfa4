#pragma once
#include <map>
#include <set>
#include <utility>

#include "Platform/physics/NxUserContactReport.h"

// What the scene remembers between steps to turn Bullet's contact manifolds into start, touch and end
// events, and trigger overlaps into enter, stay and leave. Actors and shapes are never freed while
// their scene lives, so their addresses are stable keys.
struct NxContactAccum
{
    NxActor* actors[2] = {nullptr, nullptr};  // older actor first
    bool touching = false;
    NxVec3 normalImpulse;  // on actors[0], summed over the step's sub-steps
    NxVec3 frictionImpulse;
    NxContactStreamData stream;  // the contacts of the last sub-step that touched
    NxU32 streamSubStep = ~0u;
};

struct NxContactState
{
    typedef std::pair<NxActor*, NxActor*> ActorPair;
    typedef std::pair<NxShape*, NxShape*> ShapePair;  // trigger shape, other shape
    std::map<ActorPair, NxContactAccum> step;
    std::set<ActorPair> touching;
    std::set<ShapePair> triggerStep;
    std::set<ShapePair> overlapping;
};
