#pragma once
#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

class CTrigger;
class WeSound3D;

// A glowing field held ahead of the firing craft for one fire interval: it grows, hurts what touches it and
// pushes away what comes close.
class CWeaponFrontFieldGenerator : public WeRecycled<CWeaponFrontFieldGenerator, CWeapon>
{
public:
    CWeaponFrontFieldGenerator() = default;
    ~CWeaponFrontFieldGenerator() override;
    void Tick() override;
    void Launch() override;
    void OnCollision(WeActor*) override {}
    void OnTriggerTouch(WeActor* other, CTrigger* trigger) override;

    // The growth at age a with r left: up over the fade-in, down over the fade-out, 1 between.
    static float Growth(float age, float remaining, float fadeIn, float fadeOut);

    WeSound3D* m_FieldSound = nullptr;
    WeActor* m_SecondModel = nullptr;
    CTrigger* m_TriggerVolume = nullptr;

private:
    // The field's place ahead of the owner.
    D3DXMATRIX Placement() const;
};
