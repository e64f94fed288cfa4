#include "Engine/world/WeActor.h"

#include <cmath>
#include <cstring>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/render/WePhysicModel.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/runtime/WeSound3D.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WeWorld.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/math/D3DXQuaternionFunctions.h"
#include "Platform/math/D3DXVectorFunctions.h"

namespace
{

D3DXMATRIX Identity()
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

float CleanNaN(float value, float replacement)
{
    return std::isnan(value) ? replacement : value;
}

D3DXVECTOR3 CleanNaN(const D3DXVECTOR3& v)
{
    return D3DXVECTOR3(CleanNaN(v.x, 0.0f), CleanNaN(v.y, 0.0f), CleanNaN(v.z, 0.0f));
}

D3DXVECTOR3 Row(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

void SetRow(D3DXMATRIX& m, int row, const D3DXVECTOR3& v)
{
    m.m[row][0] = v.x;
    m.m[row][1] = v.y;
    m.m[row][2] = v.z;
}

void SkipBytes(WeFileStream& stream, int count)
{
    for (int i = 0; i < count; ++i)
        stream.ReadByte();
}

constexpr uint32_t NoLifeTimeBits = 0x4996B43Fu;

}  // namespace

WeActor::WeActor()
{
    m_InitialModelMatrix = Identity();
    m_LocalMatrix = Identity();
    m_WorldMatrix = Identity();
    m_FixedMatrix = Identity();
    m_TeleportTargetMatrix = Identity();
    m_RenderMatrices[0] = Identity();
    m_RenderMatrices[1] = Identity();
    m_Scale = D3DXVECTOR3(1.0f, 1.0f, 1.0f);
    m_WorldMatrixInUse = &m_LocalMatrix;
    m_RenderMatrix = m_WorldMatrixInUse;
}

WeActor::~WeActor()
{
    StopSound();
    if (m_World)
        m_World->RemoveActor(this);
    ReleasePhysicsHandle();
    delete m_Model;
    m_Model = nullptr;
}

void WeActor::Expire()
{
    MarkForDeletion();
}

WeString WeActor::GetName()
{
    WeString name("#");
    name.AppendInt(m_Number);
    return name;
}

void WeActor::UpdateMatrices()
{
    if (m_Parent)
    {
        D3DXMatrixMultiply(&m_WorldMatrix, &m_LocalMatrix, &m_Parent->GetWorldMatrix());
        m_WorldMatrixInUse = &m_WorldMatrix;
    }
    else if (m_Detached)
    {
        D3DXMatrixMultiply(&m_WorldMatrix, &m_LocalMatrix, &m_FixedMatrix);
        m_WorldMatrixInUse = &m_WorldMatrix;
    }
    else
        m_WorldMatrixInUse = &m_LocalMatrix;

    if (m_NonUnitScale)
    {
        D3DXMATRIX& scaled = m_RenderMatrices[m_RenderBufferIndex & 1];
        scaled = *m_WorldMatrixInUse;
        const float s[3] = {m_Scale.x, m_Scale.y, m_Scale.z};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                scaled.m[r][c] *= s[r];
        m_RenderMatrix = &scaled;
    }
    else
        m_RenderMatrix = m_WorldMatrixInUse;
}

void WeActor::SetLocation(const D3DXVECTOR3& position)
{
    m_LocalMatrix._41 = position.x;
    m_LocalMatrix._42 = position.y;
    m_LocalMatrix._43 = position.z;
    UpdateMatrices();
    if (!m_Static)
    {
        m_PositionChanged = true;
        m_OrientationChanged = false;
    }
    m_TransformChanged = true;
}

void WeActor::SetOrientation(const D3DXMATRIX& orientation)
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m_LocalMatrix.m[r][c] = orientation.m[r][c];
    UpdateMatrices();
    if (!m_Static)
    {
        m_PositionChanged = false;
        m_OrientationChanged = true;
    }
    m_TransformChanged = true;
}

void WeActor::SetLocationAndOrientation(const D3DXVECTOR3& position, const D3DXMATRIX& orientation)
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m_LocalMatrix.m[r][c] = orientation.m[r][c];
    m_LocalMatrix._41 = position.x;
    m_LocalMatrix._42 = position.y;
    m_LocalMatrix._43 = position.z;
    UpdateMatrices();
    if (!m_Static)
        m_PositionChanged = m_OrientationChanged = true;
    m_TransformChanged = true;
}

