// Draws a textured, blended quad over a cleared background through the graphics layer, in a window (or
// off screen with SDL_VIDEODRIVER=offscreen), and writes the last frame to a PNG file when asked.
//
//   gfxdemo [--png FILE] [--frames N] [--size WIDTHxHEIGHT]
#include <cmath>

#include "Platform/gfx/D3D9.h"
#include "Tools/demo_common/DemoDevice.h"
#include "Tools/demo_common/DemoOptions.h"

namespace
{

struct Vertex
{
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};

IDirect3DTexture9* MakeChecker(IDirect3DDevice9* device)
{
    IDirect3DTexture9* texture = nullptr;
    if (FAILED(device->CreateTexture(64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr)))
        return nullptr;
    D3DLOCKED_RECT locked{};
    if (SUCCEEDED(texture->LockRect(0, &locked, nullptr, 0)))
    {
        for (int y = 0; y < 64; ++y)
        {
            uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
            for (int x = 0; x < 64; ++x)
                row[x] = ((x / 8 + y / 8) & 1) ? 0xC0FFD040 : 0x6020A0FF;
        }
        texture->UnlockRect(0);
    }
    return texture;
}

}  // namespace

int main(int argc, char** argv)
{
    DemoOptions options{"gfxdemo", "gfxdemo [--png FILE] [--frames N] [--size WIDTHxHEIGHT]"};
    if (!options.parse(argc, argv))
        return 2;

    DemoDevice demo(options);
    if (!demo.open())
        return 1;
    IDirect3DDevice9* device = demo.device();
    IDirect3DTexture9* checker = MakeChecker(device);
    int status = demo.run(
        [&](int frame)
        {
            device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(24, 32, 64), 1.0f, 0);
            device->BeginScene();
            float w = float(options.width), h = float(options.height);
            float shift = std::sin(float(frame) * 0.05f) * w * 0.1f;
            // An untextured bar under the quad shows the blending.
            const Vertex bar[4] = {{0, h * 0.45f, 0, 1, 0xFFE03020, 0, 0},
                                   {w, h * 0.45f, 0, 1, 0xFFE03020, 0, 0},
                                   {0, h * 0.55f, 0, 1, 0xFFE03020, 0, 0},
                                   {w, h * 0.55f, 0, 1, 0xFFE03020, 0, 0}};
            device->SetTexture(0, nullptr);
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
            device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
            device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, bar, sizeof(Vertex));
            float left = w * 0.25f + shift, right = w * 0.75f + shift, top = h * 0.2f, bottom = h * 0.8f;
            const Vertex quad[4] = {{left, top, 0, 1, 0xFFFFFFFF, 0, 0},
                                    {right, top, 0, 1, 0xFFFFFFFF, 4, 0},
                                    {left, bottom, 0, 1, 0xFFFFFFFF, 0, 4},
                                    {right, bottom, 0, 1, 0xFFFFFFFF, 4, 4}};
            device->SetTexture(0, checker);
            device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
            device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
            device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
            device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
            device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
            device->EndScene();
            return true;
        });
    device->SetTexture(0, nullptr);
    if (checker)
        checker->Release();
    return status;
}
