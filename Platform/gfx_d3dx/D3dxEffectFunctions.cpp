// Creation of buffers, effect pools, effects and effect compilers.
#include "Platform/gfx/GfxRefCounted.h"
#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/gfx_d3dx/D3dxBuffer.h"
#include "Platform/gfx_d3dx/D3dxEffect.h"
#include "Platform/gfx_d3dx/D3dxEffectPool.h"
#include "Platform/gfx_d3dx/FxParser.h"
#include "Platform/system/SysFolder.h"

namespace
{

// "Compiling" checks the text and names it after its file, so that messages of the runtime say which effect
// failed; the name goes on the first line so that line numbers stay those of the file.
class D3dxEffectCompiler : public GfxRefCounted<ID3DXEffectCompiler>
{
public:
    D3dxEffectCompiler(std::string path, std::string text) : m_Path(std::move(path)), m_Text(std::move(text)) {}
    HRESULT CompileEffect(DWORD flags, ID3DXBuffer** effect, ID3DXBuffer** errors) override
    {
        (void)flags;
        if (errors)
            *errors = nullptr;
        if (!effect)
            return D3DERR_INVALIDCALL;
        *effect = nullptr;
        FxEffectData data;
        std::string error;
        if (!FxParser::Parse(m_Text, &data, &error))
        {
            if (errors)
                *errors = D3dxBuffer::Text(m_Path + ": " + error);
            return E_FAIL;
        }
        std::string named = data.name.empty() ? "effect \"" + m_Path + "\"; " + m_Text : m_Text;
        *effect = new D3dxBuffer(named.data(), named.size());
        return D3D_OK;
    }

private:
    std::string m_Path, m_Text;
};

}  // namespace

HRESULT D3DXCreateBuffer(DWORD bytes, ID3DXBuffer** buffer)
{
    if (!buffer)
        return D3DERR_INVALIDCALL;
    *buffer = new D3dxBuffer(bytes);
    return D3D_OK;
}

HRESULT D3DXCreateEffectPool(ID3DXEffectPool** pool)
{
    if (!pool)
        return D3DERR_INVALIDCALL;
    *pool = new D3dxEffectPool();
    return D3D_OK;
}

HRESULT D3DXCreateEffect(IDirect3DDevice9* device, const void* data, UINT bytes, const D3DXMACRO* defines,
                         ID3DXInclude* include, DWORD flags, ID3DXEffectPool* pool, ID3DXEffect** effect,
                         ID3DXBuffer** errors)
{
    (void)defines, (void)include, (void)flags;
    if (errors)
        *errors = nullptr;
    if (!effect)
        return D3DERR_INVALIDCALL;
    *effect = nullptr;
    if (!data || bytes == 0)
        return D3DERR_INVALIDCALL;
    auto* fx = new D3dxEffect(device, static_cast<D3dxEffectPool*>(pool));
    std::string error;
    if (!fx->Create(data, bytes, &error))
    {
        if (errors)
            *errors = D3dxBuffer::Text(error);
        fx->Release();
        return E_FAIL;
    }
    *effect = fx;
    return D3D_OK;
}

HRESULT D3DXCreateEffectFromFileA(IDirect3DDevice9* device, LPCSTR path, const D3DXMACRO* defines,
                                  ID3DXInclude* include, DWORD flags, ID3DXEffectPool* pool, ID3DXEffect** effect,
                                  ID3DXBuffer** errors)
{
    if (errors)
        *errors = nullptr;
    if (effect)
        *effect = nullptr;
    ID3DXEffectCompiler* compiler = nullptr;
    HRESULT hr = D3DXCreateEffectCompilerFromFileA(path, defines, include, 0, &compiler, errors);
    if (FAILED(hr))
        return hr;
    ID3DXBuffer* blob = nullptr;
    hr = compiler->CompileEffect(0, &blob, errors);
    compiler->Release();
    if (FAILED(hr))
        return hr;
    hr = D3DXCreateEffect(device, blob->GetBufferPointer(), blob->GetBufferSize(), defines, include, flags, pool,
                          effect, errors);
    blob->Release();
    return hr;
}

HRESULT D3DXCreateEffectCompilerFromFileA(LPCSTR path, const D3DXMACRO* defines, ID3DXInclude* include, DWORD flags,
                                          ID3DXEffectCompiler** compiler, ID3DXBuffer** errors)
{
    (void)defines, (void)include, (void)flags;
    if (errors)
        *errors = nullptr;
    if (!compiler)
        return D3DERR_INVALIDCALL;
    *compiler = nullptr;
    std::string text;
    if (!SysFolder::ReadWholeFile(path, &text))
    {
        if (errors)
            *errors = D3dxBuffer::Text(std::string(path ? path : "(null)") + ": cannot be read");
        return D3DERR_NOTFOUND;
    }
    *compiler = new D3dxEffectCompiler(path, std::move(text));
    return D3D_OK;
}
