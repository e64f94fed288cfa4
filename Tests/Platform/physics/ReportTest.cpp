#include "PhysicsTestScene.h"

namespace
{
constexpr NxU32 Start = NX_NOTIFY_ON_START_TOUCH;
constexpr NxU32 End = NX_NOTIFY_ON_END_TOUCH;
constexpr NxU32 Touch = NX_NOTIFY_ON_TOUCH;
}  // namespace

TEST_F(PhysicsTest, ContactEventsOverATouch)
{
    scene->setActorGroupPairFlags(0, 0, 0x7FE);
    NxActor* floor = box(NxVec3(0, -0.5f, 0), NxVec3(10, 0.5f, 10), false);
    NxActor* b = box(NxVec3(0, 0.6f, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    for (int i = 0; i < 30; ++i)
        step();
    std::vector<NxU32> ev = contacts.of(floor, b);
    ASSERT_GE(ev.size(), 3u);
    EXPECT_EQ(ev[0], Start);  // start touch alone in the first step
    for (size_t i = 1; i < ev.size(); ++i)
        EXPECT_EQ(ev[i], Touch) << i;
    // The older actor comes first, the contact point lies on the floor and the normal force holds the
    // box up (it pushes the floor, the first actor, down).
    const ContactEvent& last = contacts.events.back();
    EXPECT_EQ(last.a, floor);
    EXPECT_TRUE(last.hasPoint);
    EXPECT_NEAR(last.point.y, 0, 0.05f);
    EXPECT_NEAR(last.normalForce.y, -9.81f, 1.5f);

    // Lift it away: end touch in the step it parts, then nothing.
    contacts.events.clear();
    b->setGlobalPosition(NxVec3(0, 5, 0));
    b->setLinearVelocity(NxVec3(0, 0, 0));
    step();
    ev = contacts.of(floor, b);
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0], End);
    EXPECT_FALSE(contacts.events[0].hasPoint);
    step();
    EXPECT_EQ(contacts.of(floor, b).size(), 1u);
}

