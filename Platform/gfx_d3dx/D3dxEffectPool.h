#pragma once
// ID3DXEffectPool: the shared parameters of every effect created with it.
#include "Platform/gfx/GfxRefCounted.h"
#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/gfx_d3dx/FxPool.h"

class D3dxEffectPool : public GfxRefCounted<ID3DXEffectPool>
{
public:
    FxPool& Pool() { return m_Pool; }

private:
    ~D3dxEffectPool() override
    {
        m_Pool.ForEach(
            [](FxParameter& p)
            {
                if (p.type == FxType::Texture && p.own.texture)
                    static_cast<IDirect3DBaseTexture9*>(p.own.texture)->Release();
            });
    }
    FxPool m_Pool;
};
