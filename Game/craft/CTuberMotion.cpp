#include "Game/craft/CTuberMotion.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr float Pi = 3.14159265f;
constexpr float MouseScale = 0.014285714f;  // 1/70: a mouse delta of 70 is a full turn input
}  // namespace

float MeasureTuberSpeed(float signedSpeed, bool backwardHeld, float speedFactor)
{
    float speed = std::max(signedSpeed, -20.0f);
    if (speed < -1.0f && !backwardHeld)
        speed = -1.0f;
    return speed / std::max(speedFactor, 0.01f);
}

void StepTuberSpeed(const CTuberSpeedTuning& tuning, CTuberSpeedInputs& inputs, CTuberSpeedState& state, float dt)
{
    float w = state.speed;
    state.turbo = false;
    state.engaged = false;
    state.firstEngaged = false;

    const bool request = inputs.backward && inputs.turbo;
    if (state.charge > 0.0f)
    {
        if (state.launch)
        {
            if (!request)
                state.released = true;
            else if (state.released)
            {
                state.launch = false;
                state.released = false;
            }
        }
        else
        {
            if (!request || state.charge >= tuning.fullCharge)
                state.launch = true;
            if (request && state.released)
            {
                state.launch = false;
                state.released = false;
            }
        }
        if (state.launch)
        {
            inputs.forward = true;
            inputs.turbo = true;
            inputs.backward = false;
        }
    }
    else
    {
        state.charge = 0.0f;
        state.launch = false;
        state.released = true;
    }

    if (inputs.forward)
    {
        const float bonus = inputs.rotating ? tuning.acceleration * tuning.rotationAccelFactor : 0.0f;
        const bool turboMode =
            inputs.turbo && (state.launch || (!inputs.backward && (state.turboEnergy > 0.0f || state.unlimitedTurbo)));
        if (turboMode)
        {
            float extra = 0.0f;
            if (state.launch)
                extra = tuning.fullCharge > 0.0f
                            ? tuning.acceleration * tuning.extraAccel * state.charge / tuning.fullCharge
                            : 0.0f;
            else if (tuning.turboMaxSpeed > 0.0f)
                extra = -(tuning.turboAcceleration * w / tuning.turboMaxSpeed);
            w += (tuning.turboAcceleration + bonus + extra) * dt * 2.0f;
            w = std::min(w, tuning.turboMaxSpeed);
            state.turbo = true;
        }
        else if (w < tuning.maxSpeed)
        {
            const float drag = tuning.maxSpeed > 0.0f ? tuning.acceleration * w / tuning.maxSpeed : 0.0f;
            w += (tuning.acceleration + bonus - drag) * dt;
            w = std::min(w, tuning.maxSpeed);
        }
    }

    if (inputs.backward)
    {
        if (!state.launch && inputs.turbo)
        {
            const float step = tuning.brakeDeceleration * dt * 10.0f;
            const float stepped = w >= 0.0f ? w - step : w + step;
            const bool crosses = w >= 0.0f ? stepped < 0.0f : stepped > 0.0f;
            if (crosses)
            {
                state.engaged = true;
                state.firstEngaged = state.charge == 0.0f;
                state.released = false;
                state.charge += tuning.chargePerSecond * dt;
                w = 0.0f;
            }
            else
                w = stepped;
        }
        else
        {
            w -= w < 0.0f ? tuning.brakeDeceleration * dt : 2.0f * tuning.brakeDeceleration * dt;
            w = std::max(w, -0.333f * tuning.maxSpeed);
        }
    }

    const bool coasting = (!inputs.forward && !inputs.backward) ||
                          (inputs.forward && w > tuning.maxSpeed && (!inputs.turbo || state.turboEnergy <= 0.0f));
    if (coasting)
    {
        const float step = tuning.acceleration * dt;
        if (w > 0.0f)
            w = std::max(w - step, 0.0f);
        else if (w < 0.0f)
            w = std::min(w + step, 0.0f);
    }
    state.speed = w;
}

D3DXVECTOR3 TurnTuber(const CTuberTurnTuning& tuning, const CTuberTurnInputs& inputs, const D3DXVECTOR3& right,
                      const D3DXVECTOR3& up, const D3DXVECTOR3& forward, float dt)
{
    float yaw = static_cast<float>(inputs.mouseX) * MouseScale;
    float pitch = static_cast<float>(inputs.mouseY) * MouseScale;
    const float k = tuning.keyboardSensitivity * tuning.keyboardSpeed * 70.0f;
    if (inputs.lookRight)
        yaw += k;
    else if (inputs.lookLeft)
        yaw -= k;
    if (inputs.lookDown)
        pitch += k;
    else if (inputs.lookUp)
        pitch -= k;
    yaw = std::clamp(yaw, -1.0f, 1.0f);
    pitch = std::clamp(pitch, -1.0f, 1.0f);

    // A turn input turns the craft by a fixed angle per frame, whatever the frame time.
    const float m = dt > 0.0f ? 0.1f / dt : 0.0f;
    D3DXVECTOR3 angular;
    if (inputs.overrideOn)
        angular = inputs.overrideVelocity;
    else
    {
        const float yawTurn = Pi * tuning.yawRate * yaw * m;
        const float pitchTurn = Pi * tuning.pitchRate * pitch * m;
        const float roll = yaw * tuning.rotationToAngular * m;
        angular = D3DXVECTOR3(up.x * yawTurn + right.x * pitchTurn - forward.x * roll,
                              up.y * yawTurn + right.y * pitchTurn - forward.y * roll,
                              up.z * yawTurn + right.z * pitchTurn - forward.z * roll);
    }
    const float quarterTurn = Pi * 0.5f;
    if (inputs.rotateLeft)
        angular = D3DXVECTOR3(angular.x + forward.x * quarterTurn, angular.y + forward.y * quarterTurn,
                              angular.z + forward.z * quarterTurn);
    if (inputs.rotateRight)
        angular = D3DXVECTOR3(angular.x - forward.x * quarterTurn, angular.y - forward.y * quarterTurn,
                              angular.z - forward.z * quarterTurn);
    return angular;
}
