#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Engine/world/WePhysics.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CExplosion.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeapon.h"
#include "Game/shell/CPickup.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CRacePhysics.h"
#include "Tests/support/ConfigOverride.h"
#include "Tools/race_common/RaceRig.h"

namespace
{

std::vector<std::string> g_Calls;

// A weapon and an explosion that only say what reached them.
struct Weapon : CWeapon
{
    explicit Weapon(int32_t type, const char* name) : m_Label2(name) { m_Type = type; }
    void OnCollision(WeActor* other) override { g_Calls.push_back(m_Label2 + ".hit(" + Name(other) + ")"); }
    void OnTriggerTouch(WeActor* other, CTrigger*) override
    {
        g_Calls.push_back(m_Label2 + ".touch(" + Name(other) + ")");
    }
    static std::string Name(WeActor* a);
    std::string m_Label2;
};

struct Blast : CExplosion
{
    Blast() : CExplosion(nullptr, 0.0f, 0) {}
    void AffectTuber(CTuber*) override { g_Calls.push_back("blast.affect"); }
    void OnTriggerTouch(WeActor*, CTrigger*) override { g_Calls.push_back("blast.touch"); }
};

std::string Weapon::Name(WeActor* a)
{
    if (auto* w = dynamic_cast<Weapon*>(a))
        return w->m_Label2;
    switch (a->m_Type)
    {
    case 4: return "blast";
    case 8: return "craft";
    case 12: return "trigger";
    case -1: return "plain";
    default: return "other";
    }
}

struct CRacePhysics : ::testing::Test
{
    void SetUp() override
    {
        RaceRigOptions o;
        o.slots.push_back(RaceRigSlot{4, "Falconer", "", 0, 0});
        o.slots.push_back(RaceRigSlot{1, "Xdrone", "", 0, 0});
        rig = std::make_unique<RaceRig>(o);
        std::string error;
        ASSERT_TRUE(rig->Start(&error)) << error;
        rig->Tick();
        a = rig->Craft(0);
        b = rig->Craft(1);
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr);
        g_Calls.clear();
        ClearExplosionRequests();
    }
    void TearDown() override
    {
        ClearExplosionRequests();
        rig.reset();
    }

    ConfigOverride falconer{"tubers.Falconer.UnlockID", "0"};
    ConfigOverride xdrone{"tubers.Xdrone.UnlockID", "0"};
    std::unique_ptr<RaceRig> rig;
    CTuber* a = nullptr;
    CTuber* b = nullptr;
};

