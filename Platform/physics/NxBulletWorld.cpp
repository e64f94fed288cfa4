#include "Platform/physics/NxBulletWorld.h"

#include "Platform/physics/NxActor.h"
#include "Platform/physics/NxCloth.h"
#include "Platform/physics/NxScene.h"
#include "Platform/physics/NxShape.h"

bool NxBulletFilter::needBroadphaseCollision(btBroadphaseProxy* p0, btBroadphaseProxy* p1) const
{
    const auto* o0 = static_cast<const btCollisionObject*>(p0->m_clientObject);
    const auto* o1 = static_cast<const btCollisionObject*>(p1->m_clientObject);
    NxCloth* c0 = NxBulletCloth(o0);
    NxCloth* c1 = NxBulletCloth(o1);
    if (c0 || c1)
    {
        if (c0 && c1)
            return false;
        NxActor* other = NxBulletActor(c0 ? o1 : o0);
        return other && m_Scene->clothMayTouch(c0 ? *c0 : *c1, *other);
    }
    NxShape* t0 = NxBulletTrigger(o0);
    NxShape* t1 = NxBulletTrigger(o1);
    if (t0 && t1)
        return false;  // triggers never report each other
    if (t0 || t1)
    {
        NxShape* trigger = t0 ? t0 : t1;
        NxActor* other = NxBulletActor(t0 ? o1 : o0);
        if (!other)
            return false;
        NxActor& owner = trigger->getActor();
        if (&owner == other || owner.isReleased() || other->isReleased())
            return false;
        if (owner.readActorFlag(NX_AF_DISABLE_COLLISION) || other->readActorFlag(NX_AF_DISABLE_COLLISION))
            return false;
        if (owner.isStaticActor() && other->isStaticActor())
            return false;
        if (m_Scene->pairIgnored(owner, *other))
            return false;
        return other->hasCollidingShape(trigger->getGroup());
    }
    NxActor* a0 = NxBulletActor(o0);
    NxActor* a1 = NxBulletActor(o1);
    return a0 && a1 && m_Scene->actorsMayCollide(*a0, *a1);
}

NxBulletWorld* NxBulletWorld::create(NxScene* scene)
{
    auto* config = new btSoftBodyRigidBodyCollisionConfiguration();
    auto* dispatcher = new btCollisionDispatcher(config);
    auto* broadphase = new btDbvtBroadphase();
    auto* solver = new btSequentialImpulseConstraintSolver();
    return new NxBulletWorld(scene, dispatcher, broadphase, solver, config);
}

NxBulletWorld::NxBulletWorld(NxScene* scene, btCollisionDispatcher* dispatcher, btBroadphaseInterface* broadphase,
                             btConstraintSolver* solver, btCollisionConfiguration* config)
    : btSoftRigidDynamicsWorld(dispatcher, broadphase, solver, config), m_Scene(scene), m_Dispatcher(dispatcher),
      m_Broadphase(broadphase), m_Solver(solver), m_Config(config), m_Filter(scene)
{
    m_Broadphase->getOverlappingPairCache()->setOverlapFilterCallback(&m_Filter);
    btSoftBodyWorldInfo& info = getWorldInfo();
    info.m_broadphase = m_Broadphase;
    info.m_dispatcher = m_Dispatcher;
    info.m_sparsesdf.Initialize();
}

NxBulletWorld::~NxBulletWorld()
{
    m_Broadphase->getOverlappingPairCache()->setOverlapFilterCallback(nullptr);
}

void NxBulletWorld::destroy(NxBulletWorld* world)
{
    if (!world)
        return;
    // Bullet's own world destructor still uses the dispatcher and broadphase, so they go after it.
    btCollisionDispatcher* dispatcher = world->m_Dispatcher;
    btBroadphaseInterface* broadphase = world->m_Broadphase;
    btConstraintSolver* solver = world->m_Solver;
    btCollisionConfiguration* config = world->m_Config;
    delete world;
    delete solver;
    delete dispatcher;
    delete broadphase;
    delete config;
}

void NxBulletWorld::performDiscreteCollisionDetection()
{
    m_Scene->prepareCollision();
    btSoftRigidDynamicsWorld::performDiscreteCollisionDetection();
    m_Scene->filterContacts();
}
