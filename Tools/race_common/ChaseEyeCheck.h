#pragma once
#include "Platform/math/D3DXVECTOR3.h"

class CGameCamera;

// What a frame of the chase camera shows of the level around the craft it follows.
enum class ChaseEye
{
    NotChasing,       // no craft followed, or a preset that does not cast rays (centred, stopping, no hit check)
    Clear,            // the craft in sight and the near plane in open space
    CraftInGeometry,  // the craft itself scrapes a wall (a crash): no eye near it keeps the near plane clean
    CraftHidden,      // a wall turned towards the craft stands between it and the eye
    NearPlaneCut,     // geometry reaches into the near plane, so the picture shows its inside
    CraftOffScreen,   // the craft's centre outside the picture
};

const char* ChaseEyeName(ChaseEye state);

// Judges the camera as it was last updated, against the static shapes of the scene.
ChaseEye CheckChaseEye(const CGameCamera& camera, const D3DXVECTOR3& craft);

// How far the eye is from the nearest static surface along the world axes, up to reach.
float ChaseEyeClearance(const CGameCamera& camera, float reach);
