#include "Platform/physics/NxScene.h"

#include <algorithm>
#include <cmath>

#include <BulletCollision/NarrowPhaseCollision/btRaycastCallback.h>

#include "Platform/physics/NxActor.h"
#include "Platform/physics/NxActorDesc.h"
#include "Platform/physics/NxBulletPose.h"
#include "Platform/physics/NxBulletWorld.h"
#include "Platform/physics/NxCloth.h"
#include "Platform/physics/NxPhysicsSDK.h"
#include "Platform/physics/NxShape.h"
#include "Platform/physics/NxTriangleMesh.h"
#include "Platform/physics/NxUserContactReport.h"
#include "Platform/physics/NxUserNotify.h"
#include "Platform/physics/NxUserTriggerReport.h"

namespace
{

// A manifold point closer than this counts as touching; Bullet keeps points a little apart too.
constexpr btScalar TouchDistance = 0.002f;
// Bodies fall asleep after resting this long, the SDK's default wake-up counter.
constexpr btScalar SleepDelay = 0.4f;

NxU32 groupPairKey(NxU32 a, NxU32 b)
{
    return a < b ? (a << 16) | b : (b << 16) | a;
}

std::pair<const NxActor*, const NxActor*> orderedPair(const NxActor* a, const NxActor* b)
{
    return a < b ? std::make_pair(a, b) : std::make_pair(b, a);
}

int childIndex(const btCollisionObject* o, int index)
{
    return o->getCollisionShape()->isCompound() ? index : 0;
}

// Whether two bodies' bounds still meet, within the distance at which Bullet drops contact points.
bool boundsMeet(const NxActor& a, const NxActor& b)
{
    const btRigidBody* ba = a.bulletBody();
    const btRigidBody* bb = b.bulletBody();
    if (!ba || !bb)
        return false;
    btVector3 loA, hiA, loB, hiB;
    ba->getCollisionShape()->getAabb(ba->getWorldTransform(), loA, hiA);
    bb->getCollisionShape()->getAabb(bb->getWorldTransform(), loB, hiB);
    const btVector3 slack(gContactBreakingThreshold, gContactBreakingThreshold, gContactBreakingThreshold);
    return TestAabbAgainstAabb2(loA - slack, hiA + slack, loB, hiB);
}

}  // namespace

NxScene::NxScene(NxPhysicsSDK* sdk, const NxSceneDesc& desc) : m_Sdk(sdk)
{
    gDeactivationTime = SleepDelay;
    m_World = NxBulletWorld::create(this);
    std::fill(std::begin(m_GroupCollision), std::end(m_GroupCollision), 0xFFFFFFFFu);
    m_ContactReport = desc.userContactReport;
    m_TriggerReport = desc.userTriggerReport;
    m_Notify = desc.userNotify;
    setTiming(desc.maxTimestep, desc.maxIter, desc.timeStepMethod);
    setGravity(desc.gravity);
    NxMaterialDesc def;
    def.staticFriction = def.dynamicFriction = 0.5f;
    m_Materials.push_back(std::make_unique<NxMaterial>(this, 0));
    m_Materials[0]->loadFromDesc(def);
}

NxScene::~NxScene()
{
    for (NxCloth* c : m_Cloths)
        delete c;
    for (NxCloth* c : m_ReleasedCloths)
        delete c;
    m_Cloths.clear();  // the actors below look for cloths anchored to them
    m_ReleasedCloths.clear();
    for (NxActor* a : m_Actors)
        delete a;
    for (NxActor* a : m_ReleasedActors)
        delete a;
    NxBulletWorld::destroy(m_World);
}

// ---- objects

NxActor* NxScene::createActor(const NxActorDesc& desc)
{
    if (!desc.isValid())
        return nullptr;
    NxActor* actor = new NxActor(this, desc, nextSerial());
    m_Actors.push_back(actor);
    return actor;
}

void NxScene::releaseActor(NxActor& actor)
{
    auto it = std::find(m_Actors.begin(), m_Actors.end(), &actor);
    if (it == m_Actors.end())
        return;  // not ours, or released already
    m_Actors.erase(it);
    actor.release();
    m_ReleasedActors.push_back(&actor);
    m_DirtyActors.erase(&actor);
}

