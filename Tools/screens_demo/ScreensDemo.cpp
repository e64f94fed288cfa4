// screens_demo --phase intro|loadmenu|menu|loadmap|buy [--map NAME] [options]
// screens_demo --script NAME [options]
//
// The game's own application on the real devices (its Init of pass 2 with options, fonts, translations and
// callbacks, a frame loop of the engine's tick and render with the game's tick callback, its Shutdown): one
// screen made the first phase of the pass (--phase), or the start-up loading followed by a scripted user
// (--script). Prints "phase <Class>" whenever the top phase changes, one line per check, and last
// "screens_demo: <phase or script> ok". A failed check or step is named on its own line (exit 1); a bad
// command line prints the usage (exit 2).
//
// Options: --png-dir DIR (PNGs of chosen frames), --save-folder DIR (the save folder itself; without it a
// fresh temporary one, removed at exit), --size WxH (1024x768), --seed N (1), --frames N (the most frames the
// run may take), --no-movies, --map NAME (with --phase loadmap).
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/runtime/WeSoundBuffer.h"
#include "Engine/ui/WeUIComboBox.h"
#include "Engine/ui/WeUIComponent.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIRoot.h"
#include "Engine/ui/WeUIScrollBar.h"
#include "Game/screens/CBuyScreenPhase.h"
#include "Game/screens/CIntroPhase.h"
#include "Game/screens/CLoadMapPhase.h"
#include "Game/screens/CLoadMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CProgressBar.h"
#include "Game/screens/GetPhaseClassName.h"
#include "Game/shell/CGameApplication.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameWindow.h"
#include "Game/shell/COptionsSettings.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Platform/system/SysClock.h"
#include "Platform/system/SysRandom.h"
#include "Tools/demo_common/DemoFrame.h"
#include "Tools/demo_common/DemoScript.h"
#include "Tools/screens_demo/ScreensDemoScript.h"

namespace
{
namespace fs = std::filesystem;

const char* const Usage = "usage: screens_demo --phase intro|loadmenu|menu|loadmap|buy [--map NAME] [options]\n"
                          "       screens_demo --script NAME [options]\n"
                          "options: --png-dir DIR  --save-folder DIR  --size WxH  --seed N  --frames N  --no-movies";

struct Options
{
    std::string phase;
    std::string script;
    std::string map = "Wastelands of Apeiron (day)";
    bool mapGiven = false;
    std::string pngDir;
    std::string saveFolder;
    int width = 1024;
    int height = 768;
    uint32_t seed = 1;
    int frames = 6000;
    bool noMovies = false;
};

bool ParseInt(const char* text, long low, long high, long& out)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != 0 || value < low || value > high)
        return false;
    out = value;
    return true;
}

bool Parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        long number = 0;
        if (arg == "--no-movies")
        {
            o.noMovies = true;
            continue;
        }
        if (value == nullptr)
            return false;
        ++i;
        if (arg == "--phase")
            o.phase = value;
        else if (arg == "--script")
            o.script = value;
        else if (arg == "--map")
        {
            o.map = value;
            o.mapGiven = true;
        }
        else if (arg == "--png-dir")
            o.pngDir = value;
        else if (arg == "--save-folder")
            o.saveFolder = value;
        else if (arg == "--size")
        {
            int w = 0, h = 0;
            char x = 0, rest = 0;
            if (std::sscanf(value, "%d%c%d%c", &w, &x, &h, &rest) != 3 || x != 'x' || w < 640 || h < 480 || w > 8192 ||
                h > 8192)
                return false;
            o.width = w;
            o.height = h;
        }
        else if (arg == "--seed" && ParseInt(value, 0, 0x7FFFFFFF, number))
            o.seed = static_cast<uint32_t>(number);
        else if (arg == "--frames" && ParseInt(value, 1, 10000000, number))
            o.frames = static_cast<int>(number);
        else
            return false;
    }
    const bool phaseKnown =
        o.phase == "intro" || o.phase == "loadmenu" || o.phase == "menu" || o.phase == "loadmap" || o.phase == "buy";
    if (o.phase.empty() == o.script.empty())
        return false;
    if (!o.phase.empty() && !phaseKnown)
        return false;
    if (o.mapGiven && o.phase != "loadmap")
        return false;
    if (!o.script.empty())
    {
        bool found = false;
        for (const ScreensDemoScriptEntry* e = g_ScreensDemoScripts; e->name != nullptr; ++e)
            found |= o.script == e->name;
        if (!found)
            return false;
    }
    return true;
}

