#pragma once
#include "Engine/foundation/WeList.h"

// Base of the special renderers. Each one is a static singleton that registers itself on
// construction, so the render device can walk all of them around creation, device loss, reset and
// shutdown without knowing them by name.
class WeBaseRenderer
{
public:
    // Where the named renderers come in the device's initialisation; any other renderer comes after them.
    enum InitOrder : int32_t
    {
        OrderTrail = 0,
        OrderFlare,
        OrderVelocity,
        OrderProjector,
        OrderReflection,
        OrderParticles,
        OrderCloth,
        OrderSkyBox,
        OrderDebug,
        OrderOther = 100
    };

    explicit WeBaseRenderer(int32_t initOrder = OrderOther);
    virtual ~WeBaseRenderer();

    virtual bool Init() { return true; }
    virtual void Release() {}
    virtual void OnLostDevice() {}
    virtual void OnResetDevice() {}

    // Built on first use: renderers register from static initialisers, in whatever order those run.
    static WeList<WeBaseRenderer*>& GetRendererList();

    int32_t GetInitOrder() const { return m_InitOrder; }

private:
    int32_t m_InitOrder;
};
