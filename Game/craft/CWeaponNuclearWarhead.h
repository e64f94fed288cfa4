#pragma once
#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

class WeLight;
class WeSound3D;
class WeTrail;

// A fat, slow warhead that sets off a nuclear blast on any contact but its owner's; run out of life it
// vanishes without one.
class CWeaponNuclearWarhead : public WeRecycled<CWeaponNuclearWarhead, CWeapon>
{
public:
    CWeaponNuclearWarhead() = default;
    ~CWeaponNuclearWarhead() override;
    void Tick() override;
    void Launch() override;
    void OnCollision(WeActor* other) override;
    void Detonate();

    WeLight* m_Light = nullptr;
    WeSound3D* m_EngineSound = nullptr;
    WeTrail* m_Trail = nullptr;
};
