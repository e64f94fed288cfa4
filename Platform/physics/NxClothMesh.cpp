#include "Platform/physics/NxClothMesh.h"

#include "Platform/physics/NxCookedFormat.h"
#include "Platform/physics/NxStream.h"

NxClothMesh* NxClothMesh::load(const NxStream& stream) {
  if (stream.readDword() != NxCookedFormat::kClothMeshTag) return nullptr;
  const NxU32 nv = stream.readDword();
  const NxU32 nt = stream.readDword();
  if (nv == 0 || nt == 0 || nv > NxCookedFormat::kMaxCount || nt > NxCookedFormat::kMaxCount) return nullptr;
  NxClothMesh* mesh = new NxClothMesh();
  mesh->vertices_.resize(nv);
  stream.readBuffer(mesh->vertices_.data(), nv * 12);
  mesh->indices_.resize(size_t(nt) * 3);
  stream.readBuffer(mesh->indices_.data(), nt * 12);
  for (NxU32 i : mesh->indices_) {
    if (i >= nv) {
      delete mesh;
      return nullptr;
    }
  }
  return mesh;
}
