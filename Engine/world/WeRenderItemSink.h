#pragma once
#include <cstdint>

#include "Platform/math/D3DXMATRIX.h"

class WeActor;
class WeMaterial;

// Where particle systems and trails hand their one render item per frame: the render queue's `AddItem`
// for the camera it prepares, unless a sink is installed (tests that watch what is queued).
using WeRenderItemSink = void (*)(WeMaterial* material, WeActor* actor, const D3DXMATRIX* worldMatrix, int32_t pass);
extern WeRenderItemSink g_RenderItemSink;

// Forwards to the sink when one is installed, else to the render queue.
void WeQueueRenderItem(WeMaterial* material, WeActor* actor, const D3DXMATRIX* worldMatrix, int32_t pass);

// The identity matrix these items carry: their vertices are already in world space.
const D3DXMATRIX& WeIdentityMatrix();
