#pragma once
#include "Platform/physics/NxArray.h"
#include "Platform/physics/NxMat34.h"

class NxShapeDesc;

// Dynamic part of an actor description. Defaults follow the SDK: wake-up counter 0.4, angular damping
// 0.05, flags 0x900, 4 solver iterations, -1 for "SDK default" thresholds.
class NxBodyDesc
{
public:
    NxMat34 massLocalPose;
    NxVec3 massSpaceInertia;
    NxReal mass = 0;
    NxVec3 linearVelocity;
    NxVec3 angularVelocity;
    NxReal wakeUpCounter = 0.4f;
    NxReal linearDamping = 0;
    NxReal angularDamping = 0.05f;
    NxReal maxAngularVelocity = -1;
    NxReal CCDMotionThreshold = 0;
    NxU32 flags = NX_BF_VISUALIZATION | NX_BF_ENERGY_SLEEP_TEST;
    NxReal sleepLinearVelocity = -1;
    NxReal sleepAngularVelocity = -1;
    NxU32 solverIterationCount = 4;
    NxReal sleepEnergyThreshold = -1;
    NxReal sleepDamping = 0;
    NxReal contactReportThreshold = NX_MAX_F32;

    void setToDefault() { *this = NxBodyDesc(); }
    bool isValid() const { return mass >= 0 && wakeUpCounter >= 0 && linearDamping >= 0 && angularDamping >= 0; }
};

// An actor: its shapes, an optional body (none: static) and its pose. Mass comes from the body's mass
// when positive, else from density (actor density, else each shape's) times volume.
class NxActorDesc
{
public:
    NxArray<NxShapeDesc*> shapes;
    const NxBodyDesc* body = nullptr;
    NxReal density = 0;
    NxU32 flags = 0;
    NxActorGroup group = 0;
    NxU16 dominanceGroup = 0;
    NxU32 contactReportFlags = 0;
    NxU16 forceFieldMaterial = 0;
    void* userData = nullptr;
    const char* name = nullptr;
    void* compartment = nullptr;
    NxMat34 globalPose;

    void setToDefault() { *this = NxActorDesc(); }
    bool isValid() const;
};
