#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"
#include "Engine/render/WeLightMap.h"
#include "Engine/render/WePhysicModel.h"
#include "Engine/world/WeBoundingSphere.h"
#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXVECTOR3.h"

class WeFileStream;
class WeModel;
class WePhysicHandle;
class WeSceneTree;
class WeSound3D;
class WeTexture;
class WeWorld;

enum WeActorType : int32_t
{
    WeActorTypePlain = -1,
    WeActorTypeLight = -2,
    WeActorTypeLegacyPlain = -3,
    WeActorTypePathNode = -6,
    WeActorTypeTrail = -8,
    WeActorTypePortal = -11,
    WeActorTypeParticleSystem = -13
};

// A placed object of a world: local and world transforms, an optional model and physics body, a life
// time and the flags that decide which of the world's walks it joins. Its record (version 32) is the
// first part of every actor record of a map file.
class WeActor
{
public:
    static constexpr int32_t RecordVersion = 32;

    WeActor();
    virtual ~WeActor();
    WeActor(const WeActor&) = delete;
    WeActor& operator=(const WeActor&) = delete;

    virtual void OnTeleport() {}
    virtual void Expire();
    virtual WeString GetName();
    virtual void PreTick() {}
    virtual void Tick();
    virtual void UpdateGeometry() {}
    virtual void Save(WeFileStream& stream);
    // Reads the record of any version from 1 to 32 (newer ones as 32). False when a read came up
    // short: the record runs past the end of the stream.
    virtual bool Load(WeFileStream& stream);
    virtual void Init();
    virtual void CopyTo(WeActor* other);
    virtual void Render(int32_t pass);

    // Placement; each setter recomputes the world and render matrices and sets the change marks.
    void SetLocation(const D3DXVECTOR3& position);
    void SetOrientation(const D3DXMATRIX& orientation);
    void SetLocationAndOrientation(const D3DXVECTOR3& position, const D3DXMATRIX& orientation);
    void SetTransform(const D3DXMATRIX& transform);
    void GetOrientation(D3DXMATRIX& out) const;
    void SetScaling(const D3DXVECTOR3& scale);

    void SetLinearVelocity(const D3DXVECTOR3& velocity);
    void SetAngularVelocity(const D3DXVECTOR3& velocity);
    void SetCollisionEnabled(bool enabled);
    void SetGravityEnabled(bool enabled);
    void UpdateModelFade(bool visible, float fadeInRate, float fadeOutRate);

    void SetLifeTime(float seconds);
    void MarkForDeletion();
    void CopyBaseTo(WeActor* other);
    void CreatePhysicsHandle();
    void ReleasePhysicsHandle();
    void SyncPhysics(bool pull);
    void UpdateBoundingSphere();
    // The model follows the render matrix (an animated one through its animation update); first: the
    // previous-frame matrix too.
    void HandMatrixToModel(bool first);
    // True when the rotation rows were already sound.
    bool FixRotation(bool force);
    // Replaces the looping sound by a new one of the sound name (none for an empty name).
    void StartSound();
    void StopSound();
    // Starts the looping sound at the actor's position when it is silent and the listener in reach.
    void TickSound();
    // Keeps the parent's current world matrix as the fixed matrix and drops the parent.
    void Detach();
    void SetParent(WeActor* parent);

    // Recomputes the world matrix (from the local one and the parent's or fixed matrix) and the
    // render matrix.
    void UpdateMatrices();
    const D3DXMATRIX& GetWorldMatrix() const { return *m_WorldMatrixInUse; }
    const D3DXMATRIX& GetRenderMatrix() const { return *m_RenderMatrix; }
    D3DXVECTOR3 GetWorldPosition() const
    {
        return D3DXVECTOR3(m_WorldMatrixInUse->_41, m_WorldMatrixInUse->_42, m_WorldMatrixInUse->_43);
    }
    bool HasLifeTime() const { return !m_NoLifeTime; }