void WeActor::SetTransform(const D3DXMATRIX& transform)
{
    m_LocalMatrix = transform;
    UpdateMatrices();
    if (!m_Static)
        m_PositionChanged = m_OrientationChanged = true;
    m_TransformChanged = true;
}

void WeActor::GetOrientation(D3DXMATRIX& out) const
{
    out = *m_WorldMatrixInUse;
    out._41 = out._42 = out._43 = 0.0f;
    out._14 = out._24 = out._34 = 0.0f;
    out._44 = 1.0f;
}

void WeActor::SetScaling(const D3DXVECTOR3& scale)
{
    m_Scale = scale;
    m_NonUnitScale = std::fabs(scale.x - 1.0f) + std::fabs(scale.y - 1.0f) + std::fabs(scale.z - 1.0f) > 0.0001f;
    UpdateMatrices();
}

void WeActor::SetLinearVelocity(const D3DXVECTOR3& velocity)
{
    m_PendingLinearVelocity = velocity;
    m_LinearVelocityChanged = true;
}

void WeActor::SetAngularVelocity(const D3DXVECTOR3& velocity)
{
    m_PendingAngularVelocity = velocity;
    m_AngularVelocityChanged = true;
}

void WeActor::SetCollisionEnabled(bool enabled)
{
    if (m_PhysicHandle)
        m_PhysicHandle->SetCollisionEnabled(enabled);
}

void WeActor::SetGravityEnabled(bool enabled)
{
    if (m_PhysicHandle)
        m_PhysicHandle->SetDisableGravity(!enabled);
}

void WeActor::UpdateModelFade(bool visible, float fadeInRate, float fadeOutRate)
{
    if (!m_Model)
        return;
    float& alpha = m_Model->m_Values[3];
    const float dt = g_Timer.m_FrameDeltaF;
    if (visible != m_ModelVisible)
    {
        if (visible)
        {
            // Appearing starts from transparent; the following frames fade it in.
            m_ModelVisible = true;
            alpha = 0.0f;
        }
        else
        {
            alpha -= dt * fadeOutRate;
            if (alpha <= 0.0f)
            {
                alpha = 0.0f;
                m_ModelVisible = false;
            }
        }
    }
    else if (m_ModelVisible && alpha < 1.0f)
    {
        alpha += dt * fadeInRate;
        if (alpha > 1.0f)
            alpha = 1.0f;
    }
}

void WeActor::SetLifeTime(float seconds)
{
    m_LifeTime = seconds;
    if (m_NoLifeTime)
    {
        m_NoLifeTime = false;
        if (m_World)
            m_World->EnterTimed(this);
    }
    if (seconds <= 0.0f)
        MarkForDeletion();
}

void WeActor::MarkForDeletion()
{
    if (m_PendingDeletion)
        return;
    m_PendingDeletion = true;
    // Without a world only the mark is kept; AddActor files the actor as pending.
    if (m_World)
        m_World->EnterPendingDeletion(this);
}

void WeActor::Detach()
{
    if (!m_Parent)
        return;
    m_FixedMatrix = m_Parent->GetWorldMatrix();
    m_Detached = true;
    m_Parent = nullptr;
    UpdateMatrices();
}

void WeActor::SetParent(WeActor* parent)
{
    m_Parent = parent;
    m_Detached = false;
    UpdateMatrices();
}

void WeActor::HandMatrixToModel(bool first)
{
    if (!m_Model)
        return;
    // A hierarchy's frames hang under the render matrix whether or not an animation moves them.
    if (m_Model->m_Kind == WeModel::KindHierarchy)
    {
        m_Model->Update(m_AnimationSpeed, m_RenderMatrix, first);
        return;
    }
    m_Model->m_WorldMatrix = m_RenderMatrix;
    if (first)
        m_Model->m_PrevWorldMatrix = m_RenderMatrix;
}

