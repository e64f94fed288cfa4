// uidemo [--png FILE] [--size WxH] [--movie FILE [--sound]] [--seconds S]
//
// The UI toolkit on the real devices: a window of the given size (1024 x 768 by default; off screen with
// SDL_VIDEODRIVER=offscreen), the engine started on the built pack, the sample screen's layout loaded over
// the shipped UI settings, and a screen built of the toolkit's widgets. It then scripts a user through the
// window layer's event pump (SDL events pushed as a user's mouse would make them): it clicks the OK button,
// ticks the check box and so on. Each widget's callback prints one line; the demo writes the frame after
// the events as a PNG and exits 1 when an expected line is missing.
//
// --movie plays a movie widget over the whole screen behind the sample screen, with a black colour frame
// fading from in front of it as the menu does; --sound opens it with its sound; --seconds runs at least that
// long in real time. The demo then prints the frames the movie uploaded and, with sound, the seconds played,
// the underruns and the largest gap between the sound's and the picture's positions.
//
// Exit: 0 ok, 1 a check failed, 2 bad command line, 3 the engine did not start.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
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
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeMovieSound.h"
#include "Engine/render/WeMovieTextureRenderer.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/runtime/WeAppWindow.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/ui/WeUIButton.h"
#include "Engine/ui/WeUICheckBox.h"
#include "Engine/ui/WeUIColorFrame.h"
#include "Engine/ui/WeUIComboBox.h"
#include "Engine/ui/WeUIEditBox.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIMovie.h"
#include "Engine/ui/WeUIMultiList.h"
#include "Engine/ui/WeUIProgressBar.h"
#include "Engine/ui/WeUIScrollFrame.h"
#include "Engine/ui/WeUIText.h"
#include "Engine/ui/WeUIVScrollBar.h"
#include "Engine/ui/WeUIWindow.h"
#include "Platform/video/VideoPlayer.h"
#include "Tools/demo_common/DemoFrame.h"
#include "Tools/demo_common/DemoScript.h"