NxCloth* NxScene::createCloth(const NxClothDesc& desc)
{
    if (!desc.isValid())
        return nullptr;
    NxCloth* cloth = new NxCloth(this, desc);
    if (!cloth->bulletBody())
    {
        delete cloth;
        return nullptr;
    }
    m_Cloths.push_back(cloth);
    return cloth;
}

void NxScene::releaseCloth(NxCloth& cloth)
{
    auto it = std::find(m_Cloths.begin(), m_Cloths.end(), &cloth);
    if (it == m_Cloths.end())
        return;
    m_Cloths.erase(it);
    cloth.release();
    m_ReleasedCloths.push_back(&cloth);
}

void NxScene::replaceClothAnchors(const btRigidBody* old, btRigidBody* replacement)
{
    for (NxCloth* c : m_Cloths)
        c->replaceAnchorBody(old, replacement);
}

void NxScene::forgetShape(btCollisionShape* shape)
{
    if (shape)
        m_World->softInfo().m_sparsesdf.RemoveReferences(shape);
}

NxMaterial* NxScene::createMaterial(const NxMaterialDesc& desc)
{
    if (!desc.isValid() || m_Materials.size() >= 0xFFFF)
        return nullptr;
    m_Materials.push_back(std::make_unique<NxMaterial>(this, static_cast<NxMaterialIndex>(m_Materials.size())));
    m_Materials.back()->loadFromDesc(desc);
    return m_Materials.back().get();
}

NxMaterial* NxScene::getMaterialFromIndex(NxMaterialIndex index) const
{
    return index < m_Materials.size() ? m_Materials[index].get() : nullptr;
}

const NxMaterial& NxScene::materialOrDefault(NxMaterialIndex index) const
{
    return index < m_Materials.size() ? *m_Materials[index] : *m_Materials[0];
}

// ---- filtering

void NxScene::setGroupCollisionFlag(NxCollisionGroup g1, NxCollisionGroup g2, bool enable)
{
    if (g1 >= NX_NUM_COLLISION_GROUPS || g2 >= NX_NUM_COLLISION_GROUPS)
        return;
    if (enable)
    {
        m_GroupCollision[g1] |= 1u << g2;
        m_GroupCollision[g2] |= 1u << g1;
    }
    else
    {
        m_GroupCollision[g1] &= ~(1u << g2);
        m_GroupCollision[g2] &= ~(1u << g1);
    }
    markFiltersDirty();
}

bool NxScene::getGroupCollisionFlag(NxCollisionGroup g1, NxCollisionGroup g2) const
{
    if (g1 >= NX_NUM_COLLISION_GROUPS || g2 >= NX_NUM_COLLISION_GROUPS)
        return false;
    return (m_GroupCollision[g1] >> g2) & 1u;
}

void NxScene::setActorGroupPairFlags(NxActorGroup g1, NxActorGroup g2, NxU32 flags)
{
    m_ActorGroupPairFlags[groupPairKey(g1, g2)] = flags;
    markFiltersDirty();
}

NxU32 NxScene::getActorGroupPairFlags(NxActorGroup g1, NxActorGroup g2) const
{
    auto it = m_ActorGroupPairFlags.find(groupPairKey(g1, g2));
    return it == m_ActorGroupPairFlags.end() ? 0 : it->second;
}

void NxScene::setActorPairFlags(NxActor& a, NxActor& b, NxU32 flags)
{
    if (&a == &b)
        return;
    const auto key = orderedPair(&a, &b);
    if (flags & NX_IGNORE_PAIR)
        m_IgnoredPairs.insert(key);
    else
        m_IgnoredPairs.erase(key);
    markFiltersDirty(&a);
    markFiltersDirty(&b);
}

NxU32 NxScene::getActorPairFlags(NxActor& a, NxActor& b) const
{
    return pairIgnored(a, b) ? NX_IGNORE_PAIR : 0;
}

bool NxScene::pairIgnored(const NxActor& a, const NxActor& b) const
{
    return !m_IgnoredPairs.empty() && m_IgnoredPairs.count(orderedPair(&a, &b)) != 0;
}

