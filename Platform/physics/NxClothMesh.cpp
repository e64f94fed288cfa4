#include "Platform/physics/NxClothMesh.h"

#include "Platform/physics/NxCookedFormat.h"

NxClothMesh* NxClothMesh::load(const NxStream& stream)
{
    NxClothMesh* mesh = new NxClothMesh();
    if (!NxCookedFormat::readMesh(stream, NxCookedFormat::ClothMeshTag, &mesh->m_Vertices, &mesh->m_Indices))
    {
        delete mesh;
        return nullptr;
    }
    return mesh;
}
