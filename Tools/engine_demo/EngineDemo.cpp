// engine_demo: the engine object on its real devices, as the game's entry will drive it: a window,
// the start-up settings, the real devices installed, then the engine's Tick/Render loop with a tick
// and a render callback, one or two passes in one process. The tick loads a built test track one
// record per tick, then drops a box at its first start and ticks the world; the camera flies along
// the track's path nodes. It checks its run and writes the last frame (and every 30th, if asked) as
// PNG files.
//
// Exit: 0 ok, 1 a check failed or the map did not load, 2 bad command line, 3 the engine did not start.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Engine/devices/WeRealEngineDevices.h"
#include "Engine/foundation/WeApplication.h"
#include "Engine/foundation/WeCrashReport.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeAppWindow.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WeWindowModeOverride.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIWindow.h"
#include "Engine/world/WeActorHandle.h"
#include "Engine/world/WePhysics.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Tools/demo_common/DemoFrame.h"
#include "Tools/engine_demo/EngineDemoScene.h"

namespace
{
const char* const Usage = "engine_demo [--frames N] [--size WIDTHxHEIGHT] [--map NAME] [--passes 1|2] "
                          "[--png FILE] [--png-dir DIR] [--log-folder DIR] [--crash-at FRAME --protection 1|2]";

struct Options
{
    int frames = 400;
    const char* map = "TestCircuit";
    int width = 1024;
    int height = 768;
    int passes = 1;
    const char* png = nullptr;
    const char* pngDir = nullptr;
    const char* logFolder = nullptr;
    int crashAt = -1;
    int protection = 0;
};

bool ParseInt(const char* text, int low, int high, int* out)
{
    if (text == nullptr || *text == '\0')
        return false;
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < low || value > high)
        return false;
    *out = int(value);
    return true;
}

bool ParseSize(const char* text, int* width, int* height)
{
    if (text == nullptr)
        return false;
    const char* x = std::strchr(text, 'x');
    if (x == nullptr)
        return false;
    std::string w(text, x);
    // At least 64 x 48, at most 8192 either way.
    return ParseInt(w.c_str(), 64, 8192, width) && ParseInt(x + 1, 48, 8192, height);
}

bool Parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i)
    {
        const char* flag = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = value != nullptr;
        if (std::strcmp(flag, "--frames") == 0)
            ok = ok && ParseInt(value, 1, 1000000, &options.frames);
        else if (std::strcmp(flag, "--size") == 0)
            ok = ok && ParseSize(value, &options.width, &options.height);
        else if (std::strcmp(flag, "--map") == 0)
        {
            ok = ok && *value != '\0';
            options.map = ok ? value : options.map;
        }
        else if (std::strcmp(flag, "--passes") == 0)
            ok = ok && ParseInt(value, 1, 2, &options.passes);
        else if (std::strcmp(flag, "--png") == 0)
            options.png = value;
        else if (std::strcmp(flag, "--png-dir") == 0)
            options.pngDir = value;
        else if (std::strcmp(flag, "--log-folder") == 0)
            options.logFolder = value;
        else if (std::strcmp(flag, "--crash-at") == 0)
            ok = ok && ParseInt(value, 0, 1000000, &options.crashAt);
        else if (std::strcmp(flag, "--protection") == 0)
            ok = ok && ParseInt(value, 1, 2, &options.protection);
        else
            ok = false;
        if (!ok)
        {
            std::fprintf(stderr, "engine_demo: bad argument %s\nusage: %s\n", flag, Usage);
            return false;
        }
        ++i;
    }
    if ((options.crashAt >= 0) != (options.protection != 0))
    {
        std::fprintf(stderr, "engine_demo: --crash-at and --protection go together\nusage: %s\n", Usage);
        return false;
    }
    return true;
}

bool Check(bool condition, const char* what)
{
    if (!condition)
        std::fprintf(stderr, "engine_demo: check failed: %s\n", what);
    return condition;
}

