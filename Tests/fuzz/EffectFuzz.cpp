// Feeds arbitrary effect texts to the effect parser and runtime on the recording device: every technique
// begun and every pass run, every parameter and annotation described, written and read back.
#include <cstdint>
#include <cstring>

#include "Platform/gfx_d3dx/D3DX9.h"
#include "Tests/fuzz/FuzzDevice.h"

namespace
{
void Exercise(ID3DXEffect* effect, const uint8_t* data, size_t size)
{
    // Values written to parameters come from the input itself, so odd floats and strings reach them.
    float values[32] = {};
    std::memcpy(values, data, size < sizeof values ? size : sizeof values);
    D3DXEFFECT_DESC desc{};
    effect->GetDesc(&desc);
    for (UINT i = 0; i < desc.Parameters && i < 256; ++i)
    {
        D3DXHANDLE parameter = effect->GetParameter(nullptr, i);
        D3DXPARAMETER_DESC p{};
        if (!parameter || FAILED(effect->GetParameterDesc(parameter, &p)))
            continue;
        for (UINT a = 0; a < p.Annotations && a < 64; ++a)
        {
            D3DXHANDLE annotation = effect->GetAnnotation(parameter, a);
            LPCSTR text = nullptr;
            if (annotation && SUCCEEDED(effect->GetString(annotation, &text)) && text)
                (void)std::strlen(text);
        }
        // A texture parameter holds a texture pointer: raw bytes written into it would be the caller's fault.
        if (p.Type == D3DXPT_TEXTURE)
            continue;
        effect->SetValue(parameter, values, sizeof values);
        float back[32];
        effect->GetValue(parameter, back, sizeof back);
        effect->SetFloatArray(parameter, values, 32);
        effect->GetFloatArray(parameter, back, 32);
        D3DXMATRIX m;
        effect->GetMatrix(parameter, &m);
        int32_t whole = 0;
        std::memcpy(&whole, values, sizeof whole);
        effect->SetInt(parameter, whole);
        LPCSTR text = nullptr;
        effect->GetString(parameter, &text);
        if (p.Name)
            effect->GetParameterByName(nullptr, p.Name);
        if (p.Semantic)
            effect->GetParameterBySemantic(nullptr, p.Semantic);
    }
    for (UINT t = 0; t < desc.Techniques && t < 64; ++t)
    {
        D3DXHANDLE technique = effect->GetTechnique(t);
        D3DXTECHNIQUE_DESC td{};
        if (!technique || FAILED(effect->GetTechniqueDesc(technique, &td)))
            continue;
        if (FAILED(effect->SetTechnique(technique)))
            continue;
        effect->ValidateTechnique(technique);
        UINT passes = 0;
        if (FAILED(effect->Begin(&passes, 0)))
            continue;
        for (UINT pass = 0; pass < passes && pass < 16; ++pass)
        {
            if (FAILED(effect->BeginPass(pass)))
                continue;
            effect->CommitChanges();
            effect->EndPass();
        }
        effect->End();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    IDirect3DDevice9* device = FuzzRecordingDevice();
    ID3DXEffectPool* pool = nullptr;
    D3DXCreateEffectPool(&pool);
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    if (SUCCEEDED(D3DXCreateEffect(device, data, UINT(size), nullptr, nullptr, 0, pool, &effect, &errors)) && effect)
    {
        Exercise(effect, data, size);
        effect->Release();
    }
    if (errors)
        errors->Release();
    if (pool)
        pool->Release();
    return 0;
}
