#pragma once
#include "Platform/physics/NxBounds3.h"
#include "Platform/physics/NxMat34.h"
#include "Platform/physics/NxShapeDesc.h"

class NxClothMesh;

// Receive buffers the cloth writes after every step: positions and normals (strided), the vertex
// count, the triangle indices (u32 unless NX_MDF_16_BIT_INDICES) and the index count.
enum NxMeshDataFlags
{
    NX_MDF_16_BIT_INDICES = 1 << 0
};
class NxMeshData
{
public:
    void* verticesPosBegin = nullptr;
    void* verticesNormalBegin = nullptr;
    NxI32 verticesPosByteStride = 0;
    NxI32 verticesNormalByteStride = 0;
    NxU32 maxVertices = 0;
    NxU32* numVerticesPtr = nullptr;
    void* indicesBegin = nullptr;
    NxI32 indicesByteStride = 0;
    NxU32 maxIndices = 0;
    NxU32* numIndicesPtr = nullptr;
    void* parentIndicesBegin = nullptr;
    NxI32 parentIndicesByteStride = 0;
    NxU32 maxParentIndices = 0;
    NxU32* numParentIndicesPtr = nullptr;
    NxU32* dirtyBufferFlagsPtr = nullptr;
    NxU32 flags = 0;
    const char* name = nullptr;

    void setToDefault() { *this = NxMeshData(); }
};

// A cloth, simulated as a Bullet soft body. Tearing, pressure, wind and fluid coupling are not
// simulated: their fields are accepted and ignored.
class NxClothDesc
{
public:
    NxClothMesh* clothMesh = nullptr;
    NxMat34 globalPose;
    NxReal thickness = 0.01f;
    NxReal density = 1;
    NxReal bendingStiffness = 1;
    NxReal stretchingStiffness = 1;
    NxReal dampingCoefficient = 0.5f;
    NxReal friction = 0.5f;
    NxReal pressure = 1;
    NxReal tearFactor = 1.5f;
    NxReal collisionResponseCoefficient = 0.2f;
    NxReal attachmentResponseCoefficient = 0.2f;
    NxReal attachmentTearFactor = 1.5f;
    NxReal toFluidResponseCoefficient = 1;
    NxReal fromFluidResponseCoefficient = 1;
    NxReal minAdhereVelocity = 1;
    NxU32 solverIterations = 5;
    NxVec3 externalAcceleration;
    NxVec3 windAcceleration;
    NxReal wakeUpCounter = 0.4f;
    NxReal sleepLinearVelocity = -1;
    NxMeshData meshData;
    NxCollisionGroup collisionGroup = 0;
    NxGroupsMask groupsMask;
    NxU16 forceFieldMaterial = 0;
    NxBounds3 validBounds;
    NxReal relativeGridSpacing = 0.25f;
    NxU32 flags = NX_CLF_GRAVITY;
    void* userData = nullptr;
    const char* name = nullptr;
    void* compartment = nullptr;

    void setToDefault() { *this = NxClothDesc(); }
    bool isValid() const { return clothMesh != nullptr && thickness >= 0 && density > 0 && collisionGroup < 32; }
};
