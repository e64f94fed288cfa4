#pragma once
// ID3DXAnimationController over the animation sets of a .x file. The sets are shared, unchanged, by a
// controller and its clones; each has its own time and its own outputs.
#include <memory>
#include <string>
#include <vector>

#include "Platform/gfx/GfxRefCounted.h"
#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/gfx_d3dx/XFileData.h"

class D3dxAnimationController : public GfxRefCounted<ID3DXAnimationController>
{
public:
    // Keys are ordered by time, rotations normalised, matrix keys split into scale, rotation and translation
    // (used for the parts that have no keys of their own). Null when the file has no animation set.
    static D3dxAnimationController* Create(const XFileData& data, UINT maxOutputs);

    UINT GetMaxNumAnimationOutputs() override { return m_MaxOutputs; }
    UINT GetMaxNumAnimationSets() override { return m_MaxSets; }
    UINT GetMaxNumTracks() override { return m_MaxTracks; }
    UINT GetMaxNumEvents() override { return m_MaxEvents; }
    UINT GetNumAnimationSets() override { return m_NumSets; }
    HRESULT RegisterAnimationOutput(LPCSTR name, D3DXMATRIX* matrix, D3DXVECTOR3* scale, D3DXQUATERNION* rotation,
                                    D3DXVECTOR3* translation) override;
    double GetTime() override { return m_Time; }
    HRESULT AdvanceTime(double timeDelta, ID3DXAnimationCallbackHandler* callbackHandler) override;
    HRESULT CloneAnimationController(UINT maxOutputs, UINT maxSets, UINT maxTracks, UINT maxEvents,
                                     ID3DXAnimationController** clone) override;

private:
    struct VectorTrack
    {
        std::vector<double> times;
        std::vector<D3DXVECTOR3> values;
    };
    struct RotationTrack
    {
        std::vector<double> times;
        std::vector<D3DXQUATERNION> values;
    };
    struct Animation
    {
        std::string frame;
        VectorTrack scale, position;
        RotationTrack rotation;
    };
    struct Set
    {
        std::string name;
        std::vector<Animation> animations;
        double length = 0.0;  // ticks: the last key time
    };
    struct Library
    {
        std::vector<Set> sets;
        double ticksPerSecond = 4800.0;
    };
    struct Output
    {
        std::string name;
        D3DXMATRIX* matrix;
        D3DXVECTOR3* scale;
        D3DXQUATERNION* rotation;
        D3DXVECTOR3* translation;
        // The frame's own parts, for those the animation has no keys for.
        D3DXVECTOR3 ownScale, ownTranslation;
        D3DXQUATERNION ownRotation;
        const Animation* animation;  // of the first set, or null
    };

    D3dxAnimationController(std::shared_ptr<const Library> library, UINT maxOutputs, UINT maxSets, UINT maxTracks,
                            UINT maxEvents);
    ~D3dxAnimationController() override = default;
    const Animation* Find(const std::string& frame) const;

    std::shared_ptr<const Library> m_Library;
    UINT m_MaxOutputs, m_MaxSets, m_MaxTracks, m_MaxEvents;
    UINT m_NumSets;
    double m_Time = 0.0;
    std::vector<Output> m_Outputs;
};
