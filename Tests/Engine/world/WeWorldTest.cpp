#include <gtest/gtest.h>

#include <vector>

#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Tests/Engine/world/WorldTestSupport.h"

namespace
{

std::vector<std::string>& Events()
{
    static std::vector<std::string> events;
    return events;
}

// Records its ticks and deletion; can delete or mark other actors from its destructor or Tick.
class ProbeActor : public WeActor
{
public:
    explicit ProbeActor(const char* tag) : m_Tag(tag) {}
    ~ProbeActor() override
    {
        Events().push_back(std::string("delete ") + m_Tag);
        if (m_DeleteInDestructor)
            delete m_DeleteInDestructor;
    }
    void Tick() override
    {
        Events().push_back(std::string("tick ") + m_Tag);
        WeActor::Tick();
        if (m_SpawnInTick && m_World)
        {
            ProbeActor* spawned = new ProbeActor("spawned");
            m_World->AddActor(spawned);
            spawned->SetLifeTime(0.0f);
            m_SpawnInTick = false;
        }
    }
    void PreTick() override { Events().push_back(std::string("pretick ") + m_Tag); }

    std::string m_Tag;
    WeActor* m_DeleteInDestructor = nullptr;
    bool m_SpawnInTick = false;
};

class WeWorldTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Events().clear();
        g_Timer.m_FrameDeltaF = 0.1f;
    }
    void TearDown() override { g_Timer.m_FrameDeltaF = 0.0f; }

    static int Count(const std::string& event)
    {
        int n = 0;
        for (const std::string& e : Events())
            n += e == event;
        return n;
    }
    static int IndexOf(const std::string& event)
    {
        for (size_t i = 0; i < Events().size(); ++i)
            if (Events()[i] == event)
                return static_cast<int>(i);
        return -1;
    }
};

TEST_F(WeWorldTest, AddActorNumbersNamesAndFilesIntoTables)
{
    WeWorld world;
    WeActor* a = new WeActor();
    WePathNode* n = new WePathNode();
    world.AddActor(a);
    world.AddActor(n);
    world.AddActor(nullptr);
    EXPECT_EQ(a->m_Number, 1);
    EXPECT_STREQ(a->m_Name.c_str(), "1");
    EXPECT_STREQ(a->GetName().c_str(), "#1");
    EXPECT_EQ(n->m_Number, 2);
    EXPECT_EQ(world.GetActors().Count(), 2);
    EXPECT_EQ(world.GetPathNodes().Count(), 1);
    EXPECT_TRUE(a->m_WantsTick);   // not fixed and static
    EXPECT_FALSE(n->m_WantsTick);  // a path node outside the editor is fixed and static
    a->m_Label = "finish";
    EXPECT_EQ(world.FindActorByLabel("finish"), a);
    EXPECT_EQ(world.FindActorByLabel("finis"), nullptr);
    delete a;
    EXPECT_EQ(world.GetActors().Count(), 1);
}

TEST_F(WeWorldTest, AddingToAnotherWorldRemovesFromTheFirst)
{
    WeWorld first;
    WeWorld second;
    WeActor* a = new WeActor();
    first.AddActor(a);
    first.RegisterActor(a);  // registering twice files it once
    second.AddActor(a);
    EXPECT_EQ(first.GetActors().Count(), 0);
    EXPECT_EQ(second.GetActors().Count(), 1);
    EXPECT_EQ(a->m_World, &second);
    second.Tick();
    EXPECT_EQ(Events().size(), 0u);
}

TEST_F(WeWorldTest, ParentTicksOnceBeforeItsChildren)
{
    WeWorld world;
    ProbeActor* parent = new ProbeActor("parent");
    ProbeActor* child1 = new ProbeActor("child1");
    ProbeActor* child2 = new ProbeActor("child2");
    // Fixed and static children still tick because of their parent.
    for (ProbeActor* c : {child1, child2})
    {
        c->m_Static = c->m_PositionFixed = c->m_OrientationFixed = true;
        c->SetParent(parent);
    }
    world.AddActor(child1);
    world.AddActor(parent);
    world.AddActor(child2);
    parent->SetLocation(D3DXVECTOR3(5.0f, 0.0f, 0.0f));
    world.Tick();
    EXPECT_EQ(Count("tick parent"), 1);
    EXPECT_EQ(Count("tick child1"), 1);
    EXPECT_EQ(Count("tick child2"), 1);
    EXPECT_LT(IndexOf("tick parent"), IndexOf("tick child1"));
    EXPECT_LT(IndexOf("tick parent"), IndexOf("tick child2"));
    EXPECT_FLOAT_EQ(child1->GetWorldPosition().x, 5.0f);

    // The parent leaving the world detaches its children in place.
    delete parent;
    EXPECT_EQ(child1->m_Parent, nullptr);
    EXPECT_FLOAT_EQ(child1->GetWorldPosition().x, 5.0f);
    world.Tick();
    EXPECT_EQ(Count("tick child1"), 2);
}

