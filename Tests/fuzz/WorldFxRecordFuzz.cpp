// Feeds arbitrary bytes to the records of lights, light key frames, particle systems (with a few
// simulated updates of what loaded) and portals. The first byte picks the reader.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WePortal.h"
#include "Engine/world/WeWorld.h"
#include "Tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static const std::string path = FuzzScratchPath("worldfx.bin");
    if (!FuzzWriteFile(path, data + 1, size - 1))
        return 0;
    WeFileStream stream;
    if (!stream.Open(path.c_str()))
        return 0;

    switch (data[0] % 4)
    {
    case 0:
    {
        WeLight light;
        if (light.LoadProperties(stream))
        {
            g_Timer.m_FrameDeltaF = 0.05f;
            for (int i = 0; i < 4; ++i)
                light.Tick();
        }
        break;
    }
    case 1:
    {
        WeLightParams frame;
        frame.Read(stream);
        break;
    }
    case 2:
    {
        WeWorld world;
        WeNewParticleSystem* system = new WeNewParticleSystem();
        if (system->LoadProperties(stream))
        {
            world.AddActor(system);
            g_Timer.m_FrameDeltaF = 0.05f;
            for (int i = 0; i < 4; ++i)
            {
                world.Tick();
                system->Update();
            }
        }
        else
            delete system;
        break;
    }
    default:
    {
        WePortal portal;
        if (portal.LoadProperties(stream))
            portal.UpdateGeometry();
        break;
    }
    }
    g_Timer.m_FrameDeltaF = 0.0f;
    return 0;
}
