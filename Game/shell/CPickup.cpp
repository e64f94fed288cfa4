#include "Game/shell/CPickup.h"

#include <cmath>

#include "Engine/foundation/WeBusy.h"
#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WeWorld.h"
#include "Game/shell/CPickupFactory.h"
#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXMatrixFunctions.h"

WeModel* CPickup::s_GlowModel = nullptr;

namespace
{
constexpr float Pi = 3.14159265358979f;

void ResetRotation(WeActor& actor)
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    actor.SetOrientation(identity);
}

}  // namespace

// --- the base ---

CPickup::CPickup(int32_t type)
{
    m_Type = type;
    m_ModelName = "Pickups.Models.Mine";
}

CPickup::~CPickup()
{
    // The marker keeps its last place and goes; a world being torn down deletes it itself.
    if (m_GlowMarker != nullptr && !g_WorldDestroying)
    {
        m_GlowMarker->Detach();
        m_GlowMarker->Expire();
    }
    m_GlowMarker = nullptr;
}

void CPickup::Save(WeFileStream& stream)
{
    // The spin is not stored.
    ResetRotation(*this);
    WeActor::Save(stream);
    stream.WriteByte(m_Available ? 1 : 0);
    if (m_RecordVersion < RespawnTimeStoredBelow)
        stream.WriteFloat(m_RespawnTime);
    if (m_RecordVersion > RandomFlagStoredAbove)
        stream.WriteByte(m_Random ? 1 : 0);
}

bool CPickup::Load(WeFileStream& stream)
{
    const bool intact = WeActor::Load(stream);
    ResetRotation(*this);
    stream.ClearShortRead();
    m_Available = stream.ReadByte() != 0;
    if (m_RecordVersion < RespawnTimeStoredBelow)
        m_RespawnTime = stream.ReadFloat();
    if (m_RecordVersion > RandomFlagStoredAbove)
        m_Random = stream.ReadByte() != 0;
    return intact && !stream.HadShortRead();
}

void CPickup::TakeModel(WeModel* cached, const char* key)
{
    delete m_Model;
    m_Model = cached != nullptr ? g_ModelManager.Clone(cached) : nullptr;
    if (m_Model == nullptr)
        m_ModelName = key;
}

void CPickup::Init()
{
    m_HomePosition = GetWorldPosition();
    if (!m_EditorMode)
    {
        static const bool& noPhysics = GetConfigBool("debug.Physics.DisablePickups", false);
        static const float& coinSize = GetConfigFloat("Pickups.Coins.PhysicSize", 4.0f);
        static const float& commonSize = GetConfigFloat("Pickups.Common.PhysicSize", 4.0f);
        if (noPhysics)
            m_PhysicModel.physicsClass = WePhysicsNone;
        else
        {
            const float size = IsCoinPickup(m_Type) ? coinSize : commonSize;
            m_PhysicModel.physicsClass = WePhysicsDynamicSphere;
            m_PhysicModel.collisionGroup = 2;
            m_PhysicModel.mass = 0.1f;
            m_PhysicModel.explicitSize = true;
            m_PhysicModel.size = D3DXVECTOR3(size, size, size);
            m_PhysicModel.shapeFlags = 1;
            m_PhysicModel.gravity = false;
            m_PhysicModel.startAsleep = false;
        }
        // The pickup places itself every tick; the body only reports touches.
        m_PositionFixed = true;
    }
    if (m_Model == nullptr && !m_ModelName.IsEmpty())
        m_Model = g_ModelManager.Load(m_ModelName, 0);
    WeActor::Init();
    if (m_EditorMode)
        return;
    SetGravityEnabled(false);
    if (m_Glow && m_World != nullptr && m_GlowMarker == nullptr)
    {
        WeActor* marker = new WeActor();
        marker->m_HasPhysics = false;
        marker->m_PhysicModel.physicsClass = WePhysicsNone;
        marker->SetParent(this);
        if (m_GlowScale != nullptr)
            marker->SetScaling(D3DXVECTOR3(*m_GlowScale, *m_GlowScale, *m_GlowScale));
        marker->m_Model = s_GlowModel != nullptr ? g_ModelManager.Clone(s_GlowModel) : nullptr;
        marker->m_HasModel = marker->m_Model != nullptr;
        marker->m_ModelVisible = true;
        m_World->AddActor(marker);
        m_GlowMarker = marker;
    }
}

