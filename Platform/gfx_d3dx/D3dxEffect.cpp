#include "Platform/gfx_d3dx/D3dxEffect.h"

#include <algorithm>
#include <cstring>

#include "Platform/gfx_d3dx/D3dxEffectPool.h"
#include "Platform/gfx_d3dx/FxDeviceHost.h"

D3dxEffect::D3dxEffect(IDirect3DDevice9* device, D3dxEffectPool* pool) : m_Device(device), m_Pool(pool)
{
    if (m_Device)
    {
        m_Device->AddRef();
        m_Host = std::make_unique<FxDeviceHost>(m_Device);
    }
    if (m_Pool)
        m_Pool->AddRef();
}

D3dxEffect::~D3dxEffect()
{
    if (m_Saved)
        End();
    ReleaseTextures();
    m_Fx.OnLostDevice();  // programs go while the device (and its context) still exists
    m_Host.reset();
    if (m_Pool)
        m_Pool->Release();
    if (m_Device)
        m_Device->Release();
}

void D3dxEffect::ReleaseTextures()
{
    for (const auto& p : m_Fx.Data().parameters)
    {
        if (p->type != FxType::Texture || p->shared || !p->value->texture)
            continue;
        static_cast<IDirect3DBaseTexture9*>(p->value->texture)->Release();
        p->value->texture = nullptr;
    }
}

bool D3dxEffect::Create(const void* data, size_t bytes, std::string* error)
{
    std::string_view text(static_cast<const char*>(data), bytes);
    // Texts handed over with their terminating zero are common.
    while (!text.empty() && text.back() == '\0')
        text.remove_suffix(1);
    return m_Fx.Create(text, m_Pool ? &m_Pool->Pool() : nullptr, m_Host.get(), "effect", error);
}

HRESULT D3dxEffect::GetDesc(D3DXEFFECT_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    desc->Creator = "effect text";
    desc->Parameters = m_Fx.ParameterCount();
    desc->Techniques = m_Fx.TechniqueCount();
    desc->Functions = 0;
    return D3D_OK;
}

HRESULT D3dxEffect::GetParameterDesc(D3DXHANDLE h, D3DXPARAMETER_DESC* desc)
{
    const FxParameter* p = m_Fx.Parameter(h);
    if (!p || !desc)
        return D3DERR_INVALIDCALL;
    desc->Name = p->name.c_str();
    desc->Semantic = p->semantic.empty() ? nullptr : p->semantic.c_str();
    switch (p->type)
    {
    case FxType::Bool: desc->Type = D3DXPT_BOOL; break;
    case FxType::Int: desc->Type = D3DXPT_INT; break;
    case FxType::Float: desc->Type = D3DXPT_FLOAT; break;
    case FxType::String: desc->Type = D3DXPT_STRING; break;
    case FxType::Texture: desc->Type = D3DXPT_TEXTURE; break;
    }
    bool object = p->type == FxType::String || p->type == FxType::Texture;
    desc->Class = object           ? D3DXPC_OBJECT
                  : p->rows > 1    ? D3DXPC_MATRIX_ROWS
                  : p->columns > 1 ? D3DXPC_VECTOR
                                   : D3DXPC_SCALAR;
    desc->Rows = p->rows;
    desc->Columns = p->columns;
    desc->Elements = p->elements;
    desc->Annotations = UINT(p->annotations.size());
    desc->StructMembers = 0;
    desc->Flags = p->shared ? D3DX_PARAMETER_SHARED : 0;
    desc->Bytes = object ? UINT(sizeof(void*)) : p->Bytes();
    return D3D_OK;
}

HRESULT D3dxEffect::GetTechniqueDesc(D3DXHANDLE h, D3DXTECHNIQUE_DESC* desc)
{
    const FxTechnique* t = m_Fx.Technique(h);
    if (!t || !desc)
        return D3DERR_INVALIDCALL;
    desc->Name = t->name.c_str();
    desc->Passes = UINT(t->passes.size());
    desc->Annotations = UINT(t->annotations.size());
    return D3D_OK;
}

HRESULT D3dxEffect::GetPassDesc(D3DXHANDLE h, D3DXPASS_DESC* desc)
{
    if (!h || !desc)
        return D3DERR_INVALIDCALL;
    for (const auto& t : m_Fx.Data().techniques)
        for (const auto& pass : t->passes)
            if (reinterpret_cast<D3DXHANDLE>(pass.get()) == h)
            {
                desc->Name = pass->name.c_str();
                desc->Annotations = UINT(pass->annotations.size());
                desc->pVertexShaderFunction = nullptr;
                desc->pPixelShaderFunction = nullptr;
                return D3D_OK;
            }
    return D3DERR_INVALIDCALL;
}

