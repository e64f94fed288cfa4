// engine_demo: the engine object on its real devices, as the game's entry will drive it: a window,
// the start-up settings, the real devices installed, then the engine's Tick/Render loop with a tick
// and a render callback, one or two passes in one process. The scene is the engine's own: a closed
// road of coloured slabs that the camera flies along, with a box that physics drops onto a ground
// slab. It checks its run and writes the last frame (and every 30th, if asked) as PNG files.
//
// Exit: 0 ok, 1 a check failed, 2 bad command line, 3 the engine did not start.
#include <stb/stb_image_write.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Engine/devices/WeRealEngineDevices.h"
#include "Engine/foundation/WeApplication.h"
#include "Engine/foundation/WeCrashReport.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeAppWindow.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/world/WeActorHandle.h"
#include "Engine/world/WePhysics.h"
#include "Platform/math/D3DXMatrixFunctions.h"

namespace
{
const char* const Usage = "engine_demo [--frames N] [--size WIDTHxHEIGHT] [--passes 1|2] [--png FILE] "
                          "[--png-dir DIR] [--log-folder DIR] [--crash-at FRAME --protection 1|2]";

struct Options
{
    int frames = 120;
    int width = 1024;
    int height = 768;
    int passes = 1;
    const char* png = nullptr;
    const char* pngDir = nullptr;
    const char* logFolder = nullptr;
    int crashAt = -1;
    int protection = 0;
};

bool ParseInt(const char* text, int low, int high, int* out)
{
    if (text == nullptr || *text == '\0')
        return false;
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < low || value > high)
        return false;
    *out = int(value);
    return true;
}

bool ParseSize(const char* text, int* width, int* height)
{
    if (text == nullptr)
        return false;
    const char* x = std::strchr(text, 'x');
    if (x == nullptr)
        return false;
    std::string w(text, x);
    // At least 64 x 48, at most 8192 either way.
    return ParseInt(w.c_str(), 64, 8192, width) && ParseInt(x + 1, 48, 8192, height);
}

bool Parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i)
    {
        const char* flag = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = value != nullptr;
        if (std::strcmp(flag, "--frames") == 0)
            ok = ok && ParseInt(value, 1, 1000000, &options.frames);
        else if (std::strcmp(flag, "--size") == 0)
            ok = ok && ParseSize(value, &options.width, &options.height);
        else if (std::strcmp(flag, "--passes") == 0)
            ok = ok && ParseInt(value, 1, 2, &options.passes);
        else if (std::strcmp(flag, "--png") == 0)
            options.png = value;
        else if (std::strcmp(flag, "--png-dir") == 0)
            options.pngDir = value;
        else if (std::strcmp(flag, "--log-folder") == 0)
            options.logFolder = value;
        else if (std::strcmp(flag, "--crash-at") == 0)
            ok = ok && ParseInt(value, 0, 1000000, &options.crashAt);
        else if (std::strcmp(flag, "--protection") == 0)
            ok = ok && ParseInt(value, 1, 2, &options.protection);
        else
            ok = false;
        if (!ok)
        {
            std::fprintf(stderr, "engine_demo: bad argument %s\nusage: %s\n", flag, Usage);
            return false;
        }
        ++i;
    }
    if ((options.crashAt >= 0) != (options.protection != 0))
    {
        std::fprintf(stderr, "engine_demo: --crash-at and --protection go together\nusage: %s\n", Usage);
        return false;
    }
    return true;
}

// The road: a closed oval of path nodes, each segment a slab the camera flies along.
constexpr int NodeCount = 48;
D3DXVECTOR3 PathNode(int index)
{
    const float angle = float(index % NodeCount) * 6.2831853f / float(NodeCount);
    return D3DXVECTOR3(90.0f * std::cos(angle), 0.0f, 55.0f * std::sin(angle));
}

struct DemoRun
{
    int frame = 0;
    int passFrames = 0;
    int crashAt = -1;
    WeActorHandle* ground = nullptr;
    WeActorHandle* box = nullptr;
    float boxStartY = 0.0f;
    float boxLowestY = 0.0f;
    bool drawFailed = false;
};
DemoRun g_Run;

void FaultHere()
{
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}

