#include <cmath>

#include "PhysicsTestSupport.h"
#include "Platform/physics/NxUserContactReport.h"

namespace
{

struct Contact
{
    WeActor* a;
    WeActor* b;
    D3DXVECTOR3 normalForce, frictionForce, point;
    int events;
};
std::vector<Contact> g_Contacts;

struct Trigger
{
    WeActor* trigger;
    WeActor* other;
    int status;
};
std::vector<Trigger> g_Triggers;
std::vector<WeActor*> g_Slept, g_Woken;

void OnContact(WeActor* a, WeActor* b, const D3DXVECTOR3* n, const D3DXVECTOR3* fr, int events, const D3DXVECTOR3* p)
{
    g_Contacts.push_back({a, b, *n, *fr, *p, events});
}
void OnTrigger(WeActor* t, WeActor* o, int status)
{
    g_Triggers.push_back({t, o, status});
}
void OnSleep(WeActor* a)
{
    g_Slept.push_back(a);
}
void OnWake(WeActor* a)
{
    g_Woken.push_back(a);
}

class WePhysicsReportsTest : public PhysicsFixture
{
protected:
    void SetUp() override
    {
        PhysicsFixture::SetUp();
        g_Contacts.clear();
        g_Triggers.clear();
        g_Slept.clear();
        g_Woken.clear();
        g_Physics.SetContactCallback(OnContact);
        g_Physics.SetTriggerCallback(OnTrigger);
        g_Physics.SetSleepCallback(OnSleep);
        g_Physics.SetWakeCallback(OnWake);
    }
    // A contact report as the scene makes one, for the pairs a step cannot set up exactly.
    void Report(WePhysicHandle* a, WePhysicHandle* b, NxU32 events, const NxContactStreamData* stream = nullptr)
    {
        NxContactPair pair;
        pair.actors[0] = a->m_Actor;
        pair.actors[1] = b->m_Actor;
        pair.stream = stream;
        pair.sumNormalForce = NxVec3(1, 2, 3);
        pair.sumFrictionForce = NxVec3(4, 5, 6);
        WePhysics::s_CollisionCallback.onContactNotify(pair, events);
    }
};

}  // namespace

TEST_F(WePhysicsReportsTest, ContactStartTouchEndWithForcesAndFirstPoint)
{
    g_Physics.SetActorGroupPairFlags(0, 0, NX_NOTIFY_ON_START_TOUCH | NX_NOTIFY_ON_TOUCH | NX_NOTIFY_ON_END_TOUCH);
    Box(f[0], 0, -1, 0, 1, true);
    WeActorHandle* box = Box(f[1], 0, 0.6f, 0, 0.5f, false);
    box->WakeUp(10);
    Step(30);
    ASSERT_FALSE(g_Contacts.empty());
    EXPECT_EQ(g_Contacts[0].events, NX_NOTIFY_ON_START_TOUCH);  // alone in the first step
    EXPECT_EQ(g_Contacts[0].a, f[0].Actor());
    EXPECT_EQ(g_Contacts[0].b, f[1].Actor());
    EXPECT_NEAR(g_Contacts[0].point.y, 0.0f, 0.05f);  // on the floor's top face
    ASSERT_GE(g_Contacts.size(), 2u);
    EXPECT_EQ(g_Contacts[1].events, NX_NOTIFY_ON_TOUCH);
    // Resting: the floor pushes the box up, which is a force on the box, the second actor.
    EXPECT_GT(std::fabs(g_Contacts.back().normalForce.y), 50.0f);

    g_Contacts.clear();
    box->SetPosition(D3DXVECTOR3(0, 20, 0));
    Step();
    ASSERT_EQ(g_Contacts.size(), 1u);
    EXPECT_EQ(g_Contacts[0].events, NX_NOTIFY_ON_END_TOUCH);
    EXPECT_EQ(g_Contacts[0].point, D3DXVECTOR3());  // a parting pair has no points
}

