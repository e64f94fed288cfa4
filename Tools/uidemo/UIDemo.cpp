// uidemo [--png FILE] [--size WxH]
//
// The UI toolkit on the real devices: a window of the given size (1024 x 768 by default; off screen with
// SDL_VIDEODRIVER=offscreen), the engine started on the built pack, the sample screen's layout loaded over
// the shipped UI settings, and a screen built of the toolkit's widgets. It then scripts a user through the
// window layer's event pump (SDL events pushed as a user's mouse would make them): it clicks the OK button,
// ticks the check box and so on. Each widget's callback prints one line; the demo writes the frame after
// the events as a PNG and exits 1 when an expected line is missing.
//
// Exit: 0 ok, 1 a check failed, 2 bad command line, 3 the engine did not start.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "Engine/devices/WeRealEngineDevices.h"
#include "Engine/foundation/WeApplication.h"
#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/runtime/WeAppWindow.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/ui/WeUIButton.h"
#include "Engine/ui/WeUICheckBox.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIProgressBar.h"
#include "Engine/ui/WeUIText.h"
#include "Engine/ui/WeUIWindow.h"
#include "Tools/demo_common/DemoFrame.h"

namespace
{

const char* const Usage = "uidemo [--png FILE] [--size WIDTHxHEIGHT]";

struct Options
{
    const char* png = nullptr;
    int width = 1024;
    int height = 768;
};

bool ParseSize(const char* text, int* width, int* height)
{
    int w = 0, h = 0;
    char x = 0, rest = 0;
    if (text == nullptr || std::sscanf(text, "%d%c%d%c", &w, &x, &h, &rest) != 3 || x != 'x' || w < 320 || h < 240 ||
        w > 8192 || h > 8192)
        return false;
    *width = w;
    *height = h;
    return true;
}

// Each option takes one value; a new option is one more row.
bool Parse(int argc, char** argv, Options& options)
{
    struct Flag
    {
        const char* name;
        std::function<bool(const char*)> take;
    };
    const Flag flags[] = {
        {"--png", [&](const char* v) { return (options.png = v) != nullptr; }},
        {"--size", [&](const char* v) { return ParseSize(v, &options.width, &options.height); }},
    };
    for (int i = 1; i < argc; i += 2)
    {
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = false;
        for (const Flag& f : flags)
            if (std::strcmp(argv[i], f.name) == 0)
                ok = value != nullptr && f.take(value);
        if (!ok)
        {
            std::fprintf(stderr, "uidemo: bad argument %s\nusage: %s\n", argv[i], Usage);
            return false;
        }
    }
    return true;
}

// What the callbacks printed, to be checked at the end.
std::set<std::string> g_Printed;

void Print(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    g_Printed.insert(line);
}

int32_t OnClicked(int32_t, WeUIComponent* sender)
{
    Print(std::string("clicked ") + sender->m_Name.c_str());
    return 1;
}

int32_t OnChecked(int32_t, WeUIComponent* sender)
{
    Print(std::string("checked ") + sender->m_Name.c_str() + " " +
          std::to_string(static_cast<WeUICheckBox*>(sender)->m_Checked));
    return 1;
}

// The game window's part of the input: the messages the input device does not poll. The input device
// posts moves (with the wheel's motion), buttons and scan-code keys itself.
class DemoWindow : public WeAppWindow
{
public:
    void OnMouseWheel(int32_t delta) override { g_UIMain.PostMouseWheel(delta); }
    void OnLButtonDoubleClick(int32_t, int32_t) override { g_UIMain.PostDoubleClick(); }
    void OnChar(int32_t character) override { g_UIMain.PostKeyDown(-character); }
};

// One scripted user action at a frame.
struct Step
{
    int frame;
    std::function<void()> act;
};

class Script
{
public:
    explicit Script(HWND window) : m_Window(window) {}

