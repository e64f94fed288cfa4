#pragma once
#include <cstdint>

#include "Platform/math/D3DXVECTOR3.h"

// The craft's movement arithmetic over small records, so that it can be checked without a world: the
// forward speed step with turbo, brakes, reverse and the hyper brake, and the turn from the control inputs.

// The control flags the speed step reads; the launch of a hyper brake overrides them.
struct CTuberSpeedInputs
{
    bool forward = false, backward = false, turbo = false, rotating = false;
};

struct CTuberSpeedTuning
{
    float maxSpeed = 0.0f, acceleration = 0.0f, brakeDeceleration = 0.0f;
    float turboMaxSpeed = 0.0f, turboAcceleration = 0.0f;
    float rotationAccelFactor = 0.5f;
    float extraAccel = 1.0f;        // the launch's extra acceleration at a full charge, in accelerations
    float chargePerSecond = 50.0f;  // hyper-brake charge gained per second of braking at standstill
    float fullCharge = 150.0f;
};

// What the step carries from frame to frame, and what it reports about this frame.
struct CTuberSpeedState
{
    float speed = 0.0f;  // the working speed, measured before the step
    float turboEnergy = 0.0f;
    bool unlimitedTurbo = false;
    float charge = 0.0f;
    bool launch = false;
    bool released = true;
    // Outputs of the step.
    bool turbo = false;         // accelerated with turbo
    bool engaged = false;       // the hyper brake held the craft at 0 and charged
    bool firstEngaged = false;  // ... and it was the first such frame (the charge was exactly 0)
};

// The measured forward speed: the body's speed signed by its direction along the forward axis, no faster
// backwards than 20, read as -1 when knocked back without backward held, then taken out of the speed factor.
float MeasureTuberSpeed(float signedSpeed, bool backwardHeld, float speedFactor);

// One speed step over dt (the launch control, forward, backward and coasting). The inputs come back as
// the launch forced them.
void StepTuberSpeed(const CTuberSpeedTuning& tuning, CTuberSpeedInputs& inputs, CTuberSpeedState& state, float dt);

struct CTuberTurnInputs
{
    int32_t mouseX = 0, mouseY = 0;
    bool lookLeft = false, lookRight = false, lookUp = false, lookDown = false;
    bool rotateLeft = false, rotateRight = false;
    bool overrideOn = false;
    D3DXVECTOR3 overrideVelocity;
};

struct CTuberTurnTuning
{
    float yawRate = 0.8f, pitchRate = 1.12f;
    float keyboardSpeed = 0.5f;        // the configured keyboard turn speed
    float keyboardSensitivity = 1.0f;  // the player's option
    float rotationToAngular = 1.0f;    // the roll that goes with a yaw
};

// The angular velocity the inputs ask for, over the craft's right, up and forward axes.
D3DXVECTOR3 TurnTuber(const CTuberTurnTuning& tuning, const CTuberTurnInputs& inputs, const D3DXVECTOR3& right,
                      const D3DXVECTOR3& up, const D3DXVECTOR3& forward, float dt);
