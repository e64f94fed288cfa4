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

    NxScene& getScene() const { return *m_Scene; }
    void setGroup(NxCollisionGroup group);
    NxCollisionGroup getGroup() const { return m_Group; }
    void putToSleep();
    void wakeUp(NxReal wakeCounterValue = 0.4f);
    bool isSleeping() const;
    // Fixes the particles that touch a shape of a colliding group to that shape's actor.
    void attachToCollidingShapes(NxU32 attachmentFlags);
    NxU32 getNumberOfParticles() const;
    NxVec3 getPosition(NxU32 particle) const;
    NxU32 getFlags() const { return m_Flags; }
    void* userData = nullptr;

    // Internal to the layer.
    btSoftBody* bulletBody() const { return m_Body; }
    bool isReleased() const { return m_Released; }
    void writeMeshData();         // copies positions, normals and indices into the receive buffers
    void beginSubStep(NxReal h);  // gravity switch and external acceleration
    // Anchors on old move to replacement; with none, they are removed and their particles are free.
    void replaceAnchorBody(const btRigidBody* old, btRigidBody* replacement);

private:
    friend class NxScene;
    NxCloth(NxScene* scene, const NxClothDesc& desc);
    void release();

    NxScene* m_Scene;
    bool m_Released = false;
    btSoftBody* m_Body = nullptr;
    NxClothMesh* m_Mesh = nullptr;
    NxMeshData m_MeshData;
    NxCollisionGroup m_Group = 0;
    NxU32 m_Flags = 0;
    NxVec3 m_ExternalAcceleration;
};
