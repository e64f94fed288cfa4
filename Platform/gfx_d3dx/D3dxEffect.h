#pragma once
// ID3DXEffect over FxEffect: the handle-based interface, with the device's states saved and restored around
// Begin/End unless the flags say not to.
#include <memory>
#include <vector>

#include "Platform/gfx/GfxRefCounted.h"
#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/gfx_d3dx/FxEffect.h"

class D3dxEffectPool;
class FxDeviceHost;

class D3dxEffect : public GfxRefCounted<ID3DXEffect>
{
public:
    D3dxEffect(IDirect3DDevice9* device, D3dxEffectPool* pool);
    bool Create(const void* data, size_t bytes, std::string* error);
    FxEffect& Fx() { return m_Fx; }

    HRESULT GetDesc(D3DXEFFECT_DESC* desc) override;
    HRESULT GetParameterDesc(D3DXHANDLE parameter, D3DXPARAMETER_DESC* desc) override;
    HRESULT GetTechniqueDesc(D3DXHANDLE technique, D3DXTECHNIQUE_DESC* desc) override;
    HRESULT GetPassDesc(D3DXHANDLE pass, D3DXPASS_DESC* desc) override;
    D3DXHANDLE GetParameter(D3DXHANDLE parent, UINT index) override { return m_Fx.GetParameter(parent, index); }
    D3DXHANDLE GetParameterByName(D3DXHANDLE parent, LPCSTR name) override
    {
        return m_Fx.GetParameterByName(parent, name);
    }
    D3DXHANDLE GetParameterBySemantic(D3DXHANDLE parent, LPCSTR semantic) override
    {
        return m_Fx.GetParameterBySemantic(parent, semantic);
    }
    D3DXHANDLE GetTechnique(UINT index) override { return m_Fx.GetTechnique(index); }
    D3DXHANDLE GetTechniqueByName(LPCSTR name) override { return m_Fx.GetTechniqueByName(name); }
    D3DXHANDLE GetPass(D3DXHANDLE technique, UINT index) override { return m_Fx.GetPass(technique, index); }
    D3DXHANDLE GetAnnotation(D3DXHANDLE object, UINT index) override { return m_Fx.GetAnnotation(object, index); }
    D3DXHANDLE GetAnnotationByName(D3DXHANDLE object, LPCSTR name) override
    {
        return m_Fx.GetAnnotationByName(object, name);
    }

    HRESULT SetValue(D3DXHANDLE h, const void* data, UINT bytes) override;
    HRESULT GetValue(D3DXHANDLE h, void* data, UINT bytes) override { return R(m_Fx.GetValue(h, data, bytes)); }
    HRESULT SetBool(D3DXHANDLE h, BOOL v) override { return R(m_Fx.SetBool(h, v != 0)); }
    HRESULT GetBool(D3DXHANDLE h, BOOL* v) override;
    HRESULT SetInt(D3DXHANDLE h, INT v) override { return R(m_Fx.SetInt(h, v)); }
    HRESULT GetInt(D3DXHANDLE h, INT* v) override { return R(m_Fx.GetInt(h, v)); }
    HRESULT SetFloat(D3DXHANDLE h, float v) override { return R(m_Fx.SetFloat(h, v)); }
    HRESULT GetFloat(D3DXHANDLE h, float* v) override { return R(m_Fx.GetFloat(h, v)); }
    HRESULT SetFloatArray(D3DXHANDLE h, const float* v, UINT n) override { return R(m_Fx.SetFloatArray(h, v, n)); }
    HRESULT GetFloatArray(D3DXHANDLE h, float* v, UINT n) override { return R(m_Fx.GetFloatArray(h, v, n)); }
    HRESULT SetVector(D3DXHANDLE h, const D3DXVECTOR4* v) override
    {
        return R(m_Fx.SetVector(h, reinterpret_cast<const float*>(v)));
    }
    HRESULT GetVector(D3DXHANDLE h, D3DXVECTOR4* v) override
    {
        return R(m_Fx.GetVector(h, reinterpret_cast<float*>(v)));
    }
    HRESULT SetVectorArray(D3DXHANDLE h, const D3DXVECTOR4* v, UINT n) override
    {
        return R(m_Fx.SetVectorArray(h, reinterpret_cast<const float*>(v), n));
    }
    HRESULT SetMatrix(D3DXHANDLE h, const D3DXMATRIX* m) override
    {
        return R(m_Fx.SetMatrix(h, reinterpret_cast<const float*>(m)));
    }
    HRESULT GetMatrix(D3DXHANDLE h, D3DXMATRIX* m) override
    {
        return R(m_Fx.GetMatrix(h, reinterpret_cast<float*>(m)));
    }
    HRESULT SetMatrixArray(D3DXHANDLE h, const D3DXMATRIX* m, UINT n) override
    {
        return R(m_Fx.SetMatrixArray(h, reinterpret_cast<const float*>(m), n));
    }
    HRESULT SetString(D3DXHANDLE h, LPCSTR v) override { return R(m_Fx.SetString(h, v)); }
    HRESULT GetString(D3DXHANDLE h, LPCSTR* v) override { return R(m_Fx.GetString(h, v)); }
    HRESULT SetTexture(D3DXHANDLE h, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTexture(D3DXHANDLE h, IDirect3DBaseTexture9** texture) override;

    HRESULT SetTechnique(D3DXHANDLE technique) override { return R(m_Fx.SetTechnique(technique)); }
    D3DXHANDLE GetCurrentTechnique() override { return m_Fx.GetCurrentTechnique(); }
    HRESULT ValidateTechnique(D3DXHANDLE technique) override { return R(m_Fx.ValidateTechnique(technique)); }
    HRESULT Begin(UINT* passes, DWORD flags) override;
    HRESULT BeginPass(UINT pass) override { return R(m_Fx.BeginPass(pass)); }
    HRESULT CommitChanges() override { return R(m_Fx.CommitChanges()); }
    HRESULT EndPass() override { return R(m_Fx.EndPass()); }
    HRESULT End() override;
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    HRESULT GetPool(ID3DXEffectPool** pool) override;
    HRESULT OnLostDevice() override;
    HRESULT OnResetDevice() override { return D3D_OK; }

private:
    ~D3dxEffect() override;
    static HRESULT R(bool ok) { return ok ? D3D_OK : D3DERR_INVALIDCALL; }
    // Texture values hold a reference: own parameters' ones are dropped with the effect, shared ones with the pool.
    void ReleaseTextures();

    IDirect3DDevice9* m_Device;
    D3dxEffectPool* m_Pool;
    std::unique_ptr<FxDeviceHost> m_Host;
    FxEffect m_Fx;
    // Render states, sampler states and textures the technique's passes change, saved by Begin.
    bool m_Saved = false;
    std::vector<std::pair<DWORD, DWORD>> m_SavedRender;
    std::vector<std::pair<std::pair<DWORD, DWORD>, DWORD>> m_SavedSampler;
    std::vector<std::pair<DWORD, IDirect3DBaseTexture9*>> m_SavedTextures;
};
