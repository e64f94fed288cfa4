#include "Game/shell/CDevelopmentHooks.h"

#include "Engine/foundation/WeLog.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/runtime/WeAppWindow.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Game/craft/CAIKernel.h"
#include "Game/screens/GetPhaseClassName.h"
#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/system/SysClock.h"
#include "Platform/window/WinUser.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

CDevelopmentHooks g_DevelopmentHooks;

namespace
{
// The program's start, as near as the game's code gets to it: read while the globals are made.
const int64_t g_ProgramStart = SysClock::Counter();
bool g_MainMenuTimed = false;

bool ParseCount(const std::string& text, int64_t minimum, int64_t& value)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end == nullptr || *end != 0 || parsed < minimum)
        return false;
    value = parsed;
    return true;
}

// A step in seconds, written with a dot whatever the locale: above 0 and at most a tenth of a second (a frame).
bool ParseStep(const char* text, double& value)
{
    double parsed = 0.0;
    int used = 0;
    if (std::sscanf(text, "%lf%n", &parsed, &used) != 1 || text[used] != 0)
        return false;
    if (!(parsed > 0.0) || !(parsed <= 0.1))
        return false;
    value = parsed;
    return true;
}

const char* Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != 0 ? value : nullptr;
}
}  // namespace

bool CDevelopmentHooks::ReadEnvironment()
{
    std::string error;
    if (Configure(Environment, error))
        return true;
    std::fprintf(stderr, "%s\n", error.c_str());
    DebugLogPrintf("Hooks: %s\n", error.c_str());
    return false;
}

bool CDevelopmentHooks::Configure(Lookup lookup, std::string& error)
{
    *this = CDevelopmentHooks();
    const char* quitAfterFrames = lookup("WE_QUIT_AFTER_FRAMES");
    const char* captureFolder = lookup("WE_CAPTURE_DIR");
    const char* captureFrames = lookup("WE_CAPTURE_FRAMES");
    const char* inputScript = lookup("WE_INPUT_SCRIPT");
    const char* fixedStep = lookup("WE_FIXED_STEP");
    const char* autopilot = lookup("WE_AUTOPILOT");
    if (fixedStep != nullptr && !ParseStep(fixedStep, m_FixedStepSeconds))
    {
        error = std::string("WE_FIXED_STEP: \"") + fixedStep + "\" is not a step in seconds above 0 and up to 0.1";
        return false;
    }
    if (autopilot != nullptr)
    {
        int64_t level = -1;
        if (!ParseCount(autopilot, 0, level) || level > 2)
        {
            error = std::string("WE_AUTOPILOT: \"") + autopilot + "\" is not a difficulty 0, 1 or 2";
            return false;
        }
        m_Autopilot = int32_t(level);
    }
    if (quitAfterFrames != nullptr && !ParseCount(quitAfterFrames, 0, m_QuitAfterFrames))
    {
        error = std::string("WE_QUIT_AFTER_FRAMES: \"") + quitAfterFrames + "\" is not a frame count";
        return false;
    }
    if (captureFrames != nullptr)
    {
        const std::string frames = captureFrames;
        if (frames.rfind("every:", 0) == 0)
        {
            if (!ParseCount(frames.substr(6), 1, m_CaptureEvery))
            {
                error = "WE_CAPTURE_FRAMES: \"" + frames + "\" needs a step of 1 or more after every:";
                return false;
            }
        }
        else
        {
            size_t at = 0;
            while (at <= frames.size())
            {
                size_t comma = frames.find(',', at);
                if (comma == std::string::npos)
                    comma = frames.size();
                const std::string item = frames.substr(at, comma - at);
                int64_t frame = 0;
                if (!ParseCount(item, 0, frame))
                {
                    error = "WE_CAPTURE_FRAMES: \"" + item + "\" is not a frame number";
                    return false;
                }
                m_CaptureFrames.push_back(frame);
                at = comma + 1;
            }
        }
        if (captureFolder == nullptr)
        {
            error = "WE_CAPTURE_FRAMES: no WE_CAPTURE_DIR to write the frames to";
            return false;
        }
    }
    if (captureFolder != nullptr)
        m_CaptureFolder = captureFolder;
    if (inputScript != nullptr)
    {
        if (!m_Script.Load(inputScript, error))
            return false;
        m_HasScript = true;
    }
    return true;
}