// The game's per-tick step: after a few frames physics is enabled and the box drops.
void OnTick()
{
    if (g_Run.frame == g_Run.crashAt)
        FaultHere();
    if (g_Run.frame == 2)
    {
        D3DXMATRIX pose;
        D3DXMatrixTranslation(&pose, PathNode(4).x, -0.5f, PathNode(4).z);
        g_Run.ground = g_Physics.CreateBoxActor(nullptr, pose, D3DXVECTOR3(20.0f, 0.5f, 20.0f), 0, 0.0f, true, 0);
        D3DXMatrixTranslation(&pose, PathNode(4).x, 6.0f, PathNode(4).z);
        g_Run.box = g_Physics.CreateBoxActor(nullptr, pose, D3DXVECTOR3(1.0f, 1.0f, 1.0f), 0, 1.0f, false, 0);
        g_Run.boxStartY = g_Run.boxLowestY = 6.0f;
        g_Engine.m_PhysicsEnabled = 1;
    }
    if (g_Run.box != nullptr)
    {
        D3DXVECTOR3 where;
        g_Run.box->GetPosition(where);
        if (where.y < g_Run.boxLowestY)
            g_Run.boxLowestY = where.y;
    }
}

bool DrawQuad(WeShader* shader, const D3DXVECTOR3 corners[4], const float colour[4])
{
    struct Vertex
    {
        float x, y, z;
        float nx, ny, nz;
        float u, v;
    };
    Vertex quad[4];
    for (int i = 0; i < 4; ++i)
        quad[i] = {corners[i].x, corners[i].y, corners[i].z, 0, 1, 0, float(i & 1), float(i >> 1)};
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    shader->SetMaterialColor(colour);
    if (!shader->SetTechnique(0, false) || shader->Begin(0) == 0)
        return false;
    bool ok = SUCCEEDED(shader->BeginPass(0)) &&
              SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)));
    shader->EndPass();
    shader->End();
    return ok;
}

// The render callback: the camera flies above the path looking a few nodes ahead.
void OnRender()
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    g_RenderDevice.Clear(true, 0xFF0B1020u, true, 1.0f, true, 0);
    const float t = float(g_Run.frame) * 0.25f;
    const int node = int(t);
    const float blend = t - float(node);
    D3DXVECTOR3 a = PathNode(node), b = PathNode(node + 1), ahead = PathNode(node + 4);
    D3DXVECTOR3 eye(a.x + (b.x - a.x) * blend, 6.0f, a.z + (b.z - a.z) * blend);
    D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view, projection, identity;
    D3DXMatrixLookAtLH(&view, &eye, &ahead, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 1.0f, float(g_ScreenSize.width) / float(g_ScreenSize.height), 0.5f,
                               1000.0f);
    D3DXMatrixIdentity(&identity);
    g_ShaderManager.SetViewProjection(view, projection, nullptr);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    WeShader* flat = g_ShaderManager.GetShader("Shaders.Default.ColorOnly", false, false);
    if (flat == nullptr)
    {
        g_Run.drawFailed = true;
        return;
    }
    flat->SetWorldMatrix(identity);
    g_RenderDevice.SetTexture(0, g_TextureManager.m_DefaultWhite);
    bool ok = true;
    const float grass[4] = {0.08f, 0.22f, 0.12f, 1.0f};
    const D3DXVECTOR3 field[4] = {{-400, -0.05f, 400}, {400, -0.05f, 400}, {-400, -0.05f, -400}, {400, -0.05f, -400}};
    ok = DrawQuad(flat, field, grass) && ok;
    const float cyan[4] = {0x35 / 255.0f, 0xE0 / 255.0f, 1.0f, 1.0f};
    const float amber[4] = {1.0f, 0xB0 / 255.0f, 0x20 / 255.0f, 1.0f};
    for (int i = 0; i < NodeCount; ++i)
    {
        D3DXVECTOR3 p = PathNode(i), q = PathNode(i + 1);
        float dx = q.x - p.x, dz = q.z - p.z;
        float length = std::sqrt(dx * dx + dz * dz);
        float sx = -dz / length * 5.0f, sz = dx / length * 5.0f;
        const D3DXVECTOR3 slab[4] = {
            {p.x - sx, 0, p.z - sz}, {p.x + sx, 0, p.z + sz}, {q.x - sx, 0, q.z - sz}, {q.x + sx, 0, q.z + sz}};
        ok = DrawQuad(flat, slab, i % 2 == 0 ? cyan : amber) && ok;
    }
    if (g_Run.box != nullptr)
    {
        D3DXMATRIX pose;
        g_Run.box->GetPose(pose);
        flat->SetWorldMatrix(pose);
        const float red[4] = {1.0f, 0x3B / 255.0f, 0x3B / 255.0f, 1.0f};
        // Three faces of the unit-half-extent box, enough to see it fall from any side of the road.
        const D3DXVECTOR3 faces[3][4] = {
            {{-1, 1, -1}, {1, 1, -1}, {-1, 1, 1}, {1, 1, 1}},
            {{-1, -1, -1}, {1, -1, -1}, {-1, 1, -1}, {1, 1, -1}},
            {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, -1}, {-1, 1, 1}},
        };
        for (const auto& face : faces)
            ok = DrawQuad(flat, face, red) && ok;
        flat->SetWorldMatrix(identity);
    }
    if (!ok)
        g_Run.drawFailed = true;
}

