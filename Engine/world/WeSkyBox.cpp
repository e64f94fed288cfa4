#include "Engine/world/WeSkyBox.h"

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelManager.h"

WeSkyBox::~WeSkyBox()
{
    delete m_Model;
}

void WeSkyBox::LoadMesh()
{
    delete m_Model;
    m_Model = nullptr;
    m_CubeTexture = nullptr;
    if (m_ModelName.IsEmpty())
        return;
    m_Model = g_ModelManager.Load(m_ModelName, 0);
    if (!m_Model)
    {
        WeDebugPrint("MISSING SKYBOX MESH: %s\n", m_ModelName.c_str());
        return;
    }
    // The cube is the environment map (slot 4) of the material of the mesh's first subset in preset 0.
    WeMesh* mesh = m_Model->m_Mesh;
    if (mesh && mesh->m_SubsetCount > 0)
    {
        mesh->SetPreset(0, false);
        if (WeMaterial* material = mesh->m_Presets[0].materials[0])
            m_CubeTexture = material->m_Textures[4];
    }
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

void WeSkyBox::Render(WeCamera*, float)
{
    // The sky-box renderer (special renderers) draws mode 0 with a model and mode 1 with a cube texture.
}
