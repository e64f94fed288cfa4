// renderfx_demo [--png FILE] [--frames N] [--size WxH] [--post none|all|bloom,radial,pixel,refraction,dof,grain]
//
// Creates the render device over OpenGL from the shipped Packages.dat with the post-process options the
// command line asks for, prints "chain:" and the shader names of the chain in order, and draws a small scene
// with the camera turning: the cube sky, a floor and boxes (one glowing), a refractive pane marked in the
// stencil, a cloud of particles, the velocity pass's depth, then the chain onto the back buffer. It checks
// that the sky and the glowing box show where they were placed and writes the last frame to the PNG; exits 1
// when a check fails.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeNewParticleSystemRenderer.h"
#include "Engine/render/WePostProcess.h"
#include "Engine/render/WePostProcessEffect.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeRenderTarget.h"
#include "Engine/render/WeRenderTargetManager.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeSkyBoxRenderer.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WeParticle.h"
#include "Engine/world/WeSkyBox.h"
#include "Platform/window/WinUser.h"
#include "Tools/demo_common/DemoFrame.h"
#include "Tools/demo_common/DemoOptions.h"
#include "Tools/demo_common/DemoRenderWindow.h"

namespace
{

struct Box
{
    D3DXVECTOR3 centre;
    D3DXVECTOR3 half;
    float colour[4];
};

// The scene: a floor, three boxes, the last one glowing white.
const Box Boxes[] = {
    {D3DXVECTOR3(0, -1, 20), D3DXVECTOR3(30, 0.05f, 30), {0.25f, 0.3f, 0.35f, 1}},
    {D3DXVECTOR3(-4, 0.5f, 14), D3DXVECTOR3(1.5f, 1.5f, 1.5f), {0.8f, 0.3f, 0.2f, 1}},
    {D3DXVECTOR3(5, 0.5f, 22), D3DXVECTOR3(1.5f, 1.5f, 1.5f), {0.2f, 0.5f, 0.9f, 1}},
    {D3DXVECTOR3(0, 1.0f, 12), D3DXVECTOR3(0.8f, 0.8f, 0.8f), {1, 1, 1, 1}},
};

// Twelve triangles of a box, positions only.
std::vector<D3DXVECTOR3> BoxTriangles(const Box& b)
{
    std::vector<D3DXVECTOR3> out;
    const D3DXVECTOR3 c = b.centre, h = b.half;
    D3DXVECTOR3 v[8];
    for (int i = 0; i < 8; ++i)
        v[i] = D3DXVECTOR3(c.x + ((i & 1) ? h.x : -h.x), c.y + ((i & 2) ? h.y : -h.y), c.z + ((i & 4) ? h.z : -h.z));
    const int faces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    for (const auto& f : faces)
    {
        const int tri[6] = {f[0], f[1], f[2], f[0], f[2], f[3]};
        for (int i : tri)
            out.push_back(v[i]);
    }
    return out;
}

bool DrawTriangles(WeShader* shader, const std::vector<D3DXVECTOR3>& triangles)
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    device->SetFVF(D3DFVF_XYZ);
    return SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, UINT(triangles.size() / 3), triangles.data(),
                                             sizeof(D3DXVECTOR3))) &&
           shader != nullptr;
}

struct Demo
{
    WeCamera camera;
    WeSkyBox sky;
    WeShader* flat = nullptr;
    WeShader* motion = nullptr;
    WeNewParticleSystem* particles = nullptr;
    std::vector<WeParticle> particleStore;
    bool ok = true;
};
Demo* g_Demo = nullptr;

void DrawBoxes(WeShader* shader, bool colour)
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    shader->SetWorldMatrix(identity);
    for (const Box& b : Boxes)
    {
        if (colour)
            shader->SetMaterialColor(b.colour);
        shader->CommitChanges();
        g_Demo->ok = DrawTriangles(shader, BoxTriangles(b)) && g_Demo->ok;
    }
}

