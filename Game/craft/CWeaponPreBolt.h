#pragma once
#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

class WeLight;
class WeNewParticleSystem;
class WeSound3D;

// The quantum bolt's charge: a green glow held at the craft's nose that shrinks for a second, then fires the
// bolt. It cancels without a shot when its craft finishes or is destroyed first.
class CWeaponPreBolt : public WeRecycled<CWeaponPreBolt, CWeapon>
{
public:
    CWeaponPreBolt() = default;
    ~CWeaponPreBolt() override;
    void Tick() override;
    void Launch() override;

    WeLight* m_Light = nullptr;
    WeNewParticleSystem* m_Particles = nullptr;
    WeSound3D* m_ChargeSound = nullptr;
    float m_Elapsed = 0.0f;     // s
    float m_ChargeTime = 1.0f;  // s

private:
    void Cancel();
};
