#include "Engine/render/WeModelFrame.h"

#include "Engine/render/WeMeshHierarchy.h"
#include "Platform/math/D3DXMatrixFunctions.h"

WeModelFrame::WeModelFrame()
{
    D3DXMatrixIdentity(&m_Matrices[0]);
    D3DXMatrixIdentity(&m_Matrices[1]);
    PointAtMatrices();
}

void WeModelFrame::PointAtMatrices()
{
    m_WorldMatrix = &m_Matrices[m_Selector];
    m_PrevWorldMatrix = &m_Matrices[1 - m_Selector];
}

void WeModelFrame::CopyFrom(WeBaseModel* other)
{
    WeBaseModel::CopyFrom(other);
    WeModelFrame* frame = dynamic_cast<WeModelFrame*>(other);
    if (frame == nullptr)
        return;
    m_Matrices[0] = frame->m_Matrices[0];
    m_Matrices[1] = frame->m_Matrices[1];
    m_Selector = frame->m_Selector;
    PointAtMatrices();
}

void WeModelFrame::UpdateMatrix(const D3DXMATRIX* parent, bool reset)
{
    m_Selector = 1 - m_Selector;
    PointAtMatrices();
    D3DXMATRIX transformation;
    D3DXMatrixIdentity(&transformation);
    if (m_Frame != nullptr)
        transformation = m_Frame->TransformationMatrix;
    if (parent != nullptr)
        D3DXMatrixMultiply(&m_Matrices[m_Selector], &transformation, parent);
    else
        m_Matrices[m_Selector] = transformation;
    if (reset)
        m_Matrices[1 - m_Selector] = m_Matrices[m_Selector];
}
