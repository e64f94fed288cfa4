#pragma once
#include <cstdint>

#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXVECTOR3.h"

class CTrigger;
class CWeapon;
class WeActor;
class WeLight;
class WeModel;
class WeNewParticleSystem;
class WeSound3D;
class WeTrail;

// The pieces the weapon kinds build around themselves: children parented to the weapon and added to its
// world, its trigger sphere and its held sound. Each returns null when the weapon has no world or the
// resource it copies is missing (a debug line names it).
namespace WeaponParts
{
// A light made in code: kind 2, the range, one key frame of the colour and the two intensities.
WeLight* MakeLight(CWeapon* weapon, float range, const float colour[4], float intensity, float secondIntensity);
// A copy of a loaded light asset.
WeLight* CopyLight(CWeapon* weapon, const char* assetName);
// A copy of a loaded particle template; with keepWhenMissing, an empty system stands in for a missing one.
WeNewParticleSystem* CopyParticles(CWeapon* weapon, const char* templateName, bool keepWhenMissing);
// A white ribbon with the trail material, at the local position.
WeTrail* MakeTrail(CWeapon* weapon, float halfWidth, float headAlpha, float tailAlpha, const D3DXVECTOR3& local);
// A plain actor carrying its own clone of the model.
WeActor* MakeModelActor(CWeapon* weapon, WeModel* model);
// The weapon's own clone of a loaded weapon model (none when missing).
WeModel* CloneModel(const char* name);
// A trigger sphere at the pose, in the group, with the trigger flags; none for a radius of 0 or less.
CTrigger* MakeTriggerSphere(CWeapon* weapon, const D3DXMATRIX& pose, float radius, uint16_t group, float mass,
                            uint16_t flags);
// A held positional sound at the place, playing.
WeSound3D* StartSound(const char* name, const D3DXVECTOR3& position, const D3DXVECTOR3& velocity, bool loop);
void MoveSound(WeSound3D* sound, const D3DXVECTOR3& position, const D3DXVECTOR3& velocity);
void StopSound(WeSound3D*& sound);
// Name plus a random digit 1 to 3.
void PlayNumberedOneShot(const char* name, const D3DXVECTOR3& position);
void PlayOneShot(const char* name, const D3DXVECTOR3& position);
// A child's clean-up in the weapon's destructor: detached in place and expired, unless the world is going.
void Release(WeActor*& child);
// Pushes a hittable body (a craft's through its pending impulse).
void PushBody(WeActor* actor, const D3DXVECTOR3& change);
D3DXVECTOR3 Forward(const WeActor* actor);
D3DXVECTOR3 UnitToward(const D3DXVECTOR3& from, const D3DXVECTOR3& to);
}  // namespace WeaponParts
