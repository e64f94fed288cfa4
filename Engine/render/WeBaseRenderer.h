#pragma once
#include "Engine/foundation/WeList.h"

// Base of the special renderers. Each one is a static singleton that registers itself on
// construction, so the render device can walk all of them around creation, device loss, reset and
// shutdown without knowing them by name.
class WeBaseRenderer
{
public:
    WeBaseRenderer();
    virtual ~WeBaseRenderer();

    virtual bool Init() { return true; }
    virtual void Release() {}
    virtual void OnLostDevice() {}
    virtual void OnResetDevice() {}

    // Built on first use: renderers register from static initialisers, in whatever order those run.
    static WeList<WeBaseRenderer*>& GetRendererList();
};