TEST_F(WeWorldTest, ExpiringActorSkipsItsTicksAndGoesAtTheEnd)
{
    WeWorld world;
    ProbeActor* a = new ProbeActor("a");
    a->m_WantsPreTick = true;
    world.AddActor(a);
    a->SetLifeTime(0.05f);
    world.Tick();
    EXPECT_EQ(Count("pretick a"), 0);
    EXPECT_EQ(Count("tick a"), 0);
    EXPECT_EQ(Count("delete a"), 1);
    EXPECT_EQ(world.GetActors().Count(), 0);
}

TEST_F(WeWorldTest, MarkingTwiceAndDeletingAPendingActorDeleteOnce)
{
    WeWorld world;
    ProbeActor* a = new ProbeActor("a");
    ProbeActor* b = new ProbeActor("b");
    ProbeActor* c = new ProbeActor("c");
    world.AddActor(a);
    world.AddActor(b);
    world.AddActor(c);
    a->MarkForDeletion();
    a->MarkForDeletion();
    EXPECT_EQ(world.PendingDeletionCount(), 1);
    // Deleted by hand while pending: it leaves the pending list.
    b->MarkForDeletion();
    delete b;
    EXPECT_EQ(world.PendingDeletionCount(), 1);
    // A destructor in the deletion pass deletes another pending actor.
    c->MarkForDeletion();
    a->m_DeleteInDestructor = c;
    world.Tick();
    EXPECT_EQ(Count("delete a"), 1);
    EXPECT_EQ(Count("delete b"), 1);
    EXPECT_EQ(Count("delete c"), 1);
    EXPECT_EQ(world.GetActors().Count(), 0);
}

TEST_F(WeWorldTest, LifeTimeAndMarkBeforeAddActor)
{
    WeWorld world;
    WeActor* timed = new WeActor();
    timed->SetLifeTime(0.15f);  // no world yet: kept, not filed
    EXPECT_FALSE(timed->m_NoLifeTime);
    ProbeActor* marked = new ProbeActor("marked");
    marked->SetLifeTime(0.0f);
    EXPECT_TRUE(marked->m_PendingDeletion);
    world.AddActor(timed);
    world.AddActor(marked);
    EXPECT_EQ(world.PendingDeletionCount(), 1);
    world.Tick();
    EXPECT_EQ(Count("delete marked"), 1);
    EXPECT_EQ(world.GetActors().Count(), 1);
    world.Tick();
    EXPECT_EQ(world.GetActors().Count(), 0);
}

// A life given before the actor joins a world is filed with the world when it joins, whatever the class: a
// light and a particle system count down like a plain actor.
TEST_F(WeWorldTest, LifeTimeBeforeAddActorCountsDownForEveryClass)
{
    WeWorld world;
    WeActor* actors[] = {new WeActor(), new WeLight(), new WeNewParticleSystem()};
    for (WeActor* actor : actors)
    {
        actor->SetLifeTime(0.05f);
        world.AddActor(actor);
        EXPECT_TRUE(actor->HasLifeTime());
    }
    for (int i = 0; i < 10; ++i)
        world.Tick();
    EXPECT_EQ(world.GetActors().Count(), 0);
}

TEST_F(WeWorldTest, ActorsSpawnedDuringTickAreSound)
{
    WeWorld world;
    ProbeActor* spawner = new ProbeActor("spawner");
    spawner->m_SpawnInTick = true;
    world.AddActor(spawner);
    world.Tick();
    EXPECT_EQ(Count("delete spawned"), 1);
    EXPECT_EQ(world.GetActors().Count(), 1);
}

TEST_F(WeWorldTest, DynamicActorFallingOutOfTheWorldExpiresOutsideTheEditor)
{
    for (bool editor : {false, true})
    {
        WeWorld world;
        world.m_EditorMode = editor;
        WeActor* a = new WeActor();
        world.AddActor(a);
        a->m_PhysicModel.physicsClass = WePhysicsDynamicBox;
        a->SetLocation(D3DXVECTOR3(0.0f, -5001.0f, 0.0f));
        world.Tick();
        EXPECT_EQ(world.GetActors().Count(), editor ? 1 : 0) << editor;
    }
}

TEST_F(WeWorldTest, DestroyingTheWorldDeletesActorsWithoutRemoving)
{
    bool sawFlag = false;
    struct Watcher : WeActor
    {
        bool* saw;
        explicit Watcher(bool* s) : saw(s) {}
        ~Watcher() override { *saw = g_WorldDestroying && m_World == nullptr; }
    };
    {
        WeWorld world;
        world.AddActor(new Watcher(&sawFlag));
    }
    EXPECT_TRUE(sawFlag);
    EXPECT_FALSE(g_WorldDestroying);
}

}  // namespace