    // Back-buffer pixels to client pixels of the window.
    void ToClient(int x, int y, int* cx, int* cy) const
    {
        RECT client = {};
        GetClientRect(m_Window, &client);
        int cw = client.right - client.left, ch = client.bottom - client.top;
        *cx = g_ScreenSize.width > 0 && cw > 0 ? x * cw / g_ScreenSize.width : x;
        *cy = g_ScreenSize.height > 0 && ch > 0 ? y * ch / g_ScreenSize.height : y;
    }
    void Move(int x, int y)
    {
        SDL_Event e = {};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = Id();
        ToClient(x, y, &e.motion.x, &e.motion.y);
        SDL_PushEvent(&e);
    }
    void Button(bool down, int x, int y)
    {
        SDL_Event e = {};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.windowID = Id();
        e.button.button = SDL_BUTTON_LEFT;
        e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = 1;
        ToClient(x, y, &e.button.x, &e.button.y);
        SDL_PushEvent(&e);
    }
    // One notch towards the user (scrolling down).
    void Wheel(int notches)
    {
        SDL_Event e = {};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.windowID = Id();
        e.wheel.y = notches;
        e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
        SDL_PushEvent(&e);
    }
    // The centre of a widget, in back-buffer pixels; false when there is no such widget.
    static bool Centre(const char* name, int* x, int* y)
    {
        WeUIComponent* c = g_UIMain.FindComponent(WeString(name));
        if (c == nullptr)
            return false;
        *x = c->GetScreenX() + c->m_PixelWidth / 2;
        *y = c->GetScreenY() + c->m_PixelHeight / 2;
        return true;
    }
    // Moves onto the widget, presses and releases the left button a few frames apart.
    void Click(int frame, const char* name)
    {
        std::string n = name;
        m_Steps.push_back({frame, [this, n]
                           {
                               int x = 0, y = 0;
                               if (Centre(n.c_str(), &x, &y))
                               {
                                   Move(x, y);
                                   Button(true, x, y);
                               }
                           }});
        m_Steps.push_back({frame + 3, [this, n]
                           {
                               int x = 0, y = 0;
                               if (Centre(n.c_str(), &x, &y))
                                   Button(false, x, y);
                           }});
    }
    void WheelOver(int frame, const char* name, int notches)
    {
        std::string n = name;
        m_Steps.push_back({frame, [this, n, notches]
                           {
                               int x = 0, y = 0;
                               if (Centre(n.c_str(), &x, &y))
                                   Move(x, y);
                               Wheel(notches);
                           }});
    }
    void Run(int frame)
    {
        for (const Step& s : m_Steps)
            if (s.frame == frame)
                s.act();
    }
    int LastFrame() const
    {
        int last = 0;
        for (const Step& s : m_Steps)
            last = std::max(last, s.frame);
        return last;
    }

private:
    Uint32 Id() const { return SDL_GetWindowID(reinterpret_cast<SDL_Window*>(m_Window)); }
    HWND m_Window;
    std::vector<Step> m_Steps;
};

// What a part of the sample screen asks of the run: the lines its callbacks must have printed, and checks
// that run after the last frame (they print their own lines and return false on failure).
struct Expectations
{
    std::vector<std::string> lines;
    std::vector<std::function<bool()>> atEnd;
};

// The sample screen's own widgets.
void BuildSimpleWidgets(Script& script, Expectations& expect)
{
    g_UIMain.CreateWindow(WeString("SampleWindow"), WeString("Sample screen"), WeString(""));
    g_UIMain.CreateButton(WeString("SampleOK"), WeString("OK"), WeString("SampleWindow"), OnClicked);
    g_UIMain.CreateButton(WeString("SampleCancel"), WeString("Cancel"), WeString("SampleWindow"), OnClicked);
    g_UIMain.CreateLabel(WeString("SampleLabel"), WeString("Widgets from configuration"), WeString("SampleWindow"), -1);
    g_UIMain.CreateCheckBox(WeString("SampleCheck"), WeString("SampleWindow"), OnChecked);
    g_UIMain.CreateLabel(WeString("SampleCheckLabel"), WeString("Show lap times"), WeString("SampleWindow"), -1);
    g_UIMain.CreateProgressBar(WeString("SampleProgress"), WeString("SampleWindow"))->SetValue(0.65f);
    g_UIMain.CreatePanelWindow(WeString("SamplePanel"), WeString("Panel"), WeString("SampleWindow"));
    g_UIMain.CreateLabel(WeString("SamplePanelText"),
                         WeString("A panel window with a plain background; this text wraps at the panel's width."),
                         WeString("SamplePanel"), -1);
    script.Click(10, "SampleOK");
    script.Click(20, "SampleCheck");
    expect.lines.push_back("clicked SampleOK");
    expect.lines.push_back("checked SampleCheck 1");
}

// The composite widgets (combo box, multi-column list) and what the script does with them.
void BuildCompositeWidgets(Script& script, Expectations& expect)
{
    (void)script;
    (void)expect;
}

// The amber of the check mark lies inside the ticked box's rectangle of the frame.
bool CheckMarkShows(const std::vector<uint32_t>& pixels)
{
    WeUIComponent* box = g_UIMain.FindComponent(WeString("SampleCheck"));
    if (box == nullptr)
        return false;
    int amber = 0;
    for (int y = box->GetScreenY(); y < box->GetScreenY() + box->m_PixelHeight; ++y)
        for (int x = box->GetScreenX(); x < box->GetScreenX() + box->m_PixelWidth; ++x)
        {
            if (x < 0 || y < 0 || x >= g_ScreenSize.width || y >= g_ScreenSize.height)
                continue;
            uint32_t p = pixels[size_t(y) * size_t(g_ScreenSize.width) + size_t(x)];
            amber += ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 120 && (p & 0xFF) < 100;
        }
    return amber > 0;
}

class UIDemo : public WeApplication
{
public:
    explicit UIDemo(const Options& options) : m_Options(options) {}
    const char* GetName() override { return "uidemo"; }

