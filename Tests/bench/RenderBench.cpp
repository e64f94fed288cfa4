// render_bench: one line per figure.
//   particles 2500 cpu: <us> us/frame        one system of 2,500 particles advanced and filled, recording backend
//   particles 2500 llvmpipe: <us> us/frame   the same filled and drawn at 1024x768, particles of 16 pixels
//   read-back 1024x768: <ms> ms              one read-back of the back buffer, timed once apart
//   post copy 1024x768: <ms> ms/frame        the yardstick: one plain textured full-screen pass
//   post fixed 1024x768: <ms> ms/frame       the chain with every option off: the scene's target cleared, the
//                                            final colour pass onto the back buffer
//   post <effect> 1024x768: <ms> ms/frame (own <ms>)   the chain with that effect alone, and its own cost (less
//                                            the fixed cost); "all" is the chain with every effect
// The timed frames are not read back: the frames of a run are followed by one read-back that waits for them,
// and that read-back's own time is taken off. "cpu" is the processor time of the process (llvmpipe's threads
// included) a frame, which a shared machine's other load moves less than the wall clock.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include <sys/resource.h>

#include "Engine/render/WeCamera.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeNewParticleSystemRenderer.h"
#include "Engine/render/WePostProcess.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeRenderTarget.h"
#include "Engine/render/WeRenderTargetManager.h"
#include "Engine/render/WeScreenQuad.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WeParticle.h"
#include "Platform/gfx/GfxRecorder.h"
#include "Platform/window/WinUser.h"
#include "Tools/demo_common/DemoFrame.h"

namespace
{

constexpr int Width = 1024;
constexpr int Height = 768;

LRESULT BenchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

double Time(int frames, const std::function<void()>& frame)
{
    frame();  // programs built, buffers touched
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i)
        frame();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / frames;
}

// The process's processor time (every llvmpipe thread included), in seconds: on a shared machine it moves less
// with the other load than the wall clock does.
double ProcessorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

struct Timing
{
    double wall = 0.0;       // seconds a frame
    double processor = 0.0;  // processor seconds a frame
};

// Frames drawn without waiting, then one read-back that waits for all of them; its own time is taken off.
Timing TimeDrawn(IDirect3DDevice9* device, int frames, const Timing& readBack, const std::function<void()>& frame)
{
    frame();
    DemoReadBackBuffer(device, Width, Height);
    const double processor = ProcessorSeconds();
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i)
        frame();
    DemoReadBackBuffer(device, Width, Height);
    Timing t;
    t.wall =
        std::max(0.0, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() - readBack.wall) /
        frames;
    t.processor = std::max(0.0, ProcessorSeconds() - processor - readBack.processor) / frames;
    return t;
}

void Shutdown()
{
    g_RenderTargetManager.ReleaseAll();
    g_ShaderManager.ReleaseAll();
    g_MaterialManager.ReleaseAll(true);
    g_TextureManager.ReleaseAll(true);
    g_RenderDevice.Shutdown();
}

void SetOptions(int bloom, int motion, int refraction, int dof, int grain)
{
    g_RenderDevice.m_BloomLevel = bloom;
    g_RenderDevice.m_MotionBlurMode = motion;
    g_RenderDevice.m_RefractionOn = uint8_t(refraction);
    g_RenderDevice.m_DepthOfFieldOn = uint8_t(dof);
    g_RenderDevice.m_FilmGrainOn = uint8_t(grain);
}

}  // namespace

