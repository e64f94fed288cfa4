#pragma once
#include "Engine/world/WePhysicsDescription.h"
#include "Engine/world/WePhysicsOwnerState.h"

class WeActor;
class WePhysicHandle;

// What WePhysicModel::CreatePhysics does once it has read the owner: the body kind by class (the
// editor class in editor mode, cloth excepted), sizes from the explicit values, else the mesh's
// bounds, else fallbacks; then kinematic in editor mode, else gravity and sleep as described. Null for
// class 0 or outside 1..9, a mesh class without a mesh, or a body the runtime refused.
WePhysicHandle* WeCreatePhysics(WeActor* owner, const WePhysicsDescription& model, const WePhysicsOwnerState& state);
