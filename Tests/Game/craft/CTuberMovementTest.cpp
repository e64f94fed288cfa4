#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "Game/craft/CTuberMotion.h"
#include "Game/shell/CInputMessage.h"
#include "Tests/Game/craft/CraftTestSupport.h"

namespace
{

constexpr float Dt = 1.0f / 64.0f;

CTuberSpeedTuning Tuning()
{
    CTuberSpeedTuning t;
    t.maxSpeed = 200.0f;
    t.acceleration = 100.0f;
    t.brakeDeceleration = 200.0f;
    t.turboMaxSpeed = 240.0f;
    t.turboAcceleration = 200.0f;
    t.rotationAccelFactor = 0.5f;
    t.extraAccel = 1.0f;
    t.chargePerSecond = 50.0f;
    t.fullCharge = 150.0f;
    return t;
}

struct Held
{
    bool forward, backward, turbo;
};

CTuberSpeedInputs Inputs(Held h)
{
    CTuberSpeedInputs in;
    in.forward = h.forward;
    in.backward = h.backward;
    in.turbo = h.turbo;
    return in;
}

// Runs the measured speed through the step for a number of frames, as the craft does when its body follows.
float Drive(CTuberSpeedState& state, Held held, int frames, bool backwardForMeasure)
{
    const CTuberSpeedTuning tuning = Tuning();
    for (int i = 0; i < frames; ++i)
    {
        state.speed = MeasureTuberSpeed(state.speed, backwardForMeasure, 1.0f);
        CTuberSpeedInputs in = Inputs(held);
        StepTuberSpeed(tuning, in, state, Dt);
    }
    return state.speed;
}

TEST(CTuberMovement, SpeedStepEdgeCases)
{
    const CTuberSpeedTuning t = Tuning();
    struct Case
    {
        const char* name;
        float speed;
        float energy;
        Held held;
        float expected;
    };
    const Case cases[] = {
        // From rest backward alone: twice the brake on the first step.
        {"reverse first step", 0.0f, 10.0f, {false, true, false}, -2.0f * t.brakeDeceleration * Dt},
        // Already reversing: the plain brake.
        {"reverse later step", -5.0f, 10.0f, {false, true, false}, -5.0f - t.brakeDeceleration * Dt},
        // Turbo without energy accelerates normally.
        {"turbo without energy",
         100.0f,
         0.0f,
         {true, false, true},
         100.0f + (t.acceleration - t.acceleration * 100.0f / t.maxSpeed) * Dt},
        // Turbo with energy: twice the turbo acceleration less its drag.
        {"turbo with energy",
         100.0f,
         10.0f,
         {true, false, true},
         100.0f + (t.turboAcceleration - t.turboAcceleration * 100.0f / t.turboMaxSpeed) * Dt * 2.0f},
        // Above the maximum without turbo energy: coasts down.
        {"above maximum coasts", 230.0f, 0.0f, {true, false, true}, 230.0f - t.acceleration * Dt},
        // Hyper brake while fast: ten times the brake, no charge yet.
        {"hyper brake", 150.0f, 10.0f, {false, true, true}, 150.0f - t.brakeDeceleration * Dt * 10.0f},
        // Nothing held: coasts toward 0 without crossing.
        {"coast stops at zero", 0.5f, 10.0f, {false, false, false}, 0.0f},
        {"coast from reverse", -0.5f, 10.0f, {false, false, false}, 0.0f},
    };
    for (const Case& c : cases)
    {
        CTuberSpeedState state;
        state.speed = c.speed;
        state.turboEnergy = c.energy;
        CTuberSpeedInputs in = Inputs(c.held);
        StepTuberSpeed(t, in, state, Dt);
        EXPECT_FLOAT_EQ(state.speed, c.expected) << c.name;
        EXPECT_EQ(state.charge, 0.0f) << c.name;
    }
}

TEST(CTuberMovement, ReverseFromRestSettlesNearTwentyAndCoastsBack)
{
    const CTuberSpeedTuning t = Tuning();
    CTuberSpeedState state;
    const float settled = Drive(state, {false, true, false}, 400, true);
    EXPECT_NEAR(settled, -20.0f - t.brakeDeceleration * Dt, 1e-4f);
    // Released: read as -1 and coasts back to rest.
    state.speed = MeasureTuberSpeed(state.speed, false, 1.0f);
    EXPECT_EQ(state.speed, -1.0f);
    EXPECT_EQ(Drive(state, {false, false, false}, 64, false), 0.0f);
}

TEST(CTuberMovement, MeasuredSpeed)
{
    EXPECT_EQ(MeasureTuberSpeed(-50.0f, true, 1.0f), -20.0f);
    EXPECT_EQ(MeasureTuberSpeed(-50.0f, false, 1.0f), -1.0f);  // knocked back: starts from -1
    EXPECT_EQ(MeasureTuberSpeed(-0.5f, false, 1.0f), -0.5f);
    EXPECT_EQ(MeasureTuberSpeed(100.0f, false, 2.0f), 50.0f);
    // A speed factor of 0 or below counts as 0.01: no infinity, no reversal.
    EXPECT_EQ(MeasureTuberSpeed(1.0f, false, 0.0f), 100.0f);
    EXPECT_EQ(MeasureTuberSpeed(1.0f, false, -3.0f), 100.0f);
}

TEST(CTuberMovement, HyperBrakeMachine)
{
    const CTuberSpeedTuning t = Tuning();
    CTuberSpeedState state;
    state.speed = 100.0f;
    state.turboEnergy = 10.0f;
    // Braking hard until the step would cross 0: no charge before.
    int frames = 0;
    while (!state.engaged && frames < 100)
    {
        CTuberSpeedInputs in = Inputs({false, true, true});
        StepTuberSpeed(t, in, state, Dt);
        ++frames;
        if (!state.engaged)
        {
            EXPECT_EQ(state.charge, 0.0f);
        }
    }
    ASSERT_TRUE(state.engaged);
    EXPECT_TRUE(state.firstEngaged);
    EXPECT_FALSE(state.released);
    EXPECT_EQ(state.speed, 0.0f);
    EXPECT_FLOAT_EQ(state.charge, t.chargePerSecond * Dt);

    // Held: charges; later frames are not the first.
    CTuberSpeedInputs in = Inputs({false, true, true});
    StepTuberSpeed(t, in, state, Dt);
    EXPECT_TRUE(state.engaged);
    EXPECT_FALSE(state.firstEngaged);
    EXPECT_FALSE(state.launch);

    // Released: the launch forces forward and turbo, with the extra acceleration of the charge.
    const float charge = state.charge;
    CTuberSpeedInputs none = Inputs({false, false, false});
    StepTuberSpeed(t, none, state, Dt);
    EXPECT_TRUE(state.launch);
    EXPECT_TRUE(none.forward && none.turbo && !none.backward);
    EXPECT_TRUE(state.turbo);
    EXPECT_FLOAT_EQ(state.speed, (t.turboAcceleration + t.acceleration * charge / t.fullCharge) * Dt * 2.0f);
    EXPECT_FALSE(state.released);

    // The next frame without the request marks it released.
    CTuberSpeedInputs stillNone = Inputs({false, false, false});
    StepTuberSpeed(t, stillNone, state, Dt);
    EXPECT_TRUE(state.released);

    // Pressed anew after the release: the launch ends and braking starts again.
    CTuberSpeedInputs again = Inputs({false, true, true});
    StepTuberSpeed(t, again, state, Dt);
    EXPECT_FALSE(state.launch);
    EXPECT_FALSE(state.released);

    // Charge spent: idle with released on.
    state.charge = 0.0f;
    CTuberSpeedInputs idle = Inputs({false, false, false});
    StepTuberSpeed(t, idle, state, Dt);
    EXPECT_FALSE(state.launch);
    EXPECT_TRUE(state.released);
}

TEST(CTuberMovement, FullChargeLaunchesWhileHeld)
{
    const CTuberSpeedTuning t = Tuning();
    CTuberSpeedState state;
    int frames = 0;
    while (!state.launch && frames < 1000)
    {
        CTuberSpeedInputs in = Inputs({false, true, true});
        StepTuberSpeed(t, in, state, Dt);
        ++frames;
    }
    ASSERT_TRUE(state.launch);
    EXPECT_GE(state.charge, t.fullCharge);
    // MaxTime of charging at UsagePerSecond, plus the frame on which the full charge is seen.
    EXPECT_EQ(frames, static_cast<int>(std::ceil(t.fullCharge / (t.chargePerSecond * Dt))) + 1);
    // Still held, the launch goes on (the release is what re-arms the brake).
    CTuberSpeedInputs in = Inputs({false, true, true});
    StepTuberSpeed(t, in, state, Dt);
    EXPECT_TRUE(state.launch);
    EXPECT_TRUE(state.turbo);
}

TEST(CTuberMovement, RotationAndSpeedCap)
{
    const D3DXVECTOR3 right(1, 0, 0), up(0, 1, 0), forward(0, 0, 1);
    CTuberTurnTuning tuning;
    CTuberTurnInputs in;
    in.mouseX = 35;  // half a turn input
    const D3DXVECTOR3 w = TurnTuber(tuning, in, right, up, forward, Dt);
    const float m = 0.1f / Dt;
    EXPECT_FLOAT_EQ(w.y, 3.14159265f * tuning.yawRate * 0.5f * m);
    EXPECT_FLOAT_EQ(w.z, -0.5f * tuning.rotationToAngular * m);

    // dt 0: no turn from inputs, but the override and the roll remain.
    in.rotateLeft = true;
    D3DXVECTOR3 still = TurnTuber(tuning, in, right, up, forward, 0.0f);
    EXPECT_EQ(still.x, 0.0f);
    EXPECT_EQ(still.y, 0.0f);
    EXPECT_FLOAT_EQ(still.z, 3.14159265f * 0.5f);
    in.rotateLeft = false;
    in.overrideOn = true;
    in.overrideVelocity = D3DXVECTOR3(1, 2, 3);
    still = TurnTuber(tuning, in, right, up, forward, 0.0f);
    EXPECT_EQ(still, D3DXVECTOR3(1, 2, 3));

    // The keyboard turns are clamped to a full input.
    CTuberTurnInputs keys;
    keys.lookRight = true;
    keys.lookUp = true;
    const D3DXVECTOR3 k = TurnTuber(tuning, keys, right, up, forward, Dt);
    EXPECT_FLOAT_EQ(k.y, 3.14159265f * tuning.yawRate * m);
    EXPECT_FLOAT_EQ(k.x, -3.14159265f * tuning.pitchRate * m);
}

}  // namespace

