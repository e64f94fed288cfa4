#pragma once
#include "Engine/foundation/WeString.h"
#include "Platform/physics/NxActorDesc.h"
#include "Platform/physics/NxShapeDesc.h"

class ID3DXMesh;

// One cooked triangle mesh, shared by every body made from the render mesh of that name.
class WeTriangleMeshShape
{
public:
    WeTriangleMeshShape();
    ~WeTriangleMeshShape();
    WeTriangleMeshShape(const WeTriangleMeshShape&) = delete;
    WeTriangleMeshShape& operator=(const WeTriangleMeshShape&) = delete;

    // Cooks the mesh's vertex and index buffers (16- or 32-bit indices, as the mesh has them) and
    // creates the SDK mesh; false without a mesh or SDK, or when cooking fails.
    bool Cook(const WeString& name, ID3DXMesh* mesh);

    NxActorDesc m_ActorDesc;
    NxTriangleMeshShapeDesc m_ShapeDesc;
    WeString m_Name;
};