bool NxScene::shapesCollide(const NxShape& a, const NxShape& b) const
{
    return !a.getFlag(NX_SF_DISABLE_COLLISION) && !b.getFlag(NX_SF_DISABLE_COLLISION) &&
           getGroupCollisionFlag(a.getGroup(), b.getGroup());
}

bool NxScene::actorsMayCollide(const NxActor& a, const NxActor& b) const
{
    if (&a == &b || a.isReleased() || b.isReleased())
        return false;
    if (a.readActorFlag(NX_AF_DISABLE_COLLISION) || b.readActorFlag(NX_AF_DISABLE_COLLISION))
        return false;
    const bool aMoves = a.isDynamic() && !a.isKinematic();
    const bool bMoves = b.isDynamic() && !b.isKinematic();
    if (!aMoves && !bMoves)
        return false;
    if (pairIgnored(a, b))
        return false;
    for (NxU32 i = 0; i < a.solidShapeCount(); ++i)
        for (NxU32 j = 0; j < b.solidShapeCount(); ++j)
            if (shapesCollide(*a.solidShape(static_cast<int>(i)), *b.solidShape(static_cast<int>(j))))
                return true;
    return false;
}

bool NxScene::clothMayTouch(const NxCloth& cloth, const NxActor& actor) const
{
    if (cloth.isReleased() || actor.isReleased() || (cloth.getFlags() & NX_CLF_DISABLE_COLLISION))
        return false;
    if (actor.readActorFlag(NX_AF_DISABLE_COLLISION))
        return false;
    return actor.hasCollidingShape(cloth.getGroup());
}

void NxScene::markFiltersDirty(NxActor* actor)
{
    if (actor)
        m_DirtyActors.insert(actor);
    else
        m_FiltersDirty = true;
}

void NxScene::refreshFilters()
{
    // Bullet filters a pair only when it first overlaps, so objects whose filtering changed get fresh
    // broadphase entries, and every pair of theirs is judged again.
    if (m_FiltersDirty)
    {
        btCollisionObjectArray& objects = m_World->getCollisionObjectArray();
        for (int i = 0; i < objects.size(); ++i)
            if (objects[i]->getBroadphaseHandle())
                m_World->refreshBroadphaseProxy(objects[i]);
    }
    else
    {
        for (NxActor* a : m_DirtyActors)
        {
            if (a->isReleased())
                continue;
            if (a->bulletBody() && a->bulletBody()->getBroadphaseHandle())
                m_World->refreshBroadphaseProxy(a->bulletBody());
            for (NxU32 i = 0; i < a->getNbShapes(); ++i)
                if (btCollisionObject* t = a->getShapes()[i]->triggerObject())
                    m_World->refreshBroadphaseProxy(t);
        }
    }
    m_FiltersDirty = false;
    m_DirtyActors.clear();
}

// ---- stepping

void NxScene::setTiming(NxReal maxTimestep, NxU32 maxIter, NxTimeStepMethod method)
{
    if (maxTimestep > 0)
        m_MaxTimestep = maxTimestep;
    if (maxIter > 0)
        m_MaxIter = maxIter;
    if (method == NX_TIMESTEP_FIXED || method == NX_TIMESTEP_VARIABLE)
        m_Method = method;
}

void NxScene::getTiming(NxReal& maxTimestep, NxU32& maxIter, NxTimeStepMethod& method, NxU32* numSubSteps) const
{
    maxTimestep = m_MaxTimestep;
    maxIter = m_MaxIter;
    method = m_Method;
    if (numSubSteps)
        *numSubSteps = m_LastSubSteps;
}

void NxScene::setGravity(const NxVec3& gravity)
{
    m_Gravity = gravity;
    m_World->setGravity(NxToBullet(gravity));
    m_World->softInfo().m_gravity = NxToBullet(gravity);
    for (NxActor* a : m_Actors)
        if (a->bulletBody() && a->isDynamic() && !a->isKinematic() && !a->readBodyFlag(NX_BF_DISABLE_GRAVITY))
            a->bulletBody()->setGravity(NxToBullet(gravity));
}

void NxScene::simulate(NxReal elapsedTime)
{
    if (m_Simulating)
        return;  // one step at a time: the first must be fetched before the next starts
    m_Simulating = true;
    m_PendingTime = elapsedTime > 0 ? elapsedTime : 0;
}

