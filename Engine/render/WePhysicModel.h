#pragma once
#include <cstdint>

#include "Engine/world/WePhysicsDescription.h"

class WeActor;
class WeFileStream;
class WePhysicHandle;

// The physics description every actor carries and stores in its record: what body the world builds
// for it (class, shape flags, mass, sleep, gravity, explicit size, cloth values).
class WePhysicModel : public WePhysicsDescription
{
public:
    static constexpr int32_t Version = 5;

    WePhysicModel() = default;
    WePhysicModel(const WePhysicModel&) = default;
    WePhysicModel& operator=(const WePhysicModel&) = default;
    virtual ~WePhysicModel() = default;

    // The version-5 block.
    void Save(WeFileStream& stream) const;
    // Any version from 1 on (newer ones as 5). A version of 0 or less consumes only itself, leaves the
    // description as it was and returns false.
    bool Load(WeFileStream& stream);
    // The owner's body from this description, its placement, its world's editor mode and its model's
    // mesh (null for none); the owner keeps it as its handle.
    WePhysicHandle* CreatePhysics(WeActor* owner) const;
};