void WeActor::Init()
{
    if (m_HasModel)
    {
        if (m_Model)
            m_Model->SetPreset(m_ModelPreset);
        else
        {
            const WeString& name = !m_AlternativeModelName.IsEmpty() ? m_AlternativeModelName : m_ModelName;
            if (!name.IsEmpty())
            {
                m_Model = g_ModelManager.Load(name, m_ModelPreset);
                if (!m_Model)
                    WeDebugPrint("MISSING MODEL: %s\n", name.c_str());
            }
        }
    }
    HandMatrixToModel(true);
    UpdateBoundingSphere();
    m_InitialModelMatrix = m_Model ? m_Model->GetWorldMatrix() : Identity();
    m_HasPhysics = m_PhysicModel.physicsClass != WePhysicsNone;
    if (!FixRotation(true))
    {
        HandMatrixToModel(true);
        UpdateBoundingSphere();
    }
    CreatePhysicsHandle();
    if (!m_Static)
        SyncPhysics(false);
    m_FullyStatic = m_PositionFixed && m_OrientationFixed && m_Static && !m_EditorMode;
    if (m_Type == WeActorTypePlain && m_PhysicModel.physicsClass >= 0 && m_PhysicModel.physicsClass <= 4)
    {
        m_PlainStatic = true;
        m_PlainStaticFactor = 1.0f;
    }
    StartSound();
    if (m_World)
        m_World->RegisterActor(this);
}

void WeActor::UpdateBoundingSphere()
{
    if (m_Model)
    {
        // Static map scenery takes its scale into account once and keeps the sphere: Tick leaves it alone.
        const bool animated = m_Model->m_Kind == WeModel::KindHierarchy && m_Model->m_Controller;
        const bool staticMapActor = !m_EditorMode && !animated && m_PhysicModel.physicsClass >= 0 &&
                                    m_PhysicModel.physicsClass <= 4 && m_LoadedFromMap;
        m_Model->UpdateBounds(m_NonUnitScale || staticMapActor);
        if (staticMapActor)
            m_BoundsFrozen = true;
        m_BoundingSphere.center = m_Model->m_SphereCenter;
        m_BoundingSphere.radius = m_Model->m_SphereRadius;
        if (m_RadiusOverride >= 0.0f)
            m_BoundingSphere.radius = m_RadiusOverride;
        return;
    }
    // Without a model: a point at the world position.
    m_BoundingSphere.center = GetWorldPosition();
    m_BoundingSphere.radius = 0.0f;
    if (m_RadiusOverride >= 0.0f)
        m_BoundingSphere.radius = m_RadiusOverride;
}

bool WeActor::FixRotation(bool force)
{
    D3DXMATRIX& m = *m_WorldMatrixInUse;
    D3DXVECTOR3 rows[3] = {Row(m, 0), Row(m, 1), Row(m, 2)};
    bool unit = true;
    for (const D3DXVECTOR3& r : rows)
        if (std::fabs(D3DXVec3Length(&r) - 1.0f) > 0.001f)
            unit = false;
    const float d01 = std::fabs(D3DXVec3Dot(&rows[0], &rows[1]));
    const float d02 = std::fabs(D3DXVec3Dot(&rows[0], &rows[2]));
    const float d12 = std::fabs(D3DXVec3Dot(&rows[1], &rows[2]));
    const bool orthogonal = d01 < 0.001f && d02 < 0.001f && d12 < 0.001f;
    if (unit && orthogonal)
        return true;

    static const bool s_autoFix = GetConfigBool("debug.Physics.AutoFixRotations", false);
    if (!(m_HasPhysics || s_autoFix || force))
        return false;

    for (D3DXVECTOR3& r : rows)
        D3DXVec3Normalize(&r, &r);
    if (!orthogonal)
    {
        if (d12 <= d01 && d12 <= d02)
        {
            D3DXVec3Cross(&rows[0], &rows[1], &rows[2]);
            D3DXVec3Normalize(&rows[0], &rows[0]);
            D3DXVec3Cross(&rows[1], &rows[2], &rows[0]);
            D3DXVec3Normalize(&rows[1], &rows[1]);
        }
        else if (d02 <= d01)
        {
            D3DXVec3Cross(&rows[1], &rows[2], &rows[0]);
            D3DXVec3Normalize(&rows[1], &rows[1]);
            D3DXVec3Cross(&rows[2], &rows[0], &rows[1]);
            D3DXVec3Normalize(&rows[2], &rows[2]);
        }
        else
        {
            D3DXVec3Cross(&rows[2], &rows[0], &rows[1]);
            D3DXVec3Normalize(&rows[2], &rows[2]);
            D3DXVec3Cross(&rows[0], &rows[1], &rows[2]);
            D3DXVec3Normalize(&rows[0], &rows[0]);
        }
    }
    // The world matrix in use is the local one for a free actor; otherwise the local matrix gets the
    // fixed rows so that the next recomputation keeps them.
    for (int r = 0; r < 3; ++r)
    {
        SetRow(m, r, rows[r]);
        if (m_WorldMatrixInUse != &m_LocalMatrix)
            SetRow(m_LocalMatrix, r, rows[r]);
    }
    UpdateMatrices();
    return false;
}

