#include "Engine/render/WeDebugRenderer.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/world/WePhysics.h"
#include "Platform/physics/NxPhysicsSDK.h"

WeDebugRenderer g_DebugRenderer;
uint8_t* WeDebugRenderer::s_Lines = nullptr;
int32_t WeDebugRenderer::s_LineCount = 0;

namespace
{

// In the order of the physics layer's parameters, from the visualisation scale on.
const char* const VisualizationKeys[] = {
    "NX_VISUALIZATION_SCALE",
    "NX_VISUALIZE_WORLD_AXES",
    "NX_VISUALIZE_BODY_AXES",
    "NX_VISUALIZE_BODY_MASS_AXES",
    "NX_VISUALIZE_BODY_LIN_VELOCITY",
    "NX_VISUALIZE_BODY_ANG_VELOCITY",
    "NX_VISUALIZE_BODY_JOINT_GROUPS",
    "NX_VISUALIZE_JOINT_LOCAL_AXES",
    "NX_VISUALIZE_JOINT_WORLD_AXES",
    "NX_VISUALIZE_JOINT_LIMITS",
    "NX_VISUALIZE_CONTACT_POINT",
    "NX_VISUALIZE_CONTACT_NORMAL",
    "NX_VISUALIZE_CONTACT_ERROR",
    "NX_VISUALIZE_CONTACT_FORCE",
    "NX_VISUALIZE_ACTOR_AXES",
    "NX_VISUALIZE_COLLISION_AABBS",
    "NX_VISUALIZE_COLLISION_SHAPES",
    "NX_VISUALIZE_COLLISION_AXES",
    "NX_VISUALIZE_COLLISION_COMPOUNDS",
    "NX_VISUALIZE_COLLISION_VNORMALS",
    "NX_VISUALIZE_COLLISION_FNORMALS",
    "NX_VISUALIZE_COLLISION_EDGES",
    "NX_VISUALIZE_COLLISION_SPHERES",
    "NX_VISUALIZE_COLLISION_STATIC",
    "NX_VISUALIZE_COLLISION_DYNAMIC",
    "NX_VISUALIZE_COLLISION_FREE",
    "NX_VISUALIZE_COLLISION_CCD",
    "NX_VISUALIZE_COLLISION_SKELETONS",
    "NX_VISUALIZE_FLUID_EMITTERS",
    "NX_VISUALIZE_FLUID_POSITION",
    "NX_VISUALIZE_FLUID_VELOCITY",
    "NX_VISUALIZE_FLUID_KERNEL_RADIUS",
    "NX_VISUALIZE_FLUID_BOUNDS",
    "NX_VISUALIZE_FLUID_PACKETS",
    "NX_VISUALIZE_FLUID_MOTION_LIMIT",
    "NX_VISUALIZE_FLUID_DYN_COLLISION",
    "NX_VISUALIZE_FLUID_STC_COLLISION",
    "NX_VISUALIZE_FLUID_MESH_PACKETS",
    "NX_VISUALIZE_FLUID_DRAINS",
    "NX_VISUALIZE_FLUID_PACKET_DATA",
    "NX_VISUALIZE_CLOTH_MESH",
    "NX_VISUALIZE_CLOTH_COLLISIONS",
    "NX_VISUALIZE_CLOTH_SELFCOLLISIONS",
    "NX_VISUALIZE_CLOTH_WORKPACKETS",
    "NX_VISUALIZE_CLOTH_SLEEP",
    "NX_VISUALIZE_CLOTH_TEARABLE_VERTICES",
    "NX_VISUALIZE_CLOTH_TEARING",
    "NX_VISUALIZE_CLOTH_ATTACHMENT",
    "NX_VISUALIZE_SOFTBODY_MESH",
    "NX_VISUALIZE_SOFTBODY_COLLISIONS",
    "NX_VISUALIZE_SOFTBODY_WORKPACKETS",
    "NX_VISUALIZE_SOFTBODY_SLEEP",
    "NX_VISUALIZE_SOFTBODY_TEARABLE_VERTICES",
    "NX_VISUALIZE_SOFTBODY_TEARING",
    "NX_VISUALIZE_SOFTBODY_ATTACHMENT",
};
static_assert(NX_VISUALIZATION_SCALE + int(sizeof(VisualizationKeys) / sizeof(VisualizationKeys[0])) ==
                  NX_VISUALIZE_LAST_,
              "one key per visualisation parameter");

}  // namespace

WeDebugRenderer::WeDebugRenderer()
    : WeBaseRenderer(OrderDebug), m_CameraRange(GetConfigFloat("debug.Physics.DebugCameraRange", 500.0f))
{
}

bool WeDebugRenderer::Init()
{
    OnResetDevice();
    return true;
}

void WeDebugRenderer::Release()
{
    OnLostDevice();
    delete[] s_Lines;
    s_Lines = nullptr;
    s_LineCount = 0;
}

void WeDebugRenderer::OnLostDevice()
{
    // A stream still bound would keep the buffer alive through a reset.
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (m_VertexBuffer != nullptr && device != nullptr)
        device->SetStreamSource(0, nullptr, 0, 0);
    if (m_VertexBuffer != nullptr)
        m_VertexBuffer->Release();
    m_VertexBuffer = nullptr;
    m_Usable = 0;
}

void WeDebugRenderer::OnResetDevice()
{
    OnLostDevice();
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    // An empty line array still gets one element's room: a buffer of no bytes is no buffer.
    UINT elements = s_LineCount > 0 ? UINT(s_LineCount) : 1u;
    if (device != nullptr &&
        FAILED(device->CreateVertexBuffer(elements * BytesPerLine, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY,
                                          D3DFVF_XYZ | D3DFVF_DIFFUSE, D3DPOOL_DEFAULT, &m_VertexBuffer, nullptr)))
        m_VertexBuffer = nullptr;
    m_Usable = m_VertexBuffer != nullptr;
}

void WeDebugRenderer::ApplyPhysicsVisualization()
{
    NxPhysicsSDK* sdk = g_Physics.m_Sdk;
    if (sdk == nullptr)
        return;
    float size = GetConfigFloat("debug.Physics.DebugLineSize", 1.0f);
    sdk->setParameter(NX_VISUALIZATION_SCALE, size);
    int index = 0;
    for (const char* key : VisualizationKeys)
    {
        if (GetConfigBool(WeString("debug.Physics.") + key, false))
            sdk->setParameter(NxParameter(NX_VISUALIZATION_SCALE + index), size);
        ++index;
    }
}