namespace
{

const char* const Usage = "uidemo [--png FILE] [--size WIDTHxHEIGHT] [--movie FILE [--sound]] [--seconds SECONDS]";

struct Options
{
    const char* png = nullptr;
    int width = 1024;
    int height = 768;
    const char* movie = nullptr;
    bool sound = false;
    double seconds = 0.0;
};

bool ParseSeconds(const char* text, double* seconds)
{
    char* end = nullptr;
    double value = text != nullptr ? std::strtod(text, &end) : 0.0;
    if (text == nullptr || end == text || *end != '\0' || !(value >= 0.0) || value > 3600.0)
        return false;
    *seconds = value;
    return true;
}

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

// Each option takes one value, or none when it is a switch; a new option is one more row.
bool Parse(int argc, char** argv, Options& options)
{
    struct Flag
    {
        const char* name;
        bool takesValue;
        std::function<bool(const char*)> take;
    };
    const Flag flags[] = {
        {"--png", true, [&](const char* v) { return (options.png = v) != nullptr; }},
        {"--size", true, [&](const char* v) { return ParseSize(v, &options.width, &options.height); }},
        {"--movie", true, [&](const char* v) { return (options.movie = v) != nullptr; }},
        {"--sound", false, [&](const char*) { return options.sound = true; }},
        {"--seconds", true, [&](const char* v) { return ParseSeconds(v, &options.seconds); }},
    };
    for (int i = 1; i < argc;)
    {
        const Flag* flag = nullptr;
        for (const Flag& f : flags)
            if (std::strcmp(argv[i], f.name) == 0)
                flag = &f;
        const char* value = flag != nullptr && flag->takesValue && i + 1 < argc ? argv[i + 1] : nullptr;
        if (flag == nullptr || (flag->takesValue && value == nullptr) || !flag->take(value))
        {
            std::fprintf(stderr, "uidemo: bad argument %s\nusage: %s\n", argv[i], Usage);
            return false;
        }
        i += flag->takesValue ? 2 : 1;
    }
    if (options.sound && options.movie == nullptr)
    {
        std::fprintf(stderr, "uidemo: --sound needs --movie\nusage: %s\n", Usage);
        return false;
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

// The scripted user, with SDL's scancodes for its keys.
class Script : public DemoScript
{
public:
    using DemoScript::DemoScript;
    void Key(int frame, SDL_Scancode code) { DemoScript::Key(frame, static_cast<int>(code)); }
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

// After the events: where the wheel left the list and what the name field holds. False when the list did
// not scroll.
bool ReportCompositeWidgets()
{
    auto* list = static_cast<WeUIMultiList*>(g_UIMain.FindComponent(WeString("SampleList")));
    float position = list != nullptr ? list->m_ScrollFrame->m_VScroll->GetPosition() : 0.0f;
    char line[64];
    std::snprintf(line, sizeof(line), "scrolled SampleList %.2f", double(position));
    Print(line);
    auto* name = static_cast<WeUIEditBox*>(g_UIMain.FindComponent(WeString("SampleName")));
    if (name != nullptr)
        Print(std::string("typed ") + name->GetText().c_str());
    if (position <= 0.0f)
        std::fprintf(stderr, "uidemo: the wheel did not scroll the list\n");
    return position > 0.0f;
}

int32_t OnSelected(WeUIComponent* sender)
{
    Print(std::string("selected ") + sender->m_Name.c_str() + " " +
          std::to_string(static_cast<WeUIComboBox*>(sender)->GetSelectedIndex()));
    return 1;
}

// The composite widgets (combo box, multi-column list, edit box) and what the script does with them.
void BuildCompositeWidgets(Script& script, Expectations& expect)
{
    WeUIComboBox* combo = g_UIMain.CreateComboBox(WeString("SampleCombo"), WeString("SampleWindow"), OnSelected);
    const char* const levels[] = {"Rookie", "Pro", "Elite", "Legend"};
    for (int i = 0; i < 4; ++i)
        combo->AddItem(WeString(levels[i]), i, i == 0);
    WeUIMultiList* list = g_UIMain.CreateMultiList(WeString("SampleList"), WeString("SampleWindow"));
    WeStringList captions;
    for (const char* caption : {"Pos", "Pilot", "Craft", "Best lap", "Points"})
        captions.PushBack(WeString(caption));
    WeList<uint8_t> numeric;
    for (uint8_t flag : {1, 0, 0, 0, 1})
        numeric.PushBack(flag);
    list->SetColumns(captions, &numeric);
    list->SetHeaderEnabled(true);
    const char* const pilots[] = {"Vega", "Orin", "Kestrel", "Mara", "Juno", "Talon", "Rhea", "Siro"};
    const char* const crafts[] = {"Arrow", "Lancer", "Wasp", "Hammer"};
    for (int row = 0; row < 30; ++row)
    {
        char lap[32];
        std::snprintf(lap, sizeof(lap), "1:%02d.%02d", 12 + row / 3, (row * 37) % 100);
        WeStringList texts;
        texts.PushBack(WeString(std::to_string(row + 1).c_str()));
        texts.PushBack(WeString((std::string(pilots[row % 8]) + " " + std::to_string(row / 8 + 1)).c_str()));
        texts.PushBack(WeString(crafts[row % 4]));
        texts.PushBack(WeString(lap));
        texts.PushBack(WeString(std::to_string(300 - row * 9).c_str()));
        list->AddRow(&texts, intptr_t(row));
    }
    g_UIMain.CreateEditBox(WeString("SampleName"), WeString("SampleWindow"));

    script.Click(30, "SampleCombo$Button");
    script.Click(45, "SampleCombo$List$Item 2");
    script.WheelOver(60, "SampleList", -1);
    expect.lines.push_back("selected SampleCombo 2");
    // Into the name field: "Ace 78" typed, then one Backspace.
    script.Click(70, "SampleName");
    script.TypeText(80, "Ace 78");
    script.Key(85, SDL_SCANCODE_BACKSPACE);
    expect.lines.push_back("typed Ace 7");
    expect.atEnd.push_back(ReportCompositeWidgets);
}

// The menu's backdrop: a movie over the whole screen behind the sample screen and a black frame fading away
// in front of it. Measures the frames uploaded and, with sound, how the sound keeps to the pictures.
class MovieBackdrop
{
public:
    bool Start(const char* file, bool sound)
    {
        if (sound && !g_AudioDevice.IsInitialised() && !g_AudioDevice.Init())
            std::fprintf(stderr, "uidemo: no sound device; the movie plays silent\n");
        m_Sound = sound;
        WeUIColorFrame* fader = g_UIMain.CreateColorFrame(WeString("DemoMovieFader"), WeString(""));
        m_Movie = g_UIMain.CreateMovie(WeString("DemoMovie"), WeString(""));
        for (WeUIComponent* c : {static_cast<WeUIComponent*>(fader), static_cast<WeUIComponent*>(m_Movie)})
        {
            c->SetRect(0.0f, 0.0f, 1.0f, 1.0f);
            c->SetFullScreen(true);
            c->SendToBack();
        }
        fader->m_Colour[0] = fader->m_Colour[1] = fader->m_Colour[2] = 0.0f;
        fader->SetFadeSpeed(0.5f);
        fader->StartFadeOut();
        if (!m_Movie->Open(WeString(file), sound ? 1 : 0))
        {
            std::fprintf(stderr, "uidemo: cannot open the movie %s\n", file);
            return false;
        }
        m_Movie->Play(1);
        return true;
    }
    // Once a frame: the gap between the sound being played and the picture shown.
    void Sample()
    {
        WeMovieSound* sound = m_Movie != nullptr ? m_Movie->GetRenderer()->GetSound() : nullptr;
        if (sound == nullptr || !sound->IsStarted())
            return;
        double heard = sound->PlayingTime();
        if (heard < 0.0)
            return;
        m_Heard = std::max(m_Heard, heard);
        m_MaxOffset = std::max(m_MaxOffset, std::fabs(heard - m_Movie->GetRenderer()->GetPlayer()->Position()));
    }
    // Prints the figures; false when no frame arrived.
    bool Report()
    {
        if (m_Movie == nullptr)
            return true;
        uint32_t frames = m_Movie->GetRenderer()->GetUploadCount();
        std::printf("movie frames %u\n", frames);
        if (m_Sound)
        {
            WeMovieSound* sound = m_Movie->GetRenderer()->GetSound();
            if (sound != nullptr)
                std::printf("sound %.2f s, underruns %d, max offset %d ms\n", m_Heard, sound->GetUnderruns(),
                            int(std::lround(m_MaxOffset * 1000.0)));
            else
                std::printf("sound none\n");
        }
        std::fflush(stdout);
        if (frames == 0)
            std::fprintf(stderr, "uidemo: the movie showed no frame\n");
        return frames > 0;
    }

private:
    WeUIMovie* m_Movie = nullptr;
    bool m_Sound = false;
    double m_Heard = 0.0;
    double m_MaxOffset = 0.0;
};

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
        // The script counts frames while the widgets fade in seconds: frames paced to 60 a second, as a
        // display's refresh would, keep the two in step however fast the machine draws.
        g_Timer.m_MinimumFrameTime = 1.0 / 60.0;
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
        MovieBackdrop movie;
        bool ok = m_Options.movie == nullptr || movie.Start(m_Options.movie, m_Options.sound);

        // The script's frames, and with --seconds at least that long in real time.
        const int scripted = script.LastFrame() + 15;
        const auto start = std::chrono::steady_clock::now();
        auto running = [&](int frame)
        {
            std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
            return frame < scripted || elapsed.count() < m_Options.seconds;
        };
        int frames = 0;
        std::vector<uint32_t> last;
        for (int frame = 0; window.IsAlive(); ++frame)
        {
            script.Run(frame);
            g_Engine.Tick();
            // Right after the tick uploaded the newest frame, which this frame shows.
            movie.Sample();
            g_Engine.Render();
            frames = frame + 1;
            if (!running(frames))
            {
                if (g_Engine.m_DeviceUsable)
                    last = DemoReadBackBuffer(g_RenderDevice.GetDevice(), UINT(g_ScreenSize.width),
                                              UINT(g_ScreenSize.height));
                break;
            }
        }
        for (const std::function<bool()>& check : expect.atEnd)
            ok = check() && ok;
        ok = movie.Report() && ok;
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
