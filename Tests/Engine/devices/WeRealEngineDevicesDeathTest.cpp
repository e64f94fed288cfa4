// A fault in the middle of a frame on the real devices: the crash log (with the video card copied
// when the device was created) is written, the devices are stopped and the window hidden, and only
// then the message appears.
#include "Engine/devices/WeRealEngineDevices.h"
#include "Engine/foundation/WeCrashReport.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/runtime/WeAppWindow.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/world/WePhysics.h"
#include "Platform/system/SysLogFile.h"
#include "Platform/system/SysMessageBox.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace
{
const char* const FolderVariable = "WE_DEVICES_DEATH_TEST_FOLDER";
std::string g_Events;

bool RecordBox(const char* caption, const char* text)
{
    WeAppWindow* window = g_Engine.m_Window;
    bool visible = window != nullptr && IsWindowVisible(window->m_Handle);
    std::string line = std::string("device=") + (g_RenderDevice.m_Created ? "1" : "0") +
                       " physics=" + (g_Physics.m_Initialised ? "1" : "0") + " visible=" + (visible ? "1" : "0") +
                       " box[" + caption + "|" + text + "]\n";
    SysLogFile file;
    file.Append(g_Events.c_str());
    file.Write(line.c_str());
    return true;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The tick callback: the middle of a frame, as the game's code would fault.
// A real fault, not the undefined-behaviour checker's report: the crash handler is what runs.
__attribute__((no_sanitize("undefined"), noinline)) void FaultInTheTick()
{
    // Read back through a volatile pointer, so the compiler cannot see it is null and drop the write.
    static volatile int* volatile nowhere = nullptr;
    *nowhere = 7;
}

// Physics that faults while the crash handler shuts it down.
class PhysicsShutdownFaults : public WeRealEngineDevices
{
public:
    void PhysicsShutdown() override { FaultInTheTick(); }
};

// Runs the engine on the given devices in a child that faults in its tick; returns the crash log and
// what the message hook saw (empty when no message was shown).
void CrashMidFrame(WeRealEngineDevices* devices, std::string& log, std::string& events)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScratchFolder scratch(FolderVariable);
    const std::string folder = scratch.Path();
    g_Events = folder + "/events.txt";

    EXPECT_EXIT(
        {
            SetLogFolder(folder.c_str());
            ResetLogChannels();
            strcpy(g_CrashTimeStamp, "2026-01-02-03-04-05");
            SysMessageBox::SetHook(RecordBox);
            static WeAppWindow window;
            window.Create("WeRealEngineDevicesDeathTest", "Crash", nullptr, 0, 0, 320, 240, 0, 0, true, true, false,
                          false, false, false, nullptr);
            g_Engine.SetDevices(devices);
            WeEngineSettings settings;
            settings.windowMode = 2;
            settings.width = 320;
            settings.height = 240;
            if (!g_Engine.Init(settings, nullptr, &window, "Test"))
                std::abort();
            g_Engine.m_PhysicsEnabled = 1;
            g_Engine.Tick();
            g_Engine.Render();
            InstallCrashProtection(1);
            g_Engine.m_TickCallback = FaultInTheTick;
            g_Engine.Tick();
        },
        testing::KilledBySignal(SIGSEGV), "");

    log = ReadFile(folder + "/crash-2026-01-02-03-04-05.log");
    events = ReadFile(g_Events);
}
}  // namespace

TEST(WeRealEngineDevicesDeathTest, AFaultMidFrameLogsTheVideoCardThenShutsDownThenShowsTheMessage)
{
    std::string log, events;
    CrashMidFrame(&GetRealEngineDevices(), log, events);

    size_t card = log.find("Video Card:");
    ASSERT_NE(card, std::string::npos) << log;
    EXPECT_NE(log.find("llvmpipe", card), std::string::npos) << log;
    EXPECT_NE(log.find("FaultInTheTick"), std::string::npos) << log;
    EXPECT_EQ(events.substr(0, events.find(" box[")), "device=0 physics=0 visible=0") << events;
    EXPECT_NE(events.find("box[Application|Abnormal program termination!"), std::string::npos) << events;
}

TEST(WeRealEngineDevicesDeathTest, AFaultWhileShuttingDownEndsTheProcessWithTheFirstSignal)
{
    static PhysicsShutdownFaults devices;
    std::string log, events;
    CrashMidFrame(&devices, log, events);
    // The log of the first fault is complete; the second fault ends the process before any message.
    EXPECT_NE(log.find("Video Card:"), std::string::npos) << log;
    EXPECT_NE(log.find("FaultInTheTick"), std::string::npos) << log;
    EXPECT_EQ(events, "");
}