// The frames at which a key goes down and up in the real event pump, and the key's code as the
// input device reports it (the space bar).
constexpr int KeyDownFrame = 10;
constexpr int KeyUpFrame = 14;
constexpr int32_t SpaceKey = 0x39;
bool g_KeyConsumed = false;

void PushKey(HWND window, Uint32 type)
{
    SDL_Event event = {};
    event.type = type;
    event.key.windowID = SDL_GetWindowID(reinterpret_cast<SDL_Window*>(window));
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = SDL_SCANCODE_SPACE;
    event.key.keysym.sym = SDL_GetKeyFromScancode(SDL_SCANCODE_SPACE);
    SDL_PushEvent(&event);
}

// The frames at which the mouse moves onto the button and presses it, and releases it.
constexpr int ButtonDownFrame = 20;
constexpr int ButtonUpFrame = 23;

// A mouse event at a point of the back buffer, in the window's client pixels.
void PushMouse(HWND window, Uint32 type, int x, int y)
{
    RECT client = {};
    GetClientRect(window, &client);
    const int cw = client.right - client.left, ch = client.bottom - client.top;
    const int cx = cw > 0 ? x * cw / g_ScreenSize.width : x, cy = ch > 0 ? y * ch / g_ScreenSize.height : y;
    SDL_Event event = {};
    event.type = type;
    const Uint32 id = SDL_GetWindowID(reinterpret_cast<SDL_Window*>(window));
    if (type == SDL_MOUSEMOTION)
    {
        event.motion.windowID = id;
        event.motion.x = cx;
        event.motion.y = cy;
    }
    else
    {
        event.button.windowID = id;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = 1;
        event.button.x = cx;
        event.button.y = cy;
    }
    SDL_PushEvent(&event);
}

// The button's centre, as a user aims at it.
void PushButtonEvents(HWND window, int frame)
{
    WeUIComponent* button = g_UIMain.FindComponent(WeString("EngineDemoButton"));
    if (button == nullptr || (frame != ButtonDownFrame && frame != ButtonUpFrame))
        return;
    const int x = button->GetScreenX() + button->m_PixelWidth / 2, y = button->GetScreenY() + button->m_PixelHeight / 2;
    if (frame == ButtonDownFrame)
    {
        PushMouse(window, SDL_MOUSEMOTION, x, y);
        PushMouse(window, SDL_MOUSEBUTTONDOWN, x, y);
    }
    else
        PushMouse(window, SDL_MOUSEBUTTONUP, x, y);
}

// The window's rectangle differs between the frame as drawn and the same frame without the UI.
bool WindowShowsOnTop(const std::vector<uint32_t>& withUI)
{
    WeUIWindow* window = g_DemoScene.window;
    if (window == nullptr || withUI.empty())
        return false;
    window->m_Visible = 0;
    g_Engine.Render();
    window->m_Visible = 1;
    const std::vector<uint32_t> without =
        DemoReadBackBuffer(g_RenderDevice.GetDevice(), UINT(g_ScreenSize.width), UINT(g_ScreenSize.height));
    if (without.size() != withUI.size())
        return false;
    int differing = 0;
    for (int y = std::max(0, window->GetScreenY());
         y < std::min(g_ScreenSize.height, window->GetScreenY() + window->m_PixelHeight); ++y)
        for (int x = std::max(0, window->GetScreenX());
             x < std::min(g_ScreenSize.width, window->GetScreenX() + window->m_PixelWidth); ++x)
        {
            const size_t at = size_t(y) * size_t(g_ScreenSize.width) + size_t(x);
            differing += (withUI[at] & 0xFFFFFFu) != (without[at] & 0xFFFFFFu);
        }
    // Most of the window's pixels, not a stray edge.
    return differing > window->m_PixelWidth * window->m_PixelHeight / 2;
}

// The scene's tick, plus taking the pushed key as a game's tick would.
void DemoTick()
{
    EngineDemoTick();
    if (g_Input.ConsumeKey(SpaceKey))
        g_KeyConsumed = true;
}

class EngineDemo : public WeApplication
{
public:
    EngineDemo(const Options& options) : m_Options(options) {}