bool NxScene::checkResults(NxSimulationStatus, bool) const
{
    return m_Simulating;
}

bool NxScene::fetchResults(NxSimulationStatus, bool, NxU32* errorState)
{
    if (errorState)
        *errorState = 0;
    if (!m_Simulating)
        return false;
    m_Simulating = false;
    runStep(m_PendingTime);
    m_PendingTime = 0;
    return true;
}

void NxScene::runStep(NxReal elapsed)
{
    NxU32 n = 0;
    NxReal h = m_MaxTimestep;
    if (m_Method == NX_TIMESTEP_FIXED)
    {
        m_Accumulator += elapsed;
        // A small tolerance, so that sixty steps of 1/60 s in float make sixty sub-steps.
        n = static_cast<NxU32>(std::floor(m_Accumulator / m_MaxTimestep + 1e-3f));
        if (n > m_MaxIter)
        {
            n = m_MaxIter;
            m_Accumulator = 0;  // the SDK drops time it cannot catch up with
        }
        else
        {
            m_Accumulator = std::max(0.0f, m_Accumulator - NxReal(n) * m_MaxTimestep);
        }
    }
    else if (elapsed > 0)
    {
        n = std::min<NxU32>(m_MaxIter,
                            std::max<NxU32>(1, static_cast<NxU32>(std::ceil(elapsed / m_MaxTimestep - 1e-3f))));
        h = elapsed / NxReal(n);
    }
    m_LastSubSteps = n;
    if (n == 0)
        return;

    refreshFilters();
    std::vector<NxActor*> live = m_Actors;
    for (NxActor* a : live)
    {
        a->sleepingAtStepStart = a->isSleeping();
        a->beginStep(n, h);
    }
    m_Contacts.step.clear();
    m_Contacts.triggerStep.clear();
    for (NxU32 k = 0; k < n; ++k)
    {
        m_SubStep = k;
        for (NxActor* a : live)
            a->beginSubStep(k);
        for (NxCloth* c : m_Cloths)
            c->beginSubStep(h);
        m_World->stepSimulation(h, 0, h);
        for (NxActor* a : live)
            a->endSubStep();
        collectSubStepContacts();
    }
    for (NxActor* a : live)
        a->endStep();
    for (NxCloth* c : m_Cloths)
        c->writeMeshData();
    m_World->softInfo().m_sparsesdf.GarbageCollect();
    deliverReports(NxReal(n) * h);
}

void NxScene::prepareCollision()
{
    for (NxActor* a : m_Actors)
    {
        btRigidBody* body = a->bulletBody();
        if (!body)
            continue;
        for (NxU32 i = 0; i < a->getNbShapes(); ++i)
        {
            NxShape* s = a->getShapes()[i];
            if (btCollisionObject* t = s->triggerObject())
                t->setWorldTransform(body->getWorldTransform() * NxToBullet(s->getLocalPose()));
        }
    }
}

void NxScene::filterContacts()
{
    btDispatcher* d = m_World->getDispatcher();
    for (int i = 0; i < d->getNumManifolds(); ++i)
    {
        btPersistentManifold* m = d->getManifoldByIndexInternal(i);
        NxActor* a0 = NxBulletActor(m->getBody0());
        NxActor* a1 = NxBulletActor(m->getBody1());
        if (!a0 || !a1)
            continue;
        for (int j = m->getNumContacts() - 1; j >= 0; --j)
        {
            btManifoldPoint& pt = m->getContactPoint(j);
            NxShape* s0 = a0->solidShape(childIndex(m->getBody0(), pt.m_index0));
            NxShape* s1 = a1->solidShape(childIndex(m->getBody1(), pt.m_index1));
            if (!s0 || !s1 || !shapesCollide(*s0, *s1))
            {
                m->removeContactPoint(j);
                continue;
            }
            const NxMaterial& m0 = materialOrDefault(s0->getMaterial());
            const NxMaterial& m1 = materialOrDefault(s1->getMaterial());
            const auto fMode = std::max(m0.getFrictionCombineMode(), m1.getFrictionCombineMode());
            const auto rMode = std::max(m0.getRestitutionCombineMode(), m1.getRestitutionCombineMode());
            pt.m_combinedFriction = NxMaterial::combine(m0.getDynamicFriction(), m1.getDynamicFriction(), fMode);
            pt.m_combinedRestitution = NxMaterial::combine(m0.getRestitution(), m1.getRestitution(), rMode);
        }
    }
}