int main()
{
    WNDCLASSEXA c = {};
    c.cbSize = sizeof(c);
    c.lpfnWndProc = BenchProc;
    c.lpszClassName = "RenderBench";
    RegisterClassExA(&c);
    HWND window = CreateWindowExA(0, "RenderBench", "render_bench", WS_POPUP, 0, 0, Width, Height, nullptr, nullptr,
                                  nullptr, nullptr);
    if (window == nullptr)
        return 1;
    SetForegroundWindow(window);

    WeNewParticleSystem* system = new WeNewParticleSystem();
    std::vector<WeParticle> particles(2500, WeParticle{});
    for (size_t i = 0; i < particles.size(); ++i)
    {
        WeParticle& p = particles[i];
        p.position = D3DXVECTOR3(float(i % 50) - 25.0f, float(i / 50) - 25.0f, 60.0f);
        p.velocity = D3DXVECTOR3(0.1f, 0.2f, 0.0f);
        p.color[0] = p.color[1] = p.color[2] = 1.0f;
        p.color[3] = 0.5f;
        p.size = 0.45f;
        system->m_Particles.PushBack(&p);
    }
    WeCamera camera;
    camera.SetProjection(1.0f, 1.0f, 1000.0f, float(Width) / float(Height));
    camera.Update();
    auto advance = [&]()
    {
        for (WeParticle& p : particles)
        {
            p.position += p.velocity * 0.001f;
            p.rotation += 0.01f;
        }
    };

    // Particles on the recording backend, logging off: the CPU side alone.
    GfxSelectBackend(GfxBackendKind::Recording);
    g_GfxRecorder.logging = false;
    if (!g_RenderDevice.Create(nullptr, window, Width, Height, 0, 0, 0, 2, 2, 1))
        return 1;
    double cpu = Time(200,
                      [&]
                      {
                          advance();
                          g_NewParticleSystemRenderer.RenderParticleSystem(system, &camera);
                      });
    std::printf("particles 2500 cpu: %.0f us/frame\n", cpu * 1e6);
    Shutdown();

    GfxSelectBackend(GfxBackendKind::OpenGL);
    SetOptions(0, 0, 0, 0, 0);
    if (!g_RenderDevice.Create(nullptr, window, Width, Height, 0, 0, 0, 2, 2, 1))
        return 1;
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    WeShader* particleShader = g_ShaderManager.GetShader("Shaders.Default.NewParticleSystem", false, false);
    g_ShaderManager.SetViewProjection(camera.m_View, camera.m_Projection, &camera);
    // One read-back of an idle device, timed apart.
    DemoReadBackBuffer(device, Width, Height);
    Timing readBack;
    {
        const double processor = ProcessorSeconds();
        auto readStart = std::chrono::steady_clock::now();
        DemoReadBackBuffer(device, Width, Height);
        readBack.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - readStart).count();
        readBack.processor = ProcessorSeconds() - processor;
    }
    Timing gl =
        TimeDrawn(device, 20, readBack,
                  [&]
                  {
                      device->BeginScene();
                      g_RenderDevice.Clear(true, 0xFF000000u, true, 1.0f, false, 0);
                      advance();
                      if (particleShader->SetTechnique(0, false) && particleShader->Begin(0) > 0 &&
                          SUCCEEDED(particleShader->BeginPass(0)))
                      {
                          g_RenderDevice.SetTexture(0, g_TextureManager.m_DefaultWhite);
                          if (particleShader->m_CameraRotation != nullptr)
                              particleShader->GetEffect()->SetMatrix(particleShader->m_CameraRotation, &camera.m_Basis);
                          particleShader->CommitChanges();
                          g_NewParticleSystemRenderer.RenderParticleSystem(system, &camera);
                          particleShader->EndPass();
                          particleShader->End();
                      }
                      device->EndScene();
                  });
    std::printf("particles 2500 llvmpipe: %.0f us/frame\n", gl.wall * 1e6);
    std::printf("read-back 1024x768: %.1f ms\n", readBack.wall * 1e3);

    // The yardstick: one plain textured copy of a screen-sized target.
    WeRenderTarget* source = g_RenderTargetManager.CreateTarget(Width, Height, D3DFMT_A8R8G8B8, 0, 0);
    IDirect3DVertexBuffer9* quad = nullptr;
    device->CreateVertexBuffer(4 * 24, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, D3DFVF_XYZRHW | D3DFVF_TEX1,
                               D3DPOOL_DEFAULT, &quad, nullptr);
    FillScreenQuad(quad, float(Width), Height);
    const int postFrames = 30;
    Timing copy = TimeDrawn(device, postFrames, readBack,
                            [&]
                            {
                                device->BeginScene();
                                SetQuadStates();
                                g_RenderDevice.SetD3DTexture(0, source->GetTexture());
                                DrawScreenQuad(quad);
                                device->EndScene();
                            });
    std::printf("post copy 1024x768: %.2f ms/frame (cpu %.2f)\n", copy.wall * 1e3, copy.processor * 1e3);
    g_RenderDevice.SetD3DTexture(0, nullptr);
    quad->Release();

    struct Config
    {
        const char* name;
        int bloom, motion, refraction, dof, grain;
    } configs[] = {{"fixed", 0, 0, 0, 0, 0}, {"bloom", 1, 0, 0, 0, 0},      {"radial", 0, 1, 0, 0, 0},
                   {"pixel", 0, 2, 0, 0, 0}, {"refraction", 0, 0, 1, 0, 0}, {"dof", 0, 0, 0, 1, 0},
                   {"grain", 0, 0, 0, 0, 1}, {"all", 1, 2, 1, 1, 1}};
    g_RenderDevice.m_RefractionOption = 0;
    Timing fixed;
    for (const Config& config : configs)
    {
        SetOptions(config.bloom, config.motion, config.refraction, config.dof, config.grain);
        g_PostProcess.Reinitialize();
        Timing t = TimeDrawn(device, postFrames, readBack,
                             [&]
                             {
                                 device->BeginScene();
                                 g_PostProcess.BeginScene();
                                 g_RenderDevice.Clear(true, 0xFF406080u, true, 1.0f, true, 0);
                                 g_PostProcess.EndScene();
                                 g_PostProcess.Render();
                                 device->EndScene();
                             });
        if (config.bloom + config.motion + config.refraction + config.dof + config.grain == 0)
        {
            fixed = t;
            std::printf("post %s 1024x768: %.2f ms/frame (cpu %.2f)\n", config.name, t.wall * 1e3, t.processor * 1e3);
        }
        else
            std::printf("post %s 1024x768: %.2f ms/frame (own %.2f; cpu %.2f, own %.2f)\n", config.name, t.wall * 1e3,
                        (t.wall - fixed.wall) * 1e3, t.processor * 1e3, (t.processor - fixed.processor) * 1e3);
    }
    system->m_Particles.Reset();
    delete system;
    Shutdown();
    DestroyWindow(window);
    return 0;
}
