#include "Platform/physics/NxShape.h"

#include <algorithm>

#include "Platform/physics/NxActor.h"
#include "Platform/physics/NxBulletWorld.h"
#include "Platform/physics/NxCCDSkeleton.h"
#include "Platform/physics/NxScene.h"
#include "Platform/physics/NxShapeDesc.h"
#include "Platform/physics/NxTriangleMesh.h"

NxShape::NxShape(NxActor* actor, const NxShapeDesc& desc, bool dynamicActor)
    : m_Actor(actor), m_Type(desc.getType()), m_Group(desc.group < NX_NUM_COLLISION_GROUPS ? desc.group : 0),
      m_Material(desc.materialIndex), m_Flags(desc.shapeFlags), m_LocalPose(desc.localPose), m_Mass(desc.mass),
      m_Density(desc.density), m_Name(desc.name ? desc.name : "")
{
    // Shapes are made in the program's own order: the count orders them the same way in every run.
    static NxU32 made = 0;
    m_Serial = ++made;
    userData = desc.userData;
    switch (m_Type)
    {
    case NX_SHAPE_BOX:
    {
        m_Dimensions = static_cast<const NxBoxShapeDesc&>(desc).dimensions;
        m_Shape = new btBoxShape(btVector3(m_Dimensions.x, m_Dimensions.y, m_Dimensions.z));
        break;
    }
    case NX_SHAPE_SPHERE:
        m_Radius = static_cast<const NxSphereShapeDesc&>(desc).radius;
        m_Shape = new btSphereShape(m_Radius);
        break;
    case NX_SHAPE_CAPSULE:
    {
        const auto& c = static_cast<const NxCapsuleShapeDesc&>(desc);
        m_Radius = c.radius;
        m_Height = c.height;
        m_Shape = new btCapsuleShape(m_Radius, m_Height);
        break;
    }
    case NX_SHAPE_MESH:
        m_Mesh = static_cast<const NxTriangleMeshShapeDesc&>(desc).meshData;
        m_Mesh->addReference();
        m_Shape = dynamicActor ? m_Mesh->bulletHull() : static_cast<btCollisionShape*>(m_Mesh->bulletMesh());
        m_OwnsShape = false;
        break;
    default:
        // Only the shapes above can be described; anything else becomes an empty stand-in.
        m_Shape = new btEmptyShape();
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
    if (m_OwnsShape && m_Shape)
    {
        if (m_Actor)
            m_Actor->getScene().forgetShape(m_Shape);
        delete m_Shape;
    }
    m_Shape = nullptr;
    m_OwnsShape = false;
    if (m_Mesh)
        m_Mesh->removeReference();
    m_Mesh = nullptr;
    if (m_Skeleton)
        m_Skeleton->removeReference();
    m_Skeleton = nullptr;
}

void NxShape::setGroup(NxCollisionGroup group)
{
    if (group >= NX_NUM_COLLISION_GROUPS || group == m_Group)
        return;
    m_Group = group;
    if (m_Actor && !m_Actor->isReleased())
        m_Actor->getScene().markFiltersDirty(m_Actor);
}

void NxShape::setFlagBits(NxU32 flags)
{
    const NxU32 old = m_Flags;
    m_Flags = flags;
    if (!m_Actor || m_Actor->isReleased())
        return;
    if (((old ^ flags) & NX_TRIGGER_ENABLE) && ((old & NX_TRIGGER_ENABLE) == 0 || (flags & NX_TRIGGER_ENABLE) == 0))
        m_Actor->rebuildCollision();
    else if ((old ^ flags) & NX_SF_DISABLE_COLLISION)
        m_Actor->getScene().markFiltersDirty(m_Actor);
}

void NxShape::setCCDSkeleton(NxCCDSkeleton* skeleton)
{
    if (skeleton == m_Skeleton)
        return;
    if (m_Skeleton)
        m_Skeleton->removeReference();
    m_Skeleton = skeleton;
    if (m_Skeleton)
        m_Skeleton->addReference();
    if (m_Actor && !m_Actor->isReleased())
        m_Actor->refreshCCD();
}

NxMat34 NxShape::getGlobalPose() const
{
    if (!m_Actor)
        return m_LocalPose;
    return m_Actor->getGlobalPose() * m_LocalPose;
}

NxReal NxShape::volume() const
{
    switch (m_Type)
    {
    case NX_SHAPE_BOX: return 8.0f * m_Dimensions.x * m_Dimensions.y * m_Dimensions.z;
    case NX_SHAPE_SPHERE: return 4.18879f * m_Radius * m_Radius * m_Radius;
    case NX_SHAPE_CAPSULE:
        return 3.14159265f * m_Radius * m_Radius * m_Height + 4.18879f * m_Radius * m_Radius * m_Radius;
    case NX_SHAPE_MESH:
    {
        if (!m_Shape)
            return 0;
        btVector3 lo, hi;
        m_Shape->getAabb(btTransform::getIdentity(), lo, hi);
        const btVector3 d = hi - lo;
        return d.x() * d.y() * d.z();
    }
    default: return 0;
    }
}

NxReal NxShape::sweptSphereRadius() const
{
    if (m_Skeleton && m_Skeleton->sweptSphereRadius() > 0)
        return m_Skeleton->sweptSphereRadius();
    switch (m_Type)
    {
    case NX_SHAPE_BOX: return std::min({m_Dimensions.x, m_Dimensions.y, m_Dimensions.z});
    case NX_SHAPE_SPHERE:
    case NX_SHAPE_CAPSULE: return m_Radius;
    default:
    {
        if (!m_Shape)
            return 0;
        btVector3 lo, hi;
        m_Shape->getAabb(btTransform::getIdentity(), lo, hi);
        const btVector3 d = (hi - lo) * 0.5f;
        return std::min({d.x(), d.y(), d.z()});
    }
    }
}
