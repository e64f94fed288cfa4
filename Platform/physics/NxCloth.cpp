#include "Platform/physics/NxCloth.h"

#include <BulletCollision/NarrowPhaseCollision/btGjkEpa2.h>
#include <BulletSoftBody/btSoftBodyHelpers.h>

#include <cstring>
#include <vector>

#include "Platform/physics/NxActor.h"
#include "Platform/physics/NxBulletPose.h"
#include "Platform/physics/NxBulletWorld.h"
#include "Platform/physics/NxClothMesh.h"
#include "Platform/physics/NxScene.h"
#include "Platform/physics/NxShape.h"

NxCloth::NxCloth(NxScene* scene, const NxClothDesc& desc)
    : m_Scene(scene), m_Mesh(desc.clothMesh), m_MeshData(desc.meshData), m_Group(desc.collisionGroup),
      m_Flags(desc.flags), m_ExternalAcceleration(desc.externalAcceleration)
{
    userData = desc.userData;
    const std::vector<NxVec3>& points = m_Mesh->vertices();
    const std::vector<NxU32>& indices = m_Mesh->indices();
    std::vector<btScalar> positions;
    positions.reserve(points.size() * 3);
    for (const NxVec3& p : points)
    {
        const NxVec3 w = desc.globalPose * p;
        positions.insert(positions.end(), {w.x, w.y, w.z});
    }
    std::vector<int> triangles(indices.begin(), indices.end());
    NxBulletWorld* world = m_Scene->bulletWorld();
    m_Body = btSoftBodyHelpers::CreateFromTriMesh(world->softInfo(), positions.data(), triangles.data(),
                                                  static_cast<int>(triangles.size() / 3), false);
    if (!m_Body)
        return;
    btSoftBody::Material* material = m_Body->m_materials[0];
    material->m_kLST = btClamped<btScalar>(desc.stretchingStiffness, 0, 1);
    if (m_Flags & NX_CLF_BENDING)
    {
        btSoftBody::Material* bending = m_Body->appendMaterial();
        bending->m_kLST = btClamped<btScalar>(desc.bendingStiffness, 0, 1);
        m_Body->generateBendingConstraints(2, bending);
    }
    m_Body->m_cfg.kDP = (m_Flags & NX_CLF_DAMPING) ? btClamped<btScalar>(desc.dampingCoefficient, 0, 1) : 0;
    m_Body->m_cfg.kDF = btClamped<btScalar>(desc.friction, 0, 1);
    m_Body->m_cfg.kCHR = btClamped<btScalar>(desc.collisionResponseCoefficient > 0 ? 1 : 0, 0, 1);
    m_Body->m_cfg.piterations = static_cast<int>(desc.solverIterations > 0 ? desc.solverIterations : 1);
    m_Body->m_cfg.collisions = btSoftBody::fCollision::SDF_RS | btSoftBody::fCollision::VF_SS;
    if (desc.thickness > 0)
        m_Body->getCollisionShape()->setMargin(desc.thickness);
    // Density is mass per unit of area.
    btScalar area = 0;
    for (int i = 0; i < m_Body->m_faces.size(); ++i)
    {
        const btSoftBody::Face& f = m_Body->m_faces[i];
        area += 0.5f * (f.m_n[1]->m_x - f.m_n[0]->m_x).cross(f.m_n[2]->m_x - f.m_n[0]->m_x).length();
    }
    m_Body->setTotalMass(std::max<btScalar>(area * desc.density, 1e-3f), true);
    m_Body->setUserIndex(NX_BT_CLOTH);
    m_Body->setUserPointer(this);
    world->addSoftBody(m_Body);
    m_Mesh->addReference();
    writeMeshData();
}

NxCloth::~NxCloth()
{
    release();
}

void NxCloth::release()
{
    if (m_Released)
        return;
    m_Released = true;
    if (m_Body)
    {
        m_Scene->bulletWorld()->removeSoftBody(m_Body);
        delete m_Body;
        m_Body = nullptr;
    }
    if (m_Mesh)
        m_Mesh->removeReference();
    m_Mesh = nullptr;
}

void NxCloth::setGroup(NxCollisionGroup group)
{
    if (m_Released || group >= NX_NUM_COLLISION_GROUPS)
        return;
    m_Group = group;
    m_Scene->markFiltersDirty();
}

void NxCloth::putToSleep()
{
    if (m_Body)
        m_Body->forceActivationState(ISLAND_SLEEPING);
}

void NxCloth::wakeUp(NxReal)
{
    if (m_Body)
        m_Body->forceActivationState(ACTIVE_TAG);
}

bool NxCloth::isSleeping() const
{
    return m_Body && m_Body->getActivationState() == ISLAND_SLEEPING;
}

NxU32 NxCloth::getNumberOfParticles() const
{
    return m_Body ? static_cast<NxU32>(m_Body->m_nodes.size()) : 0;
}

NxVec3 NxCloth::getPosition(NxU32 particle) const
{
    if (!m_Body || particle >= static_cast<NxU32>(m_Body->m_nodes.size()))
        return NxVec3();
    return NxFromBullet(m_Body->m_nodes[static_cast<int>(particle)].m_x);
}