    float m_LifeTime = 0.0f;
    float m_SpawnTime = 0.0f;
    bool m_PendingDeletion = false;
    WeWorld* m_World = nullptr;
    WeActor* m_Parent = nullptr;
    int32_t m_Number = 0;
    WeString m_Name;
    WeLightMap m_LightMap;
    D3DXMATRIX m_InitialModelMatrix;
    int32_t m_RecordVersion = 0;
    bool m_EditorMode = false;
    bool m_LoadedFromMap = false;
    bool m_ShowEditorMesh = false;
    int32_t m_SecondaryId = 0;
    int32_t m_Type = WeActorTypePlain;
    D3DXMATRIX m_LocalMatrix;
    D3DXMATRIX m_WorldMatrix;
    D3DXMATRIX* m_WorldMatrixInUse;
    D3DXVECTOR3 m_Scale;
    D3DXMATRIX m_RenderMatrices[2];
    int32_t m_RenderBufferIndex = 0;
    D3DXMATRIX* m_RenderMatrix;
    D3DXVECTOR3 m_PendingLinearVelocity;
    D3DXVECTOR3 m_PendingAngularVelocity;
    bool m_Detached = false;
    D3DXMATRIX m_FixedMatrix;
    bool m_PositionChanged = false;
    bool m_OrientationChanged = false;
    bool m_LinearVelocityChanged = false;
    bool m_AngularVelocityChanged = false;
    bool m_TransformChanged = false;
    bool m_NonUnitScale = false;
    WeSound3D* m_Sound = nullptr;
    WeString m_SoundName;
    float m_SoundMaxDistance = 100.0f;
    bool m_RenderSwitch1 = false;
    bool m_RenderSwitch2 = true;
    bool m_RenderSwitch3 = true;
    float m_RenderValue = 0.0f;
    bool m_PlainStatic = false;
    float m_PlainStaticFactor = 0.0f;
    WeString m_Label;
    bool m_HasModel = true;
    WeString m_ModelName;
    WeString m_AlternativeModelName;
    WeModel* m_Model = nullptr;
    bool m_ModelVisible = true;
    bool m_ModelSwitch1 = false;
    bool m_ModelSwitch2 = true;
    int32_t m_ModelPreset = 0;
    bool m_BoundsFrozen = false;
    WePhysicHandle* m_PhysicHandle = nullptr;
    WePhysicModel m_PhysicModel;
    bool m_Static = false;
    bool m_PositionFixed = false;
    bool m_OrientationFixed = false;
    bool m_FurtherSwitch1 = false;
    bool m_FurtherSwitch2 = false;
    bool m_FullyStatic = false;
    bool m_HasPhysics = true;
    bool m_Teleporter = false;
    bool m_TeleporterSwitch = false;
    float m_TeleporterValue = 0.0f;
    WeString m_TeleportTargetLabel;
    bool m_TeleportPending = false;
    float m_TeleportTime = 0.0f;
    D3DXMATRIX m_TeleportTargetMatrix;
    WeBoundingSphere m_BoundingSphere;
    float m_RadiusOverride = -1.0f;
    bool m_NoLifeTime = true;
    bool m_DiscardOnLoad = false;
    float m_AnimationSpeed = 1.0f;
    bool m_WantsPreTick = false;
    bool m_WantsTick = false;
    int64_t m_TickStamp = 0;
    int64_t m_LastDrawnTick = 0;  // the world tick in which the render queue last drew it
    // Not in the record: the render queue lights this actor with every light (the craft sets it).
    bool m_AllLights = false;
    // Not in the record: whether the game's physics report handlers answer this actor's touches (a finished
    // craft's is cleared).
    bool m_GameContact = true;
    // The scene-tree cell owner while the actor is inserted.
    WeSceneTree* m_SceneTree = nullptr;
};

// The physics description block of the actor record, through WePhysicModel (read in any version, written
// as 5).
void WeWritePhysicsBlock(WeFileStream& stream, const WePhysicsDescription& model);
void WeReadPhysicsBlock(WeFileStream& stream, WePhysicsDescription& model);