namespace
{

struct CTuberMovementRig : ::testing::Test
{
    void SetUp() override
    {
        rig = std::make_unique<RaceRig>(CraftTest::Options(0));
        std::string error;
        ASSERT_TRUE(rig->Start(&error)) << error;
        craft = rig->Player();
        ASSERT_NE(craft, nullptr);
        CraftTest::FaceAlongZ(craft);
    }
    void TearDown() override { rig.reset(); }

    CraftTest::Catalogue catalogue;
    std::unique_ptr<RaceRig> rig;
    CTuber* craft = nullptr;
};

TEST_F(CTuberMovementRig, ForwardFromRestFollowsTheRecurrenceAndTheBodyMovesAtIt)
{
    rig->SetPlayerScript([](int64_t, CInputMessage& m) { m.m_Forward = 1; });
    const float a = craft->m_Acceleration, v = craft->m_MaxSpeed, dt = 1.0f / 64.0f;
    for (int tick = 0; tick < 640; ++tick)
    {
        rig->Tick();
        // The step's working speed is what it handed on along +z.
        const float w = craft->m_TargetVelocity.z;
        const float from = craft->m_MeasuredSpeed;
        const float expected = std::fmin(from + (a - a * from / v) * dt, v);
        ASSERT_EQ(w, expected) << "tick " << tick;
    }
    // After 10 s the speed is near V (1 - exp(-a t / V)).
    const float w = craft->m_TargetVelocity.z;
    EXPECT_NEAR(w, v * (1.0f - std::exp(-a * 10.0f / v)), v * 0.01f);
    // The body moved along +z at about that speed during the last ticks.
    const float z0 = craft->GetWorldPosition().z;
    rig->Tick(64);
    const float travelled = craft->GetWorldPosition().z - z0;
    EXPECT_NEAR(travelled, craft->m_TargetVelocity.z, v * 0.02f);
}

TEST_F(CTuberMovementRig, TurboIsSpentAtTheUsageRateAndCountedAsTheLapsUse)
{
    ConfigOverride usage("tuber.Turbo.UsagePerSecond", "8");
    rig->SetPlayerScript(
        [](int64_t, CInputMessage& m)
        {
            m.m_Forward = 1;
            m.m_Turbo = 1;
        });
    const float energy = craft->m_TurboEnergy;
    ASSERT_GT(energy, 0.0f);
    rig->Tick(64);
    EXPECT_NEAR(craft->m_TurboEnergy, energy - 8.0f, 1e-3f);
    EXPECT_NEAR(craft->m_LapTurboUse, 8.0f, 1e-3f);
    EXPECT_GT(craft->m_TargetVelocity.z, 0.0f);
    const int64_t ticks = rig->Ticks();
    EXPECT_TRUE(rig->RunUntil([&] { return craft->m_TurboEnergy <= 0.0f; }, 10.0));
    EXPECT_NEAR(double(rig->Ticks() - ticks) / 64.0, (energy - 8.0f) / 8.0f, 2.0 / 64.0);
    EXPECT_NEAR(craft->m_LapTurboUse, energy, 1e-3f);
}

TEST_F(CTuberMovementRig, TheLaunchLastsMaxTime)
{
    ConfigOverride usage("tuber.HyperBrake.UsagePerSecond", "5");
    ConfigOverride time("tuber.HyperBrake.MaxTime", "2");
    bool brake = true;
    rig->SetPlayerScript(
        [&](int64_t, CInputMessage& m)
        {
            if (brake)
            {
                m.m_Backward = 1;
                m.m_Turbo = 1;
            }
        });
    ASSERT_TRUE(rig->RunUntil([&] { return craft->m_HyperBrakeLaunch; }, 5.0));
    brake = false;
    const int64_t start = rig->Ticks();
    ASSERT_TRUE(rig->RunUntil([&] { return !craft->m_HyperBrakeLaunch; }, 5.0));
    EXPECT_NEAR(double(rig->Ticks() - start) / 64.0, 2.0, 2.0 / 64.0);
    EXPECT_GT(craft->m_TargetVelocity.z, 0.0f);
}

}  // namespace