TEST_F(WePhysicsReportsTest, ContactWithoutPointsPassesTheZeroVector)
{
    WeActorHandle* a = Box(f[0], 0, 0, 0, 1, true);
    WeActorHandle* b = Box(f[1], 5, 0, 0, 1, false);
    NxContactStreamData empty;
    empty.pairs.emplace_back();  // a shape pair without patches
    Report(a, b, NX_NOTIFY_ON_TOUCH, &empty);
    Report(a, b, NX_NOTIFY_ON_TOUCH);
    ASSERT_EQ(g_Contacts.size(), 2u);
    for (const Contact& c : g_Contacts)
    {
        EXPECT_EQ(c.point, D3DXVECTOR3());
        EXPECT_EQ(c.normalForce, D3DXVECTOR3(1, 2, 3));
        EXPECT_EQ(c.frictionForce, D3DXVECTOR3(4, 5, 6));
    }
    // Deleted SDK actors, pending owners and bodies without owners are dropped.
    NxContactPair pair;
    pair.actors[0] = a->m_Actor;
    pair.actors[1] = b->m_Actor;
    pair.isDeletedActor[1] = true;
    WePhysics::s_CollisionCallback.onContactNotify(pair, NX_NOTIFY_ON_TOUCH);
    f[1].pendingDeletion = true;
    Report(a, b, NX_NOTIFY_ON_TOUCH);
    f[1].pendingDeletion = false;
    b->m_Owner = nullptr;
    Report(a, b, NX_NOTIFY_ON_TOUCH);
    b->m_Owner = f[1].Actor();
    EXPECT_EQ(g_Contacts.size(), 2u);
}

TEST_F(WePhysicsReportsTest, Teleporters)
{
    WeActorHandle* gate = Box(f[0], 0, 0, 0, 1, true);
    WeActorHandle* craft = Box(f[1], 2, 0, 0, 1, false);
    WeActorHandle* gate2 = Box(f[3], 4, 0, 0, 1, true);
    f[2].label = "Exit";
    f[2].world = Translation(100, 5, 0);
    f[0].teleporter = true;
    f[1].lastTeleport = -1;

    // A teleporter outside any world has nowhere to send anyone.
    f[0].target = "Exit";
    Report(gate, craft, NX_NOTIFY_ON_START_TOUCH);
    EXPECT_FALSE(f[1].pendingTeleport);
    f[0].target = WeString();
    LabelWorld();

    // No target label, or a label that names nobody: nothing, and no contact callback either.
    Report(gate, craft, NX_NOTIFY_ON_START_TOUCH);
    f[0].target = "Nowhere";
    Report(gate, craft, NX_NOTIFY_ON_START_TOUCH);
    EXPECT_FALSE(f[1].pendingTeleport);
    EXPECT_TRUE(g_Contacts.empty());

    // Start and touch together is an ordinary contact.
    f[0].target = "Exit";
    Report(gate, craft, NX_NOTIFY_ON_START_TOUCH | NX_NOTIFY_ON_TOUCH);
    EXPECT_FALSE(f[1].pendingTeleport);
    ASSERT_EQ(g_Contacts.size(), 1u);
    EXPECT_EQ(g_Contacts[0].events, NX_NOTIFY_ON_START_TOUCH | NX_NOTIFY_ON_TOUCH);

    // The teleporter may be either actor of the pair; the traveller gets the target's pose.
    g_Timer.m_TotalTimeF = 7.0f;
    Report(craft, gate, NX_NOTIFY_ON_START_TOUCH);
    EXPECT_TRUE(f[1].pendingTeleport);
    EXPECT_EQ(f[1].pendingPose, f[2].world);
    EXPECT_EQ(f[1].lastTeleport, 7.0f);
    // A second start touch in the same instant does not teleport again.
    f[1].pendingTeleport = false;
    Report(gate, craft, NX_NOTIFY_ON_START_TOUCH);
    EXPECT_FALSE(f[1].pendingTeleport);
    g_Timer.m_TotalTimeF = 7.5f;
    Report(gate, craft, NX_NOTIFY_ON_START_TOUCH);
    EXPECT_TRUE(f[1].pendingTeleport);

    // Two teleporters: the first of the pair is the teleporter, the second travels.
    f[3].teleporter = true;
    f[3].lastTeleport = -1;
    f[0].lastTeleport = -1;
    Report(gate, gate2, NX_NOTIFY_ON_START_TOUCH);
    EXPECT_TRUE(f[3].pendingTeleport);
    EXPECT_FALSE(f[0].pendingTeleport);
    EXPECT_EQ(g_Contacts.size(), 1u);
}