void NxScene::collectSubStepContacts()
{
    btDispatcher* d = m_World->getDispatcher();
    for (int i = 0; i < d->getNumManifolds(); ++i)
    {
        btPersistentManifold* m = d->getManifoldByIndexInternal(i);
        const btCollisionObject* o0 = m->getBody0();
        const btCollisionObject* o1 = m->getBody1();
        NxShape* trigger = NxBulletTrigger(o0);
        const bool triggerFirst = trigger != nullptr;
        if (!trigger)
            trigger = NxBulletTrigger(o1);
        if (trigger)
        {
            const btCollisionObject* otherObject = triggerFirst ? o1 : o0;
            NxActor* other = NxBulletActor(otherObject);
            if (!other || other->isReleased() || !trigger->isTrigger())
                continue;
            for (int j = 0; j < m->getNumContacts(); ++j)
            {
                const btManifoldPoint& pt = m->getContactPoint(j);
                if (pt.getDistance() > 0)
                    continue;
                NxShape* s = other->solidShape(childIndex(otherObject, triggerFirst ? pt.m_index1 : pt.m_index0));
                if (s && !s->getFlag(NX_SF_DISABLE_COLLISION) &&
                    getGroupCollisionFlag(trigger->getGroup(), s->getGroup()))
                    m_Contacts.triggerStep.insert({trigger, s});
            }
            continue;
        }
        NxActor* a0 = NxBulletActor(o0);
        NxActor* a1 = NxBulletActor(o1);
        if (!a0 || !a1 || m->getNumContacts() == 0)
            continue;
        if (!o0->isActive() && !o1->isActive())
            continue;  // a resting pair: its state carries over
        bool touching = false;
        for (int j = 0; j < m->getNumContacts() && !touching; ++j)
            touching = m->getContactPoint(j).getDistance() <= TouchDistance;
        if (!touching)
            continue;
        const bool flip = a1->serial() < a0->serial();
        NxActor* first = flip ? a1 : a0;
        NxActor* second = flip ? a0 : a1;
        NxContactAccum& acc = m_Contacts.step[{first, second}];
        acc.actors[0] = first;
        acc.actors[1] = second;
        acc.touching = true;
        if (acc.streamSubStep != m_SubStep)
        {
            acc.stream.pairs.clear();
            acc.streamSubStep = m_SubStep;
        }
        const btScalar sign = flip ? -1.0f : 1.0f;
        const NxReal h = m_World->getSolverInfo().m_timeStep;
        for (int j = 0; j < m->getNumContacts(); ++j)
        {
            const btManifoldPoint& pt = m->getContactPoint(j);
            if (pt.getDistance() > TouchDistance)
                continue;
            NxShape* s0 = a0->solidShape(childIndex(o0, pt.m_index0));
            NxShape* s1 = a1->solidShape(childIndex(o1, pt.m_index1));
            NxShape* sf = flip ? s1 : s0;
            NxShape* ss = flip ? s0 : s1;
            const btVector3 n = pt.m_normalWorldOnB * sign;  // from the second actor towards the first
            acc.normalImpulse += NxFromBullet(n * pt.m_appliedImpulse);
            acc.frictionImpulse += NxFromBullet((pt.m_lateralFrictionDir1 * pt.m_appliedImpulseLateral1 +
                                                 pt.m_lateralFrictionDir2 * pt.m_appliedImpulseLateral2) *
                                                sign);
            NxContactStreamShapePair* sp = nullptr;
            for (auto& p : acc.stream.pairs)
                if (p.shapes[0] == sf && p.shapes[1] == ss)
                    sp = &p;
            if (!sp)
            {
                acc.stream.pairs.emplace_back();
                sp = &acc.stream.pairs.back();
                sp->shapes[0] = sf;
                sp->shapes[1] = ss;
                sp->patches.emplace_back();
                sp->patches[0].normal = NxFromBullet(n);
            }
            NxContactStreamPoint p;
            p.point = NxFromBullet(pt.getPositionWorldOnB());
            p.separation = pt.getDistance();
            p.normalForce = h > 0 ? pt.m_appliedImpulse / h : 0;
            sp->patches[0].points.push_back(p);
        }
    }
}