namespace
{

TEST_F(CTuberMovementRig, TheSpeedCapAndTheCatchUpFactor)
{
    rig->SetPlayerScript([](int64_t, CInputMessage& m) { m.m_Forward = 1; });
    craft->m_SpeedCap = 70.0f;
    rig->Tick(320);
    EXPECT_EQ(craft->m_TargetVelocity.z, 70.0f);
    craft->m_SpeedCap = 0.0f;
    rig->Tick(64);
    EXPECT_GT(craft->m_TargetVelocity.z, 70.0f);

    // A factor of 0 would divide the measured speed by 0, a negative one reverse the craft.
    craft->SetCatchUpFactor(0.0f);
    EXPECT_EQ(craft->m_CatchUpFactor, 0.01f);
    craft->SetCatchUpFactor(-2.0f);
    EXPECT_EQ(craft->m_CatchUpFactor, 0.01f);
    craft->SetCatchUpFactor(std::nanf(""));
    EXPECT_EQ(craft->m_CatchUpFactor, 1.0f);
    craft->SetCatchUpFactor(1.25f);
    rig->Tick(2);
    EXPECT_EQ(craft->m_SpeedFactor, 1.25f);
    EXPECT_TRUE(std::isfinite(craft->m_MeasuredSpeed));
    // Pushes reach the body once, on top of the handed velocity.
    craft->AddPendingImpulse(D3DXVECTOR3(3.0f, 0.0f, 0.0f));
    craft->SetVelocity(D3DXVECTOR3(0.0f, 0.0f, 10.0f));
    EXPECT_EQ(craft->m_PendingLinearVelocity, D3DXVECTOR3(3.0f, 0.0f, 12.5f));
    EXPECT_EQ(craft->m_PendingImpulse, D3DXVECTOR3());
}

}  // namespace
