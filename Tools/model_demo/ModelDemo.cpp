// model_demo [--png FILE] [--frames N] [--size WxH] [--sheet PREFIX]
//
// Opens a window through the window layer, marks it foreground, creates the render device over OpenGL from
// the shipped Packages.dat and puts "Demo.Meshes.Crate" (a mesh model) and "Demo.Models.Spinner" (a frame
// hierarchy with an animation set) on two actors of a world lit by one light. Each frame ticks the spinner's
// actor by a fixed frame time and draws the world through its render step, as a race does: the render queue
// takes every frame of the hierarchy under its own matrix. It checks that the crate shows both colours of its
// checker and that the rotor moved between the first and the last frame, prints "model_demo: animated ok" and
// writes the last frame to the PNG.
//
// With --sheet it draws every packed model whose dotted name starts with PREFIX ("Pickups.Models": package
// Pickups, folder Models), one tile of the window's size each, turned a little further from tile to tile, and
// writes the labelled grid to the PNG; it prints "model_demo: <n> models" when every model loaded and drew.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Engine/foundation/WeTimer.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeMeshManager.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/render/WeRenderTargetManager.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeWorld.h"
#include "Platform/math/D3DXVectorFunctions.h"
#include "Platform/window/WinUser.h"
#include "Tools/demo_common/DemoFrame.h"
#include "Tools/demo_common/DemoOptions.h"
#include "Tools/demo_common/DemoRenderWindow.h"
#include "Tools/demo_common/DemoText.h"

