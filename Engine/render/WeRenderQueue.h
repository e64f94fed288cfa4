#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/render/WeRenderHeap.h"
#include "Engine/render/WeRenderItem.h"
#include "Platform/math/D3DXMATRIX.h"

class WeCamera;
class WeShader;
class WeWorld;

// Turns one world seen by one camera into a frame: Prepare collects the visible lights, culls the actors
// and lets each visible one queue its draw items; Render draws them in fixed passes, each sorted by a
// depth key, changing shader, technique, material and render states only where they differ.
class WeRenderQueue
{
public:
    WeRenderQueue();
    ~WeRenderQueue();
    WeRenderQueue(const WeRenderQueue&) = delete;
    WeRenderQueue& operator=(const WeRenderQueue&) = delete;

    void Prepare(WeWorld* world, WeCamera* camera);
    void Render();
    // 1 background, 2 opaque, 4 blended, 5 last; any other number only restores the default states.
    void RenderPass(int32_t pass);
    // Null when material or matrix is missing, the material has no shader or its sort mode is not drawn.
    WeRenderItem* AddItem(WeMaterial* material, WeActor* actor, WeBaseModel* model, int32_t subset,
                          const D3DXMATRIX* worldMatrix, WeCamera* camera);
    void ChooseLights(WeRenderItem* item);
    void RecycleItems();
    void FreeItemPool();
    void BindItem(WeShader* shader, WeRenderItem* item);

    // Pass switches: a pass runs while its switch is above 0.
    int32_t m_Velocity = 1;
    int32_t m_Sky = 1;
    int32_t m_Opaque = 1;
    int32_t m_Projectors = 1;
    int32_t m_Blended = 1;
    int32_t m_Last = 1;
    int32_t m_Flares = 1;

    WeWorld* m_World = nullptr;
    WeCamera* m_Camera = nullptr;

    WeRenderHeap m_OpaqueHeap;      // sort modes 0 and 6
    WeRenderHeap m_BackgroundHeap;  // sort mode 5
    WeRenderHeap m_BlendedHeap;     // sort mode 2
    WeRenderHeap m_LastHeap;        // sort mode 4

    // Visible lights without the kind-2 flag, and all visible lights.
    WeList<WeLight*> m_PlainLights;
    WeList<WeLight*> m_AllLights;

    // Set by the reflection renderer while it fills its cube: reflective actors are skipped and every
    // item takes the plain variant.
    bool m_FillingReflectionCube = false;

private:
    void SetStateIfChanged(int32_t index, int32_t state, uint32_t value);
    void DrawItem(WeRenderItem* item);

    // The render states the last item of a pass set, so the next one sends only what differs.
    struct PassStates
    {
        WeShader* shader;
        int32_t variant;
        WeMaterial* material;
        uint32_t values[6];
        bool known[6];
    } m_State{};
};

extern WeRenderQueue g_RenderQueue;
// Frame statistics of the last Prepare: actors tested, path-node actors drawn.
extern int32_t g_RenderQueueActorsTested;
extern int32_t g_RenderQueuePathNodesDrawn;

// The shader variant bits 0x80 down to 0x01 for an item: its lights, its material's maps and the device's
// options.
int32_t ComputeShaderVariant(const WeRenderItem* item);