std::vector<uint32_t> ReadFrame(int width, int height)
{
    std::vector<uint32_t> pixels;
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    IDirect3DSurface9* back = nullptr;
    IDirect3DSurface9* copy = nullptr;
    if (device != nullptr && SUCCEEDED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back)) &&
        SUCCEEDED(device->CreateOffscreenPlainSurface(UINT(width), UINT(height), D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                      &copy, nullptr)) &&
        SUCCEEDED(device->GetRenderTargetData(back, copy)))
    {
        D3DLOCKED_RECT locked{};
        if (SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        {
            pixels.resize(size_t(width) * size_t(height));
            for (int y = 0; y < height; ++y)
                std::memcpy(&pixels[size_t(y) * size_t(width)],
                            static_cast<const uint8_t*>(locked.pBits) + size_t(y) * size_t(locked.Pitch),
                            size_t(width) * 4);
            copy->UnlockRect();
        }
    }
    if (copy != nullptr)
        copy->Release();
    if (back != nullptr)
        back->Release();
    return pixels;
}

bool WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& argb)
{
    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
    for (size_t i = 0; i < argb.size(); ++i)
    {
        rgb[i * 3 + 0] = uint8_t(argb[i] >> 16);
        rgb[i * 3 + 1] = uint8_t(argb[i] >> 8);
        rgb[i * 3 + 2] = uint8_t(argb[i]);
    }
    return stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}

int WindowMode()
{
    const char* text = std::getenv("WE_WINDOW_MODE");
    int mode = 2;
    if (text != nullptr && !ParseInt(text, 0, 2, &mode))
        mode = 2;
    return mode;
}

bool Check(bool condition, const char* what)
{
    if (!condition)
        std::fprintf(stderr, "engine_demo: check failed: %s\n", what);
    return condition;
}

class EngineDemo : public WeApplication
{
public:
    EngineDemo(const Options& options) : m_Options(options) {}

    const char* GetName() override { return "engine_demo"; }

