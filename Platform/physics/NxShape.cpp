#include "Platform/physics/NxShape.h"

#include <algorithm>

#include "Platform/physics/NxActor.h"
#include "Platform/physics/NxBulletWorld.h"
#include "Platform/physics/NxCCDSkeleton.h"
#include "Platform/physics/NxScene.h"
#include "Platform/physics/NxShapeDesc.h"
#include "Platform/physics/NxTriangleMesh.h"

NxShape::NxShape(NxActor* actor, const NxShapeDesc& desc, bool dynamicActor)
    : actor_(actor), type_(desc.getType()), group_(desc.group < NX_NUM_COLLISION_GROUPS ? desc.group : 0),
      material_(desc.materialIndex), flags_(desc.shapeFlags), localPose_(desc.localPose), mass_(desc.mass),
      density_(desc.density), name_(desc.name ? desc.name : "")
{
    userData = desc.userData;
    switch (type_)
    {
    case NX_SHAPE_BOX:
    {
        dimensions_ = static_cast<const NxBoxShapeDesc&>(desc).dimensions;
        shape_ = new btBoxShape(btVector3(dimensions_.x, dimensions_.y, dimensions_.z));
        break;
    }
    case NX_SHAPE_SPHERE:
        radius_ = static_cast<const NxSphereShapeDesc&>(desc).radius;
        shape_ = new btSphereShape(radius_);
        break;
    case NX_SHAPE_CAPSULE:
    {
        const auto& c = static_cast<const NxCapsuleShapeDesc&>(desc);
        radius_ = c.radius;
        height_ = c.height;
        shape_ = new btCapsuleShape(radius_, height_);
        break;
    }
    case NX_SHAPE_MESH:
        mesh_ = static_cast<const NxTriangleMeshShapeDesc&>(desc).meshData;
        mesh_->addReference();
        shape_ = dynamicActor ? mesh_->bulletHull() : static_cast<btCollisionShape*>(mesh_->bulletMesh());
        ownsShape_ = false;
        break;
    default:
        // Only the shapes above can be described; anything else becomes an empty stand-in.
        shape_ = new btEmptyShape();
        break;
    }
    if (desc.ccdSkeleton)
        setCCDSkeleton(desc.ccdSkeleton);
}

NxShape::~NxShape()
{
    releaseBullet();
}

void NxShape::releaseBullet()
{
    if (ownsShape_ && shape_)
    {
        if (actor_)
            actor_->getScene().forgetShape(shape_);
        delete shape_;
    }
    shape_ = nullptr;
    ownsShape_ = false;
    if (mesh_)
        mesh_->removeReference();
    mesh_ = nullptr;
    if (skeleton_)
        skeleton_->removeReference();
    skeleton_ = nullptr;
}

void NxShape::setGroup(NxCollisionGroup group)
{
    if (group >= NX_NUM_COLLISION_GROUPS || group == group_)
        return;
    group_ = group;
    if (actor_ && !actor_->isReleased())
        actor_->getScene().markFiltersDirty(actor_);
}

void NxShape::setFlagBits(NxU32 flags)
{
    const NxU32 old = flags_;
    flags_ = flags;
    if (!actor_ || actor_->isReleased())
        return;
    if (((old ^ flags) & NX_TRIGGER_ENABLE) && ((old & NX_TRIGGER_ENABLE) == 0 || (flags & NX_TRIGGER_ENABLE) == 0))
        actor_->rebuildCollision();
    else if ((old ^ flags) & NX_SF_DISABLE_COLLISION)
        actor_->getScene().markFiltersDirty(actor_);
}

void NxShape::setCCDSkeleton(NxCCDSkeleton* skeleton)
{
    if (skeleton == skeleton_)
        return;
    if (skeleton_)
        skeleton_->removeReference();
    skeleton_ = skeleton;
    if (skeleton_)
        skeleton_->addReference();
    if (actor_ && !actor_->isReleased())
        actor_->refreshCCD();
}

NxMat34 NxShape::getGlobalPose() const
{
    if (!actor_)
        return localPose_;
    return actor_->getGlobalPose() * localPose_;
}

NxReal NxShape::volume() const
{
    switch (type_)
    {
    case NX_SHAPE_BOX: return 8.0f * dimensions_.x * dimensions_.y * dimensions_.z;
    case NX_SHAPE_SPHERE: return 4.18879f * radius_ * radius_ * radius_;
    case NX_SHAPE_CAPSULE: return 3.14159265f * radius_ * radius_ * height_ + 4.18879f * radius_ * radius_ * radius_;
    case NX_SHAPE_MESH:
    {
        if (!shape_)
            return 0;
        btVector3 lo, hi;
        shape_->getAabb(btTransform::getIdentity(), lo, hi);
        const btVector3 d = hi - lo;
        return d.x() * d.y() * d.z();
    }
    default: return 0;
    }
}

NxReal NxShape::sweptSphereRadius() const
{
    if (skeleton_ && skeleton_->sweptSphereRadius() > 0)
        return skeleton_->sweptSphereRadius();
    switch (type_)
    {
    case NX_SHAPE_BOX: return std::min({dimensions_.x, dimensions_.y, dimensions_.z});
    case NX_SHAPE_SPHERE:
    case NX_SHAPE_CAPSULE: return radius_;
    default:
    {
        if (!shape_)
            return 0;
        btVector3 lo, hi;
        shape_->getAabb(btTransform::getIdentity(), lo, hi);
        const btVector3 d = (hi - lo) * 0.5f;
        return std::min({d.x(), d.y(), d.z()});
    }
    }
}
