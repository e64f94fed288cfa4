// Real focus changes under X11 (xvfb-run, no window manager), with no pushed focus events: a window
// of another process takes the focus, and the game window's devices are lost once, cannot be
// acquired while it holds the focus, and come back, with nothing phantom, when the game window takes
// the focus again. The window layer counts focus per process, so the other window must be another
// process. Registered only under SDL_VIDEODRIVER=x11; CTest runs it under xvfb-run.
#include "Engine/runtime/WeAppWindow.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeInput.h"
#include "Platform/input/InputFeed.h"

#include "Tests/Engine/runtime/RecordingDevices.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{
using Clock = std::chrono::steady_clock;

// The focus window, started with pipes on its stdin and stdout.
class FocusWindowProcess
{
public:
    bool Start()
    {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0)
            return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        char path[] = WE_FOCUS_WINDOW;
        char* argv[] = {path, nullptr};
        int result = posix_spawn(&m_Pid, path, &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        m_In = in[1];
        m_Out = out[0];
        return result == 0;
    }
    // Waits for the line the window prints once it has the focus.
    bool WaitForFocus(int milliseconds)
    {
        std::string text;
        auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
        while (Clock::now() < end)
        {
            pollfd fd = {m_Out, POLLIN, 0};
            if (poll(&fd, 1, 20) <= 0)
                continue;
            char buffer[64];
            ssize_t n = read(m_Out, buffer, sizeof(buffer));
            if (n <= 0)
                return false;
            text.append(buffer, static_cast<size_t>(n));
            if (text.find("focus\n") != std::string::npos)
                return true;
        }
        return false;
    }
    ~FocusWindowProcess()
    {
        if (m_In >= 0)
            close(m_In);  // the window exits when its stdin closes
        if (m_Out >= 0)
            close(m_Out);
        if (m_Pid > 0)
        {
            int status = 0;
            auto end = Clock::now() + std::chrono::seconds(5);
            while (waitpid(m_Pid, &status, WNOHANG) == 0)
            {
                if (Clock::now() > end)
                {
                    kill(m_Pid, SIGKILL);
                    waitpid(m_Pid, &status, 0);
                    break;
                }
                usleep(10000);
            }
        }
    }

private:
    pid_t m_Pid = -1;
    int m_In = -1;
    int m_Out = -1;
};

class WeInputX11Test : public testing::Test
{
protected:
    void SetUp() override
    {
        InputFeedReset();
        ASSERT_TRUE(m_Window.Create("WeInputX11Test", "Game", nullptr, 0, 0, 400, 300, 0, 0, true, false, true, false,
                                    false, false, nullptr));
        g_Engine.m_Window = &m_Window;
        g_Engine.SetDevices(&m_Ui);
        ASSERT_TRUE(m_Input.Init(false));
        // Until X reports the focus, the shown window is the foreground one already.
        ASSERT_TRUE(Until([&] { return SDL_GetKeyboardFocus() == Sdl(); }, 3000)) << "the game window got no focus";
        Frame();
    }
    void TearDown() override
    {
        m_Input.Shutdown();
        g_Engine.SetDevices(nullptr);
        g_Engine.m_Window = nullptr;
        m_Window.Destroy();
    }

    SDL_Window* Sdl() const { return reinterpret_cast<SDL_Window*>(m_Window.m_Handle); }

    // One engine tick of input, then the pump (as the engine orders them).
    void Frame()
    {
        m_Input.ClearFrame();
        m_Input.Poll();
        m_Window.PumpMessages();
        if (m_Input.m_KeyboardLost && !m_WasLost)
            ++m_Losses;
        m_WasLost = m_Input.m_KeyboardLost;
    }
    // Ticks until the condition holds (true) or the time is up (false).
    bool Until(const std::function<bool()>& condition, int milliseconds)
    {
        auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
        while (Clock::now() < end)
        {
            Frame();
            if (condition())
                return true;
            SDL_Delay(5);
        }
        return false;
    }

    WeAppWindow m_Window;
    RecordingDevices m_Ui;
    WeInput m_Input;
    int m_Losses = 0;
    uint8_t m_WasLost = 0;
};

class FocusMovesToAnotherProcessAndBack : public WeInputX11Test
{
    void TestBody() override
    {
        // A key held in the game window before the focus goes.
        SDL_Event key = {};
        key.type = SDL_KEYDOWN;
        key.key.windowID = SDL_GetWindowID(Sdl());
        key.key.state = SDL_PRESSED;
        key.key.keysym.scancode = SDL_SCANCODE_W;
        ASSERT_EQ(SDL_PushEvent(&key), 1);
        ASSERT_TRUE(Until([&] { return m_Input.IsKeyDown(17); }, 1000));
        EXPECT_EQ(m_Input.m_KeyboardLost, 0);

        FocusWindowProcess other;
        ASSERT_TRUE(other.Start());
        ASSERT_TRUE(other.WaitForFocus(5000)) << "the other window got no focus";
        m_Ui.Clear();
        ASSERT_TRUE(Until([&] { return m_Input.m_KeyboardLost && m_Input.m_MouseLost; }, 3000))
            << "the devices were not lost";

        // While the other process holds the focus: lost once, acquiring refused, nothing held.
        for (int i = 0; i < 20; ++i)
        {
            Frame();
            SDL_Delay(5);
        }
        EXPECT_EQ(m_Losses, 1);
        EXPECT_EQ(m_Input.m_Keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
        EXPECT_EQ(m_Input.m_Mouse->Acquire(), DIERR_OTHERAPPHASPRIO);
        EXPECT_FALSE(m_Input.IsKeyDown(17));
        // The UI heard once of the release it could not see, and of nothing else but the cursor
        // before the loss.
        std::string log = m_Ui.Log();
        EXPECT_NE(log.find("KeyUp(17)"), std::string::npos) << log;
        EXPECT_EQ(log.find("KeyUp(17)"), log.rfind("KeyUp(17)")) << log;
        EXPECT_EQ(log.find("Key", log.find("KeyUp(17)") + 1), std::string::npos) << log;

        // The game window takes the focus back: the devices return with nothing held.
        m_Ui.Clear();
        SetForegroundWindow(m_Window.m_Handle);
        SetFocus(m_Window.m_Handle);
        ASSERT_TRUE(Until([&] { return !m_Input.m_KeyboardLost && !m_Input.m_MouseLost; }, 3000))
            << "the devices did not come back";
        Frame();
        EXPECT_EQ(m_Losses, 1);
        EXPECT_FALSE(m_Input.IsKeyDown(17));
        EXPECT_EQ(m_Ui.Log().find("KeyDown"), std::string::npos) << m_Ui.Log();
        EXPECT_EQ(m_Input.m_MouseMotion[0], 0);
    }
};

// Only where a real X display is asked for: elsewhere these are not tests of this run at all.
const bool g_Registered = []
{
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver == nullptr || std::strcmp(driver, "x11") != 0)
        return false;
    testing::RegisterTest("WeInputX11Test", "FocusMovesToAnotherProcessAndBack", nullptr, nullptr, __FILE__, __LINE__,
                          []() -> WeInputX11Test* { return new FocusMovesToAnotherProcessAndBack(); });
    return true;
}();

}  // namespace