    int Run() override
    {
        if (m_Options.logFolder != nullptr)
            SetLogFolder(m_Options.logFolder);
        if (m_Options.protection != 0)
        {
            UninstallCrashProtection();
            InstallCrashProtection(m_Options.protection);
        }
        int status = 0;
        for (int pass = 1; pass <= m_Options.passes && status == 0; ++pass)
            status = RunPass(pass);
        return status;
    }

private:
    int RunPass(int pass)
    {
        const int mode = WindowMode();
        WeAppWindow window;
        if (!window.Create("engine_demo", "engine_demo", nullptr, 102, 0, m_Options.width, m_Options.height, 0, 0, true,
                           mode != 0, true, false, mode == 1, false, nullptr))
        {
            std::fprintf(stderr, "engine_demo: cannot create the window\n");
            return 1;
        }
        WeEngineSettings settings;
        settings.windowMode = mode;
        settings.width = m_Options.width;
        settings.height = m_Options.height;
        InstallRealEngineDevices();
        g_Run = DemoRun();
        g_Run.crashAt = m_Options.crashAt;
        g_Engine.m_TickCallback = OnTick;
        // Physics steps by the engine's fixed step, so the box's fall does not hang on how fast frames are.
        g_Engine.m_FixedTick = 1;
        g_RenderDevice.m_RenderCallback = OnRender;
        if (!g_Engine.Init(settings, nullptr, &window, "engine_demo"))
        {
            // What the game's box would show.
            const char* text = g_Engine.m_ErrorText.c_str();
            std::fprintf(stderr, "engine_demo: %s\n",
                         *text != '\0' ? text : "the engine did not start and gave no text");
            int status = *text != '\0' ? 3 : 1;
            Finish(window);
            return status;
        }

        std::vector<uint32_t> first, last;
        int usable = 0;
        for (g_Run.frame = 0; g_Run.frame < m_Options.frames && window.IsAlive(); ++g_Run.frame)
        {
            g_Engine.Tick();
            g_Engine.Render();
            usable += g_Engine.m_DeviceUsable;
            const bool keep = g_Run.frame == 1 || g_Run.frame == m_Options.frames - 1 ||
                              (m_Options.pngDir != nullptr && g_Run.frame % 30 == 0);
            if (!keep || !g_Engine.m_DeviceUsable)
                continue;
            std::vector<uint32_t> pixels = ReadFrame(g_ScreenSize.width, g_ScreenSize.height);
            if (m_Options.pngDir != nullptr && g_Run.frame % 30 == 0 && !pixels.empty())
            {
                char name[64];
                std::snprintf(name, sizeof(name), "/frame-%d-%05d.png", pass, g_Run.frame);
                WritePng(std::string(m_Options.pngDir) + name, g_ScreenSize.width, g_ScreenSize.height, pixels);
            }
            if (g_Run.frame == 1)
                first = pixels;
            if (g_Run.frame == m_Options.frames - 1)
                last = pixels;
        }

        bool ok = Check(usable > 0, "the device was never usable");
        ok = Check(!g_Run.drawFailed, "a draw through the shipped effects failed") && ok;
        ok = Check(!last.empty(), "the last frame could not be read back") && ok;
        if (!last.empty())
        {
            bool varied = false;
            for (uint32_t pixel : last)
                varied = varied || (pixel & 0xFFFFFFu) != (last[0] & 0xFFFFFFu);
            ok = Check(varied, "the last frame is one colour") && ok;
            if (m_Options.frames > 8)
                ok = Check(first != last, "frames from different camera positions are the same") && ok;
        }
        if (m_Options.frames > 60)
            ok = Check(g_Run.box != nullptr && g_Run.boxLowestY < g_Run.boxStartY - 2.0f && g_Run.boxLowestY > 0.0f,
                       "the box did not fall onto the ground") &&
                 ok;
        if (m_Options.png != nullptr && !last.empty() &&
            !Check(WritePng(m_Options.png, g_ScreenSize.width, g_ScreenSize.height, last), "cannot write the PNG"))
            ok = false;
        const float seconds = float(g_Timer.m_TotalTimeF);
        std::printf("engine_demo: pass %d: %d frames at %dx%d, %d drawn, box fell %.2f m, %s\n", pass, g_Run.frame,
                    g_ScreenSize.width, g_ScreenSize.height, usable, g_Run.boxStartY - g_Run.boxLowestY,
                    ok ? "ok" : "FAILED");
        (void)seconds;
        window.m_Alive = 0;
        Finish(window);
        return ok ? 0 : 1;
    }

    void Finish(WeAppWindow& window)
    {
        // Bodies go before physics; the engine fetches a running step first.
        g_Engine.EndPhysicsStep();
        delete g_Run.box;
        delete g_Run.ground;
        g_Run.box = g_Run.ground = nullptr;
        g_Engine.m_PhysicsEnabled = 0;
        g_Engine.Shutdown();
        g_RenderDevice.m_RenderCallback = nullptr;
        g_Engine.m_TickCallback = nullptr;
        window.Destroy();
    }

    Options m_Options;
};
}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!Parse(argc, argv, options))
        return 2;
    EngineDemo demo(options);
    return demo.RunWithCrashHandler();
}