void CPickup::SharedMotion(float worldTime, D3DXMATRIX& rotation, float& hover)
{
    static float s_Time = -1.0f;
    static D3DXMATRIX s_Rotation;
    static float s_Hover = 0.0f;
    if (worldTime != s_Time || s_Time < 0.0f)
    {
        s_Time = worldTime;
        D3DXMatrixRotationY(&s_Rotation, worldTime * Pi * 0.5f);
        s_Hover = std::sin(4.0f * worldTime) * 0.5f;
    }
    rotation = s_Rotation;
    hover = s_Hover;
}

void CPickup::Tick()
{
    if (!m_EditorMode)
    {
        if (!m_Available)
        {
            m_TakenTime += g_Timer.m_FrameDeltaF;
            if (m_TakenTime >= m_RespawnTime)
            {
                if (IsCoinPickup(m_Type))
                    m_ModelVisible = true;
                else
                {
                    m_ModelPreset = 0;
                    if (m_Model != nullptr)
                        m_Model->SetPreset(0);
                }
                m_Available = true;
                if (m_GlowMarker != nullptr)
                    m_GlowMarker->m_ModelVisible = true;
                if (m_PhysicHandle != nullptr)
                    m_PhysicHandle->SetResponseEnabled(true);
                m_TakenTime = 0.0f;
                SetLocation(m_HomePosition);
            }
        }
        D3DXMATRIX rotation;
        float hover = 0.0f;
        SharedMotion(m_World != nullptr ? m_World->m_WorldTime : 0.0f, rotation, hover);
        if (m_Hover)
            SetLocationAndOrientation(m_HomePosition + D3DXVECTOR3(0.0f, hover, 0.0f), rotation);
        else
            SetOrientation(rotation);
    }
    WeActor::Tick();
}

void CPickup::Take()
{
    if (m_RespawnTime <= 0.0f)
        return;
    if (IsCoinPickup(m_Type))
        m_ModelVisible = false;
    else
    {
        m_ModelPreset = 1;
        if (m_Model != nullptr)
            m_Model->SetPreset(1);
    }
    m_Available = false;
    m_TakenTime = 0.0f;
    if (m_GlowMarker != nullptr)
        m_GlowMarker->m_ModelVisible = false;
    if (m_PhysicHandle != nullptr)
        m_PhysicHandle->SetResponseEnabled(false);
}

void CPickup::LoadGlowModel()
{
    static const char* const Keys[1] = {"Tubers.Models.AIGlow"};
    LoadModelCache(&s_GlowModel, Keys, 1);
}

void CPickup::ReleaseGlowModel()
{
    ReleaseModelCache(&s_GlowModel, 1);
}

void CPickup::LoadModelCache(WeModel** cache, const char* const* keys, int32_t count)
{
    BeginBusy();
    for (int32_t i = 0; i < count; ++i)
        if (cache[i] == nullptr)
            cache[i] = g_ModelManager.Load(WeString(keys[i]), 0);
    EndBusy();
}

void CPickup::ReleaseModelCache(WeModel** cache, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
    {
        delete cache[i];
        cache[i] = nullptr;
    }
}

void CPickup::ApplyClassSettings(const char* prefix, float respawnTime, bool glow)
{
    const WeString p = WeString("Pickups.") + prefix + ".";
    m_RespawnTime = GetConfigFloat(p + "RespawnTime", respawnTime);
    m_Glow = GetConfigBool(p + "AIGlow", glow);
    m_GlowScale = &GetConfigFloat(p + "AIGlowScale", 1.0f);
    m_GlowAlpha = &GetConfigFloat(p + "AIGlowAlpha", 1.0f);
}