void WeActor::CreatePhysicsHandle()
{
    if (m_PhysicHandle)
        return;
    m_PhysicHandle = m_PhysicModel.CreatePhysics(this);
    m_PendingLinearVelocity = m_PhysicModel.linearVelocity;
    m_PendingAngularVelocity = m_PhysicModel.angularVelocity;
    m_LinearVelocityChanged = m_AngularVelocityChanged = true;
    if (m_PhysicModel.physicsClass == WePhysicsCloth)
        m_RadiusOverride = 0.0f;
}

void WeActor::ReleasePhysicsHandle()
{
    WePhysicHandle* handle = m_PhysicHandle;
    m_PhysicHandle = nullptr;
    delete handle;
}

void WeActor::SyncPhysics(bool pull)
{
    if (!m_PhysicHandle)
        return;
    bool pulled = false;
    D3DXMATRIX& local = m_LocalMatrix;
    if (m_OrientationChanged)
    {
        m_OrientationChanged = false;
        D3DXQUATERNION q;
        D3DXQuaternionRotationMatrix(&q, &local);
        if (!m_HasPhysics)
            D3DXQuaternionNormalize(&q, &q);
        q = D3DXQUATERNION(CleanNaN(q.x, 0.0f), CleanNaN(q.y, 0.0f), CleanNaN(q.z, 0.0f), CleanNaN(q.w, 1.0f));
        m_PhysicHandle->SetOrientationQuat(q);
    }
    else if (pull)
    {
        D3DXQUATERNION q;
        m_PhysicHandle->GetOrientationQuat(q);
        if (!m_HasPhysics)
            D3DXQuaternionNormalize(&q, &q);
        q = D3DXQUATERNION(CleanNaN(q.x, 0.0f), CleanNaN(q.y, 0.0f), CleanNaN(q.z, 0.0f), CleanNaN(q.w, 1.0f));
        D3DXMATRIX rotation;
        D3DXMatrixRotationQuaternion(&rotation, &q);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                local.m[r][c] = rotation.m[r][c];
        pulled = true;
    }
    if (m_PositionChanged)
    {
        m_PositionChanged = false;
        m_PhysicHandle->SetPosition(CleanNaN(D3DXVECTOR3(local._41, local._42, local._43)));
    }
    else if (pull)
    {
        D3DXVECTOR3 p;
        m_PhysicHandle->GetPosition(p);
        p = CleanNaN(p);
        local._41 = p.x;
        local._42 = p.y;
        local._43 = p.z;
        pulled = true;
    }
    if (m_AngularVelocityChanged)
    {
        m_AngularVelocityChanged = false;
        m_PhysicHandle->SetAngularVelocity(CleanNaN(m_PendingAngularVelocity));
    }
    else if (pull)
    {
        m_PhysicHandle->GetAngularVelocity(m_PendingAngularVelocity);
        m_PendingAngularVelocity = CleanNaN(m_PendingAngularVelocity);
        pulled = true;
    }
    if (m_LinearVelocityChanged)
    {
        m_LinearVelocityChanged = false;
        m_PhysicHandle->SetLinearVelocity(CleanNaN(m_PendingLinearVelocity));
    }
    else if (pull)
    {
        m_PhysicHandle->GetLinearVelocity(m_PendingLinearVelocity);
        m_PendingLinearVelocity = CleanNaN(m_PendingLinearVelocity);
        pulled = true;
    }
    if (pulled)
        UpdateMatrices();
}

