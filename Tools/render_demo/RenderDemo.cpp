// render_demo [--png FILE] [--size WxH] [--resize WxH]
//
// Opens a window through the window layer, marks it foreground, creates the render device over OpenGL from
// the shipped Packages.dat (window mode 2) and draws one frame through the shipped effects: the scene (a
// lit Default-effect panel and a flat ColorOnly panel on the night colour) into a render target, the target
// copied onto the back buffer with the screen quad, and a canvas bar drawn over it with the 2-D effect. It
// checks known pixels, prints "render_demo: <W>x<H> ok", and with --resize changes the mode through
// ChangeMode and draws again. The last frame goes to the PNG.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeRenderTarget.h"
#include "Engine/render/WeRenderTargetManager.h"
#include "Engine/render/WeScreenQuad.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeEngine.h"
#include "Platform/window/WinUser.h"
#include "Tools/demo_common/DemoFrame.h"
#include "Tools/demo_common/DemoOptions.h"
#include "Tools/demo_common/DemoRenderWindow.h"

namespace
{

// The palette of the pack.
constexpr D3DCOLOR Night = 0xFF0B1020u;
const float EdgeCyan[4] = {0x35 / 255.0f, 0xE0 / 255.0f, 1.0f, 1.0f};
const float WarningAmber[4] = {1.0f, 0xB0 / 255.0f, 0x20 / 255.0f, 1.0f};
constexpr D3DCOLOR DangerRed = 0xFFFF3B3Bu;

struct Scene
{
    WeRenderTarget* target = nullptr;
    IDirect3DVertexBuffer9* quad = nullptr;
    bool ok = true;
};
Scene g_Scene;

bool DrawPanel(WeShader* shader, float left, float top, float right, float bottom)
{
    struct Vertex
    {
        float x, y, z;
        float nx, ny, nz;
        float u, v;
    };
    const Vertex quad[4] = {{left, top, 0.5f, 0, 0, -1, 0, 0},
                            {right, top, 0.5f, 0, 0, -1, 1, 0},
                            {left, bottom, 0.5f, 0, 0, -1, 0, 1},
                            {right, bottom, 0.5f, 0, 0, -1, 1, 1}};
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    if (shader == nullptr || !shader->SetTechnique(0, false) || shader->Begin(0) == 0)
        return false;
    bool ok = SUCCEEDED(shader->BeginPass(0)) &&
              SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)));
    shader->EndPass();
    shader->End();
    return ok;
}

// The render callback: the scene into the target, the target onto the back buffer, the canvas bar on top.
void RenderFrame()
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    const int w = g_ScreenSize.width;
    const int h = g_ScreenSize.height;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    g_ShaderManager.SetViewProjection(identity, identity, nullptr);
    const float white[4] = {1, 1, 1, 1};
    g_RenderDevice.SetAmbientColor(white);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

    IDirect3DSurface9* backBuffer = g_RenderDevice.GetRenderTarget();
    g_RenderDevice.SetRenderTarget(0, g_Scene.target);
    g_RenderDevice.UseOffscreenDepth();
    g_RenderDevice.Clear(true, Night, true, 1.0f, true, 0);
    WeShader* lit = g_ShaderManager.GetShader("Shaders.Default.Default", false, false);
    WeShader* flat = g_ShaderManager.GetShader("Shaders.Default.ColorOnly", false, false);
    g_Scene.ok = lit != nullptr && flat != nullptr;
    if (g_Scene.ok)
    {
        lit->SetWorldMatrix(identity);
        lit->SetMaterialColor(EdgeCyan);
        g_RenderDevice.SetTexture(0, g_TextureManager.m_DefaultWhite);
        g_Scene.ok = DrawPanel(lit, -0.9f, 0.6f, -0.1f, -0.9f);
        flat->SetWorldMatrix(identity);
        flat->SetMaterialColor(WarningAmber);
        g_Scene.ok = DrawPanel(flat, 0.1f, -0.2f, 0.9f, -0.9f) && g_Scene.ok;
    }
    g_RenderDevice.RestoreRenderTarget(backBuffer);
    g_RenderDevice.UseBackBufferDepth();

    // The target onto the back buffer, texel for pixel.
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    SetQuadStates();
    g_RenderDevice.SetD3DTexture(0, g_Scene.target->GetTexture());
    g_Scene.ok = FillScreenQuad(g_Scene.quad, float(w), h) && g_Scene.ok;
    DrawScreenQuad(g_Scene.quad);
    g_RenderDevice.SetD3DTexture(0, nullptr);

    // A canvas bar across the top, through the 2-D effect: stage 6 x vertex colour.
    WeShader* canvas = g_ShaderManager.GetShader("Shaders.Default.2D", false, false);
    struct CanvasVertex
    {
        float x, y, z, rhw;
        D3DCOLOR colour;
        float u, v;
    };
    const float l = float(w) * 0.375f, r = float(w) * 0.625f, t = float(h) / 16.0f, b = float(h) * 3.0f / 16.0f;
    const CanvasVertex bar[4] = {{l, t, 0, 1, DangerRed, 0, 0},
                                 {r, t, 0, 1, DangerRed, 1, 0},
                                 {l, b, 0, 1, DangerRed, 0, 1},
                                 {r, b, 0, 1, DangerRed, 1, 1}};
    g_RenderDevice.SetTexture(6, g_TextureManager.m_DefaultWhite);
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    if (canvas == nullptr || !canvas->SetTechnique(0, false) || canvas->Begin(0) == 0)
    {
        g_Scene.ok = false;
        return;
    }
    g_Scene.ok = SUCCEEDED(canvas->BeginPass(0)) &&
                 SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, bar, sizeof(CanvasVertex))) && g_Scene.ok;
    canvas->EndPass();
    canvas->End();
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
}

