// model_demo [--png FILE] [--frames N] [--size WxH]
//
// Opens a window through the window layer, marks it foreground, creates the render device over OpenGL from
// the shipped Packages.dat and loads "Demo.Meshes.Crate" (a mesh model) and "Demo.Models.Spinner" (a frame
// hierarchy with an animation set) through the model manager. Each frame advances the spinner by a fixed
// frame time and draws every frame's subsets as the render queue does: the technique from the material's
// texture bits and the item's light, the material's textures and parameters, the world matrix, one light,
// DrawSubset. It checks that the crate shows both colours of its checker and that the rotor moved between the
// first and the last frame, prints "model_demo: animated ok" and writes the last frame to the PNG.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeMeshManager.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelFrame.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeRenderTargetManager.h"
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

constexpr D3DCOLOR Night = 0xFF0B1020u;
constexpr float FrameTime = 1.0f / 50.0f;
// The variant bit of an item with per-pixel lights.
constexpr int32_t PerPixelLights = 0x80;

struct Scene
{
    WeModel* crate = nullptr;
    WeModel* spinner = nullptr;
    D3DXMATRIX cratePlacement;
    D3DXMATRIX spinnerPlacement;
    D3DXMATRIX view;
    D3DXMATRIX projection;
    bool ok = true;
};
Scene g_Scene;

// Every subset of one mesh under the world matrix, with the preset-0 materials.
bool DrawMesh(WeMesh* mesh, const D3DXMATRIX& world)
{
    if (mesh == nullptr)
        return true;
    bool ok = true;
    for (int32_t subset = 0; subset < mesh->m_SubsetCount; ++subset)
    {
        WeMaterial* material = mesh->m_Presets[0].materials[subset];
        if (material == nullptr)
            material = g_MaterialManager.m_Default;
        WeShader* shader = material != nullptr ? material->m_Shader : nullptr;
        if (shader == nullptr)
            return false;
        const int32_t variant = material->m_Lit ? PerPixelLights : 0;
        if (!shader->SetTechnique(variant, false))
            return false;
        material->BindTextures(variant, nullptr, 0);
        shader->SetMaterialColor(material->m_Color);
        shader->SetMaterialParameters(material->m_MaterialStrength, material->m_EnvironmentStrength,
                                      material->m_BumpIntensity, material->m_StaticBumpVector,
                                      material->m_StaticBumpIntensity, material->m_SpecularPower * 10.0f,
                                      material->m_GlowAmount);
        WeShaderLight light{};
        light.position = D3DXVECTOR3(-3.0f, 6.0f, -5.0f);
        light.colour[0] = light.colour[1] = light.colour[2] = 1.0f;
        light.intensity = 1.2f;
        light.specularColour[0] = light.specularColour[1] = light.specularColour[2] = 1.0f;
        light.specularIntensity = 0.3f;
        light.range = 40.0f;
        shader->SetPerPixelLights(&light, 1);
        shader->SetWorldMatrix(world);
        shader->SetPrevWorldMatrix(world);
        if (shader->Begin(0) == 0)
            return false;
        ok = SUCCEEDED(shader->BeginPass(0)) && ok;
        shader->CommitChanges();
        mesh->DrawSubset(subset, 0.0f);
        shader->EndPass();
        shader->End();
    }
    return ok;
}

void RenderFrame()
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    g_RenderDevice.Clear(true, Night, true, 1.0f, true, 0);
    g_ShaderManager.SetViewProjection(g_Scene.view, g_Scene.projection, nullptr);
    const float eye[3] = {0.0f, 4.5f, -7.0f};
    g_ShaderManager.SetCameraPosition(eye);
    const float ambient[4] = {0.25f, 0.25f, 0.3f, 1.0f};
    g_RenderDevice.SetAmbientColor(ambient);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);

    bool ok = DrawMesh(g_Scene.crate->m_Mesh, g_Scene.cratePlacement);
    g_Scene.spinner->ForEachFrame([&ok](WeModelFrame* frame)
                                  { ok = DrawMesh(frame->m_Mesh, frame->GetCurrent()) && ok; });
    g_Scene.ok = ok && g_Scene.ok;
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

}  // namespace

int main(int argc, char** argv)
{
    DemoOptions options;
    options.name = "model_demo";
    options.usage = "model_demo [--png FILE] [--frames N] [--size WxH]";
    if (!options.parse(argc, argv))
        return 2;
    // The turn has to show between the first frame and the last.
    const int frames = options.frames < 0 ? 20 : std::max(options.frames, 2);

    HWND window = OpenDemoRenderWindow(options, "ModelDemo");
    if (window == nullptr)
        return 1;
    int status = 0;
    g_Scene.crate = g_ModelManager.Load("Demo.Meshes.Crate", 0);
    g_Scene.spinner = g_ModelManager.Load("Demo.Models.Spinner", 0);
    if (g_Scene.crate == nullptr || g_Scene.spinner == nullptr || g_Scene.crate->m_Kind != WeModel::KindMesh ||
        g_Scene.spinner->m_Kind != WeModel::KindHierarchy || g_Scene.spinner->m_Controller == nullptr)
    {
        std::fprintf(stderr, "model_demo: cannot load Demo.Meshes.Crate as a mesh model and Demo.Models.Spinner as "
                             "an animated hierarchy\n");
        status = 1;
    }
    D3DXMATRIX turn, move;
    D3DXMatrixRotationY(&turn, 0.6f);
    D3DXMatrixTranslation(&move, -2.0f, 0.5f, 0.0f);
    g_Scene.cratePlacement = turn * move;
    D3DXMatrixTranslation(&g_Scene.spinnerPlacement, 1.8f, 0.0f, 0.5f);
    const D3DXVECTOR3 eye(0.0f, 4.5f, -7.0f), at(0.0f, 0.5f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&g_Scene.view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&g_Scene.projection, 0.9f, float(g_ScreenSize.width) / float(g_ScreenSize.height), 0.5f,
                               100.0f);
    if (status == 0)
        g_Scene.crate->m_WorldMatrix = &g_Scene.cratePlacement;
    g_RenderDevice.m_RenderCallback = RenderFrame;

    const int w = g_ScreenSize.width, h = g_ScreenSize.height;
    std::vector<uint32_t> first, last;
    for (int frame = 0; status == 0 && frame < frames; ++frame)
    {
        g_Timer.m_FrameDeltaF = frame == 0 ? 0.0f : FrameTime;
        g_Scene.spinner->Update(1.0f, &g_Scene.spinnerPlacement, frame == 0);
        g_RenderDevice.Render();
        if (frame == 0 || frame == frames - 1)
            (frame == 0 ? first : last) = DemoReadBackBuffer(g_RenderDevice.GetDevice(), UINT(w), UINT(h));
    }
    if (status == 0 && !g_Scene.ok)
    {
        std::fprintf(stderr, "model_demo: a draw through the materials failed\n");
        status = 1;
    }
    if (status == 0 && (first.empty() || last.empty()))
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

    // Shutdown in the engine's order: models first, then what they use.
    delete g_Scene.crate;
    delete g_Scene.spinner;
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