void Line(const std::string& text)
{
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

// The save folder: the given one, or a fresh temporary one. The shell finds it as "Kestrovane Demo" under
// the data home, which here is a temporary folder whose "Kestrovane Demo" is (or links to) that folder.
class SaveFolder
{
public:
    bool Set(const std::string& given)
    {
        std::error_code error;
        m_Home = fs::temp_directory_path() / ("screens_demo-" + std::to_string(SysClock::Counter()));
        fs::create_directories(m_Home, error);
        const fs::path link = m_Home / "Kestrovane Demo";
        if (given.empty())
        {
            fs::create_directories(link, error);
            m_Folder = link;
        }
        else
        {
            m_Folder = fs::absolute(given, error);
            fs::create_directories(m_Folder, error);
            fs::create_directory_symlink(m_Folder, link, error);
        }
        setenv("XDG_DATA_HOME", m_Home.c_str(), 1);
        return !error && fs::is_directory(link);
    }
    ~SaveFolder()
    {
        std::error_code error;
        // The link goes; a given folder stays.
        if (!m_Home.empty())
            fs::remove_all(m_Home, error);
    }
    const fs::path& Folder() const { return m_Folder; }

private:
    fs::path m_Home;
    fs::path m_Folder;
};

class Demo
{
public:
    explicit Demo(const Options& options) : m_Options(options) {}

    int Run()
    {
        if (!m_Options.pngDir.empty())
        {
            std::error_code error;
            fs::create_directories(m_Options.pngDir, error);
        }
        if (!m_SaveFolder.Set(m_Options.saveFolder))
        {
            Line("screens_demo: the save folder cannot be made");
            return 1;
        }
        if (!fs::exists(m_SaveFolder.Folder() / "options_demo.sav"))
        {
            g_OptionsSettings.m_Width = m_Options.width;
            g_OptionsSettings.m_Height = m_Options.height;
            g_OptionsSettings.Save();
        }
        SysRandom::Seed(m_Options.seed);
        g_Game.m_PlayMovies = m_Options.noMovies ? 0 : 1;
        if (!m_Options.phase.empty())
            PreparePhase();
        else
            PrepareScript();

        if (!g_GameApplication.Init(2))
        {
            Line("screens_demo: the game did not start");
            g_GameApplication.Shutdown(2);
            return 1;
        }
        g_Engine.m_TickCallback = CGameApplication::OnTick;
        // The start-up loading brings the fonts; a screen started without it gets them here.
        if (m_Options.phase == "loadmap" || m_Options.phase == "menu" || m_Options.phase == "buy")
            g_Game.LoadFonts();
        m_Script = new DemoScript(g_Game.m_Window->m_Handle);

        bool ok = true;
        for (m_Frame = 0; g_Game.m_Window->IsAlive() && !m_Done; ++m_Frame)
        {
            if (m_Frame >= m_Options.frames)
            {
                Line("failed: frame limit reached while waiting in " + m_Waiting);
                ok = false;
                break;
            }
            m_Script->Run(m_Frame);
            const auto start = std::chrono::steady_clock::now();
            g_Engine.Tick();
            m_TickMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            g_Engine.Render();
            ReportPhase();
            if (!m_Check())
            {
                ok = false;
                break;
            }
            if (m_PngPending)
            {
                WritePng(m_PngName);
                m_PngPending = false;
            }
        }
        if (ok && !m_Done && !m_EndsWithPass)
        {
            Line("failed: the pass ended while waiting in " + m_Waiting);
            ok = false;
        }
        if (ok && m_EndsWithPass && m_AtEnd)
            ok = m_AtEnd();
        delete m_Script;
        m_Script = nullptr;
        g_GameApplication.Shutdown(2);
        const std::string what = !m_Options.phase.empty() ? m_Options.phase : m_Options.script;
        Line("screens_demo: " + what + (ok ? " ok" : " failed"));
        return ok ? 0 : 1;
    }

private:
    void ReportPhase()
    {
        WeAbstractPhase* top = g_PhaseManager.GetTopPhase();
        if (top == m_Top)
            return;
        m_Top = top;
        Line(std::string("phase ") + GetPhaseClassName(top));
    }

    void WritePng(const std::string& name)
    {
        if (m_Options.pngDir.empty() || !g_Engine.m_DeviceUsable)
            return;
        const std::vector<uint32_t> pixels =
            DemoReadBackBuffer(g_RenderDevice.GetDevice(), UINT(g_ScreenSize.width), UINT(g_ScreenSize.height));
        const std::string path = (fs::path(m_Options.pngDir) / (name + ".png")).string();
        if (pixels.empty() || !DemoWritePng(path.c_str(), UINT(g_ScreenSize.width), UINT(g_ScreenSize.height), pixels))
            Line("screens_demo: cannot write " + path);
    }
    void PhasePng()
    {
        char name[64];
        std::snprintf(name, sizeof(name), "%s-%05d", m_Options.phase.c_str(), m_Frame);
        WritePng(name);
    }

    void PreparePhase()
    {
        const std::string& p = m_Options.phase;
        if (p == "intro")
        {
            g_GameApplication.SetFirstPhase(2, &g_IntroPhase);
            m_EndsWithPass = true;
            m_Waiting = "the intro";
            m_Check = [this]
            {
                if (g_IntroPhase.m_Index > m_IntroEntries)
                {
                    m_IntroEntries = g_IntroPhase.m_Index;
                    m_EntryFrame = m_Frame;
                }
                // A few frames into the first entry (a slow machine's frames are long, and a picture's fade is
                // timed): a picture, then Space.
                if (m_IntroEntries == 1 && m_Frame == m_EntryFrame + 8)
                    PhasePng();
                if (m_IntroEntries == 1 && m_Frame == m_EntryFrame + 10)
                {
                    m_SkipFrom = 1;
                    m_Script->Key(m_Frame + 1, SDL_SCANCODE_SPACE);
                }
                if (m_SkipFrom == 1 && g_IntroPhase.m_Index != 1 && !m_Skipped)
                {
                    m_Skipped = m_Frame <= m_EntryFrame + 20;
                    PhasePng();
                }
                return true;
            };
            m_AtEnd = [this]
            {
                Line("intro entries " + std::to_string(m_IntroEntries));
                Line(std::string("skipped by Space: ") + (m_Skipped ? "yes" : "no"));
                return m_Skipped;
            };
        }
        else if (p == "buy")
        {
            g_GameApplication.SetFirstPhase(2, &g_BuyScreenPhase);
            m_EndsWithPass = true;
            m_Waiting = "the buy screen";
            m_Check = [this]
            {
                if (m_Frame == 1)
                    m_Start = g_Timer.m_TotalTime;
                m_Last = g_Timer.m_TotalTime;
                if (m_Frame == 20)
                    PhasePng();
                return true;
            };
            m_AtEnd = [this]
            {
                char line[64];
                std::snprintf(line, sizeof(line), "ended after %.1f s", m_Last - m_Start);
                Line(line);
                return m_Last - m_Start > 6.5 && m_Last - m_Start < 7.5;
            };
        }
        else if (p == "menu")
        {
            g_GameApplication.SetFirstPhase(2, &g_MenuPhase);
            m_Waiting = "the menu background";
            m_Check = [this]
            {
                if (m_Frame == 30 || m_Frame == 150)
                    PhasePng();
                if (m_Frame < 150)
                    return true;
                const bool version = g_UIMain.FindComponent("MenuVersion") != nullptr;
                const bool background = g_MenuPhase.m_MovieWidget != nullptr || g_MenuPhase.m_PictureWidget != nullptr;
                Line(std::string("version label: ") + (version ? "yes" : "no"));
                Line(std::string("background: ") + (g_MenuPhase.m_MovieWidget != nullptr ? "movie" : "picture"));
                m_Done = true;
                return version && background;
            };
        }
        else if (p == "loadmenu")
        {
            g_GameApplication.SetFirstPhase(2, &g_LoadMenuPhase);
            m_Waiting = "the start-up loading";
            m_Check = [this]
            {
                if (g_LoadMenuPhase.m_Step == 4 && m_LoadStart == 0)
                    m_LoadStart = 1;
                if (g_LoadMenuPhase.m_Step == 5 && !m_Loaded)
                {
                    m_Loaded = true;
                    char line[64];
                    std::snprintf(line, sizeof(line), "game data loaded in %.0f ms", m_TickMs);
                    Line(line);
                    Line("sound buffers " + std::to_string(GetSoundBufferCount()));
                    PhasePng();
                }
                if (g_PhaseManager.GetPhaseCount() == 2 && g_PhaseManager.GetPhaseAt(0) == &g_MenuPhase)
                {
                    std::string stack;
                    for (int32_t i = 0; i < g_PhaseManager.GetPhaseCount(); ++i)
                        stack += std::string(i ? " " : "") + GetPhaseClassName(g_PhaseManager.GetPhaseAt(i));
                    Line("next phases " + stack);
                    PhasePng();
                    m_Done = true;
                    return m_Loaded;
                }
                return true;
            };
        }
        else
        {
            PrepareLoadMap();
        }
    }

    void PrepareLoadMap()
    {
        g_RaceSettings.ClearParticipants();
        g_RaceSettings.m_MapName = m_Options.map.c_str();
        g_RaceSettings.m_Laps = 3;
        g_RaceSettings.m_RaceType = 0;
        g_RaceSettings.m_Difficulty = 2;
        g_RaceSettings.m_Weapons = true;
        g_RaceSettings.SetParticipant(0, CRaceParticipant::Human, "Falconer", 1)->m_DisplayName = "Player";
        const char* const names[] = {"Vex", "Mor", "Kite"};
        const char* const crafts[] = {"Xdrone", "EclosionHunter", "Falconer"};
        for (int32_t i = 0; i < 3; ++i)
            g_RaceSettings.SetParticipant(i + 1, CRaceParticipant::AIEasy + i, crafts[i], i + 2)->m_DisplayName =
                names[i];
        g_GameApplication.SetFirstPhase(2, &g_LoadMapPhase);
        m_Waiting = "the race loading";
        m_Check = [this]
        {
            const int32_t step = g_LoadMapPhase.m_Step;
            const CProgressBar* bar = g_LoadMapPhase.m_ProgressBar;
            if (g_PhaseManager.GetTopPhase() != &g_LoadMapPhase && !m_Requested)
            {
                if (g_PhaseManager.GetTopPhase() == &g_PlayGamePhase)
                    m_Requested = true;
                else if (g_PhaseManager.GetTopPhase() != nullptr)
                {
                    Line("failed: the map did not load");
                    return false;
                }
            }
            if (step == CLoadMapPhase::StepLoading && bar != nullptr)
            {
                ++m_LoadFrames;
                if (m_TickMs > m_LongestMs)
                    m_LongestMs = m_TickMs;
                if (bar->m_Value < m_LastValue)
                    m_Fell = true;
                m_LastValue = bar->m_Value;
                if (m_LoadFrames % 40 == 1 && bar->m_Value > 0.0f)
                    PhasePng();
            }
            if (step >= CLoadMapPhase::StepWaitingForKey && !m_KeyShown && bar != nullptr)
            {
                m_KeyShown = true;
                if (bar->m_Value < m_LastValue)
                    m_Fell = true;
                m_LastValue = bar->m_Value;
                Line("load frames " + std::to_string(m_LoadFrames));
                char line[64];
                std::snprintf(line, sizeof(line), "longest update %.1f ms", m_LongestMs);
                Line(line);
                Line(std::string("progress rose to 1: ") + (!m_Fell && m_LastValue >= 1.0f ? "yes" : "no"));
                const bool shown =
                    bar->m_Text == g_Localization.GetText("UI: PRESS_ANY_KEY") && bar->GetText() == bar->m_Text;
                Line(std::string("press any key shown: ") + (shown ? "yes" : "no"));
                PhasePng();
                if (m_Fell || m_LastValue < 1.0f || !shown)
                    return false;
                m_Waiting = "the race request";
                m_Script->Key(m_Frame + 2, SDL_SCANCODE_SPACE);
            }
            if (m_Requested)
            {
                Line("race requested: yes");
                m_Done = true;
            }
            return true;
        };
    }

    void PrepareScript()
    {
        for (const ScreensDemoScriptEntry* e = g_ScreensDemoScripts; e->name != nullptr; ++e)
            if (m_Options.script == e->name)
                e->build(m_Steps);
        m_Check = [this] { return StepScript(); };
    }

    // Present, visible and fully faded in, with every widget it lies in.
    static bool Shown(const WeUIComponent* c)
    {
        if (c == nullptr)
            return false;
        for (; c != nullptr && c != static_cast<const WeUIComponent*>(g_UIMain.m_Root); c = c->m_Parent)
            if (!c->m_Visible || c->m_FadeDirection != 0 || c->m_Alpha < 0.999)
                return false;
        return c != nullptr;
    }

    // The thumb pressed, moved along the track in two moves and released, as a hand drags it.
    bool DragThumb(const std::string& name, int thousandths)
    {
        auto* bar = dynamic_cast<WeUIScrollBar*>(g_UIMain.FindComponent(name.c_str()));
        if (bar == nullptr || bar->m_Thumb == nullptr || bar->m_FirstButton == nullptr ||
            bar->m_SecondButton == nullptr)
            return false;
        const int range = bar->m_PixelWidth - bar->m_FirstButton->m_PixelWidth - bar->m_SecondButton->m_PixelWidth -
                          bar->m_Thumb->m_PixelWidth;
        const int x = bar->m_Thumb->GetScreenX() + bar->m_Thumb->m_PixelWidth / 2;
        const int y = bar->m_Thumb->GetScreenY() + bar->m_Thumb->m_PixelHeight / 2;
        const int to = x + int((float(thousandths) / 1000.0f - bar->GetPosition()) * float(range));
        const int mid = (x + to) / 2;
        DemoScript* script = m_Script;
        script->At(m_Frame + 1,
                   [script, x, y]
                   {
                       script->PushMove(x, y);
                       script->PushButton(true, x, y);
                   });
        script->At(m_Frame + 3, [script, mid, y] { script->PushMove(mid, y); });
        script->At(m_Frame + 5, [script, to, y] { script->PushMove(to, y); });
        script->At(m_Frame + 7, [script, to, y] { script->PushButton(false, to, y); });
        return true;
    }

    // The current step: a wait holds until it is met, anything else runs and the next step follows.
    bool StepScript()
    {
        while (m_StepIndex < m_Steps.m_Steps.size())
        {
            const ScreensDemoStep& s = m_Steps.m_Steps[m_StepIndex];
            m_Waiting = "step " + std::to_string(m_StepIndex + 1) + " (" + s.text + ")";
            switch (s.kind)
            {
            case ScreensDemoStep::WaitPhase:
                if (std::string(GetPhaseClassName(g_PhaseManager.GetTopPhase())) != s.text)
                    return true;
                break;
            case ScreensDemoStep::WaitShown:
            {
                if (!Shown(g_UIMain.FindComponent(s.text.c_str())))
                    return true;
                break;
            }
            case ScreensDemoStep::Click: m_Script->Click(m_Frame + 1, s.text.c_str()); break;
            case ScreensDemoStep::KeyPress: m_Script->Key(m_Frame + 1, s.value); break;
            case ScreensDemoStep::KeyHold:
                m_Script->KeyDown(m_Frame + 1, s.value);
                m_Script->KeyUp(m_Frame + 1 + std::atoi(s.text.c_str()), s.value);
                break;
            case ScreensDemoStep::KeyDown: m_Script->KeyDown(m_Frame + 1, s.value); break;
            case ScreensDemoStep::KeyUp: m_Script->KeyUp(m_Frame + 1, s.value); break;
            case ScreensDemoStep::Wheel: m_Script->WheelOver(m_Frame + 1, s.text.c_str(), s.value); break;
            case ScreensDemoStep::Type: m_Script->TypeText(m_Frame + 1, s.text.c_str()); break;
            case ScreensDemoStep::Seed: SysRandom::Seed(m_Options.seed); break;
            case ScreensDemoStep::Frames:
                if (m_WaitUntil < 0)
                    m_WaitUntil = m_Frame + s.value;
                if (m_Frame < m_WaitUntil)
                    return true;
                m_WaitUntil = -1;
                break;
            case ScreensDemoStep::Choose:
            {
                auto* combo = static_cast<WeUIComboBox*>(g_UIMain.FindComponent(s.text.c_str()));
                if (combo == nullptr || combo->GetItem(s.value) == nullptr)
                {
                    Line("failed: no item " + std::to_string(s.value) + " in " + s.text);
                    return false;
                }
                combo->SetSelectedIndex(s.value, -1);
                if (combo->m_OnChange != nullptr)
                    combo->m_OnChange(combo);
                break;
            }
            case ScreensDemoStep::Drag:
                if (!DragThumb(s.text, s.value))
                {
                    Line("failed: no scroll bar " + s.text);
                    return false;
                }
                break;
            case ScreensDemoStep::Call:
            {
                std::string line;
                if (!s.check(line))
                {
                    Line("failed: " + m_Waiting + (line.empty() ? "" : ": " + line));
                    return false;
                }
                break;
            }
            case ScreensDemoStep::Png:
                m_PngPending = true;
                m_PngName = s.text;
                ++m_StepIndex;
                // The frame after the step.
                return true;
            case ScreensDemoStep::Until:
            {
                std::string lines;
                const bool met = s.check(lines);
                for (size_t at = 0; !lines.empty() && at != std::string::npos;)
                {
                    const size_t feed = lines.find('\n', at);
                    Line(lines.substr(at, feed == std::string::npos ? std::string::npos : feed - at));
                    at = feed == std::string::npos ? feed : feed + 1;
                }
                if (!met)
                    return true;
                break;
            }
            case ScreensDemoStep::Expect:
            {
                std::string line;
                const bool met = s.check(line);
                Line(line);
                if (!met)
                {
                    Line("failed: " + m_Waiting);
                    return false;
                }
                break;
            }
            }
            ++m_StepIndex;
        }
        m_Done = true;
        return true;
    }

    Options m_Options;
    SaveFolder m_SaveFolder;
    DemoScript* m_Script = nullptr;
    ScreensDemoScript m_Steps;
    size_t m_StepIndex = 0;
    int m_WaitUntil = -1;
    std::function<bool()> m_Check;
    std::function<bool()> m_AtEnd;
    std::string m_Waiting;
    std::string m_PngName;
    bool m_PngPending = false;
    bool m_Done = false;
    bool m_EndsWithPass = false;
    int m_Frame = 0;
    double m_TickMs = 0.0;
    WeAbstractPhase* m_Top = nullptr;
    // intro
    int32_t m_IntroEntries = 0;
    int m_EntryFrame = 0;
    int m_SkipFrom = 0;
    bool m_Skipped = false;
    // buy
    double m_Start = 0.0;
    double m_Last = 0.0;
    // loadmenu
    int m_LoadStart = 0;
    bool m_Loaded = false;
    // loadmap
    int m_LoadFrames = 0;
    double m_LongestMs = 0.0;
    float m_LastValue = 0.0f;
    bool m_Fell = false;
    bool m_KeyShown = false;
    bool m_Requested = false;
};
}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!Parse(argc, argv, options))
    {
        std::fprintf(stderr, "%s\n", Usage);
        return 2;
    }
    if (std::getenv("WE_WINDOW_MODE") == nullptr)
        setenv("WE_WINDOW_MODE", "2", 1);
    Demo demo(options);
    return demo.Run();
}
