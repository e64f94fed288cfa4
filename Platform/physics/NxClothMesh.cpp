#include "Platform/physics/NxClothMesh.h"

#include "Platform/physics/NxCookedFormat.h"

NxClothMesh* NxClothMesh::load(const NxStream& stream)
{
    NxClothMesh* mesh = new NxClothMesh();
    if (!NxCookedFormat::readMesh(stream, NxCookedFormat::kClothMeshTag, &mesh->vertices_, &mesh->indices_))
    {
        delete mesh;
        return nullptr;
    }
    return mesh;
}
