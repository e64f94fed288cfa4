#include "Engine/runtime/WeEngine.h"

WeEngine g_Engine;

WeEngine::WeEngine() {}

WeEngine::~WeEngine() {}

bool WeEngine::Init(const WeEngineSettings& settings, void*, WeAppWindow* window, const char*)
{
    m_Settings = settings;
    m_Window = window;
    m_ErrorText = "Error: no devices";
    return false;
}

void WeEngine::Tick() {}

void WeEngine::Render() {}

void WeEngine::Shutdown() {}

void WeEngine::EndPhysicsStep() {}

void WeEngine::Resize(int32_t, int32_t, int32_t, int32_t, uint8_t, int32_t) {}

void WeEngine::GetMousePosition(int32_t* x, int32_t* y)
{
    if (x)
        *x = 0;
    if (y)
        *y = 0;
}