void WeActor::StopSound()
{
    // Stopped first: the pool keeps a playing source after its sound is gone.
    if (m_Sound)
        m_Sound->Stop();
    delete m_Sound;
    m_Sound = nullptr;
}

void WeActor::StartSound()
{
    StopSound();
    if (m_SoundName.IsEmpty())
        return;
    m_Sound = new WeSound3D(m_SoundName, true);
    m_Sound->SetMaxDistance(m_SoundMaxDistance);
}

void WeActor::TickSound()
{
    if (!m_Sound || m_Sound->IsPlaying())
        return;
    // Checked before the position is set: setting it takes a source from the pool.
    const D3DXVECTOR3 position = GetWorldPosition();
    if (!m_Sound->IsInReach(position))
        return;
    m_Sound->SetPosition(position);
    m_Sound->Play(true);
}

void WeActor::Tick()
{
    if (!m_Static && m_PhysicHandle)
        SyncPhysics(false);
    if (m_TransformChanged || !m_FullyStatic)
    {
        HandMatrixToModel(false);
        if (m_OrientationFixed && !m_PositionFixed)
        {
            m_BoundingSphere.center = GetWorldPosition();
            if (m_Model)
                m_Model->m_SphereCenter = m_BoundingSphere.center;
        }
        else if (!m_OrientationFixed && !m_BoundsFrozen)
            UpdateBoundingSphere();
        m_TransformChanged = false;
    }
    TickSound();
    if (!m_EditorMode && m_PhysicModel.physicsClass >= WePhysicsDynamicBox &&
        m_PhysicModel.physicsClass <= WePhysicsDynamicMesh && GetWorldMatrix()._42 < -5000.0f)
    {
        Detach();
        Expire();
    }
}

void WeActor::Render(int32_t)
{
    if (!m_HasModel || !m_Model)
        return;
    m_Model->Draw(g_RenderQueue.m_Camera, &g_RenderQueue, this, -1);
    if (m_EditorMode && m_ShowEditorMesh)
        m_Model->Draw(g_RenderQueue.m_Camera, &g_RenderQueue, this, -2);
}

void WeActor::CopyBaseTo(WeActor* other)
{
    if (!other || other == this)
        return;
    other->m_ModelVisible = m_ModelVisible;
    other->m_ModelSwitch1 = m_ModelSwitch1;
    other->m_HasModel = m_HasModel;
    other->m_LifeTime = m_LifeTime;
    other->m_NoLifeTime = m_NoLifeTime;
    other->m_SpawnTime = m_SpawnTime;
    other->m_BoundingSphere = m_BoundingSphere;
    other->m_AlternativeModelName = m_AlternativeModelName;
    other->m_ModelName = m_ModelName;
    if (other->m_Model != m_Model)
    {
        delete other->m_Model;
        other->m_Model = g_ModelManager.Clone(m_Model);
    }
    other->m_SoundName = m_SoundName;
    other->m_SoundMaxDistance = m_SoundMaxDistance;
    other->m_Type = m_Type;
    other->m_SecondaryId = m_SecondaryId;
    other->m_PhysicModel = m_PhysicModel;
    other->m_AnimationSpeed = m_AnimationSpeed;
    other->m_RenderValue = m_RenderValue;
    other->m_Teleporter = m_Teleporter;
    other->m_TeleporterSwitch = m_TeleporterSwitch;
    other->m_TeleportTargetLabel = m_TeleportTargetLabel;
    other->m_TeleporterValue = m_TeleporterValue;
    other->m_PendingLinearVelocity = m_PendingLinearVelocity;
    other->m_PendingAngularVelocity = m_PendingAngularVelocity;
    other->m_EditorMode = m_EditorMode;
    other->m_ModelPreset = m_ModelPreset;
    other->m_RenderSwitch1 = m_RenderSwitch1;
    other->m_RenderSwitch2 = m_RenderSwitch2;
    other->m_RenderSwitch3 = m_RenderSwitch3;
    other->m_FurtherSwitch1 = m_FurtherSwitch1;
    other->m_FurtherSwitch2 = m_FurtherSwitch2;
    other->SetTransform(m_LocalMatrix);
}

