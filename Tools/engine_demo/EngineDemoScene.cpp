#include "Tools/engine_demo/EngineDemoScene.h"

#include <cmath>
#include <cstring>

#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/world/WeActorHandle.h"
#include "Engine/world/WePhysics.h"
#include "Platform/math/D3DXMatrixFunctions.h"

EngineDemoScene g_DemoScene;

namespace
{
// The road: a closed oval of path nodes, each segment a slab the camera flies along.
constexpr int NodeCount = 48;
D3DXVECTOR3 PathNode(int index)
{
    const float angle = float(index % NodeCount) * 6.2831853f / float(NodeCount);
    return D3DXVECTOR3(90.0f * std::cos(angle), 0.0f, 55.0f * std::sin(angle));
}

// A real fault, not the undefined-behaviour checker's report: the crash handler is what runs.
__attribute__((no_sanitize("undefined"), noinline)) void FaultHere()
{
    // Read back through a volatile pointer, so the compiler cannot see it is null and drop the write.
    static volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

}  // namespace

// As the game's per-tick step: after a few frames physics is enabled and the box drops.
void EngineDemoTick()
{
    if (g_DemoScene.frame == g_DemoScene.crashAt)
        FaultHere();
    if (g_DemoScene.frame == 2)
    {
        D3DXMATRIX pose;
        D3DXMatrixTranslation(&pose, PathNode(4).x, -0.5f, PathNode(4).z);
        g_DemoScene.ground = g_Physics.CreateBoxActor(nullptr, pose, D3DXVECTOR3(20.0f, 0.5f, 20.0f), 0, 0.0f, true, 0);
        D3DXMatrixTranslation(&pose, PathNode(4).x, 6.0f, PathNode(4).z);
        g_DemoScene.box = g_Physics.CreateBoxActor(nullptr, pose, D3DXVECTOR3(1.0f, 1.0f, 1.0f), 0, 1.0f, false, 0);
        g_DemoScene.boxStartY = g_DemoScene.boxLowestY = 6.0f;
        g_Engine.m_PhysicsEnabled = 1;
    }
    if (g_DemoScene.box != nullptr)
    {
        D3DXVECTOR3 where;
        g_DemoScene.box->GetPosition(where);
        if (where.y < g_DemoScene.boxLowestY)
            g_DemoScene.boxLowestY = where.y;
    }
}

namespace
{
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

}  // namespace

// The camera flies above the path looking a few nodes ahead.
void EngineDemoRender()
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    g_RenderDevice.Clear(true, 0xFF0B1020u, true, 1.0f, true, 0);
    const float t = float(g_DemoScene.frame) * 0.25f;
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
        g_DemoScene.drawFailed = true;
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
    if (g_DemoScene.box != nullptr)
    {
        D3DXMATRIX pose;
        g_DemoScene.box->GetPose(pose);
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
        g_DemoScene.drawFailed = true;
}

void EngineDemoReleaseBodies()
{
    delete g_DemoScene.box;
    delete g_DemoScene.ground;
    g_DemoScene.box = g_DemoScene.ground = nullptr;
}
