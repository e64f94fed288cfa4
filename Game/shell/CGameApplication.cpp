#include "Game/shell/CGameApplication.h"

#include "Engine/devices/WeRealEngineDevices.h"
#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeExeFolder.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeRandomTable.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/runtime/WeWindowModeOverride.h"
#include "Engine/ui/WeFontTable.h"
#include "Game/craft/ReleaseCraftAssets.h"
#include "Game/screens/CIntroPhase.h"
#include "Game/screens/CLoadMenuPhase.h"
#include "Game/shell/CDevelopmentHooks.h"
#include "Game/shell/CGameCamera.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameWindow.h"
#include "Game/shell/COptionsSettings.h"
#include "Platform/fonts/FontLibrary.h"
#include "Platform/system/SysClock.h"
#include "Platform/system/SysPath.h"
#include "Platform/window/WinUser.h"

#include <cstdio>

CGameApplication g_GameApplication;

namespace
{
constexpr const char* GameName = "Kestrovane Demo";
constexpr int32_t IconId = 102;

void OnDeviceReset(WeRenderDevice*)
{
    ClipCursorToWindow(true);
    g_AudioDevice.SetMusicVolume(g_OptionsSettings.m_MusicVolume);
    g_AudioDevice.SetSoundVolume(g_OptionsSettings.m_SoundVolume);
}

void OnDeviceLost(WeRenderDevice*)
{
    ReleaseCapture();
}

// While the pass starts nothing is drawn yet.
void RenderStartUp()
{
    ClipCursorToWindow(true);
}

void RenderGame()
{
    g_RenderDevice.SetCamera(g_Game.m_Camera);
    g_PhaseManager.Render();
    g_Game.DrawFrameRate();
}

// A configured font name reaches no folder but the fonts folder.
bool IsPlainFileName(const WeString& name)
{
    if (name.IsEmpty() || name == "." || name == "..")
        return false;
    for (const char* c = name.c_str(); *c != 0; ++c)
        if (*c == '/' || *c == '\\')
            return false;
    return true;
}
}  // namespace

const char* CGameApplication::GetName()
{
    return GameName;
}

WeString CGameApplication::GetFontsFolder() const
{
    if (!m_FontsFolder.IsEmpty())
        return m_FontsFolder;
    return WeString(SysPath::Join(GetExeFolder().c_str(), "Fonts").c_str());
}

void CGameApplication::SetFirstPhase(int32_t pass, WeAbstractPhase* phase)
{
    if (pass >= 1 && pass <= PassCount)
        m_FirstPhase[pass - 1] = phase;
}

WeAbstractPhase* CGameApplication::GetFirstPhase(int32_t pass) const
{
    if (pass < 1 || pass > PassCount)
        return nullptr;
    if (m_FirstPhase[pass - 1] != nullptr)
        return m_FirstPhase[pass - 1];
    if (pass == 1)
        return &g_IntroPhase;
    return &g_LoadMenuPhase;
}

int CGameApplication::Run()
{
    m_StartFailed = 0;
    for (int32_t pass = 1; pass <= PassCount; ++pass)
    {
        if (Init(pass))
            MainLoop(pass);
        else
            m_StartFailed = 1;
        Shutdown(pass);
        if (g_AltF4Pressed != 0)
            break;
    }
    return m_StartFailed != 0 ? 1 : 0;
}