TEST_F(WePhysicsReportsTest, TriggersEnterStayLeaveAndPendingDeletion)
{
    // A trigger sphere in group 10 that a box in group 3 passes through; the table pairs them.
    g_Physics.ResetGroupFlags();
    g_Physics.SetGroupCollisionFlag(10, 3, true);
    WeActorHandle* sensor =
        f[0].Keep(g_Physics.CreateSphereActor(f[0].Actor(), D3DXVECTOR3(0, 0, 0), 1, 10, 1, true, NX_TRIGGER_ENABLE));
    ASSERT_NE(sensor, nullptr);
    WeActorHandle* box = Box(f[1], 0, 3, 0, 0.25f, false, 3);
    box->WakeUp(10);
    for (int i = 0; i < 90 && Position(box).y > -3; ++i)
        Step();
    ASSERT_GE(g_Triggers.size(), 3u);
    EXPECT_EQ(g_Triggers.front().status, NX_TRIGGER_ON_ENTER);
    EXPECT_EQ(g_Triggers.front().trigger, f[0].Actor());
    EXPECT_EQ(g_Triggers.front().other, f[1].Actor());
    EXPECT_EQ(g_Triggers[1].status, NX_TRIGGER_ON_STAY);
    EXPECT_EQ(g_Triggers.back().status, NX_TRIGGER_ON_LEAVE);

    // The same fall past a sensor that only reports leaving, with the traveller pending deletion.
    g_Triggers.clear();
    WeActorHandle* leaveOnly = f[2].Keep(
        g_Physics.CreateSphereActor(f[2].Actor(), D3DXVECTOR3(10, 0, 0), 1, 10, 1, true, NX_TRIGGER_ON_LEAVE));
    ASSERT_NE(leaveOnly, nullptr);
    WeActorHandle* second = Box(f[3], 10, 3, 0, 0.25f, false, 3);
    second->WakeUp(10);
    for (int i = 0; i < 90 && Position(second).y > -3; ++i)
        Step();
    ASSERT_EQ(g_Triggers.size(), 1u);
    EXPECT_EQ(g_Triggers[0].status, NX_TRIGGER_ON_LEAVE);

    g_Triggers.clear();
    f[3].pendingDeletion = true;
    second->SetPosition(D3DXVECTOR3(10, 3, 0));
    second->SetLinearVelocity(D3DXVECTOR3());
    for (int i = 0; i < 90 && Position(second).y > -3; ++i)
        Step();
    EXPECT_TRUE(g_Triggers.empty());
}

TEST_F(WePhysicsReportsTest, SleepAndWakeBatchesSkipBodiesWithoutHandles)
{
    WeActorHandle* a = Box(f[0], 0, 0, 0, 1, false);
    WeActorHandle* b = Box(f[1], 5, 0, 0, 1, false);
    NxActor* orphan = b->m_Actor;
    b->m_Actor->userData = nullptr;
    NxActor* batch[3] = {orphan, a->m_Actor, orphan};
    b->m_Actor->userData = nullptr;
    WePhysics::s_SleepWakeUpCallback.onSleep(batch, 3);
    WePhysics::s_SleepWakeUpCallback.onWake(batch, 3);
    b->m_Actor->userData = static_cast<WePhysicHandle*>(b);
    ASSERT_EQ(g_Slept.size(), 1u);
    EXPECT_EQ(g_Slept[0], f[0].Actor());
    ASSERT_EQ(g_Woken.size(), 1u);

    // From a real step: a body dropped on a floor falls asleep and says so.
    g_Slept.clear();
    Box(f[2], 20, -1, 0, 1, true);
    WeActorHandle* c = Box(f[3], 20, 0.5f, 0, 0.5f, false);
    c->WakeUp(0.4f);
    a->SetDisableGravity(true);
    b->SetDisableGravity(true);
    Step(240);
    EXPECT_NE(std::find(g_Slept.begin(), g_Slept.end(), f[3].Actor()), g_Slept.end());
}

TEST_F(WePhysicsReportsTest, SettersBeforeInitChangeNothing)
{
    g_Physics.Shutdown();
    g_Physics.SetContactCallback(nullptr);
    g_Physics.SetTriggerCallback(nullptr);
    EXPECT_EQ(g_Physics.m_ContactCallback, OnContact);  // the callbacks survive shutdown
    EXPECT_EQ(g_Physics.m_TriggerCallback, OnTrigger);
    ASSERT_TRUE(g_Physics.Init(D3DXVECTOR3(0, -9.81f, 0)));
    EXPECT_EQ(g_Physics.m_ContactCallback, OnContact);
}

