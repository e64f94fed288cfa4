#include "Platform/physics/NxTriangleMesh.h"

#include <btBulletCollisionCommon.h>

#include "Platform/physics/NxCookedFormat.h"
#include "Platform/physics/NxStream.h"

NxTriangleMesh::~NxTriangleMesh() {
  delete hull_;
  delete bvh_;
  delete arrays_;
}

NxTriangleMesh* NxTriangleMesh::load(const NxStream& stream) {
  if (stream.readDword() != NxCookedFormat::kTriangleMeshTag) return nullptr;
  const NxU32 nv = stream.readDword();
  const NxU32 nt = stream.readDword();
  if (nv == 0 || nt == 0 || nv > NxCookedFormat::kMaxCount || nt > NxCookedFormat::kMaxCount) return nullptr;
  NxTriangleMesh* mesh = new NxTriangleMesh();
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
  mesh->arrays_ = new btTriangleIndexVertexArray(static_cast<int>(nt), reinterpret_cast<int*>(mesh->indices_.data()),
                                                 12, static_cast<int>(nv), &mesh->vertices_[0].x, 12);
  mesh->bvh_ = new btBvhTriangleMeshShape(mesh->arrays_, true, true);
  return mesh;
}

btCollisionShape* NxTriangleMesh::bulletHull() {
  if (!hull_) {
    auto* hull = new btConvexHullShape(&vertices_[0].x, static_cast<int>(vertices_.size()), sizeof(NxVec3));
    hull->optimizeConvexHull();
    hull_ = hull;
  }
  return hull_;
}
