#include "Engine/world/WeSkyBox.h"

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/render/WeSkyBoxRenderer.h"

void WeSkyBox::LoadMesh()
{
    m_Model = nullptr;
    m_CubeTexture = nullptr;
    if (m_ModelName.IsEmpty())
        return;
    // The model manager of the render resources answers here; until it exists every sky model is missing.
    WeDebugPrint("MISSING SKYBOX MESH: %s\n", m_ModelName.c_str());
}

void WeSkyBox::Save(WeFileStream& stream)
{
    stream.WriteInt32(RecordVersion);
    stream.WriteString(m_ModelName);
    stream.WriteInt32(m_Mode);
}

void WeSkyBox::Load(WeFileStream& stream)
{
    const int32_t version = stream.ReadInt32();
    if (version == 1 || version == 2)
        m_ModelName = stream.ReadString();
    if (version == 2)
        m_Mode = stream.ReadInt32();
}

void WeSkyBox::Render(WeCamera* camera, float alphaFactor)
{
    if (m_Mode == 0 && m_Model != nullptr)
        g_SkyBoxRenderer.DrawMeshSky(this, camera, alphaFactor);
    else if (m_Mode == 1 && m_CubeTexture != nullptr)
        g_SkyBoxRenderer.DrawCubeSky(this, camera, alphaFactor);
}
