#pragma once

// The physics groups that may touch during a race: every pair off, then the race's pairs on with contact
// reports. Without it nothing collides and a craft falls through the road.
void ApplyRaceCollisionGroups();

class WeActor;

// What shots and fields may hit: an actor with a body whose collision is on, of a kind that is neither a
// pickup nor an explosion, start location, projectile or trigger.
bool IsHittableActor(WeActor* actor);

#include "Platform/math/D3DXVECTOR3.h"

// The race's physics report handlers, which the race installs while it runs.
void OnRaceContact(WeActor* first, WeActor* second, const D3DXVECTOR3* normalForce, const D3DXVECTOR3* frictionForce,
                   int events, const D3DXVECTOR3* contactPoint);
void OnRaceTrigger(WeActor* trigger, WeActor* other, int status);

class CPickup;
class CTuber;
// An available pickup touched by a craft: taken, then collected.
void CollectRacePickup(CTuber* craft, CPickup* pickup);
