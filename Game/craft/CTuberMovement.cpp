#include <cmath>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeMoveTowards.h"
#include "Engine/foundation/WeTickCost.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/runtime/WeSoundListener.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberBoundKeys.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/craft/CTuberMotion.h"
#include "Game/craft/CTuberSetting.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/COptionsSettings.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/PathNodeFields.h"

namespace
{
D3DXVECTOR3 Row(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

constexpr int32_t HumanKind = 4;
constexpr int32_t RaceStateRacing = 4, RaceStateFinished = 5;
}  // namespace

void CTuber::ApplyHandling()
{
    static const CTuberSetting turboAddon("tubers.Common.TurboAddon", 20.0f);
    static const CTuberSetting manouverability("tubers.Common.Manouverability", 0.8f);
    const float speed = m_Description ? m_Description->m_Speed : 0.0f;
    const float acceleration = m_Description ? m_Description->m_Acceleration : 0.0f;
    m_MaxSpeed = speed;
    m_Acceleration = acceleration;
    m_BrakeDeceleration = 2.0f * acceleration;
    m_TurboMaxSpeed = (1.0f + turboAddon.Get() * 0.01f) * speed;
    m_TurboAcceleration = 2.0f * acceleration;
    m_YawRate = manouverability.Get();
    m_PitchRate = 1.4f * manouverability.Get();
}

void CTuber::PreTick()
{
    UpdateWeaponSelection();
    const D3DXMATRIX& world = GetWorldMatrix();
    if (m_IsPlayer)
    {
        g_SoundListener.SetPosition(GetWorldPosition());
        g_SoundListener.SetOrientation(Row(world, 2), Row(world, 1));
        g_SoundListener.SetVelocity(m_PendingLinearVelocity);
    }
    m_ControlMessage.Clear();
    const int32_t state = CurrentRaceState();
    const bool human = m_Participant && m_Participant->m_Kind == HumanKind;
    CAgent* agent = m_Participant ? m_Participant->m_Agent : nullptr;
    if ((state != RaceStateRacing && state != RaceStateFinished) || (state == RaceStateRacing && m_Destroyed))
        Move();
    else if (state == RaceStateRacing && m_IsPlayer && human && !m_Finished && !IsAutopilotAgent(agent))
    {
        m_ControlMessage = g_PlayerInputMessage;
        Move();
    }
    else if (agent)
        UpdateAgent(agent);
    m_FireRequests = (m_ControlMessage.m_FireWeapon ? 1 : 0) + (m_ControlMessage.m_FireMine ? 2 : 0);
}

void CTuber::Move()
{
    // The agents drive through here: the motion is the craft's, not the decision's.
    WeTickCost::Scope cost(WeCostStage::Craft);
    const float dt = g_Timer.m_FrameDeltaF;
    m_Turbo = false;
    if (m_Destroyed)
    {
        m_HyperBrakeCharge = 0.0f;
        m_HyperBrakeLaunch = false;
        m_HyperBrakeReleased = true;
        SetVelocity(D3DXVECTOR3());
        m_TargetAngularVelocity = D3DXVECTOR3();
        SetAngularVelocity(m_TargetAngularVelocity);
        m_MeasuredSpeed = 0.0f;
        return;
    }
    const D3DXMATRIX& world = GetWorldMatrix();
    const D3DXVECTOR3 right = Row(world, 0), up = Row(world, 1), forward = Row(world, 2);
    CInputMessage& message = m_ControlMessage;

    const D3DXVECTOR3& v = m_PendingLinearVelocity;
    const float length = std::sqrt(Dot(v, v));
    const float signedSpeed = Dot(v, forward) < 0.0f ? -length : length;
    m_MeasuredSpeed = MeasureTuberSpeed(signedSpeed, message.m_Backward != 0, m_SpeedFactor);

    const CTuberBoundKeys& keys = TuberBoundKeys();
    static const CTuberSetting rotationAccelFactor("tuber.Movement.RotationAccelFactor", 0.5f);
    static const CTuberSetting keyboardSpeed("game.Input.KeyboardSpeed", 0.5f);
    static const CTuberSetting rotationToAngular("tuber.Movement.RotationToAngular", 1.0f);

    CTuberSpeedTuning tuning;
    tuning.maxSpeed = m_MaxSpeed;
    tuning.acceleration = m_Acceleration;
    tuning.brakeDeceleration = m_BrakeDeceleration;
    tuning.turboMaxSpeed = m_TurboMaxSpeed;
    tuning.turboAcceleration = m_TurboAcceleration;
    tuning.rotationAccelFactor = rotationAccelFactor.Get();
    tuning.extraAccel = keys.hyperBrakeExtraAccel.Get();
    tuning.chargePerSecond = keys.hyperBrakeUsagePerSecond.Get();
    tuning.fullCharge = keys.hyperBrakeUsagePerSecond.Get() * keys.hyperBrakeMaxTime.Get();

    CTuberSpeedInputs inputs;
    inputs.forward = message.m_Forward != 0;
    inputs.backward = message.m_Backward != 0;
    inputs.turbo = message.m_Turbo != 0;
    inputs.rotating = message.m_RotateLeft != 0 || message.m_RotateRight != 0;

    CTuberSpeedState speed;
    speed.speed = m_MeasuredSpeed;
    speed.turboEnergy = m_TurboEnergy;
    speed.unlimitedTurbo = m_UnlimitedTurbo;
    speed.charge = m_HyperBrakeCharge;
    speed.launch = m_HyperBrakeLaunch;
    speed.released = m_HyperBrakeReleased;
    StepTuberSpeed(tuning, inputs, speed, dt);
    m_HyperBrakeCharge = speed.charge;
    m_HyperBrakeLaunch = speed.launch;
    m_HyperBrakeReleased = speed.released;
    m_Turbo = speed.turbo;
    message.m_Forward = inputs.forward ? 1 : 0;
    message.m_Backward = inputs.backward ? 1 : 0;
    message.m_Turbo = inputs.turbo ? 1 : 0;
    if (speed.engaged && m_IsPlayer)
    {
        if (speed.firstEngaged && RaceMessagesShown())
            ShowCentredMessage("MSG: HYPER_BREAK_ENGAGED");
        ShakeChaseCamera(3, 0.1f);
    }
    float w = speed.speed;

    CTuberTurnTuning turn;
    turn.yawRate = m_YawRate;
    turn.pitchRate = m_PitchRate;
    turn.keyboardSpeed = keyboardSpeed.Get();
    turn.keyboardSensitivity = g_OptionsSettings.m_KeyboardSensitivity;
    turn.rotationToAngular = rotationToAngular.Get();
    CTuberTurnInputs turnInputs;
    turnInputs.mouseX = message.m_LookX;
    turnInputs.mouseY = message.m_LookY;
    turnInputs.lookLeft = message.m_LookLeft != 0;
    turnInputs.lookRight = message.m_LookRight != 0;
    turnInputs.lookUp = message.m_LookUp != 0;
    turnInputs.lookDown = message.m_LookDown != 0;
    turnInputs.rotateLeft = message.m_RotateLeft != 0;
    turnInputs.rotateRight = message.m_RotateRight != 0;
    turnInputs.overrideOn = message.m_Override;
    turnInputs.overrideVelocity = message.m_OverrideAngularVelocity;
    const D3DXVECTOR3 angular = TurnTuber(turn, turnInputs, right, up, forward, dt);

    if (m_SpeedCap > 0.0001f && w > m_SpeedCap)
        w = m_SpeedCap;
    m_TargetVelocity = forward * w;

    if (m_Participant && m_Participant->m_Kind == HumanKind)
        m_TargetAngularVelocity = angular;
    else
        MoveTowards(m_TargetAngularVelocity, angular, 0.0f, 10.0f, dt);
}