void WeActor::CopyTo(WeActor* other)
{
    CopyBaseTo(other);
}

void WeActor::Save(WeFileStream& stream)
{
    m_RecordVersion = RecordVersion;
    stream.WriteInt32(RecordVersion);
    stream.WriteInt32(m_Type);
    stream.WriteInt32(m_SecondaryId);
    stream.WriteByte(m_NoLifeTime);
    stream.WriteByte(m_ModelVisible);
    stream.WriteByte(m_ModelSwitch2);
    stream.WriteByte(m_ModelSwitch1);
    stream.WriteMatrix(m_LocalMatrix);
    stream.WriteVector3(m_Scale);
    stream.WriteByte(m_Teleporter);
    stream.WriteByte(m_TeleporterSwitch);
    stream.WriteFloat(m_TeleporterValue);
    stream.WriteInt32(m_ModelPreset);
    stream.WriteString(!m_AlternativeModelName.IsEmpty() ? m_AlternativeModelName : m_ModelName);
    stream.WriteString(m_Label);
    stream.WriteString(m_TeleportTargetLabel);
    stream.WriteByte(m_RenderSwitch1);
    stream.WriteByte(m_RenderSwitch2);
    stream.WriteByte(m_RenderSwitch3);
    stream.WriteString(m_SoundName);
    stream.WriteFloat(m_SoundMaxDistance);
    stream.WriteFloat(m_RenderValue);
    stream.WriteByte(m_FurtherSwitch1);
    stream.WriteByte(m_FurtherSwitch2);
    stream.WriteFloat(m_AnimationSpeed);
    WeWritePhysicsBlock(stream, m_PhysicModel);
    m_LightMap.Save(stream);
}