bool CDevelopmentHooks::IsCaptureFrame(int64_t frame) const
{
    if (m_CaptureFolder.empty())
        return false;
    if (m_CaptureEvery > 0)
        return frame % m_CaptureEvery == 0;
    return std::find(m_CaptureFrames.begin(), m_CaptureFrames.end(), frame) != m_CaptureFrames.end();
}

void CDevelopmentHooks::ApplyAtStart()
{
    if (m_Autopilot >= 0)
        g_AIKernel.SetAutopilot(m_Autopilot);
}

void CDevelopmentHooks::BeforeEngineStart()
{
    if (m_FixedStepSeconds > 0.0)
        m_FixedStep.Configure(m_FixedStepSeconds);
}

void CDevelopmentHooks::AfterEngineStart()
{
    if (m_FixedStepSeconds > 0.0)
        m_FixedStep.StartClock();
}

void CDevelopmentHooks::BeginFrame(WeAppWindow* window)
{
    m_FixedStep.Advance();
    if (m_HasScript && window != nullptr)
        m_Script.Play(m_Frame, window->m_Handle);
}

void CDevelopmentHooks::EndFrame(WeAppWindow* window)
{
    const WeAbstractPhase* top = g_PhaseManager.GetTopPhase();
    if (!m_TopPhaseSeen || top != m_LastTopPhase)
    {
        m_TopPhaseSeen = true;
        m_LastTopPhase = top;
        DebugLogPrintf("phase %s\n", GetPhaseClassName(top));
        // This frame drew the main menu: the start-up is over.
        if (!g_MainMenuTimed && std::string(GetPhaseClassName(top)) == "CMainMenuPhase")
        {
            g_MainMenuTimed = true;
            DebugLogPrintf("Start-up: the main menu's first frame %.3f s of wall time after the start\n",
                           double(SysClock::Counter() - g_ProgramStart) / double(SysClock::CounterFrequency));
        }
    }
    if (IsCaptureFrame(m_Frame))
    {
        char name[64];
        std::snprintf(name, sizeof(name), "/frame-%05lld.png", static_cast<long long>(m_Frame));
        const std::string path = m_CaptureFolder + name;
        if (!CaptureBackBuffer(path))
            DebugLogPrintf("Hooks: frame %lld could not be captured to \"%s\"\n", static_cast<long long>(m_Frame),
                           path.c_str());
    }
    ++m_Frame;
    // Closed as the window manager would: the pass ends cleanly at its next pump, and no other starts.
    if (m_QuitAfterFrames >= 0 && m_Frame >= m_QuitAfterFrames && !m_CloseSent && window != nullptr &&
        window->m_Handle != nullptr)
    {
        PostMessageA(window->m_Handle, WM_CLOSE, 0, 0);
        m_CloseSent = true;
    }
}

bool CDevelopmentHooks::CaptureBackBuffer(const std::string& path)
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (device == nullptr || g_ScreenSize.width <= 0 || g_ScreenSize.height <= 0)
        return false;
    IDirect3DSurface9* back = nullptr;
    IDirect3DSurface9* copy = nullptr;
    bool saved = false;
    if (SUCCEEDED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back)) &&
        SUCCEEDED(device->CreateOffscreenPlainSurface(UINT(g_ScreenSize.width), UINT(g_ScreenSize.height),
                                                      D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr)) &&
        SUCCEEDED(device->GetRenderTargetData(back, copy)))
        saved = SUCCEEDED(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_PNG, copy, nullptr, nullptr));
    if (copy != nullptr)
        copy->Release();
    if (back != nullptr)
        back->Release();
    return saved;
}