TEST_F(CRacePhysics, ContactAndTriggerRulesInBothOrders)
{
    Weapon bolt(9, "bolt"), mine(11, "mine"), trapOwner(11, "owner");
    Blast blast;
    WeActor plain;
    plain.m_PhysicModel.physicsClass = 1;
    CTrigger trap(&trapOwner);
    CTrigger craftSensor(a);

    struct Case
    {
        const char* name;
        WeActor* first;
        WeActor* second;
        bool trigger;  // the trigger handler, else the contact handler
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases = {
        {"bolt-craft", &bolt, b, false, {"bolt.hit(craft)"}},
        {"bolt-plain", &bolt, &plain, false, {"bolt.hit(plain)"}},
        {"bolt-trigger", &bolt, &trap, false, {"bolt.hit(trigger)"}},
        {"bolt-mine", &bolt, &mine, false, {"bolt.hit(mine)", "mine.hit(bolt)"}},
        {"mine-craft", &mine, b, false, {"mine.hit(craft)"}},
        {"mine-blast", &mine, &blast, false, {"mine.hit(blast)"}},
        {"mine-plain", &mine, &plain, false, {"mine.hit(plain)"}},
        {"trigger-craft", &trap, b, false, {"owner.touch(craft)"}},
        {"blast-craft", &blast, b, true, {"blast.affect"}},
        {"blast-mine", &blast, &mine, true, {"mine.hit(blast)"}},
        {"trap-craft", &trap, b, true, {"owner.touch(craft)"}},
        {"trap-plain", &trap, &plain, true, {"owner.touch(plain)"}},
        {"bolt-blast", &bolt, &blast, false, {}},
        {"blast-plain", &blast, &plain, true, {}},
        {"bolt-bolt trigger", &bolt, &mine, true, {}},
    };
    for (const Case& c : cases)
        for (int order = 0; order < 2; ++order)
        {
            g_Calls.clear();
            WeActor* x = order ? c.second : c.first;
            WeActor* y = order ? c.first : c.second;
            if (c.trigger)
                OnRaceTrigger(x, y, 1);
            else
                OnRaceContact(x, y, nullptr, nullptr, 0, nullptr);
            EXPECT_EQ(g_Calls, c.calls) << c.name << " order " << order;
        }

    // A spent owner hears nothing of its trigger.
    trapOwner.m_Spent = true;
    g_Calls.clear();
    OnRaceTrigger(&trap, b, 1);
    EXPECT_TRUE(g_Calls.empty());
    // The craft's own sensor reaches the craft.
    const int before = a->m_TouchedByTrigger.Count();
    OnRaceTrigger(&craftSensor, &plain, 1);
    EXPECT_EQ(a->m_TouchedByTrigger.Count(), before + 1);
    a->m_TouchedByTrigger.Reset();  // the plain actor lives on this stack only

    // A cleared game-contact byte silences both handlers.
    bolt.m_GameContact = false;
    g_Calls.clear();
    OnRaceContact(&bolt, b, nullptr, nullptr, 0, nullptr);
    OnRaceContact(b, &bolt, nullptr, nullptr, 0, nullptr);
    b->m_GameContact = false;
    OnRaceTrigger(&blast, b, 1);
    EXPECT_TRUE(g_Calls.empty());
    b->m_GameContact = true;
    trap.m_Owner = nullptr;
    craftSensor.m_Owner = nullptr;
}

TEST_F(CRacePhysics, DynamicObjectHitsByRelativeSpeed)
{
    WeActor object;
    object.m_PhysicModel.physicsClass = 5;
    struct Case
    {
        float speed;
        float damage;
    };
    for (const Case& c : {Case{50.0f, 0.0f}, Case{125.0f, 5.0f}, Case{250.0f, 10.0f}})
    {
        ClearExplosionRequests();
        a->m_MeasuredSpeed = 0.0f;  // below 0.3 of the top speed: no slowing
        a->m_PendingLinearVelocity = D3DXVECTOR3(0.0f, 0.0f, c.speed);
        a->m_HitByDynamicObject = false;
        OnRaceContact(&object, a, nullptr, nullptr, 0, nullptr);
        EXPECT_TRUE(a->m_HitByDynamicObject);
        if (c.damage == 0.0f)
            EXPECT_EQ(g_ExplosionRequests.Count(), 0) << c.speed;
        else
        {
            ASSERT_EQ(g_ExplosionRequests.Count(), 1) << c.speed;
            const CExplosionRequest& r = g_ExplosionRequests.Front();
            EXPECT_EQ(r.m_Type, CExplosionRequest::Simple);
            EXPECT_NEAR(r.m_Damage, c.damage, 1e-4) << c.speed;
            EXPECT_EQ(r.m_Kind, 22);
            EXPECT_EQ(r.m_Owner, a);
            EXPECT_EQ(r.m_Victim, a);
        }
    }
    // Above 0.3 of the top speed the craft loses a tenth of its velocity first.
    a->m_MeasuredSpeed = a->m_MaxSpeed;
    a->m_PendingLinearVelocity = D3DXVECTOR3(0.0f, 0.0f, 100.0f);
    OnRaceContact(a, &object, nullptr, nullptr, 0, nullptr);
    EXPECT_NEAR(a->m_PendingLinearVelocity.z, 90.0f, 1e-3);
}

TEST_F(CRacePhysics, CraftContactSoundAndLevelContact)
{
    a->m_CollisionSoundTimer = b->m_CollisionSoundTimer = 1.0f;
    a->m_MeasuredSpeed = b->m_MeasuredSpeed = 100.0f;
    OnRaceContact(a, b, nullptr, nullptr, 0, nullptr);
    EXPECT_FLOAT_EQ(a->m_CollisionSoundTimer, 1.0f);  // equal speeds: no sound
    b->m_MeasuredSpeed = 150.0f;
    OnRaceContact(a, b, nullptr, nullptr, 0, nullptr);
    EXPECT_FLOAT_EQ(a->m_CollisionSoundTimer, 0.0f);
    EXPECT_FLOAT_EQ(b->m_CollisionSoundTimer, 0.0f);
    a->m_CollisionSoundTimer = b->m_CollisionSoundTimer = 0.4f;
    OnRaceContact(a, b, nullptr, nullptr, 0, nullptr);
    EXPECT_FLOAT_EQ(a->m_CollisionSoundTimer, 0.4f);  // within 0.5 s of the last one

    WeActor wall;
    wall.m_PhysicModel.physicsClass = 3;
    const D3DXVECTOR3 force(0.0f, 0.0f, -10.0f), point(1.0f, 2.0f, 3.0f);
    a->m_TouchingLevel = false;
    OnRaceContact(&wall, a, &force, nullptr, 0, &point);
    EXPECT_TRUE(a->m_TouchingLevel);
    EXPECT_FLOAT_EQ(a->m_WallContactPoint.y, 2.0f);
    EXPECT_FLOAT_EQ(a->m_WallNormal.z, -1.0f);
    EXPECT_FLOAT_EQ(g_PlayGamePhase.m_LastContactPoint.x, 1.0f);
}

TEST_F(CRacePhysics, APickupTouchedTwiceIsTakenOnce)
{
    CPickup pickup(3);
    pickup.m_Type = 10003;
    pickup.m_Available = true;
    OnRaceTrigger(a, &pickup, 1);
    EXPECT_FALSE(pickup.m_Available);
    pickup.m_TakenTime = -1.0f;
    OnRaceTrigger(&pickup, a, 1);  // the second touch of the step finds it gone
    EXPECT_FALSE(pickup.m_Available);
    // A finished craft takes nothing.
    pickup.m_Available = true;
    a->m_GameContact = false;
    OnRaceTrigger(&pickup, a, 1);
    EXPECT_TRUE(pickup.m_Available);
    a->m_GameContact = true;
}

}  // namespace

