#pragma once
#include "Engine/foundation/WeList.h"
#include "Platform/math/D3DXVECTOR3.h"

class CTuber;

// A wreck waiting to be made: the dead craft, where it was, its forward axis and its speed at death.
struct CTuberPartSpawn
{
    CTuber* m_Craft = nullptr;
    D3DXVECTOR3 m_Position;
    D3DXVECTOR3 m_Forward;
    float m_Speed = 0.0f;
};

// Filled by deaths (some inside physics reports, where no actor may be made); the race drains it right after
// its explosions, before the world tick.
extern WeList<CTuberPartSpawn> g_TuberPartSpawns;

void PostTuberPartSpawn(CTuber* craft);
// Makes the pieces of every queued wreck.
void ProcessTuberPartSpawns();
// Drops every queued wreck (the race is left).
void ClearTuberPartSpawns();
// Drops the queued wrecks of a craft that is going.
void ForgetTuberPartSpawns(const CTuber* craft);
