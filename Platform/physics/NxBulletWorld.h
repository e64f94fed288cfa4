#pragma once
// The Bullet world behind one scene, with the scene's filtering hooked into the broadphase and the
// collision pass. Internal to the layer.
#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <BulletSoftBody/btSoftBodyRigidBodyCollisionConfiguration.h>
#include <BulletSoftBody/btSoftRigidDynamicsWorld.h>
#include <btBulletDynamicsCommon.h>

class NxScene;
class NxActor;
class NxShape;
class NxCloth;

// Tags in btCollisionObject::getUserIndex(); the user pointer holds the matching object.
enum NxBulletObjectKind
{
    NX_BT_ACTOR = 1,
    NX_BT_TRIGGER = 2,
    NX_BT_CLOTH = 3
};

inline NxActor* NxBulletActor(const btCollisionObject* o)
{
    return o && o->getUserIndex() == NX_BT_ACTOR ? static_cast<NxActor*>(o->getUserPointer()) : nullptr;
}
inline NxShape* NxBulletTrigger(const btCollisionObject* o)
{
    return o && o->getUserIndex() == NX_BT_TRIGGER ? static_cast<NxShape*>(o->getUserPointer()) : nullptr;
}
inline NxCloth* NxBulletCloth(const btCollisionObject* o)
{
    return o && o->getUserIndex() == NX_BT_CLOTH ? static_cast<NxCloth*>(o->getUserPointer()) : nullptr;
}

class NxBulletFilter : public btOverlapFilterCallback
{
public:
    explicit NxBulletFilter(NxScene* scene) : m_Scene(scene) {}
    bool needBroadphaseCollision(btBroadphaseProxy* p0, btBroadphaseProxy* p1) const override;

private:
    NxScene* m_Scene;
};

class NxBulletWorld : public btSoftRigidDynamicsWorld
{
public:
    static NxBulletWorld* create(NxScene* scene);
    static void destroy(NxBulletWorld* world);
    ~NxBulletWorld() override;
    void performDiscreteCollisionDetection() override;
    btSoftBodyWorldInfo& softInfo() { return getWorldInfo(); }

private:
    NxBulletWorld(NxScene* scene, btCollisionDispatcher* dispatcher, btBroadphaseInterface* broadphase,
                  btConstraintSolver* solver, btCollisionConfiguration* config);
    NxScene* m_Scene;
    btCollisionDispatcher* m_Dispatcher;
    btBroadphaseInterface* m_Broadphase;
    btConstraintSolver* m_Solver;
    btCollisionConfiguration* m_Config;
    NxBulletFilter m_Filter;
};