// ---- reports

void NxScene::deliverReports(NxReal stepTime)
{
    const NxReal inv = stepTime > 0 ? 1.0f / stepTime : 0;
    auto deliver = [&](NxContactAccum& acc, NxU32 event)
    {
        if (!m_ContactReport)
            return;
        NxActor* a = acc.actors[0];
        NxActor* b = acc.actors[1];
        const NxU32 events = getActorGroupPairFlags(a->getGroup(), b->getGroup()) & event;
        if (!events)
            return;
        NxContactPair pair;
        pair.actors[0] = a;
        pair.actors[1] = b;
        pair.isDeletedActor[0] = a->isReleased();
        pair.isDeletedActor[1] = b->isReleased();
        pair.stream = &acc.stream;
        pair.sumNormalForce = acc.normalImpulse * inv;
        pair.sumFrictionForce = acc.frictionImpulse * inv;
        m_ContactReport->onContactNotify(pair, events);
    };

    // Contacts: the state moves on first, so a report that releases actors cannot disturb it.
    std::set<NxContactState::ActorPair, NxContactState::ActorPairOrder> nowTouching;
    std::vector<std::pair<NxContactState::ActorPair, NxU32>> events;
    for (auto& [key, acc] : m_Contacts.step)
    {
        if (key.first->isReleased() || key.second->isReleased())
            continue;
        nowTouching.insert(key);
        events.push_back(
            {key, m_Contacts.touching.count(key) ? NxU32(NX_NOTIFY_ON_TOUCH) : NxU32(NX_NOTIFY_ON_START_TOUCH)});
    }
    std::vector<NxContactAccum> ended;
    for (const auto& key : m_Contacts.touching)
    {
        if (nowTouching.count(key) || key.first->isReleased() || key.second->isReleased())
            continue;
        const bool resting = !key.first->isReleased() && !key.second->isReleased() &&
                             (key.first->isStaticActor() || key.first->isSleeping()) &&
                             (key.second->isStaticActor() || key.second->isSleeping()) &&
                             actorsMayCollide(*key.first, *key.second) && boundsMeet(*key.first, *key.second);
        if (resting)
        {
            nowTouching.insert(key);  // both at rest: Bullet no longer looks at the pair, the touch goes on
            continue;
        }
        NxContactAccum acc;
        acc.actors[0] = key.first;
        acc.actors[1] = key.second;
        ended.push_back(acc);
    }
    m_Contacts.touching = nowTouching;
    for (auto& [key, event] : events)
        deliver(m_Contacts.step[key], event);
    for (NxContactAccum& acc : ended)
        deliver(acc, NX_NOTIFY_ON_END_TOUCH);

    // Triggers.
    std::vector<std::pair<NxContactState::ShapePair, NxU32>> triggerEvents;
    for (const auto& key : m_Contacts.triggerStep)
        triggerEvents.push_back(
            {key, m_Contacts.overlapping.count(key) ? NxU32(NX_TRIGGER_ON_STAY) : NxU32(NX_TRIGGER_ON_ENTER)});
    for (const auto& key : m_Contacts.overlapping)
        if (!m_Contacts.triggerStep.count(key))
            triggerEvents.push_back({key, NxU32(NX_TRIGGER_ON_LEAVE)});
    m_Contacts.overlapping = m_Contacts.triggerStep;
    for (auto& [key, status] : triggerEvents)
    {
        NxShape* t = key.first;
        NxShape* o = key.second;
        if (!m_TriggerReport || t->getActor().isReleased() || o->getActor().isReleased())
            continue;
        if (t->getFlags() & status)
            m_TriggerReport->onTrigger(*t, *o, status);
    }

    // Sleep and wake, in one batch each.
    std::vector<NxActor*> woke, slept;
    for (NxActor* a : m_Actors)
    {
        if (!a->isDynamic() || a->isKinematic())
            continue;
        const bool sleeping = a->isSleeping();
        if (sleeping != a->sleepingAtStepStart)
            (sleeping ? slept : woke).push_back(a);
    }
    if (m_Notify && !woke.empty())
        m_Notify->onWake(woke.data(), static_cast<NxU32>(woke.size()));
    // The wake handler may have released some of the sleepers.
    slept.erase(std::remove_if(slept.begin(), slept.end(), [](NxActor* a) { return a->isReleased(); }), slept.end());
    if (m_Notify && !slept.empty())
        m_Notify->onSleep(slept.data(), static_cast<NxU32>(slept.size()));
}

