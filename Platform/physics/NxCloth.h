#pragma once
#include "Platform/physics/NxClothDesc.h"

class NxScene;
class btRigidBody;
class btSoftBody;

// A cloth of the scene. After releaseCloth the object stays valid but inert.
class NxCloth
{
public:
    ~NxCloth();
    NxCloth(const NxCloth&) = delete;
    NxCloth& operator=(const NxCloth&) = delete;

    NxScene& getScene() const { return *scene_; }
    void setGroup(NxCollisionGroup group);
    NxCollisionGroup getGroup() const { return group_; }
    void putToSleep();
    void wakeUp(NxReal wakeCounterValue = 0.4f);
    bool isSleeping() const;
    // Fixes the particles that touch a shape of a colliding group to that shape's actor.
    void attachToCollidingShapes(NxU32 attachmentFlags);
    NxU32 getNumberOfParticles() const;
    NxVec3 getPosition(NxU32 particle) const;
    NxU32 getFlags() const { return flags_; }
    void* userData = nullptr;

    // Internal to the layer.
    btSoftBody* bulletBody() const { return body_; }
    bool isReleased() const { return released_; }
    void writeMeshData();         // copies positions, normals and indices into the receive buffers
    void beginSubStep(NxReal h);  // gravity switch and external acceleration
    // Anchors on old move to replacement; with none, they are removed and their particles are free.
    void replaceAnchorBody(const btRigidBody* old, btRigidBody* replacement);

private:
    friend class NxScene;
    NxCloth(NxScene* scene, const NxClothDesc& desc);
    void release();

    NxScene* scene_;
    bool released_ = false;
    btSoftBody* body_ = nullptr;
    NxClothMesh* mesh_ = nullptr;
    NxMeshData meshData_;
    NxCollisionGroup group_ = 0;
    NxU32 flags_ = 0;
    NxVec3 externalAcceleration_;
};
