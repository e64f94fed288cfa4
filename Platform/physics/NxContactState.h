#pragma once
#include <map>
#include <set>
#include <utility>

#include "Platform/physics/NxActor.h"
#include "Platform/physics/NxShape.h"
#include "Platform/physics/NxUserContactReport.h"

// Actors and shapes in the order they were made: the scene walks its pairs in this order, so that two runs of
// the same steps deliver the same reports in the same order wherever the allocator put the objects.
struct NxActorOrder
{
    bool operator()(const NxActor* a, const NxActor* b) const { return a->serial() < b->serial(); }
};

struct NxShapeOrder
{
    bool operator()(const NxShape* a, const NxShape* b) const { return a->serial() < b->serial(); }
};

template <typename T, typename Order>
struct NxPairOrder
{
    bool operator()(const std::pair<T*, T*>& a, const std::pair<T*, T*>& b) const
    {
        Order order;
        if (a.first != b.first)
            return order(a.first, b.first);
        return a.second != b.second && order(a.second, b.second);
    }
};

// What the scene remembers between steps to turn Bullet's contact manifolds into start, touch and end
// events, and trigger overlaps into enter, stay and leave. Actors and shapes are never freed while
// their scene lives, so they stay valid keys.
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
    typedef NxPairOrder<NxActor, NxActorOrder> ActorPairOrder;
    typedef NxPairOrder<NxShape, NxShapeOrder> ShapePairOrder;
    std::map<ActorPair, NxContactAccum, ActorPairOrder> step;
    std::set<ActorPair, ActorPairOrder> touching;
    std::set<ShapePair, ShapePairOrder> triggerStep;
    std::set<ShapePair, ShapePairOrder> overlapping;
};
