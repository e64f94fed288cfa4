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

    NxActor& getActor() const { return *actor_; }
    NxShapeType getType() const { return type_; }
    bool isTrigger() const { return (flags_ & NX_TRIGGER_ENABLE) != 0; }

    void setGroup(NxCollisionGroup group);
    NxCollisionGroup getGroup() const { return group_; }
    void setMaterial(NxMaterialIndex index) { material_ = index; }
    NxMaterialIndex getMaterial() const { return material_; }

    void raiseFlag(NxShapeFlag flag) { setFlagBits(flags_ | flag); }
    void clearFlag(NxShapeFlag flag) { setFlagBits(flags_ & ~NxU32(flag)); }
    void setFlag(NxShapeFlag flag, bool value) { value ? raiseFlag(flag) : clearFlag(flag); }
    bool getFlag(NxShapeFlag flag) const { return (flags_ & flag) != 0; }
    NxU32 getFlags() const { return flags_; }

    void setCCDSkeleton(NxCCDSkeleton* skeleton);
    NxCCDSkeleton* getCCDSkeleton() const { return skeleton_; }

    const NxMat34& getLocalPose() const { return localPose_; }
    NxMat34 getGlobalPose() const;

    // Primitive sizes: box half extents; sphere and capsule radius; capsule height.
    NxVec3 getDimensions() const { return dimensions_; }
    NxReal getRadius() const { return radius_; }
    NxReal getHeight() const { return height_; }
    NxTriangleMesh* getTriangleMesh() const { return mesh_; }

    NxReal getMass() const { return mass_; }
    NxReal getDensity() const { return density_; }
    NxReal volume() const;

    void setName(const char* name) { name_ = name ? name : ""; }
    const char* getName() const { return name_.c_str(); }
    void* userData = nullptr;

    // Internal to the layer.
    btCollisionShape* bulletShape() const { return shape_; }
    btCollisionObject* triggerObject() const { return trigger_; }
    void setTriggerObject(btCollisionObject* object) { trigger_ = object; }
    void releaseBullet();  // frees the Bullet side when the actor is released
    // The radius of the sphere Bullet sweeps for this shape's continuous collision.
    NxReal sweptSphereRadius() const;

private:
    void setFlagBits(NxU32 flags);

    NxActor* actor_;
    NxShapeType type_;
    NxCollisionGroup group_;
    NxMaterialIndex material_;
    NxU32 flags_;
    NxMat34 localPose_;
    NxVec3 dimensions_;
    NxReal radius_ = 0, height_ = 0;
    NxReal mass_, density_;
    NxTriangleMesh* mesh_ = nullptr;
    NxCCDSkeleton* skeleton_ = nullptr;
    btCollisionShape* shape_ = nullptr;  // owned unless it is a mesh's shared BVH or hull
    bool ownsShape_ = true;
    btCollisionObject* trigger_ = nullptr;
    std::string name_;
};