// Known pixels of the frame: the night background, the lit cyan panel, the amber panel, the red bar.
bool CheckFrame(const std::vector<uint32_t>& frame, int w, int h)
{
    if (frame.empty())
    {
        std::fprintf(stderr, "render_demo: cannot read the frame back\n");
        return false;
    }
    struct Probe
    {
        int x, y;
        uint32_t colour;
        const char* what;
    } probes[] = {
        {w / 4, h / 2, 0x35E0FFu, "lit panel"},          {w * 3 / 4, h * 3 / 4, 0xFFB020u, "flat panel"},
        {w * 7 / 8, h * 3 / 8, 0x0B1020u, "background"}, {w / 2, h / 8, 0xFF3B3Bu, "canvas bar"},
        {w / 20, h / 20, 0x0B1020u, "corner"},
    };
    bool ok = true;
    for (const Probe& p : probes)
    {
        uint32_t pixel = frame[size_t(p.y) * size_t(w) + size_t(p.x)] & 0x00FFFFFFu;
        if (!DemoNearPixel(pixel, p.colour))
        {
            std::fprintf(stderr, "render_demo: %dx%d: the %s at (%d, %d) is %06X, not %06X\n", w, h, p.what, p.x, p.y,
                         pixel, p.colour);
            ok = false;
        }
    }
    return ok;
}

// One frame at the current size: render, read back, check.
bool DrawAndCheck(std::vector<uint32_t>* frame)
{
    g_RenderDevice.Render();
    const int w = g_ScreenSize.width, h = g_ScreenSize.height;
    *frame = DemoReadBackBuffer(g_RenderDevice.GetDevice(), UINT(w), UINT(h));
    bool ok = g_Scene.ok && CheckFrame(*frame, w, h);
    if (!g_Scene.ok)
        std::fprintf(stderr, "render_demo: a draw through the shipped effects failed\n");
    if (ok)
        std::printf("render_demo: %dx%d ok\n", w, h);
    return ok;
}

bool ParseSize(const char* text, int* w, int* h)
{
    return text != nullptr && std::sscanf(text, "%dx%d", w, h) == 2 && *w >= 64 && *h >= 64 && *w <= 8192 && *h <= 8192;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* resize = nullptr;
    DemoOptions options;
    options.name = "render_demo";
    options.usage = "render_demo [--png FILE] [--size WxH] [--resize WxH]";
    if (!options.parse(argc, argv, {{"--resize", &resize}}))
        return 2;
    int resizeWidth = 0, resizeHeight = 0;
    if (resize != nullptr && !ParseSize(resize, &resizeWidth, &resizeHeight))
    {
        std::fprintf(stderr, "render_demo: bad --resize %s\n", resize);
        return 2;
    }

    HWND window = OpenDemoRenderWindow(options, "RenderDemo");
    if (window == nullptr)
        return 1;
    int status = 0;
    g_Scene.target = g_RenderTargetManager.CreateTarget(g_ScreenSize.width, g_ScreenSize.height, D3DFMT_A8R8G8B8, 0, 0);
    if (g_Scene.target == nullptr || FAILED(g_RenderDevice.GetDevice()->CreateVertexBuffer(
                                         4 * 24, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, D3DFVF_XYZRHW | D3DFVF_TEX1,
                                         D3DPOOL_DEFAULT, &g_Scene.quad, nullptr)))
    {
        std::fprintf(stderr, "render_demo: cannot create the render target or the quad\n");
        status = 1;
    }
    g_RenderDevice.m_RenderCallback = RenderFrame;
    std::vector<uint32_t> frame;
    if (status == 0 && !DrawAndCheck(&frame))
        status = 1;
    if (status == 0 && resize != nullptr)
    {
        // The scene target follows the screen: a new one at the new size.
        if (!g_RenderDevice.ChangeMode(resizeWidth, resizeHeight, 0, 0, 0, 2))
        {
            std::fprintf(stderr, "render_demo: ChangeMode to %dx%d failed\n", resizeWidth, resizeHeight);
            status = 1;
        }
        else
        {
            g_RenderTargetManager.ReleaseTarget(g_Scene.target);
            g_Scene.target =
                g_RenderTargetManager.CreateTarget(g_ScreenSize.width, g_ScreenSize.height, D3DFMT_A8R8G8B8, 0, 0);
            if (g_Scene.target == nullptr || !DrawAndCheck(&frame))
                status = 1;
        }
    }
    if (options.pngPath != nullptr && !frame.empty() &&
        !DemoWritePng(options.pngPath, UINT(g_ScreenSize.width), UINT(g_ScreenSize.height), frame))
    {
        std::fprintf(stderr, "render_demo: cannot write %s\n", options.pngPath);
        status = 1;
    }

    // Shutdown in the engine's order.
    if (g_Scene.quad)
        g_Scene.quad->Release();
    g_RenderDevice.m_RenderCallback = nullptr;
    g_RenderTargetManager.ReleaseAll();
    g_ShaderManager.ReleaseAll();
    g_MaterialManager.ReleaseAll(true);
    g_TextureManager.ReleaseAll(true);
    g_RenderDevice.Shutdown();
    DestroyWindow(window);
    return status;
}