bool CGameApplication::Init(int32_t pass)
{
    COptionsSettings& options = g_OptionsSettings;
    InitRandomTable();

    // The user fonts, each a file of the fonts folder.
    m_InstalledFonts.Clear();
    const WeString fontsFolder = GetFontsFolder();
    const WeString& userFonts = GetConfigString("UI.Fonts.UserFonts", WeString());
    for (const char* at = userFonts.c_str(); *at != 0;)
    {
        const char* end = at;
        while (*end != 0 && *end != ',')
            ++end;
        const WeString name(at, static_cast<int32_t>(end - at));
        at = *end == ',' ? end + 1 : end;
        if (name.IsEmpty())
            continue;
        if (!IsPlainFileName(name))
        {
            DebugLogPrintf("Fonts: the user font \"%s\" is not a file name of the fonts folder, skipped\n",
                           name.c_str());
            continue;
        }
        const std::string path = SysPath::Join(fontsFolder.c_str(), name.c_str());
        if (FontLibrary::AddFontFile(path) > 0)
            m_InstalledFonts.PushBack() = WeString(path.c_str());
        else
            DebugLogPrintf("Fonts: cannot add the user font \"%s\"\n", path.c_str());
    }

    g_Localization.Load();
    g_FontManager.ready = 1;

    options.Load();
    if (options.m_Reflection < 1)
        options.m_Reflection = 1;

    const int32_t keptWidth = options.m_Width;
    const int32_t keptHeight = options.m_Height;
    const uint8_t keptVerticalSync = options.m_VerticalSync;
    options.m_WindowMode = pass == 1 ? 1 : 0;
    if (pass == 1)
        options.m_VerticalSync = 0;
    options.m_WindowMode = ApplyWindowModeOverride(options.m_WindowMode);

    CGameWindow* window = g_Game.m_Window;
    if (!window->Create(GameName, GameName, nullptr, IconId, IconId, options.m_Width, options.m_Height, 0, 0, true,
                        options.m_WindowMode != 0, true, false, options.m_WindowMode == 1, false, nullptr))
    {
        std::fprintf(stderr, "%s: the game window (%d x %d) could not be created\n", GameName, options.m_Width,
                     options.m_Height);
        DebugLogPrintf("Window: the game window (%d x %d, mode %d) could not be created in pass %d\n", options.m_Width,
                       options.m_Height, options.m_WindowMode, pass);
        options.m_WindowMode = 0;
        options.m_Width = keptWidth;
        options.m_Height = keptHeight;
        options.m_VerticalSync = keptVerticalSync;
        return false;
    }

    g_RenderDevice.m_DeviceResetCallback = OnDeviceReset;
    g_RenderDevice.m_DeviceLostCallback = OnDeviceLost;
    g_RenderDevice.m_RenderCallback = RenderStartUp;
    g_RenderDevice.m_ActorByte0 = 1;
    g_RenderDevice.m_ActorByte1 = 1;

    WeEngineSettings settings;
    settings.windowMode = options.m_WindowMode;
    settings.width = options.m_Width;
    settings.height = options.m_Height;
    settings.multisampleType = options.m_MultisampleType;
    settings.multisampleQuality = options.m_MultisampleQuality;
    settings.verticalSync = options.m_VerticalSync;
    const float gravity = GetConfigFloat("game.Physics.Gravity", 9.81f);
    settings.gravity[0] = 0.0f;
    settings.gravity[1] = -gravity;
    settings.gravity[2] = 0.0f;
    settings.reflectionQuality = options.m_Reflection;
    settings.gameFlag = 1;
    // The pass's mode never reaches the options file.
    options.m_WindowMode = 0;
    options.m_Width = keptWidth;
    options.m_Height = keptHeight;
    options.m_VerticalSync = keptVerticalSync;

    g_TextureManager.SetQualityLevel(options.m_TextureQuality);
    g_Timer.m_MaximumFrameDelta = 0.1;
    g_Timer.m_MinimumFrameTime = 0.01;
    g_TextureManager.m_SecondSwitch = options.m_TextureSwitch;

    InstallRealEngineDevices();
    g_DevelopmentHooks.BeforeEngineStart();
    if (!g_Engine.Init(settings, nullptr, window, GameName))
    {
        window->Hide();
        ShowCursor(TRUE);
        MessageBoxA(window->m_Handle, g_Engine.m_ErrorText.c_str(), "Error initializing game engine", MB_OK);
        DebugLogPrintf("Engine: %s\n", g_Engine.m_ErrorText.c_str());
        return false;
    }

    g_DevelopmentHooks.AfterEngineStart();
    OnDeviceReset(&g_RenderDevice);
    const bool higherEffects = g_RenderDevice.m_PixelShader30 != 0;
    g_RenderDevice.m_ShaderPath = options.m_EffectQuality == 2 && higherEffects ? 2 : 1;
    const float ambient[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    g_RenderDevice.SetAmbientColor(ambient);
    g_AudioDevice.SetMusicVolume(options.m_MusicVolume);
    g_AudioDevice.SetSoundVolume(options.m_SoundVolume);

    g_RenderDevice.m_MaxAnisotropy = options.m_Anisotropy;
    g_RenderDevice.m_MotionBlurMode = options.m_MotionBlur;
    g_RenderDevice.m_RefractionOn = options.m_Refraction;
    g_RenderDevice.m_ShadowsOn = options.m_Shadows;
    g_RenderDevice.m_HdrLevel = options.m_Hdr;
    g_RenderDevice.m_SpecularOption = options.m_Specular;
    g_RenderDevice.m_BumpOption = options.m_Bumping;
    g_RenderDevice.m_FilmGrainOn = options.m_FilmGrain;
    g_RenderDevice.m_DepthOfFieldOn = higherEffects ? options.m_DepthOfField : 0;
    g_RenderDevice.m_RenderCallback = RenderGame;

    g_PhaseManager.RequestPhase(GetFirstPhase(pass), WePhaseManager::PushRequest);
    DebugLogPrintf("Application: pass %d runs at %d x %d, window mode %d\n", pass, settings.width, settings.height,
                   settings.windowMode);
    return true;
}

bool CGameApplication::MainLoop(int32_t)
{
    g_Engine.m_TickCallback = OnTick;
    CGameWindow* window = g_Game.m_Window;
    while (window->IsAlive())
    {
        if (!g_Game.IsWindowInFront())
            SysClock::Sleep(1);
        g_DevelopmentHooks.BeginFrame(window);
        g_Timer.BeginSection(0, "MainStage");
        g_Timer.BeginSection(100, "Update");
        g_Engine.Tick();
        g_Timer.EndSection(100);
        g_Timer.BeginSection(200, "Render");
        g_Engine.Render();
        g_Timer.EndSection(200);
        g_Timer.EndSection(0);
        g_DevelopmentHooks.EndFrame(window);
    }
    return true;
}

void CGameApplication::OnTick()
{
    g_Timer.BeginSection(110, "Tick");
    g_Game.Tick();
    g_Timer.EndSection(110);
}

void CGameApplication::OnRender()
{
    RenderGame();
}

void CGameApplication::Shutdown(int32_t)
{
    g_PhaseManager.Shutdown();
    // The shared race assets outlive every race; the phases that used them are gone now.
    ReleaseCraftAssets();
    ReleaseCapture();
    ClipCursorToWindow(false);
    g_Engine.Shutdown();
    g_Engine.m_TickCallback = nullptr;
    g_RenderDevice.m_RenderCallback = nullptr;
    g_RenderDevice.m_DeviceLostCallback = nullptr;
    g_RenderDevice.m_DeviceResetCallback = nullptr;
    g_Game.m_Window->Destroy();
    for (const WeString& path : m_InstalledFonts)
        FontLibrary::RemoveFontFile(path.c_str());
    m_InstalledFonts.Clear();
}
