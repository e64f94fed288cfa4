#pragma once
#include "Platform/physics/NxMat34.h"

class NxCCDSkeleton;
class NxTriangleMesh;

struct NxGroupsMask
{
    NxU32 bits0 = 0, bits1 = 0, bits2 = 0, bits3 = 0;
};

// Shape descriptions. Defaults: identity local pose, flags 0x120008 (visualisation, two-way cloth and
// soft-body interaction), group 0, material 0, density 1, mass -1 (from density), skin width -1.
class NxShapeDesc
{
public:
    virtual ~NxShapeDesc() = default;

    NxShapeType getType() const { return m_Type; }
    virtual bool isValid() const { return density > 0 && group < NX_NUM_COLLISION_GROUPS; }

    NxMat34 localPose;
    NxU32 shapeFlags = NX_SF_VISUALIZATION | NX_SF_CLOTH_TWOWAY | NX_SF_SOFTBODY_TWOWAY;
    NxCollisionGroup group = 0;
    NxMaterialIndex materialIndex = 0;
    NxCCDSkeleton* ccdSkeleton = nullptr;
    NxReal density = 1;
    NxReal mass = -1;
    NxReal skinWidth = -1;
    void* userData = nullptr;
    const char* name = nullptr;
    NxGroupsMask groupsMask;
    NxU32 nonInteractingCompartmentTypes = 0;

protected:
    explicit NxShapeDesc(NxShapeType type) : m_Type(type) {}

private:
    NxShapeType m_Type;
};

class NxBoxShapeDesc : public NxShapeDesc
{
public:
    NxBoxShapeDesc() : NxShapeDesc(NX_SHAPE_BOX) {}
    bool isValid() const override
    {
        return NxShapeDesc::isValid() && dimensions.x >= 0 && dimensions.y >= 0 && dimensions.z >= 0;
    }
    NxVec3 dimensions;  // half extents
};

class NxSphereShapeDesc : public NxShapeDesc
{
public:
    NxSphereShapeDesc() : NxShapeDesc(NX_SHAPE_SPHERE) {}
    bool isValid() const override { return NxShapeDesc::isValid() && radius >= 0; }
    NxReal radius = 1;
};

// Capsule along the local y axis; height is the distance between the two hemisphere centres.
class NxCapsuleShapeDesc : public NxShapeDesc
{
public:
    NxCapsuleShapeDesc() : NxShapeDesc(NX_SHAPE_CAPSULE) {}
    bool isValid() const override { return NxShapeDesc::isValid() && radius >= 0 && height >= 0; }
    NxReal radius = 1;
    NxReal height = 1;
    NxU32 flags = 0;
};

class NxTriangleMeshShapeDesc : public NxShapeDesc
{
public:
    NxTriangleMeshShapeDesc() : NxShapeDesc(NX_SHAPE_MESH) {}
    bool isValid() const override { return NxShapeDesc::isValid() && meshData != nullptr; }
    NxTriangleMesh* meshData = nullptr;
    NxU32 meshFlags = 0;
    NxMeshPagingMode meshPagingMode = NX_MESH_PAGING_MANUAL;
};