TEST_F(PhysicsTest, PairFlagsChooseTheEventsReported)
{
    NxActor* floor = box(NxVec3(0, -0.5f, 0), NxVec3(10, 0.5f, 10), false);
    NxActor* b = box(NxVec3(0, 0.55f, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    floor->setGroup(1);
    b->setGroup(2);
    scene->setActorGroupPairFlags(2, 1, NX_NOTIFY_ON_START_TOUCH | NX_NOTIFY_ON_END_TOUCH);
    steps(20);
    b->setGlobalPosition(NxVec3(0, 5, 0));
    steps(2);
    EXPECT_EQ(contacts.of(floor, b), (std::vector<NxU32>{Start, End}));
    // No notify bits: nothing reported, though the bodies still collide.
    contacts.events.clear();
    scene->setActorGroupPairFlags(1, 2, 0);
    b->setGlobalPosition(NxVec3(0, 0.55f, 0));
    steps(20);
    EXPECT_TRUE(contacts.events.empty());
    EXPECT_NEAR(b->getGlobalPosition().y, 0.5f, 0.05f);
}

TEST_F(PhysicsTest, RestingPairsStayQuietAndEndWhenOneLeaves)
{
    scene->setActorGroupPairFlags(0, 0, 0x7FE);
    NxActor* floor = box(NxVec3(0, -0.5f, 0), NxVec3(10, 0.5f, 10), false);
    NxActor* b = box(NxVec3(0, 0.55f, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    for (int i = 0; i < 600 && !b->isSleeping(); ++i)
        step();
    ASSERT_TRUE(b->isSleeping());
    contacts.events.clear();
    steps(10);
    EXPECT_TRUE(contacts.events.empty());  // asleep: no touch reports, and no end either
    b->wakeUp();
    b->setLinearVelocity(NxVec3(0, 20, 0));
    steps(3);
    const std::vector<NxU32> ev = contacts.of(floor, b);
    ASSERT_FALSE(ev.empty());
    EXPECT_EQ(ev.back(), End);
}

TEST_F(PhysicsTest, ASleeperPlacedAwayHasPartedAndEndsItsTouch)
{
    // Placing a body does not wake it; its touch with the floor still ends in the next step.
    scene->setActorGroupPairFlags(0, 0, 0x7FE);
    NxActor* floor = box(NxVec3(0, -0.5f, 0), NxVec3(10, 0.5f, 10), false);
    NxActor* b = box(NxVec3(0, 0.55f, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    for (int i = 0; i < 600 && !b->isSleeping(); ++i)
        step();
    ASSERT_TRUE(b->isSleeping());
    contacts.events.clear();
    b->setGlobalPosition(b->getGlobalPosition() + NxVec3(0.1f, 0.005f, 0));  // still on the floor
    steps(3);
    EXPECT_TRUE(contacts.events.empty());
    b->setGlobalPosition(NxVec3(50, 10, 0));
    step();
    EXPECT_TRUE(b->isSleeping());
    EXPECT_EQ(contacts.of(floor, b), (std::vector<NxU32>{End}));
    steps(3);
    EXPECT_EQ(contacts.of(floor, b).size(), 1u);
}

TEST_F(PhysicsTest, ReleasingAnActorInsideAReportIsSafe)
{
    struct Releaser : public NxUserContactReport
    {
        NxScene* scene = nullptr;
        int calls = 0;
        void onContactNotify(NxContactPair& pair, NxU32) override
        {
            ++calls;
            if (!pair.isDeletedActor[1])
                scene->releaseActor(*pair.actors[1]);
        }
    } releaser;
    releaser.scene = scene;
    scene->setUserContactReport(&releaser);
    scene->setActorGroupPairFlags(0, 0, 0x7FE);
    box(NxVec3(0, -0.5f, 0), NxVec3(10, 0.5f, 10), false);
    for (int i = 0; i < 4; ++i)
        box(NxVec3(NxReal(i) * 2, 0.55f, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    steps(10);
    EXPECT_EQ(scene->getNbActors(), 1u);
    EXPECT_EQ(releaser.calls, 4);
}

TEST_F(PhysicsTest, AnActorReleasedInAReportArrivesAsDeletedInItsLaterPairs)
{
    // A box between the floor and a second box has two touching pairs; the handler releases it at the
    // first of them, so the other one still comes, marked deleted, and nothing of it comes later.
    struct Releaser : public NxUserContactReport
    {
        NxScene* scene = nullptr;
        NxActor* victim = nullptr;
        bool armed = false;
        int markedDeleted = 0, unmarkedAfterRelease = 0, afterStep = 0;
        bool stepDone = false;
        void onContactNotify(NxContactPair& pair, NxU32) override
        {
            for (int i = 0; i < 2; ++i)
            {
                if (pair.actors[i] != victim || !victim->isReleased())
                    continue;
                if (stepDone)
                    ++afterStep;
                pair.isDeletedActor[i] ? ++markedDeleted : ++unmarkedAfterRelease;
            }
            if (armed && !victim->isReleased())
                scene->releaseActor(*victim);
        }
    } releaser;
    releaser.scene = scene;
    scene->setUserContactReport(&releaser);
    scene->setActorGroupPairFlags(0, 0, 0x7FE);
    box(NxVec3(0, -0.5f, 0), NxVec3(10, 0.5f, 10), false);
    releaser.victim = box(NxVec3(0, 0.5f, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    box(NxVec3(0, 1.5f, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    steps(5);
    releaser.armed = true;
    step();
    ASSERT_TRUE(releaser.victim->isReleased());
    releaser.stepDone = true;
    steps(30);
    EXPECT_EQ(releaser.markedDeleted, 1);
    EXPECT_EQ(releaser.unmarkedAfterRelease, 0);
    EXPECT_EQ(releaser.afterStep, 0);
}

class TriggerTest : public PhysicsTest
{
protected:
    // A static trigger box at the origin with the given flags, and a ball that falls through it.
    NxShape* makeTrigger(NxU32 flags, NxCollisionGroup group = 0)
    {
        NxActor* t = box(NxVec3(0, 0, 0), NxVec3(1, 1, 1), false, flags, group);
        return t ? t->getShapes()[0] : nullptr;
    }
};

TEST_F(TriggerTest, EnterStayLeaveAsTheFlagsAsk)
{
    struct Case
    {
        NxU32 flags;
        bool enter, stay, leave;
    } cases[] = {
        {NX_TRIGGER_ENABLE, true, true, true},
        {NX_TRIGGER_ON_ENTER, true, false, false},
        {NX_TRIGGER_ON_LEAVE, false, false, true},
        {NX_TRIGGER_ON_STAY, false, true, false},
    };
    for (const Case& c : cases)
    {
        TearDown();
        SetUp();
        NxShape* trigger = makeTrigger(c.flags);
        ASSERT_NE(trigger, nullptr);
        ASSERT_TRUE(trigger->isTrigger());
        NxActor* ball = sphere(NxVec3(0, 3, 0), 0.25f, true);
        steps(90);
        EXPECT_LT(ball->getGlobalPosition().y, -3) << "triggers do not collide, flags " << c.flags;
        const std::vector<NxU32> st = triggers.statuses();
        const auto count = [&](NxU32 s) { return std::count(st.begin(), st.end(), s); };
        EXPECT_EQ(count(NX_TRIGGER_ON_ENTER), c.enter ? 1 : 0) << c.flags;
        EXPECT_EQ(count(NX_TRIGGER_ON_LEAVE), c.leave ? 1 : 0) << c.flags;
        if (c.stay)
            EXPECT_GT(count(NX_TRIGGER_ON_STAY), 2) << c.flags;
        else
            EXPECT_EQ(count(NX_TRIGGER_ON_STAY), 0) << c.flags;
        if (c.flags == NX_TRIGGER_ENABLE)
        {
            EXPECT_EQ(st.front(), NxU32(NX_TRIGGER_ON_ENTER));
            EXPECT_EQ(st.back(), NxU32(NX_TRIGGER_ON_LEAVE));
            EXPECT_EQ(triggers.events[0].trigger, trigger);
            EXPECT_EQ(triggers.events[0].other, ball->getShapes()[0]);
        }
    }
}

TEST_F(TriggerTest, TriggersObeyTheGroupTable)
{
    makeTrigger(NX_TRIGGER_ENABLE, 7);
    NxActor* ball = sphere(NxVec3(0, 3, 0), 0.25f, true, 0, 5);
    scene->setGroupCollisionFlag(7, 5, false);
    steps(90);
    EXPECT_TRUE(triggers.events.empty());
    scene->setGroupCollisionFlag(7, 5, true);
    ball->setGlobalPosition(NxVec3(0, 3, 0));
    ball->setLinearVelocity(NxVec3());
    steps(90);
    EXPECT_FALSE(triggers.events.empty());
}

TEST_F(TriggerTest, ATriggerBodyWithItsPlainTwinMovesAndSenses)
{
    // The engine's trigger bodies: a plain shape in group 1 first, the trigger shape after it.
    box(NxVec3(0, -0.5f, 0), NxVec3(10, 0.5f, 10), false);
    NxSphereShapeDesc plain, sensor;
    plain.radius = 0.5f;
    plain.group = 1;
    sensor.radius = 3;
    sensor.shapeFlags |= NX_TRIGGER_ENABLE;
    NxBodyDesc body;
    body.mass = 10;
    NxActorDesc desc;
    desc.shapes.pushBack(&plain);
    desc.shapes.pushBack(&sensor);
    desc.body = &body;
    desc.globalPose.t.set(0, 2, 0);
    NxActor* craft = scene->createActor(desc);
    ASSERT_NE(craft, nullptr);
    NxActor* other = box(NxVec3(2, 0.5f, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    steps(60);
    EXPECT_NEAR(craft->getGlobalPosition().y, 0.5f, 0.05f);  // the plain shape lands on the floor
    bool sawOther = false;
    for (const auto& e : triggers.events)
        if (e.trigger == craft->getShapes()[1] && &e.other->getActor() == other)
            sawOther = true;
    EXPECT_TRUE(sawOther);
    // Ignoring the pair ends the overlap: one leave, then silence.
    scene->setActorPairFlags(*craft, *other, NX_IGNORE_PAIR);
    triggers.events.clear();
    steps(3);
    std::vector<NxU32> seen;
    for (const auto& e : triggers.events)
        if (&e.other->getActor() == other)
            seen.push_back(e.status);
    EXPECT_EQ(seen, (std::vector<NxU32>{NX_TRIGGER_ON_LEAVE}));
}