namespace
{

constexpr D3DCOLOR Night = 0xFF0B1020u;
constexpr float FrameTime = 1.0f / 50.0f;

struct Scene
{
    WeWorld* world = nullptr;
    WeActor* crate = nullptr;
    WeActor* spinner = nullptr;
    WeLight* light = nullptr;
    WeCamera camera;
};
Scene g_Scene;

void RenderFrame()
{
    const float ambient[4] = {0.25f, 0.25f, 0.3f, 1.0f};
    g_RenderDevice.SetAmbientColor(ambient);
    g_Scene.world->Render(&g_Scene.camera);
}

// The crate's square on screen: the crate shows both checker colours, steel and edge cyan, lit.
bool CheckCrate(const std::vector<uint32_t>& frame, int w, int h)
{
    int cyan = 0, steel = 0;
    for (int y = h / 4; y < h * 3 / 4; ++y)
        for (int x = w / 8; x < w * 3 / 8; ++x)
        {
            const uint32_t p = frame[size_t(y) * size_t(w) + size_t(x)];
            const int r = int((p >> 16) & 0xFF), g = int((p >> 8) & 0xFF), b = int(p & 0xFF);
            if (b > 120 && g > 90 && r * 2 < g)
                ++cyan;
            else if (b > 0x28 && b < 0x90 && std::abs(r - g) < 24 && b > g && std::abs(b - 0x20) > 12)
                ++steel;
        }
    if (cyan < 50 || steel < 50)
    {
        std::fprintf(stderr, "model_demo: the crate shows %d cyan and %d steel pixels, not both colours\n", cyan,
                     steel);
        return false;
    }
    return true;
}

// Pixels of the spinner's half of the frame that changed between two frames.
int RotorChange(const std::vector<uint32_t>& first, const std::vector<uint32_t>& last, int w, int h)
{
    int changed = 0;
    for (int y = 0; y < h; ++y)
        for (int x = w / 2; x < w; ++x)
            if (!DemoNearPixel(first[size_t(y) * size_t(w) + size_t(x)], last[size_t(y) * size_t(w) + size_t(x)]))
                ++changed;
    return changed;
}

// The crate and the spinner over the frames; checks both and writes the last frame.
int Animated(const DemoOptions& options, int frames)
{
    g_Scene.camera.m_Position = D3DXVECTOR3(0.0f, 4.5f, -7.0f);
    D3DXVECTOR3 direction = D3DXVECTOR3(0.0f, 0.5f, 0.0f) - g_Scene.camera.m_Position;
    D3DXVec3Normalize(&g_Scene.camera.m_Direction, &direction);
    g_Scene.camera.SetProjection(0.9f, 0.5f, 100.0f, float(g_ScreenSize.width) / float(g_ScreenSize.height));
    g_Scene.camera.Update();
    g_RenderDevice.m_RenderCallback = RenderFrame;

    int status = 0;
    const int w = g_ScreenSize.width, h = g_ScreenSize.height;
    std::vector<uint32_t> first, last;
    for (int frame = 0; frame < frames; ++frame)
    {
        g_Timer.m_FrameDeltaF = frame == 0 ? 0.0f : FrameTime;
        g_Scene.spinner->Tick();
        g_Scene.light->Tick();
        g_RenderDevice.Render();
        if (frame == 0 || frame == frames - 1)
            (frame == 0 ? first : last) = DemoReadBackBuffer(g_RenderDevice.GetDevice(), UINT(w), UINT(h));
    }
    if (first.empty() || last.empty())
    {
        std::fprintf(stderr, "model_demo: cannot read the frame back\n");
        status = 1;
    }
    if (status == 0 && !CheckCrate(last, w, h))
        status = 1;
    if (status == 0)
    {
        const int changed = RotorChange(first, last, w, h);
        if (changed < w * h / 100)
        {
            std::fprintf(stderr,
                         "model_demo: only %d pixels of the rotor changed between the first and the last "
                         "frame\n",
                         changed);
            status = 1;
        }
    }
    if (status == 0)
        std::printf("model_demo: animated ok\n");
    if (options.pngPath != nullptr && !last.empty() && !DemoWritePng(options.pngPath, UINT(w), UINT(h), last))
    {
        std::fprintf(stderr, "model_demo: cannot write %s\n", options.pngPath);
        status = 1;
    }

    return status;
}

// The packed models under a dotted prefix, sorted: mesh models and hierarchies alike.
std::vector<std::string> PackedModels(const std::string& prefix)
{
    std::vector<std::string> names;
    const size_t dot = prefix.find('.');
    if (dot == std::string::npos)
        return names;
    const WeString package(prefix.substr(0, dot).c_str());
    const WeString folder(prefix.substr(dot + 1).c_str());
    WeVirtualFileSystem* vfs = WeVirtualFileSystem::Instance();
    for (int32_t type : {WeModelManager::MeshFileType, WeModel::FileType})
    {
        WeStringList list;
        vfs->ListFiles(list, package, folder, type);
        for (WeStringList::Node* n = list.FirstNode(); n; n = list.NextNode(n))
        {
            std::string name = n->payload.c_str();
            if (name.find('.') == std::string::npos)
                name = prefix + "." + name;
            if (std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Pixels that differ clearly from the empty frame.
int ChangedPixels(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    int changed = 0;
    for (size_t k = 0; k < a.size() && k < b.size(); ++k)
        changed += DemoNearPixel(a[k], b[k]) ? 0 : 1;
    return changed;
}

int Sheet(const DemoOptions& options, const std::string& prefix)
{
    const std::vector<std::string> names = PackedModels(prefix);
    if (names.empty())
    {
        std::fprintf(stderr, "model_demo: no packed model starts with %s\n", prefix.c_str());
        return 1;
    }
    const int w = g_ScreenSize.width, h = g_ScreenSize.height;
    const int columns = int(std::ceil(std::sqrt(double(names.size()) * 4.0 / 3.0)));
    const int rows = (int(names.size()) + columns - 1) / columns;
    g_Scene.camera.m_Position = D3DXVECTOR3(3.2f, 2.4f, -4.6f);
    D3DXVECTOR3 direction = -g_Scene.camera.m_Position;
    D3DXVec3Normalize(&g_Scene.camera.m_Direction, &direction);
    g_Scene.camera.SetProjection(0.9f, 0.3f, 100.0f, float(w) / float(h));
    g_Scene.camera.Update();
    g_Timer.m_FrameDeltaF = 0.0f;
    g_Scene.light->Tick();
    g_RenderDevice.Render();
    const std::vector<uint32_t> empty = DemoReadBackBuffer(g_RenderDevice.GetDevice(), UINT(w), UINT(h));
    std::vector<uint32_t> sheet(size_t(w * columns) * size_t(h * rows), Night);
    int status = 0;
    for (size_t i = 0; i < names.size(); ++i)
    {
        WeActor* actor = new WeActor();
        actor->m_ModelName = names[i].c_str();
        D3DXMATRIX turn;
        D3DXMatrixRotationY(&turn, -0.9f + 0.15f * float(i % 5));
        actor->SetLocationAndOrientation(D3DXVECTOR3(0.0f, 0.0f, 0.0f), turn);
        g_Scene.world->AddActor(actor);
        g_RenderDevice.Render();
        const std::vector<uint32_t> pixels = DemoReadBackBuffer(g_RenderDevice.GetDevice(), UINT(w), UINT(h));
        const int drawn = ChangedPixels(pixels, empty);
        const std::string label = names[i].substr(std::min(names[i].size(), prefix.size() + 1));
        if (actor->m_Model == nullptr || drawn < w * h / 200)
        {
            std::fprintf(stderr, "model_demo: %s %s\n", names[i].c_str(),
                         actor->m_Model == nullptr ? "does not load" : "draws next to nothing");
            status = 1;
        }
        const int x0 = int(i % size_t(columns)) * w, y0 = int(i / size_t(columns)) * h;
        for (int y = 0; y < h && pixels.size() == size_t(w * h); ++y)
            for (int x = 0; x < w; ++x)
                sheet[size_t(y0 + y) * size_t(w * columns) + size_t(x0 + x)] = pixels[size_t(y * w + x)];
        DemoDrawText(sheet, w * columns, h * rows, x0 + 3, y0 + 3, label.c_str(), 0xFFF2F5FAu, 2);
        g_Scene.world->RemoveActor(actor);
        delete actor;
    }
    if (options.pngPath != nullptr && !DemoWritePng(options.pngPath, UINT(w * columns), UINT(h * rows), sheet))
    {
        std::fprintf(stderr, "model_demo: cannot write %s\n", options.pngPath);
        status = 1;
    }
    if (status == 0)
        std::printf("model_demo: %d models\n", int(names.size()));
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    DemoOptions options;
    options.name = "model_demo";
    options.usage = "model_demo [--png FILE] [--frames N] [--size WxH] [--sheet PREFIX]";
    const char* sheetPrefix = nullptr;
    if (!options.parse(argc, argv, {{"--sheet", &sheetPrefix}}))
        return 2;
    // The turn has to show between the first frame and the last.
    const int frames = options.frames < 0 ? 20 : std::max(options.frames, 2);

    // The scene as drawn, without the post-processing chain (motion blur would smear the turn being checked)
    // or the reflection cube.
    g_RenderDevice.m_BloomLevel = 0;
    g_RenderDevice.m_MotionBlurMode = 0;
    g_RenderDevice.m_RefractionOn = 0;
    g_RenderDevice.m_DepthOfFieldOn = 0;
    g_RenderDevice.m_FilmGrainOn = 0;
    g_RenderDevice.m_ReflectionQuality = 0;
    HWND window = OpenDemoRenderWindow(options, "ModelDemo");
    if (window == nullptr)
        return 1;
    g_RenderDevice.m_ClearColor = Night;
    int status = 0;
    g_Scene.world = new WeWorld();
    g_Scene.crate = new WeActor();
    g_Scene.crate->m_ModelName = "Demo.Meshes.Crate";
    D3DXMATRIX turn;
    D3DXMatrixRotationY(&turn, 0.6f);
    g_Scene.crate->SetLocationAndOrientation(D3DXVECTOR3(-2.0f, 0.5f, 0.0f), turn);
    g_Scene.world->AddActor(g_Scene.crate);
    g_Scene.spinner = new WeActor();
    g_Scene.spinner->m_ModelName = "Demo.Models.Spinner";
    g_Scene.spinner->SetLocation(D3DXVECTOR3(1.8f, 0.0f, 0.5f));
    g_Scene.world->AddActor(g_Scene.spinner);
    WeLight* light = new WeLight();
    light->m_Range = 40.0f;
    light->m_BaseIntensity = 1.2f;
    light->m_FadeInTime = 0.0f;
    light->SetLocation(D3DXVECTOR3(-3.0f, 6.0f, -5.0f));
    g_Scene.world->AddActor(light);
    g_Scene.light = light;
    const WeModel* crate = g_Scene.crate->m_Model;
    const WeModel* spinner = g_Scene.spinner->m_Model;
    if (crate == nullptr || spinner == nullptr || crate->m_Kind != WeModel::KindMesh ||
        spinner->m_Kind != WeModel::KindHierarchy || spinner->m_Controller == nullptr)
    {
        std::fprintf(stderr, "model_demo: cannot load Demo.Meshes.Crate as a mesh model and Demo.Models.Spinner as "
                             "an animated hierarchy\n");
        status = 1;
    }
    if (sheetPrefix != nullptr && status == 0)
    {
        g_Scene.world->RemoveActor(g_Scene.crate);
        g_Scene.world->RemoveActor(g_Scene.spinner);
        delete g_Scene.crate;
        delete g_Scene.spinner;
        g_Scene.crate = g_Scene.spinner = nullptr;
        g_RenderDevice.m_RenderCallback = RenderFrame;
        status = Sheet(options, sheetPrefix);
    }
    else if (status == 0)
        status = Animated(options, frames);

    // Shutdown in the engine's order: models first, then what they use.
    g_RenderQueue.Prepare(nullptr, nullptr);
    delete g_Scene.world;
    g_RenderDevice.m_RenderCallback = nullptr;
    g_RenderTargetManager.ReleaseAll();
    g_ShaderManager.ReleaseAll();
    g_MeshManager.ReleaseAll(true);
    g_MaterialManager.ReleaseAll(true);
    g_TextureManager.ReleaseAll(true);
    g_RenderDevice.Shutdown();
    DestroyWindow(window);
    return status;
}