void NxCloth::attachToCollidingShapes(NxU32 attachmentFlags)
{
    if (!m_Body)
        return;
    const btScalar margin = m_Body->getCollisionShape()->getMargin();
    NxScene& scene = *m_Scene;
    for (NxU32 a = 0; a < scene.getNbActors(); ++a)
    {
        NxActor* actor = scene.getActors()[a];
        if (!scene.clothMayTouch(*this, *actor) || !actor->bulletBody())
            continue;
        for (NxU32 s = 0; s < actor->getNbShapes(); ++s)
        {
            NxShape* shape = actor->getShapes()[s];
            if (shape->isTrigger() || !shape->bulletShape() || !shape->bulletShape()->isConvex())
                continue;
            if (!scene.getGroupCollisionFlag(m_Group, shape->getGroup()))
                continue;
            const btTransform pose = actor->bulletBody()->getWorldTransform() * NxToBullet(shape->getLocalPose());
            const auto* convex = static_cast<const btConvexShape*>(shape->bulletShape());
            for (int n = 0; n < m_Body->m_nodes.size(); ++n)
            {
                btGjkEpaSolver2::sResults results;
                const btScalar d = btGjkEpaSolver2::SignedDistance(m_Body->m_nodes[n].m_x, 0, convex, pose, results);
                if (d <= margin)
                    m_Body->appendAnchor(n, actor->bulletBody(), false,
                                         (attachmentFlags & NX_CLOTH_ATTACHMENT_TWOWAY) ? 1.0f : 0.0f);
            }
        }
    }
}

void NxCloth::replaceAnchorBody(const btRigidBody* old, btRigidBody* replacement)
{
    if (!m_Body || !old)
        return;
    btAlignedObjectArray<btSoftBody::Anchor>& anchors = m_Body->m_anchors;
    bool removed = false;
    for (int i = anchors.size() - 1; i >= 0; --i)
    {
        if (anchors[i].m_body != old)
            continue;
        if (replacement)
        {
            anchors[i].m_body = replacement;
        }
        else
        {
            anchors.removeAtIndex(i);
            removed = true;
        }
    }
    if (!removed)
        return;
    for (int n = 0; n < m_Body->m_nodes.size(); ++n)
        m_Body->m_nodes[n].m_battach = 0;
    for (int i = 0; i < anchors.size(); ++i)
        anchors[i].m_node->m_battach = 1;
}

void NxCloth::beginSubStep(NxReal h)
{
    if (!m_Body || isSleeping())
        return;
    NxVec3 a = m_ExternalAcceleration;
    if (!(m_Flags & NX_CLF_GRAVITY))
    {
        // Bullet pulls every soft body down; cancel it for a cloth that asks for no gravity.
        NxVec3 g;
        m_Scene->getGravity(g);
        a -= g;
    }
    if (!a.isZero())
        m_Body->addVelocity(NxToBullet(a * h));
}

void NxCloth::writeMeshData()
{
    if (!m_Body)
        return;
    m_Body->updateNormals();
    const NxMeshData& md = m_MeshData;
    const NxU32 nodes = static_cast<NxU32>(m_Body->m_nodes.size());
    const NxU32 nv = std::min(nodes, md.maxVertices);
    for (NxU32 i = 0; i < nv; ++i)
    {
        const btSoftBody::Node& node = m_Body->m_nodes[static_cast<int>(i)];
        if (md.verticesPosBegin)
        {
            const float p[3] = {node.m_x.x(), node.m_x.y(), node.m_x.z()};
            std::memcpy(static_cast<NxU8*>(md.verticesPosBegin) + size_t(i) * md.verticesPosByteStride, p, sizeof p);
        }
        if (md.verticesNormalBegin)
        {
            const float n[3] = {node.m_n.x(), node.m_n.y(), node.m_n.z()};
            std::memcpy(static_cast<NxU8*>(md.verticesNormalBegin) + size_t(i) * md.verticesNormalByteStride, n,
                        sizeof n);
        }
    }
    if (md.numVerticesPtr)
        *md.numVerticesPtr = nv;
    NxU32 ni = 0;
    const btSoftBody::Node* base = &m_Body->m_nodes[0];
    for (int f = 0; f < m_Body->m_faces.size() && ni + 3 <= md.maxIndices; ++f)
    {
        for (int k = 0; k < 3; ++k, ++ni)
        {
            const NxU32 index = static_cast<NxU32>(m_Body->m_faces[f].m_n[k] - base);
            if (!md.indicesBegin)
                continue;
            NxU8* dst = static_cast<NxU8*>(md.indicesBegin) + size_t(ni) * md.indicesByteStride;
            if (md.flags & NX_MDF_16_BIT_INDICES)
            {
                const NxU16 v = static_cast<NxU16>(index);
                std::memcpy(dst, &v, 2);
            }
            else
            {
                std::memcpy(dst, &index, 4);
            }
        }
    }
    if (md.numIndicesPtr)
        *md.numIndicesPtr = ni;
}
