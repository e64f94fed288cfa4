// Draws a textured, tinted quad through an effect file (the effect text format of the helper layer), in a
// window or off screen with SDL_VIDEODRIVER=offscreen, and writes the last frame to a PNG when asked; the
// frame's centre must show the quad.
//
//   fxdemo [--effect FILE] [--png FILE] [--frames N] [--size WIDTHxHEIGHT]
#include <cmath>
#include <cstdio>
#include <vector>

#include "Platform/gfx_d3dx/D3DX9.h"
#include "Tools/demo_common/DemoDevice.h"
#include "Tools/demo_common/DemoOptions.h"

namespace
{

struct Vertex
{
    float x, y, z;
    float u, v;
};

const uint32_t ClearColour = 0x182040;

IDirect3DTexture9* MakeChecker(IDirect3DDevice9* device)
{
    IDirect3DTexture9* texture = nullptr;
    if (FAILED(D3DXCreateTexture(device, 64, 64, D3DX_DEFAULT, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture)))
        return nullptr;
    D3DLOCKED_RECT locked{};
    if (SUCCEEDED(texture->LockRect(0, &locked, nullptr, 0)))
    {
        for (int y = 0; y < 64; ++y)
        {
            uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
            for (int x = 0; x < 64; ++x)
                row[x] = ((x / 16 + y / 16) & 1) ? 0xFFFFFFFF : 0xC0808080;
        }
        texture->UnlockRect(0);
    }
    D3DXFilterTexture(texture, nullptr, 0, D3DX_DEFAULT);
    return texture;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* effectPath = WE_FXDEMO_EFFECT;
    DemoOptions options{"fxdemo", "fxdemo [--effect FILE] [--png FILE] [--frames N] [--size WIDTHxHEIGHT]"};
    if (!options.parse(argc, argv, {{"--effect", &effectPath}}))
        return 2;

    DemoDevice demo(options);
    if (!demo.open())
        return 1;
    IDirect3DDevice9* device = demo.device();
    ID3DXEffectPool* pool = nullptr;
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    D3DXCreateEffectPool(&pool);
    if (FAILED(D3DXCreateEffectFromFileA(device, effectPath, nullptr, nullptr, 0, pool, &effect, &errors)))
    {
        std::fprintf(stderr, "fxdemo: %s\n",
                     errors ? static_cast<const char*>(errors->GetBufferPointer()) : effectPath);
        if (errors)
            errors->Release();
        pool->Release();
        return 1;
    }
    IDirect3DTexture9* checker = MakeChecker(device);
    effect->SetTexture("Checker", checker);
    D3DXHANDLE world = effect->GetParameterByName(nullptr, "WorldMatrix");
    D3DXHANDLE tint = effect->GetParameterByName(nullptr, "Tint");
    const Vertex quad[4] = {
        {-0.5f, 0.5f, 0.5f, 0, 0}, {0.5f, 0.5f, 0.5f, 1, 0}, {-0.5f, -0.5f, 0.5f, 0, 1}, {0.5f, -0.5f, 0.5f, 1, 1}};
    auto draw = [&](int frame)
    {
        bool drawn = true;
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u | ClearColour, 1.0f, 0);
        device->BeginScene();
        float angle = float(frame) * 0.02f;
        D3DXMATRIX m;
        D3DXMatrixRotationZ(&m, angle);
        effect->SetMatrix(world, &m);
        D3DXVECTOR4 colour(1.0f, 0.6f + 0.4f * std::sin(angle * 3.0f), 0.3f, 1.0f);
        effect->SetVector(tint, &colour);
        device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
        UINT passes = 0;
        if (SUCCEEDED(effect->SetTechnique("Default")) && SUCCEEDED(effect->Begin(&passes, 0)))
        {
            for (UINT p = 0; p < passes; ++p)
            {
                if (FAILED(effect->BeginPass(p)))
                {
                    drawn = false;
                    continue;
                }
                device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
                effect->EndPass();
            }
            effect->End();
        }
        else
        {
            drawn = false;
        }
        device->EndScene();
        return drawn;
    };
    // The frame's centre must show the quad, not the clear colour.
    auto check = [&](const std::vector<uint32_t>& pixels)
    {
        if (pixels.empty() ||
            (pixels[(options.height / 2) * options.width + options.width / 2] & 0xFFFFFF) == ClearColour)
        {
            std::fprintf(stderr, "fxdemo: the quad is missing from the frame\n");
            return false;
        }
        return true;
    };
    int status = demo.run(draw, check);
    effect->Release();
    pool->Release();
    if (checker)
        checker->Release();
    return status;
}
