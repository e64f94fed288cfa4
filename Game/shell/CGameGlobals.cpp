#include "Game/shell/CGameGlobals.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/ui/WeFont.h"
#include "Engine/ui/WeFontTable.h"
#include "Engine/ui/WeUIMain.h"
#include "Game/shell/CGameCamera.h"
#include "Game/shell/CGameWindow.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/COptionsSettings.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CScreenFader.h"
#include "Platform/input/DIKeyCodes.h"
#include "Platform/window/WinUser.h"

CGameGlobals g_Game;

namespace
{
WeFont* RequestFont(const char* face, const WeString& size)
{
    WeString key(face);
    key += ":";
    key += size;
    return g_FontManager.GetFont(key);
}
}  // namespace

CGameGlobals::CGameGlobals() : m_Window(new CGameWindow()), m_Camera(new CGameCamera()) {}

// The window and the camera live as long as the process: each pass's shutdown already destroyed the window,
// and deleting them here would reach the engine objects, which may be gone at exit.
CGameGlobals::~CGameGlobals() = default;

bool CGameGlobals::IsWindowInFront() const
{
    return m_Window != nullptr && m_Window->m_Handle != nullptr && GetForegroundWindow() == m_Window->m_Handle;
}

void CGameGlobals::Tick()
{
    // Losing the focus pauses every sound once and the music; regaining it resumes both.
    if (IsWindowInFront())
    {
        if (g_AudioDevice.GetPauseCount() > 0)
            g_AudioDevice.SetPaused(false);
        if (g_AudioDevice.IsMusicPaused())
            g_AudioDevice.ResumeMusic();
    }
    else
    {
        if (g_AudioDevice.GetPauseCount() <= 0)
            g_AudioDevice.SetPaused(true);
        if (!g_AudioDevice.IsMusicPaused())
            g_AudioDevice.PauseMusic();
    }

    g_PlayerInputMessage.Clear();

    // With a modifier held F9 belongs to someone else: its edge stays for the phases.
    if (g_Input.m_Alt == 0 && g_Input.m_Ctrl == 0 && g_Input.m_Shift == 0 && g_Input.ConsumeKey(DIK_F9))
        m_ShowFrameRate = m_ShowFrameRate != 0 ? 0 : 1;

    g_PlayerInputMessage.AddAnalogInput();

    // Before the phases: a fade that completes here changes phases through the requests just below.
    g_ScreenFader.Update();

    g_PhaseManager.ProcessRequests();
    g_PhaseManager.Tick();
}

void CGameGlobals::LoadFonts()
{
    m_Font12 = RequestFont("*", GetConfigString("UI.Fonts.Font12", "12"));
    m_Font16 = RequestFont("*", GetConfigString("UI.Fonts.Font16", "16"));
    m_Font20 = RequestFont("*", GetConfigString("UI.Fonts.Font20", "20"));
    m_Font24 = RequestFont("*", GetConfigString("UI.Fonts.Font24", "24"));
    m_Font30 = RequestFont("*", GetConfigString("UI.Fonts.Font30", "30"));
    m_Font32 = RequestFont("*", GetConfigString("UI.Fonts.Font32", "32"));
    m_Font50 = RequestFont("*", GetConfigString("UI.Fonts.Font50", "50"));
    m_FontBig = RequestFont("*", GetConfigString("UI.Fonts.FontBig", "50"));
    m_FontCourier = RequestFont("Courier New", "16");
}

WeString CGameGlobals::GetMusicName(int32_t kind, const WeString& worldName, const WeString& mapName)
{
    WeString value;
    switch (kind)
    {
    case MenuMusic: value = "IG_Menu Theme"; break;
    case WorldMusic: value = GetConfigString(WeString("Maps.Worlds.Music:") + worldName, WeString()); break;
    case RaceMusic: value = GetConfigString(WeString("Maps.") + mapName + ".RaceMusic", WeString()); break;
    case StatisticsMusic: value = GetConfigString(WeString("Maps.") + mapName + ".StatMusic", WeString()); break;
    case CreditsMusic: value = "IG_Credits Theme"; break;
    case ExtraMusic: value = "IG_Extra Theme"; break;
    default: break;
    }
    if (value.IsEmpty())
        return WeString();
    WeString name("Sounds.Music.");
    name += value;
    const int32_t ogg = name.Find(".ogg");
    if (ogg >= 0)
        name.SetLength(ogg);
    return name;
}

WeString CGameGlobals::GetRaceMapName()
{
    return g_RaceSettings.m_MapName;
}

void CGameGlobals::PlayMusic(int32_t kind)
{
    if (kind == m_MusicKind)
        return;
    m_MusicKind = kind;
    const WeString name = GetMusicName(kind, GetSelectedWorldName(), GetRaceMapName());
    if (name.IsEmpty())
    {
        g_AudioDevice.StopMusic();
        return;
    }
    // The credits play once and end; every other theme loops.
    g_AudioDevice.PlayMusic(name, kind != CreditsMusic);
    g_AudioDevice.SetMusicVolume(g_OptionsSettings.m_MusicVolume);
    if (!IsWindowInFront())
        g_AudioDevice.PauseMusic();
}

void CGameGlobals::DrawFrameRate()
{
    if (m_ShowFrameRate == 0)
        return;
    static const float& placeX = GetConfigFloat("UI.Hud.FPSx", 0.0f);
    static const float& placeY = GetConfigFloat("UI.Hud.FPSy", 0.0f);
    WeFont* font = m_Font12;
    if (font == nullptr)
    {
        WeString size;
        size.AppendInt(g_UIMain.m_DefaultFontSize);
        font = RequestFont("*", size);
    }
    WeString text("FPS: ");
    text.AppendInt(static_cast<int32_t>(g_Timer.m_Fps + 0.5));
    const int32_t x = static_cast<int32_t>(placeX * static_cast<float>(g_ScreenSize.width));
    const int32_t y = static_cast<int32_t>(placeY * static_cast<float>(g_ScreenSize.height));
    g_Canvas.DrawText(font, text, x, y, 200, 200, 0xFFFFFFFFu, 0, 1.0f);
}
