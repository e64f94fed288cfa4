#pragma once
// The engine demo's scene, shared with the benchmark: a closed road of coloured slabs the camera
// flies along, and a box that physics drops onto a ground slab. Its tick and render steps are the
// engine's tick callback and the render device's render callback.
#include <cstdint>
#include <vector>

class WeActorHandle;

struct EngineDemoScene
{
    int frame = 0;
    int crashAt = -1;  // the frame whose tick faults on purpose; -1 none
    WeActorHandle* ground = nullptr;
    WeActorHandle* box = nullptr;
    float boxStartY = 0.0f;
    float boxLowestY = 0.0f;
    bool drawFailed = false;
};
extern EngineDemoScene g_DemoScene;

// The engine's tick callback: bodies and physics from frame 2 on.
void EngineDemoTick();
// The render device's render callback.
void EngineDemoRender();
// Destroys the bodies, after the engine has fetched a running step.
void EngineDemoReleaseBodies();
