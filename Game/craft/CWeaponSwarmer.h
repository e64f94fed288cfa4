#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

class WeLight;
class WeSound3D;
class WeTrail;

// One rocket of a swarm burst: a spark corkscrewing about its flight, the sense set by its swarm index.
class CWeaponSwarmer : public WeRecycled<CWeaponSwarmer, CWeapon>
{
public:
    explicit CWeaponSwarmer(int32_t swarmIndex) : m_SwarmIndex(swarmIndex) {}
    ~CWeaponSwarmer() override;
    void Tick() override;
    void Launch() override;
    void OnCollision(WeActor* other) override;

    WeTrail* m_Trail = nullptr;
    WeLight* m_Light = nullptr;
    WeSound3D* m_EngineSound = nullptr;  // always empty
    int32_t m_LaunchIndex = 0;           // the swarm index as launched
    int32_t m_SwarmIndex = 0;
};