void DrawFrame(int frame)
{
    Demo& d = *g_Demo;
    WeRenderDevice& device = g_RenderDevice;
    IDirect3DDevice9* dev = device.GetDevice();
    // The camera turns a little every frame, so pixel motion blur has something to show.
    const float yaw = 0.05f * float(frame);
    d.camera.m_Position = D3DXVECTOR3(0, 2, 0);
    d.camera.m_Direction = D3DXVECTOR3(std::sin(yaw), -0.08f, std::cos(yaw));
    d.camera.Update();
    g_Timer.m_TotalTimeF = 0.05f * float(frame);
    g_Timer.m_FrameDeltaF = 0.0f;
    device.SetCamera(&d.camera);
    g_ShaderManager.SetViewProjection(d.camera.m_View, d.camera.m_Projection, &d.camera);

    g_PostProcess.BeginScene();
    device.Clear(true, 0xFF000000u, true, 1.0f, true, 0);
    dev->SetRenderState(D3DRS_ZENABLE, FALSE);
    d.ok = g_SkyBoxRenderer.DrawCubeSky(&d.sky, &d.camera, 1.0f) && d.ok;
    dev->SetRenderState(D3DRS_ZENABLE, TRUE);
    dev->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    if (d.flat->SetTechnique(0, false) && d.flat->Begin(0) > 0 && SUCCEEDED(d.flat->BeginPass(0)))
    {
        DrawBoxes(d.flat, true);
        // The refractive pane: marks the stencil, leaves the colour as it is.
        dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
        dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        dev->SetRenderState(D3DRS_STENCILENABLE, TRUE);
        dev->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
        dev->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
        dev->SetRenderState(D3DRS_STENCILREF, 1);
        dev->SetRenderState(D3DRS_STENCILWRITEMASK, 1);
        const std::vector<D3DXVECTOR3> pane = {D3DXVECTOR3(-3, -1, 9),   D3DXVECTOR3(-3, 3, 9),
                                               D3DXVECTOR3(-0.5f, 3, 9), D3DXVECTOR3(-3, -1, 9),
                                               D3DXVECTOR3(-0.5f, 3, 9), D3DXVECTOR3(-0.5f, -1, 9)};
        d.ok = DrawTriangles(d.flat, pane) && d.ok;
        dev->SetRenderState(D3DRS_STENCILENABLE, FALSE);
        dev->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        d.flat->EndPass();
        d.flat->End();
    }
    // Particles, added over the scene.
    WeShader* particleShader = g_ShaderManager.GetShader("Shaders.Default.NewParticleSystem", false, false);
    if (particleShader != nullptr && particleShader->SetTechnique(0, false) && particleShader->Begin(0) > 0 &&
        SUCCEEDED(particleShader->BeginPass(0)))
    {
        dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        dev->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        device.SetTexture(0, g_TextureManager.m_DefaultWhite);
        if (particleShader->m_CameraRotation != nullptr)
            particleShader->GetEffect()->SetMatrix(particleShader->m_CameraRotation, &d.camera.m_Basis);
        const float white[4] = {1, 1, 1, 1};
        particleShader->SetMaterialColor(white);
        particleShader->CommitChanges();
        g_NewParticleSystemRenderer.RenderParticleSystem(d.particles, &d.camera);
        dev->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        dev->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
        particleShader->EndPass();
        particleShader->End();
    }
    // The velocity pass's depth, for depth of field and pixel motion blur.
    if (g_PostProcess.m_DepthTarget != nullptr && d.motion != nullptr)
    {
        IDirect3DSurface9* saved = device.GetRenderTarget();
        device.UseOffscreenDepth();
        device.SetRenderTarget(0, g_PostProcess.m_DepthTarget);
        device.Clear(true, 0, true, 1.0f, false, 0);
        ID3DXEffect* e = d.motion->GetEffect();
        UINT passes = 0;
        if (SUCCEEDED(e->SetTechnique("DoFOnly")) && SUCCEEDED(e->Begin(&passes, 0)) && SUCCEEDED(e->BeginPass(0)))
        {
            DrawBoxes(d.motion, false);
            e->EndPass();
            e->End();
        }
        device.RestoreRenderTarget(saved);
        device.UseBackBufferDepth();
    }
    g_PostProcess.EndScene();
    g_PostProcess.Render();
}

