#pragma once
#include <cstdint>

#include "Engine/world/WeActor.h"
#include "Platform/math/D3DXVECTOR3.h"

class CTrigger;
class CTuber;
class CWeaponDescription;
class WeLight;
class WeModel;

// The base of every fired projectile, laid mine and field weapon. Only the factory `Fire` makes them; each
// kind derives through its own pool and overrides Launch and its reactions.
class CWeapon : public WeActor
{
public:
    static constexpr int32_t FirstKind = 1, LastKind = 20;

    CWeapon();
    ~CWeapon() override;
    void Tick() override;
    // Joining a world starts the life clock, which a constructor cannot (it has no world yet).
    void Init() override;

    virtual void Launch() {}
    // The default impact: a projectile hitting this weapon sets it off.
    virtual void OnCollision(WeActor* other);
    virtual void OnTriggerTouch(WeActor*, CTrigger*) {}

    // The weapon factory: the objects of one kind, launched, targeted and listed. `alternate` is the quantum
    // bolt's alternate fire and the swarm index of a Swarmer. A kind outside 1..20 makes nothing.
    static void Fire(CTuber* owner, int32_t kind, int32_t alternate);

    void AimAtTarget(D3DXVECTOR3* outDirection, CTuber** outTarget, bool backwards);
    void SetupFlight(const D3DXVECTOR3* direction, const D3DXVECTOR3* angularVelocity, float boxSize);
    void SteerToward(CTuber* target);
    void SetTarget(CTuber* target);
    void ReleaseTarget();
    void PlaceMine(WeModel* model, const float* lightColour);

    bool m_Spent = false;
    D3DXVECTOR3 m_BasePosition;
    bool m_SpinEnabled = false;
    int32_t m_SpinAxis = 1;
    float m_SpinSpeed = 0.5f;
    bool m_BobEnabled = false;
    int32_t m_BobAxis = 1;
    float m_BobFrequency = 4.0f;
    float m_BobAmplitude = 1.0f;
    bool m_CustomBox = false;
    D3DXVECTOR3 m_BoxSize;
    WeLight* m_MineLight = nullptr;
    D3DXVECTOR3 m_FlightVelocity;
    D3DXVECTOR3 m_TrackDirection;
    float m_TrackFraction = 0.0f;
    float m_DropDistance = 0.0f;
    bool m_Dynamic = false;
    bool m_AlignToPath = false;
    int32_t m_Kind = 0;
    CTuber* m_Owner = nullptr;
    CWeaponDescription* m_Description = nullptr;
    float m_SpareValue = 0.0f;
    CTuber* m_Target = nullptr;
    float m_MarkerTimer = 0.0f;  // a laid mine's brackets on the display slide in by it

protected:
    // A projectile's start: the owner's front launch matrix times its world matrix.
    void StartAtMuzzle();
    // The bolts' and guns' impact: pushes a hittable body, posts the localized request (one unit back when
    // asked) and, when asked, runs the default impact after.
    void StandardImpact(WeActor* other, float push, bool requestBack, int32_t visualIndex, bool baseAfter);
    // Expires a child the weapon keeps (one with no life of its own), keeping its place.
    static void ExpireChild(WeActor*& child);
    // For a kind whose behaviour is not written: joins the owner's world and expires, so nothing leaks.
    void LeaveAtOnce();
};
