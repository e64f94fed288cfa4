#pragma once
#include "Engine/foundation/WeString.h"
#include "Platform/physics/NxActorDesc.h"
#include "Platform/physics/NxShapeDesc.h"

class WeMesh;

// One cooked triangle mesh, shared by every body made from the render mesh of that name.
class WeTriangleMeshShape
{
public:
    WeTriangleMeshShape();
    ~WeTriangleMeshShape();
    WeTriangleMeshShape(const WeTriangleMeshShape&) = delete;
    WeTriangleMeshShape& operator=(const WeTriangleMeshShape&) = delete;

    // Takes the mesh's name, cooks its vertex and index buffers (16- or 32-bit indices, as the mesh has
    // them) and creates the SDK mesh; false without a mesh, its geometry or the SDK, or when cooking fails.
    bool Cook(WeMesh* mesh);

    NxActorDesc m_ActorDesc;
    NxTriangleMeshShapeDesc m_ShapeDesc;
    WeString m_Name;
};
