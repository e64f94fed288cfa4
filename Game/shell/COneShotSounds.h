#pragma once
#include "Engine/foundation/WeString.h"
#include "Platform/math/D3DXVECTOR3.h"

class WeSound;

// Sounds played once and forgotten by their caller: the race keeps them until they stop, then deletes them.
WeSound* PlayOneShotSound(const WeString& name);
WeSound* PlayOneShotSound3D(const WeString& name, const D3DXVECTOR3& position, const D3DXVECTOR3& velocity,
                            float maxDistance);
// Deletes the ones that stopped playing.
void UpdateOneShotSounds();
// Stops and deletes them all (the race's end).
void ClearOneShotSounds();
int32_t CountOneShotSounds();
// Those of the sound name still kept.
int32_t CountOneShotSounds(const WeString& name);
