#include "Engine/render/WeBaseModel.h"

#include <algorithm>
#include <cmath>

#include "Engine/foundation/WeLog.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/world/WeActor.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/math/D3DXVectorFunctions.h"

namespace
{

float AxisLength(const D3DXMATRIX& m, int row)
{
    const float x = m.m[row][0];
    const float y = m.m[row][1];
    const float z = m.m[row][2];
    return std::sqrt(x * x + y * y + z * z);
}

}  // namespace

void WeMergeSphere(D3DXVECTOR3& centre, float& radius, const D3DXVECTOR3& otherCentre, float otherRadius)
{
    if (!(otherRadius > 0.0f))
        return;
    if (!(radius > 0.0f))
    {
        centre = otherCentre;
        radius = otherRadius;
        return;
    }
    D3DXVECTOR3 between = otherCentre - centre;
    const float distance = D3DXVec3Length(&between);
    if (distance + otherRadius <= radius)
        return;
    // The other one holds this one (coincident centres included): take it whole.
    if (distance + radius <= otherRadius || distance <= 0.0f)
    {
        centre = otherCentre;
        radius = std::max(radius, otherRadius);
        return;
    }
    const float merged = (radius + otherRadius + distance) * 0.5f;
    // Halfway between the two far points along the line of the centres.
    centre = centre + between * ((merged - radius) / distance);
    radius = merged;
}

const D3DXMATRIX& WeBaseModel::GetWorldMatrix() const
{
    static const D3DXMATRIX identity(1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f,
                                     0.0f, 1.0f);
    return m_WorldMatrix != nullptr ? *m_WorldMatrix : identity;
}

void WeBaseModel::CopyFrom(WeBaseModel* other)
{
    if (other != nullptr)
        m_Mesh = other->m_Mesh;
}

void WeBaseModel::UpdateBounds(bool scaled)
{
    const D3DXMATRIX& world = GetWorldMatrix();
    D3DXVECTOR3 centre(0.0f, 0.0f, 0.0f);
    float radius = 0.0f;
    if (m_Mesh != nullptr)
    {
        centre = m_Mesh->m_SphereCenter;
        radius = m_Mesh->m_SphereRadius;
    }
    D3DXVec3TransformCoord(&m_SphereCenter, &centre, &world);
    if (scaled)
        radius *= std::max({AxisLength(world, 0), AxisLength(world, 1), AxisLength(world, 2)});
    m_SphereRadius = radius;
    m_SubtreeCenter = m_SphereCenter;
    m_SubtreeRadius = m_SphereRadius;
}

void WeBaseModel::SetPreset(int32_t preset)
{
    if (m_Mesh != nullptr)
        m_Mesh->SetPreset(preset, false);
}

void WeBaseModel::Draw(WeCamera* camera, WeRenderQueue* queue, WeActor* actor, int32_t preset)
{
    if (!actor || !m_Mesh || !queue)
        return;
    if (preset == -1)
        preset = actor->m_ModelPreset;
    // Presets index a fixed table; a wrong one from game data must not read past it.
    if (preset != -2 && (preset < 0 || preset >= WeMesh::PresetCount))
    {
        WeDebugPrint("MODEL PRESET OUT OF RANGE: %d\n", preset);
        preset = 0;
    }
    static const D3DXMATRIX identity(1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f,
                                     0.0f, 1.0f);
    // Every actor's model follows its own matrix: the game's shots are actors of type 9, and the identity would
    // draw each one at the world's origin.
    const D3DXMATRIX* matrix = !m_WorldMatrix ? &identity : m_WorldMatrix;
    const int32_t subsets = std::min(m_Mesh->m_SubsetCount, WeMaterialPreset::Entries);
    for (int32_t subset = 0; subset < subsets; ++subset)
    {
        WeMaterial* material = nullptr;
        if (preset == -2)
            material = g_MaterialManager.m_Selection;
        else
        {
            if (!m_Mesh->m_Presets[preset].resolved[subset])
                m_Mesh->SetPreset(preset, false);
            material = m_Mesh->m_Presets[preset].materials[subset];
            if (!material)
                material = g_MaterialManager.m_Default;
        }
        if (material && material->m_Shader)
            queue->AddItem(material, actor, this, subset, matrix, camera);
    }
}
