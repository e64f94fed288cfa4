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
        return other && scene_->clothMayTouch(c0 ? *c0 : *c1, *other);
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
        if (scene_->pairIgnored(owner, *other))
            return false;
        return other->hasCollidingShape(trigger->getGroup());
    }
    NxActor* a0 = NxBulletActor(o0);
    NxActor* a1 = NxBulletActor(o1);
    return a0 && a1 && scene_->actorsMayCollide(*a0, *a1);
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
    : btSoftRigidDynamicsWorld(dispatcher, broadphase, solver, config), scene_(scene), dispatcher_(dispatcher),
      broadphase_(broadphase), solver_(solver), config_(config), filter_(scene)
{
    broadphase_->getOverlappingPairCache()->setOverlapFilterCallback(&filter_);
    btSoftBodyWorldInfo& info = getWorldInfo();
    info.m_broadphase = broadphase_;
    info.m_dispatcher = dispatcher_;
    info.m_sparsesdf.Initialize();
}

NxBulletWorld::~NxBulletWorld()
{
    broadphase_->getOverlappingPairCache()->setOverlapFilterCallback(nullptr);
}

void NxBulletWorld::destroy(NxBulletWorld* world)
{
    if (!world)
        return;
    // Bullet's own world destructor still uses the dispatcher and broadphase, so they go after it.
    btCollisionDispatcher* dispatcher = world->dispatcher_;
    btBroadphaseInterface* broadphase = world->broadphase_;
    btConstraintSolver* solver = world->solver_;
    btCollisionConfiguration* config = world->config_;
    delete world;
    delete solver;
    delete dispatcher;
    delete broadphase;
    delete config;
}

void NxBulletWorld::performDiscreteCollisionDetection()
{
    scene_->prepareCollision();
    btSoftRigidDynamicsWorld::performDiscreteCollisionDetection();
    scene_->filterContacts();
}