namespace
{
std::vector<std::pair<WeActor*, WeActor*>> g_Contacts;

void RecordContact(WeActor* x, WeActor* y, const D3DXVECTOR3*, const D3DXVECTOR3*, int, const D3DXVECTOR3*)
{
    g_Contacts.push_back({x, y});
}

bool Reported(WeActor* x, WeActor* y)
{
    for (const auto& c : g_Contacts)
        if ((c.first == x && c.second == y) || (c.first == y && c.second == x))
            return true;
    return false;
}

// The race's group table against the real physics: overlapping bodies of a paired group pair touch and report,
// those of an unpaired one do neither.
TEST_F(CRacePhysics, GroupTableAgainstThePhysics)
{
    ApplyRaceCollisionGroups();
    struct Case
    {
        uint16_t first, second;
        bool paired;
    };
    const Case cases[] = {
        {5, 0, true},  {5, 3, true},   {5, 4, true},   {0, 3, true},  {3, 4, true},   {24, 24, true},
        {4, 9, true},  {3, 12, true},  {5, 5, false},  {3, 3, false}, {4, 4, false},  {0, 0, false},
        {6, 5, false}, {11, 5, false}, {12, 5, false}, {2, 3, false}, {10, 0, false},
    };
    WeWorld* world = a->m_World;
    std::vector<std::pair<WeActor*, WeActor*>> bodies;
    float x = 0.0f;
    for (const Case& c : cases)
    {
        WeActor* pair[2];
        const uint16_t groups[2] = {c.first, c.second};
        for (int i = 0; i < 2; ++i)
        {
            WeActor* body = new WeActor();
            body->m_HasModel = false;
            body->m_PhysicModel.physicsClass = 5;
            body->m_PhysicModel.explicitSize = true;
            body->m_PhysicModel.size = D3DXVECTOR3(1.0f, 1.0f, 1.0f);
            body->m_PhysicModel.collisionGroup = groups[i];
            body->m_PhysicModel.gravity = false;
            body->m_PhysicModel.startAsleep = false;
            body->SetLocation(D3DXVECTOR3(x, 2000.0f, float(i)));  // overlapping, far above the track
            world->AddActor(body);
            pair[i] = body;
        }
        bodies.push_back({pair[0], pair[1]});
        x += 20.0f;
    }
    g_Contacts.clear();
    WeContactCallback previous = g_Physics.SetContactCallback(RecordContact);
    rig->Tick(3);
    g_Physics.SetContactCallback(previous);
    for (size_t i = 0; i < bodies.size(); ++i)
    {
        const Case& c = cases[i];
        EXPECT_EQ(Reported(bodies[i].first, bodies[i].second), c.paired) << c.first << "-" << c.second;
        bodies[i].first->Expire();
        bodies[i].second->Expire();
    }
}
}  // namespace