bool WeActor::Load(WeFileStream& stream)
{
    stream.ClearShortRead();
    int32_t v = stream.ReadInt32();
    if (v > RecordVersion)
        v = RecordVersion;
    m_RecordVersion = v;
    // 1.
    m_Type = stream.ReadInt32();
    if (v >= 16 && v <= 19)
        stream.ReadByte();
    m_SecondaryId = stream.ReadInt32();
    if (v < 21)
        stream.ReadInt32();
    // 2.
    m_LifeTime = v < 28 ? stream.ReadFloat() : 0.0f;
    if (v < 27)
        stream.ReadFloat();
    if (v < 20)
        SkipBytes(stream, 2);
    // 3.
    m_NoLifeTime = v >= 28 ? stream.ReadByte() != 0 : true;
    m_ModelVisible = stream.ReadByte() != 0;
    if (v >= 23)
        m_ModelSwitch2 = stream.ReadByte() != 0;
    if (v >= 22)
        m_ModelSwitch1 = stream.ReadByte() != 0;
    if (v < 20)
        stream.ReadByte();
    // 4.
    D3DXVECTOR3 position;
    if (v < 21)
    {
        D3DXVECTOR3 skip;
        stream.ReadVector3(m_BoundingSphere.center);
        m_BoundingSphere.radius = stream.ReadFloat();
        stream.ReadVector3(skip);
        stream.ReadVector3(skip);
    }
    if (v < 31)
        stream.ReadVector3(position);
    // 5.
    stream.ReadMatrix(m_LocalMatrix);
    stream.ReadVector3(m_Scale);
    if (v < 21)
    {
        // A zero scale component leaves its row as stored rather than filling it with inf/NaN.
        const float s[3] = {m_Scale.x, m_Scale.y, m_Scale.z};
        for (int r = 0; r < 3; ++r)
            if (s[r] != 0.0f)
                for (int c = 0; c < 4; ++c)
                    m_LocalMatrix.m[r][c] /= s[r];
    }
    if (v < 31)
    {
        m_LocalMatrix._41 = position.x;
        m_LocalMatrix._42 = position.y;
        m_LocalMatrix._43 = position.z;
    }
    // 6.
    if (v < 20)
    {
        D3DXVECTOR3 skip;
        stream.ReadVector3(skip);
        stream.ReadFloat();
        stream.ReadFloat();
        stream.ReadFloat();
    }
    m_Teleporter = stream.ReadByte() != 0;
    m_TeleporterSwitch = stream.ReadByte() != 0;
    if (v >= 17)
        m_TeleporterValue = stream.ReadFloat();
    // 7.
    if (v < 19)
    {
        D3DXVECTOR3 skip;
        stream.ReadVector3(skip);
        if (v >= 5)
        {
            stream.ReadVector3(skip);
            stream.ReadByte();
        }
    }
    if (v < 26)
        stream.ReadByte();
    if (v >= 2)
        m_ModelPreset = stream.ReadInt32();
    m_ModelName = stream.ReadString();
    if (v < 19)
        stream.ReadString();
    if (v >= 6)
        m_Label = stream.ReadString();
    if (v >= 7)
        m_TeleportTargetLabel = stream.ReadString();
    // 8.
    if (v >= 8)
    {
        if (v < 25)
        {
            stream.ReadByte();
            stream.ReadFloat();
            stream.ReadFloat();
        }
        if (v < 20)
        {
            stream.ReadFloat();
            stream.ReadFloat();
        }
        if (v >= 12 && v <= 24)
        {
            D3DXVECTOR4 skip;
            stream.ReadVector4(skip);
        }
    }
    // 9.
    if (v >= 9)
    {
        m_RenderSwitch1 = stream.ReadByte() != 0;
        m_RenderSwitch2 = stream.ReadByte() != 0;
    }
    if (v >= 10)
        m_RenderSwitch3 = stream.ReadByte() != 0;
    if (v >= 14)
    {
        m_SoundName = stream.ReadString();
        m_SoundMaxDistance = stream.ReadFloat();
    }
    if (v >= 13)
    {
        if (v < 19)
            stream.ReadByte();
        m_RenderValue = stream.ReadFloat();
    }
    // 10.
    bool intact = true;
    if (v >= 3 && v <= 19)
        intact = m_LightMap.Load(stream) && intact;
    if (v >= 11)
        m_FurtherSwitch1 = stream.ReadByte() != 0;
    if (v >= 24)
        m_FurtherSwitch2 = stream.ReadByte() != 0;
    if (v >= 32)
        m_AnimationSpeed = stream.ReadFloat();
    if (v >= 15)
        WeReadPhysicsBlock(stream, m_PhysicModel);
    if (v >= 18 && v <= 25)
        stream.ReadString();
    if (v >= 20)
        intact = m_LightMap.Load(stream) && intact;
    // 11.
    uint32_t bits;
    std::memcpy(&bits, &m_LifeTime, sizeof bits);
    if (m_LifeTime == 0.0f)
        m_NoLifeTime = true;
    else if (bits == NoLifeTimeBits)
    {
        m_LifeTime = 0.0f;
        m_NoLifeTime = true;
    }
    // Every loaded actor starts without a life time (see above: old records set the flag in step 3).
    m_NoLifeTime = true;
    // 12.
    if (m_ModelName.Length() >= 14 && std::memcmp(m_ModelName.c_str(), "Older.Dynamics", 14) == 0)
    {
        WeString renamed("Maps.Dynamics");
        renamed.AppendBytes(m_ModelName.c_str() + 14, m_ModelName.Length() - 14);
        m_ModelName = renamed;
    }
    // 13.
    m_NonUnitScale = std::fabs(m_Scale.x - 1.0f) + std::fabs(m_Scale.y - 1.0f) + std::fabs(m_Scale.z - 1.0f) > 0.0001f;
    UpdateMatrices();
    if (!m_Static)
        m_PositionChanged = m_OrientationChanged = true;
    m_TransformChanged = true;
    return intact && !stream.HadShortRead();
}

void WeWritePhysicsBlock(WeFileStream& stream, const WePhysicsDescription& model)
{
    WePhysicModel block;
    static_cast<WePhysicsDescription&>(block) = model;
    block.Save(stream);
}

void WeReadPhysicsBlock(WeFileStream& stream, WePhysicsDescription& model)
{
    WePhysicModel block;
    static_cast<WePhysicsDescription&>(block) = model;
    if (block.Load(stream))
        model = block;
}
