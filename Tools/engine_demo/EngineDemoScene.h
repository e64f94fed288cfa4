#pragma once
// The engine demo's scene, shared with the benchmark: a built test track loaded one record per tick,
// the camera flying along its path nodes, and a box that physics drops at the first start location.
// Its tick and render steps are the engine's tick callback and the render device's render callback.
#include <string>
#include <vector>

#include "Platform/math/D3DXMath.h"

class MapWorld;
class WeUILabel;
class WeUIWindow;
class WeActor;
class WeActorHandle;

struct EngineDemoScene
{
    std::string mapName = "TestCircuit";
    int frame = 0;
    int crashAt = -1;         // the frame whose tick faults on purpose; -1 none
    bool loadFailed = false;  // the map did not open or a record could not be read
    bool loaded = false;
    int loadTicks = 0;   // ticks the load took, one record each
    int actorCount = 0;  // actors of the loaded map
    bool worldTicking = false;
    MapWorld* world = nullptr;
    std::vector<D3DXVECTOR3> track;  // the path nodes in track order
    D3DXVECTOR3 start{0.0f, 0.0f, 0.0f};
    WeActor* groundOwner = nullptr;
    WeActor* boxOwner = nullptr;
    WeActorHandle* ground = nullptr;
    WeActorHandle* box = nullptr;
    float boxStartY = 0.0f;
    float boxLowestY = 0.0f;
    int contacts = 0;  // contacts of the box reported inside a physics fetch
    bool drawFailed = false;
    WeUIWindow* window = nullptr;  // the UI window on top: a label with the frame count, a button
    WeUILabel* stats = nullptr;
    int clicks = 0;  // the button's click callback ran
};
extern EngineDemoScene g_DemoScene;

// The engine's tick callback: the map one record per tick, then bodies, physics and the world's tick.
void EngineDemoTick();
// The UI window from its "UI.Components." lines; false when a widget could not be made.
bool EngineDemoCreateUI();
// The render device's render callback.
void EngineDemoRender();
// Destroys the bodies and the world, after the engine has fetched a running step.
void EngineDemoRelease();