bool SetOptions(const char* post)
{
    WeRenderDevice& d = g_RenderDevice;
    const std::string list = post != nullptr ? post : "all";
    const bool all = list == "all";
    d.m_BloomLevel = all ? 1 : 0;
    d.m_MotionBlurMode = all ? 2 : 0;
    d.m_RefractionOn = all ? 1 : 0;
    d.m_DepthOfFieldOn = all ? 1 : 0;
    d.m_FilmGrainOn = all ? 1 : 0;
    if (all || list == "none")
        return true;
    size_t at = 0;
    while (at <= list.size())
    {
        size_t end = list.find(',', at);
        const std::string item = list.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (item == "bloom")
            d.m_BloomLevel = 1;
        else if (item == "radial")
            d.m_MotionBlurMode = 1;
        else if (item == "pixel")
            d.m_MotionBlurMode = 2;
        else if (item == "refraction")
            d.m_RefractionOn = 1;
        else if (item == "dof")
            d.m_DepthOfFieldOn = 1;
        else if (item == "grain")
            d.m_FilmGrainOn = 1;
        else
            return false;
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* post = nullptr;
    DemoOptions options;
    options.name = "renderfx_demo";
    options.usage = "renderfx_demo [--png FILE] [--frames N] [--size WxH] [--post none|all|LIST]";
    if (!options.parse(argc, argv, {{"--post", &post}}))
        return 2;
    if (!SetOptions(post))
    {
        std::fprintf(stderr, "renderfx_demo: --post takes none, all or a comma list of bloom, radial, pixel, "
                             "refraction, dof, grain\n");
        return 2;
    }
    // The refraction marks of the stencil are honoured.
    g_RenderDevice.m_RefractionOption = 0;

    HWND window = OpenDemoRenderWindow(options, "RenderFxDemo");
    if (window == nullptr)
        return 1;
    std::string chain = "chain:";
    for (auto* node = g_PostProcess.m_Effects.FirstNode(); node != nullptr;
         node = g_PostProcess.m_Effects.NextNode(node))
        if (node->payload->m_Shader != nullptr)
            chain += std::string(" ") + node->payload->m_Shader->GetName().c_str();
    std::printf("%s\n", chain.c_str());

    Demo demo;
    g_Demo = &demo;
    demo.camera.SetProjection(1.0f, 0.5f, 200.0f, 0.0f);
    demo.sky.m_Mode = 1;
    demo.sky.m_CubeTexture = g_TextureManager.GetTexture("Textures.Sky.Cube", false, 0, false);
    demo.flat = g_ShaderManager.GetShader("Shaders.Default.ColorOnly", false, false);
    demo.motion = g_ShaderManager.GetShader("Shaders.Special.Motion", false, false);
    demo.particles = new WeNewParticleSystem();
    demo.particleStore.assign(60, WeParticle{});
    for (size_t i = 0; i < demo.particleStore.size(); ++i)
    {
        WeParticle& p = demo.particleStore[i];
        const float a = float(i) * 0.7f;
        p.position = D3DXVECTOR3(4.0f + std::cos(a) * 1.5f, 1.0f + float(i % 10) * 0.25f, 10.0f + std::sin(a) * 1.5f);
        const float warm[4] = {1.0f, 0.55f, 0.15f, 0.5f};
        std::memcpy(p.color, warm, sizeof(warm));
        p.size = 0.25f;
        p.rotation = a;
        demo.particles->m_Particles.PushBack(&p);
    }
    int status = 0;
    if (demo.sky.m_CubeTexture == nullptr || demo.flat == nullptr)
    {
        std::fprintf(stderr, "renderfx_demo: the pack lacks Textures.Sky.Cube or Shaders.Default.ColorOnly\n");
        status = 1;
    }
    const int frames = options.frames > 0 ? options.frames : 1;
    std::vector<uint32_t> pixels;
    for (int f = 0; status == 0 && f < frames; ++f)
    {
        IDirect3DDevice9* dev = g_RenderDevice.GetDevice();
        dev->BeginScene();
        DrawFrame(f);
        dev->EndScene();
        if (f + 1 == frames)
            pixels = DemoReadBackBuffer(dev, UINT(g_ScreenSize.width), UINT(g_ScreenSize.height));
        dev->Present(nullptr, nullptr, nullptr, nullptr);
    }
    if (status == 0)
    {
        // The sky fills the top of the frame; the glowing box shows where it projects.
        const int w = g_ScreenSize.width, h = g_ScreenSize.height;
        auto at = [&](int x, int y) { return pixels.empty() ? 0u : pixels[size_t(y) * size_t(w) + size_t(x)]; };
        auto brightness = [](uint32_t p) { return int((p >> 16) & 0xFF) + int((p >> 8) & 0xFF) + int(p & 0xFF); };
        int skyLit = 0;
        for (int x = 0; x < w; x += 8)
            skyLit += brightness(at(x, 4)) > 60;
        // Where the glowing box's centre projects with the last frame's camera.
        const D3DXVECTOR3 c = Boxes[3].centre;
        const D3DXMATRIX& m = demo.camera.m_ViewProjection;
        const float cw = c.x * m._14 + c.y * m._24 + c.z * m._34 + m._44;
        const float cx = (c.x * m._11 + c.y * m._21 + c.z * m._31 + m._41) / cw;
        const float cy = (c.x * m._12 + c.y * m._22 + c.z * m._32 + m._42) / cw;
        const int bx = int((cx + 1.0f) * 0.5f * float(w));
        const int by = int((1.0f - cy) * 0.5f * float(h));
        const bool boxInside = cw > 0.0f && bx >= 0 && bx < w && by >= 0 && by < h;
        if (pixels.empty() || !demo.ok || skyLit < w / 16 || !boxInside || brightness(at(bx, by)) < 400)
        {
            std::fprintf(stderr, "renderfx_demo: the frame does not show the sky or the glowing box (%s)\n",
                         demo.ok ? "checked pixels" : "a draw failed");
            status = 1;
        }
    }
    if (options.pngPath != nullptr && !pixels.empty() &&
        !DemoWritePng(options.pngPath, UINT(g_ScreenSize.width), UINT(g_ScreenSize.height), pixels))
    {
        std::fprintf(stderr, "renderfx_demo: cannot write %s\n", options.pngPath);
        status = 1;
    }

    demo.particles->m_Particles.Reset();
    delete demo.particles;
    g_Demo = nullptr;
    g_RenderTargetManager.ReleaseAll();
    g_ShaderManager.ReleaseAll();
    g_MaterialManager.ReleaseAll(true);
    g_TextureManager.ReleaseAll(true);
    g_RenderDevice.Shutdown();
    DestroyWindow(window);
    return status;
}