HRESULT D3dxEffect::GetBool(D3DXHANDLE h, BOOL* v)
{
    bool b = false;
    if (!v || !m_Fx.GetBool(h, &b))
        return D3DERR_INVALIDCALL;
    *v = b ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT D3dxEffect::SetValue(D3DXHANDLE h, const void* data, UINT bytes)
{
    // A texture given as a value is held by reference like one given through SetTexture.
    const FxParameter* p = m_Fx.Parameter(h);
    if (p && p->type == FxType::Texture)
    {
        if (!data || bytes < sizeof(IDirect3DBaseTexture9*))
            return D3DERR_INVALIDCALL;
        IDirect3DBaseTexture9* texture = nullptr;
        std::memcpy(&texture, data, sizeof(texture));
        return SetTexture(h, texture);
    }
    return R(m_Fx.SetValue(h, data, bytes));
}

HRESULT D3dxEffect::SetTexture(D3DXHANDLE h, IDirect3DBaseTexture9* texture)
{
    void* old = nullptr;
    if (!m_Fx.GetTexture(h, &old))
        return D3DERR_INVALIDCALL;
    if (texture)
        texture->AddRef();
    m_Fx.SetTexture(h, texture);
    if (old)
        static_cast<IDirect3DBaseTexture9*>(old)->Release();
    return D3D_OK;
}

HRESULT D3dxEffect::GetTexture(D3DXHANDLE h, IDirect3DBaseTexture9** texture)
{
    void* t = nullptr;
    if (!texture || !m_Fx.GetTexture(h, &t))
        return D3DERR_INVALIDCALL;
    *texture = static_cast<IDirect3DBaseTexture9*>(t);
    if (*texture)
        (*texture)->AddRef();
    return D3D_OK;
}

HRESULT D3dxEffect::Begin(UINT* passes, DWORD flags)
{
    uint32_t n = 0;
    if (!m_Fx.Begin(&n))
        return D3DERR_INVALIDCALL;
    if (passes)
        *passes = n;
    m_SavedRender.clear();
    m_SavedSampler.clear();
    m_SavedTextures.clear();
    m_Saved = false;
    if (m_Device && !(flags & D3DXFX_DONOTSAVESTATE))
    {
        m_Saved = true;
        const FxTechnique* t = m_Fx.Technique(m_Fx.GetCurrentTechnique());
        for (const auto& pass : t->passes)
        {
            for (const auto& entry : pass->renderStates)
            {
                // Named, not a structured binding: clang before 16 cannot capture one in the lambda.
                const uint32_t state = entry.first;
                if (std::any_of(m_SavedRender.begin(), m_SavedRender.end(), [&](auto& s) { return s.first == state; }))
                    continue;
                DWORD v = 0;
                m_Device->GetRenderState(D3DRENDERSTATETYPE(state), &v);
                m_SavedRender.emplace_back(state, v);
            }
            for (const FxSampler& s : pass->samplers)
            {
                if (!(flags & D3DXFX_DONOTSAVESAMPLERSTATE))
                {
                    for (const auto& [state, value] : s.states)
                    {
                        DWORD v = 0;
                        m_Device->GetSamplerState(s.unit, D3DSAMPLERSTATETYPE(state), &v);
                        m_SavedSampler.push_back({{s.unit, state}, v});
                    }
                }
                if (!s.texture.empty())
                {
                    IDirect3DBaseTexture9* tex = nullptr;
                    m_Device->GetTexture(s.unit, &tex);  // holds a reference until End
                    m_SavedTextures.emplace_back(s.unit, tex);
                }
            }
        }
    }
    return D3D_OK;
}

HRESULT D3dxEffect::End()
{
    bool ok = m_Fx.End();
    if (m_Saved && m_Device)
    {
        for (auto it = m_SavedRender.rbegin(); it != m_SavedRender.rend(); ++it)
            m_Device->SetRenderState(D3DRENDERSTATETYPE(it->first), it->second);
        for (auto it = m_SavedSampler.rbegin(); it != m_SavedSampler.rend(); ++it)
            m_Device->SetSamplerState(it->first.first, D3DSAMPLERSTATETYPE(it->first.second), it->second);
        for (auto it = m_SavedTextures.rbegin(); it != m_SavedTextures.rend(); ++it)
        {
            m_Device->SetTexture(it->first, it->second);
            if (it->second)
                it->second->Release();
        }
    }
    m_Saved = false;
    m_SavedRender.clear();
    m_SavedSampler.clear();
    m_SavedTextures.clear();
    return R(ok);
}

HRESULT D3dxEffect::GetDevice(IDirect3DDevice9** device)
{
    if (!device || !m_Device)
        return D3DERR_INVALIDCALL;
    *device = m_Device;
    m_Device->AddRef();
    return D3D_OK;
}

HRESULT D3dxEffect::GetPool(ID3DXEffectPool** pool)
{
    if (!pool)
        return D3DERR_INVALIDCALL;
    *pool = m_Pool;
    if (m_Pool)
        m_Pool->AddRef();
    return D3D_OK;
}

HRESULT D3dxEffect::OnLostDevice()
{
    if (m_Saved)
        End();
    m_Fx.OnLostDevice();
    return D3D_OK;
}