    int Run() override
    {
        DemoWindow window;
        if (!window.Create("uidemo", "uidemo", nullptr, 102, 0, m_Options.width, m_Options.height, 0, 0, true, true,
                           true, false, false, false, nullptr))
        {
            std::fprintf(stderr, "uidemo: cannot create the window\n");
            return 1;
        }
        WeEngineSettings settings;
        settings.windowMode = 2;
        settings.width = m_Options.width;
        settings.height = m_Options.height;
        InstallRealEngineDevices();
        if (!g_Engine.Init(settings, nullptr, &window, "uidemo"))
        {
            const char* text = g_Engine.m_ErrorText.c_str();
            std::fprintf(stderr, "uidemo: %s\n", *text != '\0' ? text : "the engine did not start");
            Finish(window);
            return 3;
        }
        // No scene draws under the UI: the frame is cleared to the night of the palette, or the cursor of
        // earlier frames would stay behind.
        g_RenderDevice.m_ClearEachFrame = 1;
        g_RenderDevice.m_ClearColor = 0xFF0B1020u;
        // The sample screen's layout over the shipped settings.
        WeFileSystem fixture;
        fixture.SetRoot(WeString(UIDEMO_FIXTURE_DIR));
        SetConfigFileSystem(&fixture);
        LoadConfigFiles(WeString("UI"));
        SetConfigFileSystem(nullptr);

        Script script(window.m_Handle);
        Expectations expect;
        BuildSimpleWidgets(script, expect);
        BuildCompositeWidgets(script, expect);

        const int frames = script.LastFrame() + 15;
        std::vector<uint32_t> last;
        for (int frame = 0; frame < frames && window.IsAlive(); ++frame)
        {
            script.Run(frame);
            g_Engine.Tick();
            g_Engine.Render();
            if (frame == frames - 1 && g_Engine.m_DeviceUsable)
                last =
                    DemoReadBackBuffer(g_RenderDevice.GetDevice(), UINT(g_ScreenSize.width), UINT(g_ScreenSize.height));
        }
        bool ok = true;
        for (const std::function<bool()>& check : expect.atEnd)
            ok = check() && ok;
        for (const std::string& line : expect.lines)
            if (g_Printed.count(line) == 0)
            {
                std::fprintf(stderr, "uidemo: missing: %s\n", line.c_str());
                ok = false;
            }
        if (last.empty())
        {
            std::fprintf(stderr, "uidemo: the last frame could not be read back\n");
            ok = false;
        }
        else if (!CheckMarkShows(last))
        {
            std::fprintf(stderr, "uidemo: the ticked box shows no mark\n");
            ok = false;
        }
        else if (m_Options.png != nullptr &&
                 !DemoWritePng(m_Options.png, UINT(g_ScreenSize.width), UINT(g_ScreenSize.height), last))
        {
            std::fprintf(stderr, "uidemo: cannot write %s\n", m_Options.png);
            ok = false;
        }
        std::printf("uidemo: %dx%d, %d frames, %s\n", g_ScreenSize.width, g_ScreenSize.height, frames,
                    ok ? "ok" : "FAILED");
        Finish(window);
        return ok ? 0 : 1;
    }

private:
    void Finish(WeAppWindow& window)
    {
        g_Engine.Shutdown();
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
    UIDemo demo(options);
    return demo.RunWithCrashHandler();
}
