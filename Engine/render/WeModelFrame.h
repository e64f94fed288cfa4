#pragma once
#include <cstdint>

#include "Engine/render/WeBaseModel.h"

struct WeFrameRecord;

// One frame of a model's hierarchy: its world matrix double-buffered (this frame's and the previous
// one's), the D3DX frame it belongs to and its parent.
class WeModelFrame : public WeBaseModel
{
public:
    WeModelFrame();
    ~WeModelFrame() override = default;

    // The matrices are copied; the frame stays linked to its own D3DX frame.
    void CopyFrom(WeBaseModel* other) override;

    // Flips to the other matrix and makes it transformation x parent (null: identity); with reset the
    // previous matrix equals the new one.
    void UpdateMatrix(const D3DXMATRIX* parent, bool reset);
    // The previous and current matrices (the current one is what m_WorldMatrix points at).
    const D3DXMATRIX& GetCurrent() const { return m_Matrices[m_Selector]; }
    const D3DXMATRIX& GetPrevious() const { return m_Matrices[1 - m_Selector]; }

    D3DXMATRIX m_Matrices[2];
    int32_t m_Selector = 0;
    WeFrameRecord* m_Frame = nullptr;
    WeModelFrame* m_Parent = nullptr;

private:
    void PointAtMatrices();
};