// ---- ray casts

namespace
{

// Whether the segment from + t dir, t in [0, length], meets the box [lo, hi] (slab test).
bool segmentMeetsBox(const btVector3& from, const btVector3& dir, btScalar length, const btVector3& lo,
                     const btVector3& hi)
{
    btScalar t0 = 0, t1 = length;
    for (int k = 0; k < 3; ++k)
    {
        if (dir[k] == 0)
        {
            if (from[k] < lo[k] || from[k] > hi[k])
                return false;
            continue;
        }
        btScalar a = (lo[k] - from[k]) / dir[k], b = (hi[k] - from[k]) / dir[k];
        if (a > b)
            std::swap(a, b);
        t0 = std::max(t0, a);
        t1 = std::min(t1, b);
        if (t0 > t1)
            return false;
    }
    return true;
}

struct ShapeRayResult : public btCollisionWorld::RayResultCallback
{
    btVector3 normal{0, 0, 0};
    int triangle = 0;
    btTransform shapeToWorld;
    btScalar addSingleResult(btCollisionWorld::LocalRayResult& r, bool normalInWorldSpace) override
    {
        if (r.m_hitFraction > m_closestHitFraction)
            return m_closestHitFraction;
        m_closestHitFraction = r.m_hitFraction;
        m_collisionObject = r.m_collisionObject;
        normal = normalInWorldSpace ? r.m_hitNormalLocal : shapeToWorld.getBasis() * r.m_hitNormalLocal;
        triangle = r.m_localShapeInfo ? r.m_localShapeInfo->m_triangleIndex : 0;
        return r.m_hitFraction;
    }
};

}  // namespace

bool NxScene::castShape(const NxRay& ray, NxReal maxDist, NxShape& shape, NxRaycastHit& hit) const
{
    NxActor& actor = shape.getActor();
    btRigidBody* body = actor.bulletBody();
    if (!body || !shape.bulletShape())
        return false;
    const btVector3 from = NxToBullet(ray.orig);
    const btVector3 to = from + NxToBullet(ray.dir) * maxDist;
    const btTransform shapeToWorld = body->getWorldTransform() * NxToBullet(shape.getLocalPose());
    // Most shapes are nowhere near the ray: their bounds say so far more cheaply than the exact test.
    btVector3 lo, hi;
    shape.bulletShape()->getAabb(shapeToWorld, lo, hi);
    const btVector3 slack(1e-3f, 1e-3f, 1e-3f);
    if (!segmentMeetsBox(from, NxToBullet(ray.dir), maxDist, lo - slack, hi + slack))
        return false;
    ShapeRayResult result;
    // Bullet's default ray test against convex shapes is approximate: round shapes come back with
    // normals a degree or so off the radius through the impact.
    result.m_flags = btTriangleRaycastCallback::kF_UseGjkConvexCastRaytest;
    result.shapeToWorld = shapeToWorld;
    btTransform f = btTransform::getIdentity(), t = btTransform::getIdentity();
    f.setOrigin(from);
    t.setOrigin(to);
    btCollisionWorld::rayTestSingle(f, t, body, shape.bulletShape(), result.shapeToWorld, result);
    if (!result.hasHit())
        return false;
    hit = NxRaycastHit();
    hit.shape = &shape;
    hit.distance = result.m_closestHitFraction * maxDist;
    hit.worldImpact = ray.orig + ray.dir * hit.distance;
    btVector3 n = result.normal;
    if (n.length2() > 0)
        n.normalize();
    hit.worldNormal = NxFromBullet(n);
    hit.materialIndex = shape.getMaterial();
    NxTriangleMesh* mesh = shape.getTriangleMesh();
    if (mesh && shape.bulletShape() == static_cast<btCollisionShape*>(mesh->bulletMesh()) && result.triangle >= 0 &&
        static_cast<NxU32>(result.triangle) < mesh->getNbTriangles())
    {
        hit.faceID = hit.internalFaceID = static_cast<NxU32>(result.triangle);
        const NxU32* tri = mesh->getTriangles() + 3 * hit.faceID;
        const btVector3 p0 = result.shapeToWorld * NxToBullet(mesh->getVertices()[tri[0]]);
        const btVector3 p1 = result.shapeToWorld * NxToBullet(mesh->getVertices()[tri[1]]);
        const btVector3 p2 = result.shapeToWorld * NxToBullet(mesh->getVertices()[tri[2]]);
        // Barycentric coordinates of the impact: impact = p0 + u (p1 - p0) + v (p2 - p0).
        const btVector3 e1 = p1 - p0, e2 = p2 - p0, w = NxToBullet(hit.worldImpact) - p0;
        const btScalar d11 = e1.dot(e1), d12 = e1.dot(e2), d22 = e2.dot(e2), w1 = w.dot(e1), w2 = w.dot(e2);
        const btScalar den = d11 * d22 - d12 * d12;
        if (den != 0)
        {
            hit.u = (d22 * w1 - d12 * w2) / den;
            hit.v = (d11 * w2 - d12 * w1) / den;
        }
    }
    return true;
}

