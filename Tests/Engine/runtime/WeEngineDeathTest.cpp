// A fault while the engine runs: the crash log is written first, then the crash message's hook
// stops the devices and hides the window, and only then the message box appears.
#include "Engine/foundation/WeCrashReport.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/runtime/WeAppWindow.h"
#include "Engine/runtime/WeEngine.h"
#include "Platform/system/SysLogFile.h"
#include "Platform/system/SysMessageBox.h"

#include "Tests/Engine/runtime/RecordingDevices.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace
{
const char* const FolderVariable = "WE_ENGINE_DEATH_TEST_FOLDER";
std::string g_Events;

void Record(const std::string& text)
{
    SysLogFile file;
    file.Append(g_Events.c_str());
    file.Write(text.c_str());
}

bool RecordBox(const char* caption, const char* text)
{
    WeAppWindow* window = g_Engine.m_Window;
    bool visible = window != nullptr && IsWindowVisible(window->m_Handle);
    int cursor = ShowCursor(TRUE) - 1;
    Record(std::string("visible=") + (visible ? "1" : "0") + " cursor=" + std::to_string(cursor) + "\n");
    Record(std::string("box[") + caption + "|" + text + "]\n");
    return true;
}

__attribute__((noinline)) void FaultInsideTheEngine()
{
    static void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    *static_cast<volatile int*>(page) = 7;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs the engine on recording devices in a child that faults; returns what the child recorded
// (device calls after start-up, the window and cursor at the box, the box) and the crash log.
void CrashWhileRunning(bool shutDownFirst, std::string& events, std::string& log)
{
    // The child re-runs the test from the start: it finds the parent's folder in the environment.
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
            static RecordingDevices devices;
            static WeAppWindow window;
            window.Create("WeEngineDeathTest", "Crash", nullptr, 0, 0, 320, 200, 0, 0, true, true, false, false, false,
                          false, nullptr);  // framed: the cursor is hidden
            g_Engine.SetDevices(&devices);
            WeEngineSettings settings;
            if (!g_Engine.Init(settings, nullptr, &window, "Test"))
                std::abort();
            g_Engine.Tick();
            if (shutDownFirst)
                g_Engine.Shutdown();
            devices.onCall = [](const std::string& call) { Record(call + "\n"); };
            InstallCrashProtection(1);
            FaultInsideTheEngine();
        },
        testing::KilledBySignal(SIGSEGV), "");

    log = ReadFile(folder + "/crash-2026-01-02-03-04-05.log");
    events = ReadFile(g_Events);
}

}  // namespace

TEST(WeEngineDeathTest, CrashLogThenShutdownAndHiddenWindowThenTheMessage)
{
    std::string events, log;
    CrashWhileRunning(false, events, log);
    EXPECT_NE(log.find("FaultInsideTheEngine"), std::string::npos) << log;
    EXPECT_EQ(events.substr(0, events.find("box[")),
              "RenderTargets(force)\nShaders(force)\nMeshes(force)\nMaterials(force)\nTextures(force)\n"
              "PhysicsShutdown\nAudioShutdown\nRenderShutdown\nInputShutdown\nUIShutdown\n"
              "visible=0 cursor=0\n");
    EXPECT_NE(events.find("box[Application|Abnormal program termination!\nPlease, send generated "), std::string::npos)
        << events;
    EXPECT_NE(events.find("/crash-2026-01-02-03-04-05.log file to application developers.]\n"), std::string::npos)
        << events;
}

TEST(WeEngineDeathTest, ACrashAfterShutdownStopsNothingTwice)
{
    std::string events, log;
    CrashWhileRunning(true, events, log);
    EXPECT_NE(log.find("FaultInsideTheEngine"), std::string::npos) << log;
    // The window still lives (the application destroys it after the engine): hidden all the same.
    EXPECT_EQ(events.substr(0, events.find("box[")), "visible=0 cursor=0\n");
    EXPECT_NE(events.find("box[Application|Abnormal program termination!"), std::string::npos) << events;
}
