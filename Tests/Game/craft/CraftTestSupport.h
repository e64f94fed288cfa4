#pragma once
// A generated track and rig set-ups shared by the craft's race tests.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Engine/foundation/WePackageTypes.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTuber.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Tests/support/ConfigOverride.h"
#include "Tools/race_common/RaceRig.h"

namespace CraftTest
{

// A loop whose start straight runs 3 km along +z from the origin, with eight starts behind its first node.
inline std::string LongOval(const char* name = "RigOval", const char* extra = "")
{
    return std::string("map ") + name +
           "\nsky Maps.Sky.Plain 0\nprofile channel 16 2\nstep 2\nsegment 200\n"
           "materials Maps.Common.Road Maps.Common.Wall\nnodes 25 1.5\nstarts 8 8\nheader\nend\n" +
           extra +
           "section\n  point 0 0 0\n  point 0 0 1500\n  point 0 0 3000\n  point 150 0 3250\n  point 300 0 3000\n"
           "  point 300 0 1500\n  point 300 0 -300\n  point 150 0 -550\n  point 0 0 -300\nend\n";
}

// The three craft of the built-in list, listed even where the pack has no craft configuration yet.
struct Catalogue
{
    ConfigOverride falconer{"tubers.Falconer.UnlockID", "0"};
    ConfigOverride eclosion{"tubers.EclosionHunter.UnlockID", "0"};
    ConfigOverride xdrone{"tubers.Xdrone.UnlockID", "0"};
};

inline RaceRigOptions Options(int opponents = 0, bool player = true)
{
    RaceRigOptions o;
    o.mapDescription = LongOval();
    if (player)
        o.slots.push_back(RaceRigSlot{4, "Falconer", "", 0, 0});
    const char* crafts[] = {"EclosionHunter", "Xdrone", "Falconer", "EclosionHunter", "Xdrone"};
    for (int i = 0; i < opponents; ++i)
        o.slots.push_back(RaceRigSlot{1 + i % 3, crafts[i % 5], "", 0, 0});
    return o;
}

// Points the craft along +z exactly, where it stands, with no motion: the axis-aligned cases.
inline void FaceAlongZ(CTuber* craft)
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    const D3DXVECTOR3 p = craft->GetWorldPosition();
    m._41 = p.x;
    m._42 = p.y;
    m._43 = p.z;
    craft->SetTransform(m);
    craft->SetVelocity(D3DXVECTOR3());
    craft->SetAngularVelocity(D3DXVECTOR3());
}

// The armed race: the real race phase with weapons on, the player (slot 0) and `opponents` computer craft,
// started and ticked once. Declare it in the test, then ASSERT_TRUE(race.Start()).
struct ArmedRace
{
    explicit ArmedRace(int opponents = 1, bool trackBodies = false) : rig(Armed(opponents, trackBodies)) {}
    ~ArmedRace() { ClearExplosionRequests(); }
    static RaceRigOptions Armed(int opponents, bool trackBodies)
    {
        RaceRigOptions o = Options(opponents);
        o.racePhase = true;
        o.weapons = true;
        o.trackBodies = trackBodies;
        return o;
    }
    ::testing::AssertionResult Start()
    {
        std::string error;
        if (!rig.Start(&error))
            return ::testing::AssertionFailure() << error;
        rig.Tick();
        a = rig.Craft(0);
        b = rig.Craft(1);
        if (!a || !b)
            return ::testing::AssertionFailure() << "the race has fewer than two craft";
        return ::testing::AssertionSuccess();
    }
    // The rival `distance` units straight ahead of the shooter, both at rest, the shooter facing along +z.
    void RivalAhead(float distance)
    {
        FaceAlongZ(a);
        D3DXMATRIX m;
        D3DXMatrixIdentity(&m);
        const D3DXVECTOR3 p = a->GetWorldPosition();
        m._41 = p.x;
        m._42 = p.y;
        m._43 = p.z + distance;
        b->SetTransform(m);
        b->SetVelocity(D3DXVECTOR3());
        rig.Tick();
        FaceAlongZ(a);
    }

    Catalogue catalogue;  // before the rig: the craft list must hold while it starts
    RaceRig rig;
    CTuber* a = nullptr;
    CTuber* b = nullptr;
};

// Two craft on the rig after its first tick, with the explosion queue empty before and after each test.
struct TwoCraftRig : ::testing::Test
{
    void SetUp() override
    {
        rig = std::make_unique<RaceRig>(RigOptions());
        std::string error;
        ASSERT_TRUE(rig->Start(&error)) << error;
        rig->Tick();
        a = rig->Craft(0);
        b = rig->Craft(1);
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr);
        ClearExplosionRequests();
    }
    void TearDown() override
    {
        ClearExplosionRequests();
        rig.reset();
    }
    virtual RaceRigOptions RigOptions() { return Options(2); }

    Catalogue catalogue;
    std::unique_ptr<RaceRig> rig;
    CTuber* a = nullptr;
    CTuber* b = nullptr;
};

// The rig started with the player and one rival, for the tests of what the pack holds and what the loaders
// asked for.
struct ContentRig : ::testing::Test
{
    void SetUp() override
    {
        rig = std::make_unique<RaceRig>(Options(1));
        std::string error;
        ASSERT_TRUE(rig->Start(&error)) << error;
    }
    void TearDown() override { rig.reset(); }
    Catalogue catalogue;
    std::unique_ptr<RaceRig> rig;
};

// True when the pack holds the dotted name as a file of the extension's type ("ogg", "msh", ...).
inline bool InPack(const std::string& name, const char* extension)
{
    return WeVirtualFileSystem::Instance()->Exists(name.c_str(), PackageTypeFromExtension(extension));
}

}  // namespace CraftTest
