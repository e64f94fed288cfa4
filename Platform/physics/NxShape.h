#pragma once
#include <string>

#include "Platform/physics/NxMat34.h"

class NxActor;
class NxCCDSkeleton;
class NxShapeDesc;
class NxTriangleMesh;
class btCollisionObject;
class btCollisionShape;

// One shape of an actor. Trigger shapes (any of flags 1, 2, 4) take no part in the body's collisions:
// each is a separate Bullet object that follows the actor and only detects overlaps.
class NxShape
{
public:
    NxShape(NxActor* actor, const NxShapeDesc& desc, bool dynamicActor);
    ~NxShape();
    NxShape(const NxShape&) = delete;
    NxShape& operator=(const NxShape&) = delete;

    NxActor& getActor() const { return *m_Actor; }
    // The shape's place in the order shapes were made.
    NxU32 serial() const { return m_Serial; }
    NxShapeType getType() const { return m_Type; }
    bool isTrigger() const { return (m_Flags & NX_TRIGGER_ENABLE) != 0; }

    void setGroup(NxCollisionGroup group);
    NxCollisionGroup getGroup() const { return m_Group; }
    void setMaterial(NxMaterialIndex index) { m_Material = index; }
    NxMaterialIndex getMaterial() const { return m_Material; }

    void raiseFlag(NxShapeFlag flag) { setFlagBits(m_Flags | flag); }
    void clearFlag(NxShapeFlag flag) { setFlagBits(m_Flags & ~NxU32(flag)); }
    void setFlag(NxShapeFlag flag, bool value) { value ? raiseFlag(flag) : clearFlag(flag); }
    bool getFlag(NxShapeFlag flag) const { return (m_Flags & flag) != 0; }
    NxU32 getFlags() const { return m_Flags; }

    void setCCDSkeleton(NxCCDSkeleton* skeleton);
    NxCCDSkeleton* getCCDSkeleton() const { return m_Skeleton; }

    const NxMat34& getLocalPose() const { return m_LocalPose; }
    NxMat34 getGlobalPose() const;

    // Primitive sizes: box half extents; sphere and capsule radius; capsule height.
    NxVec3 getDimensions() const { return m_Dimensions; }
    NxReal getRadius() const { return m_Radius; }
    NxReal getHeight() const { return m_Height; }
    NxTriangleMesh* getTriangleMesh() const { return m_Mesh; }

    NxReal getMass() const { return m_Mass; }
    NxReal getDensity() const { return m_Density; }
    NxReal volume() const;

    void setName(const char* name) { m_Name = name ? name : ""; }
    const char* getName() const { return m_Name.c_str(); }
    void* userData = nullptr;

    // Internal to the layer.
    btCollisionShape* bulletShape() const { return m_Shape; }
    btCollisionObject* triggerObject() const { return m_Trigger; }
    void setTriggerObject(btCollisionObject* object) { m_Trigger = object; }
    void releaseBullet();  // frees the Bullet side when the actor is released
    // The radius of the sphere Bullet sweeps for this shape's continuous collision.
    NxReal sweptSphereRadius() const;

private:
    void setFlagBits(NxU32 flags);

    NxActor* m_Actor;
    NxU32 m_Serial = 0;
    NxShapeType m_Type;
    NxCollisionGroup m_Group;
    NxMaterialIndex m_Material;
    NxU32 m_Flags;
    NxMat34 m_LocalPose;
    NxVec3 m_Dimensions;
    NxReal m_Radius = 0, m_Height = 0;
    NxReal m_Mass, m_Density;
    NxTriangleMesh* m_Mesh = nullptr;
    NxCCDSkeleton* m_Skeleton = nullptr;
    btCollisionShape* m_Shape = nullptr;  // owned unless it is a mesh's shared BVH or hull
    bool m_OwnsShape = true;
    btCollisionObject* m_Trigger = nullptr;
    std::string m_Name;
};