namespace
{

// Casts from inside a report, as a handler might.
WeList<WeRaycastHit>* g_InnerHits = nullptr;
bool g_InnerResult = false;

}  // namespace

TEST_F(WePhysicsReportsTest, RaycastAllAppendsAndNests)
{
    Box(f[0], 0, -1, 0, 1, true);
    Box(f[1], 0, 3, 0, 0.5f, true);
    WeList<WeRaycastHit> hits;
    WeRaycastHit& old = hits.PushBack();
    old.distance = -1;
    EXPECT_TRUE(g_Physics.RaycastAll(D3DXVECTOR3(0, 10, 0), D3DXVECTOR3(0, -1, 0), 3, hits, ~0u, 100, 0xFF));
    ASSERT_EQ(hits.Count(), 3);
    auto it = hits.begin();
    EXPECT_EQ(it->distance, -1.0f);
    ++it;
    EXPECT_EQ(it->actor, f[1].Actor());
    EXPECT_NEAR(it->distance, 6.5f, 1e-3f);
    ++it;
    EXPECT_EQ(it->actor, f[0].Actor());
    EXPECT_NEAR(it->impact.y, 0.0f, 1e-3f);
    EXPECT_NEAR(it->normal.y, 1.0f, 1e-3f);

    // A query made while another runs keeps the outer query's list.
    WeList<WeRaycastHit> outer, inner;
    g_InnerHits = &inner;
    class Nesting : public NxUserRaycastReport
    {
    public:
        bool onHit(const NxRaycastHit& hit) override
        {
            g_InnerResult =
                g_Physics.RaycastAll(D3DXVECTOR3(0, 10, 0), D3DXVECTOR3(0, -1, 0), 3, *g_InnerHits, ~0u, 100, 0xFF);
            return WePhysics::s_RaycastReport.onHit(hit);
        }
    } nesting;
    WePhysics::s_RaycastReport.m_Hits = &outer;
    g_Physics.m_Scene->raycastAllShapes(NxRay(NxVec3(0, 10, 0), NxVec3(0, -1, 0)), nesting, NX_ALL_SHAPES);
    WePhysics::s_RaycastReport.m_Hits = nullptr;
    EXPECT_TRUE(g_InnerResult);
    EXPECT_EQ(outer.Count(), 2);
    EXPECT_EQ(inner.Count(), 4);
}

TEST_F(WePhysicsReportsTest, RayHitOnATriangleMesh)
{
    WeMesh* floor = Grid(2, 4, 0, false, "Floor");  // corners at -2 and 2, cells of 2
    f[0].Keep(g_Physics.CreateTriangleMeshActor(f[0].Actor(), Translation(0, 0, 0), floor, false));
    f[0].handle->m_Actor->getShapes()[0]->setMaterial(g_Physics.GetMaterialIndex(1));
    WeRaycastHit hit;
    ASSERT_TRUE(g_Physics.RaycastClosest(D3DXVECTOR3(-1.5f, 5, -1.8f), D3DXVECTOR3(0, -1, 0), 1, hit, ~0u, 100, 0xFF));
    EXPECT_EQ(hit.actor, f[0].Actor());
    EXPECT_NEAR(hit.distance, 5.0f, 1e-4f);
    EXPECT_NEAR(hit.impact.x, -1.5f, 1e-4f);
    EXPECT_EQ(hit.face, 0u);  // the first triangle of the first cell: (-2,-2), (-2,0), (0,-2)
    EXPECT_NEAR(hit.u, 0.1f, 1e-4f);
    EXPECT_NEAR(hit.v, 0.25f, 1e-4f);
    EXPECT_EQ(hit.material, g_Physics.GetMaterialIndex(1));
    // Shape types and group masks.
    EXPECT_FALSE(g_Physics.RaycastClosest(D3DXVECTOR3(0, 5, 0), D3DXVECTOR3(0, -1, 0), 2, hit, ~0u, 100, 0xFF));
    EXPECT_FALSE(g_Physics.RaycastAny(D3DXVECTOR3(0, 5, 0), D3DXVECTOR3(0, -1, 0), 3, ~1u, 100));
    EXPECT_TRUE(g_Physics.RaycastAny(D3DXVECTOR3(0, 5, 0), D3DXVECTOR3(0, -1, 0), 1, 1u, 100));
    EXPECT_FALSE(g_Physics.RaycastAny(D3DXVECTOR3(0, 5, 0), D3DXVECTOR3(0, -1, 0), 3, ~0u, 4));
}