std::vector<NxRaycastHit> NxScene::castAll(const NxRay& ray, NxShapesType type, NxU32 groups, NxReal maxDist,
                                           bool stopAtFirst)
{
    std::vector<NxRaycastHit> hits;
    NxRay unit = ray;
    if (unit.dir.normalize() == 0 || !(maxDist > 0))
        return hits;
    maxDist = std::min(maxDist, MaxRayLength);
    for (NxActor* a : m_Actors)
    {
        const bool dynamic = a->isDynamic();
        if (!((type & NX_DYNAMIC_SHAPES) && dynamic) && !((type & NX_STATIC_SHAPES) && !dynamic))
            continue;
        for (NxU32 i = 0; i < a->getNbShapes(); ++i)
        {
            NxShape* s = a->getShapes()[i];
            if (s->isTrigger() || s->getFlag(NX_SF_DISABLE_RAYCASTING) || s->getFlag(NX_SF_DISABLE_SCENE_QUERIES))
                continue;
            if (!((groups >> s->getGroup()) & 1u))
                continue;
            NxRaycastHit hit;
            if (castShape(unit, maxDist, *s, hit))
            {
                hits.push_back(hit);
                if (stopAtFirst)
                    return hits;
            }
        }
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const NxRaycastHit& x, const NxRaycastHit& y) { return x.distance < y.distance; });
    return hits;
}

bool NxScene::raycastAnyShape(const NxRay& ray, NxShapesType shapesType, NxU32 groups, NxReal maxDist,
                              const NxGroupsMask*, NxShape**)
{
    return !castAll(ray, shapesType, groups, maxDist, true).empty();
}

NxU32 NxScene::raycastAllShapes(const NxRay& ray, NxUserRaycastReport& report, NxShapesType shapesType, NxU32 groups,
                                NxReal maxDist, NxU32 hintFlags, const NxGroupsMask*)
{
    const std::vector<NxRaycastHit> hits = castAll(ray, shapesType, groups, maxDist, false);
    NxU32 count = 0;
    for (NxRaycastHit hit : hits)
    {
        hit.flags = hintFlags;
        ++count;
        if (!report.onHit(hit))
            break;
    }
    return count;
}

NxShape* NxScene::raycastClosestShape(const NxRay& ray, NxShapesType shapesType, NxRaycastHit& hit, NxU32 groups,
                                      NxReal maxDist, NxU32 hintFlags, const NxGroupsMask*, NxShape**)
{
    const std::vector<NxRaycastHit> hits = castAll(ray, shapesType, groups, maxDist, false);
    if (hits.empty())
        return nullptr;
    hit = hits.front();
    hit.flags = hintFlags;
    return hit.shape;
}
