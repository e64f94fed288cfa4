#include "Engine/render/WePhysicModel.h"

#include "Engine/foundation/WeFileStream.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeModel.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeCreatePhysics.h"

// Cloth values 1 to 5 are bending, stretching, friction, pressure and density; the block stores them in
// the order 5, 3, 1, 4, 2.
void WePhysicModel::Save(WeFileStream& s) const
{
    const WePhysicsDescription& d = *this;
    s.WriteInt32(Version);
    s.WriteInt32(d.physicsClass);
    s.WriteByte(d.startAsleep ? 1 : 0);
    s.WriteUInt16(d.collisionGroup);
    s.WriteUInt16(d.shapeFlags);
    s.WriteFloat(d.mass);
    s.WriteFloat(d.clothDensity);
    s.WriteFloat(d.clothFriction);
    s.WriteFloat(d.clothBendingStiffness);
    s.WriteFloat(d.clothPressure);
    s.WriteFloat(d.clothStretchingStiffness);
    s.WriteByte(d.gravity ? 1 : 0);
}

bool WePhysicModel::Load(WeFileStream& s)
{
    int32_t version = s.ReadInt32();
    if (version <= 0)
        return false;
    WePhysicsDescription& d = *this;
    d.physicsClass = s.ReadInt32();
    d.startAsleep = s.ReadByte() != 0;
    if (version == 1)
    {
        char ignored[24];
        s.Read(ignored, sizeof(ignored));
    }
    d.collisionGroup = s.ReadUInt16();
    d.shapeFlags = s.ReadUInt16();
    d.mass = s.ReadFloat();
    if (version >= 3)
        d.clothDensity = s.ReadFloat();
    if (version >= 4)
    {
        d.clothFriction = s.ReadFloat();
        d.clothBendingStiffness = s.ReadFloat();
        d.clothPressure = s.ReadFloat();
        d.clothStretchingStiffness = s.ReadFloat();
    }
    if (version >= 5)
        d.gravity = s.ReadByte() != 0;
    return true;
}

WePhysicHandle* WePhysicModel::CreatePhysics(WeActor* owner) const
{
    if (!owner)
        return nullptr;
    WePhysicsOwnerState state;
    state.editorMode = owner->m_EditorMode;
    state.worldMatrix = owner->GetWorldMatrix();
    state.ownerRadius = owner->m_BoundingSphere.radius;
    if (owner->m_Model && owner->m_Model->m_Mesh && owner->m_Model->m_Mesh->m_Mesh)
        state.mesh = owner->m_Model->m_Mesh;
    return WeCreatePhysics(owner, *this, state);
}
