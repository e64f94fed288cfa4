#pragma once
#include <cstdint>

#include "Engine/world/WePhysicsDescription.h"

class WeActor;
class WeFileStream;
class WePhysicHandle;
struct WePhysicsOwnerState;

// The physics description every actor carries and stores in its record: what body the world builds
// for it (class, shape flags, mass, sleep, gravity, explicit size, cloth values).
class WePhysicModel
{
public:
    static constexpr int32_t Version = 5;

    WePhysicModel() = default;
    virtual ~WePhysicModel() = default;

    // The version-5 block.
    void Save(WeFileStream& stream) const;
    // Any version from 1 on (newer ones as 5). A version of 0 or less consumes only itself, leaves the
    // description as it was and returns false.
    bool Load(WeFileStream& stream);
    // The world's body for the owner from this description (null for none).
    WePhysicHandle* CreatePhysics(WeActor* owner, const WePhysicsOwnerState& state) const;

    WePhysicsDescription m_Description;
};