    const char* GetName() override { return "engine_demo"; }

    int Run() override
    {
        if (m_Options.logFolder != nullptr)
            SetLogFolder(m_Options.logFolder);
        if (m_Options.protection != 0)
        {
            UninstallCrashProtection();
            InstallCrashProtection(m_Options.protection);
        }
        int status = 0;
        for (int pass = 1; pass <= m_Options.passes && status == 0; ++pass)
            status = RunPass(pass);
        return status;
    }

private:
    int RunPass(int pass)
    {
        // A centred window of the requested size, unless WE_WINDOW_MODE says otherwise.
        const int mode = ApplyWindowModeOverride(2);
        WeAppWindow window;
        if (!window.Create("engine_demo", "engine_demo", nullptr, 102, 0, m_Options.width, m_Options.height, 0, 0, true,
                           mode != 0, true, false, mode == 1, false, nullptr))
        {
            std::fprintf(stderr, "engine_demo: cannot create the window\n");
            return 1;
        }
        WeEngineSettings settings;
        settings.windowMode = mode;
        settings.width = m_Options.width;
        settings.height = m_Options.height;
        InstallRealEngineDevices();
        g_DemoScene = EngineDemoScene();
        g_DemoScene.crashAt = m_Options.crashAt;
        g_DemoScene.mapName = m_Options.map;
        g_Engine.m_TickCallback = DemoTick;
        g_KeyConsumed = false;
        // Physics steps by the engine's fixed step, so the box's fall does not hang on how fast frames are.
        g_Engine.m_FixedTick = 1;
        g_RenderDevice.m_RenderCallback = EngineDemoRender;
        if (!g_Engine.Init(settings, nullptr, &window, "engine_demo"))
        {
            // What the game's box would show.
            const char* text = g_Engine.m_ErrorText.c_str();
            std::fprintf(stderr, "engine_demo: %s\n",
                         *text != '\0' ? text : "the engine did not start and gave no text");
            int status = *text != '\0' ? 3 : 1;
            Finish(window);
            return status;
        }

        const bool music = g_AudioDevice.PlayMusic("Sounds.Music.IG_Menu Theme", true);
        const bool ui = EngineDemoCreateUI();
        std::vector<uint32_t> first, last;
        int usable = 0, musicFrames = 0;
        for (g_DemoScene.frame = 0; g_DemoScene.frame < m_Options.frames && window.IsAlive() && !g_DemoScene.loadFailed;
             ++g_DemoScene.frame)
        {
            if (g_DemoScene.frame == KeyDownFrame || g_DemoScene.frame == KeyUpFrame)
                PushKey(window.m_Handle, g_DemoScene.frame == KeyDownFrame ? SDL_KEYDOWN : SDL_KEYUP);
            PushButtonEvents(window.m_Handle, g_DemoScene.frame);
            g_Engine.Tick();
            // Right after the audio update: a slow frame (a sanitizer build) may drain the stream's
            // queue before the next update refills and restarts it.
            if (g_DemoScene.frame >= m_Options.frames / 2 && g_AudioDevice.IsMusicPlaying())
                ++musicFrames;
            g_Engine.Render();
            usable += g_Engine.m_DeviceUsable;
            const bool keep = g_DemoScene.frame == 1 || g_DemoScene.frame == m_Options.frames - 1 ||
                              (m_Options.pngDir != nullptr && g_DemoScene.frame % 30 == 0);
            if (!keep || !g_Engine.m_DeviceUsable)
                continue;
            std::vector<uint32_t> pixels =
                DemoReadBackBuffer(g_RenderDevice.GetDevice(), UINT(g_ScreenSize.width), UINT(g_ScreenSize.height));
            if (m_Options.pngDir != nullptr && g_DemoScene.frame % 30 == 0 && !pixels.empty())
            {
                char name[64];
                std::snprintf(name, sizeof(name), "/frame-%d-%05d.png", pass, g_DemoScene.frame);
                DemoWritePng((std::string(m_Options.pngDir) + name).c_str(), UINT(g_ScreenSize.width),
                             UINT(g_ScreenSize.height), pixels);
            }
            if (g_DemoScene.frame == 1)
                first = pixels;
            if (g_DemoScene.frame == m_Options.frames - 1)
                last = pixels;
        }

        if (g_DemoScene.loadFailed)
        {
            std::fprintf(stderr, "engine_demo: cannot load the map \"%s\"\n", m_Options.map);
            window.m_Alive = 0;
            Finish(window);
            return 1;
        }
        bool ok = Check(usable > 0, "the device was never usable");
        ok = Check(g_DemoScene.loaded && g_DemoScene.actorCount > 0 && g_DemoScene.track.size() > 2,
                   "the map did not load with actors and a track path") &&
             ok;
        ok = Check(!g_DemoScene.drawFailed, "a draw through the shipped effects failed") && ok;
        ok = Check(!last.empty(), "the last frame could not be read back") && ok;
        if (!last.empty())
        {
            bool varied = false;
            for (uint32_t pixel : last)
                varied = varied || (pixel & 0xFFFFFFu) != (last[0] & 0xFFFFFFu);
            ok = Check(varied, "the last frame is one colour") && ok;
            if (m_Options.frames > 8)
                ok = Check(first != last, "frames from different camera positions are the same") && ok;
        }
        ok = Check(music && musicFrames > 0, "the menu music is not playing") && ok;
        ok = Check(ui, "the UI window could not be made from its configuration") && ok;
        if (ui && !last.empty())
            ok = Check(WindowShowsOnTop(last), "the UI window is not drawn on top") && ok;
        if (m_Options.frames > ButtonUpFrame + 2)
            ok = Check(g_DemoScene.clicks > 0, "the click on the button did not reach its callback") && ok;
        if (m_Options.frames > KeyUpFrame)
            ok = Check(g_KeyConsumed, "the pushed key did not reach the tick callback") && ok;
        // The box needs about a second of simulated time to land.
        if (g_DemoScene.loaded && m_Options.frames > g_DemoScene.loadTicks + 90)
        {
            ok = Check(g_DemoScene.box != nullptr && g_DemoScene.boxLowestY < g_DemoScene.boxStartY - 2.0f &&
                           g_DemoScene.boxLowestY > g_DemoScene.start.y - 2.0f,
                       "the box did not fall onto the ground") &&
                 ok;
            ok = Check(g_DemoScene.contacts > 0, "no contact of the box was reported in a physics fetch") && ok;
        }
        if (m_Options.png != nullptr && !last.empty() &&
            !Check(DemoWritePng(m_Options.png, UINT(g_ScreenSize.width), UINT(g_ScreenSize.height), last),
                   "cannot write the PNG"))
            ok = false;
        std::printf("engine_demo: pass %d: %s loaded in %d ticks (%d actors, %d path nodes); %d frames at %dx%d, "
                    "%d drawn; box fell %.2f m, %d contacts; %d clicks; %s\n",
                    pass, m_Options.map, g_DemoScene.loadTicks, g_DemoScene.actorCount, int(g_DemoScene.track.size()),
                    g_DemoScene.frame, g_ScreenSize.width, g_ScreenSize.height, usable,
                    g_DemoScene.boxStartY - g_DemoScene.boxLowestY, g_DemoScene.contacts, g_DemoScene.clicks,
                    ok ? "ok" : "FAILED");
        window.m_Alive = 0;
        Finish(window);
        return ok ? 0 : 1;
    }

    void Finish(WeAppWindow& window)
    {
        // Bodies go before physics; the engine fetches a running step first.
        g_Engine.EndPhysicsStep();
        EngineDemoRelease();
        g_AudioDevice.StopMusic();
        g_Engine.m_PhysicsEnabled = 0;
        g_Engine.Shutdown();
        g_RenderDevice.m_RenderCallback = nullptr;
        g_Engine.m_TickCallback = nullptr;
        window.Destroy();
    }

    Options m_Options;
};
}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!Parse(argc, argv, options))
        return 2;
    EngineDemo demo(options);
    return demo.RunWithCrashHandler();
}
