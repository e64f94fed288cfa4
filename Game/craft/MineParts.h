#pragma once
// The parts the mine kinds share: their trigger spheres, their hum, their age and the drop sound.
#include <cstdint>

class CTrigger;
class CWeapon;
class WeModel;
class WeSound3D;
class WeTrail;
class WeWorld;
struct D3DXVECTOR3;
struct D3DXMATRIX;

// A sphere trigger of the radius at the mine, in the group, added to the mine's world. None (a mine acting by
// contact only) when the radius is not above 0 or the mine has no world.
CTrigger* MakeMineTriggerSphere(CWeapon* mine, float radius, uint16_t group);
// Keeps a moving mine's trigger with it.
void MoveMineTrigger(CTrigger* trigger, const D3DXMATRIX& pose);
// The looped hum at the mine, owned by the mine; none without a name.
WeSound3D* MakeMineHum(const char* name, const D3DXVECTOR3& position);
void DeleteMineHum(WeSound3D*& hum);
// Expires a trigger the mine keeps, unless the world is going (it deletes the trigger itself).
void ExpireMineTrigger(CTrigger*& trigger);
// A red trail behind a moving mine, parented to it.
WeTrail* MakeMineTrail(CWeapon* mine, float halfWidth);
// World time since the mine joined its world; 0 without a world.
float MineAge(const CWeapon* mine);
// The one-shot drop sound, then the model or a debug line when the pack lacks it.
WeModel* MineDropped(CWeapon* mine, WeModel* model, const char* modelName);
// The same with the model of that name from the weapons' shared resources.
WeModel* MineDropped(CWeapon* mine, const char* modelName);
// True for the physics classes of level geometry and other static bodies.
bool IsStaticPhysicsClass(int32_t physicsClass);
