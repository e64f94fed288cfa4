#include "Game/screens/CMenuPhase.h"

#include "Engine/foundation/WeApplication.h"
#include "Engine/foundation/WeBusy.h"
#include "Engine/foundation/WeConfig.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeSound.h"
#include "Engine/ui/WeUIColorFrame.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIMovie.h"
#include "Engine/ui/WeUIPicture.h"
#include "Game/shell/CGameGlobals.h"

CMenuPhase g_MenuPhase;
WeTexture* CMenuPhase::s_BackgroundTexture = nullptr;

namespace
{
const char* const MovieName = "MenuBackgroundMovie";
const char* const PictureName = "MenuBackgroundPicture";
const char* const FaderName = "MenuBackgroundFader";
const char* const VersionName = "MenuVersion";

// Whole-screen placement, sent behind everything else of the root.
void PlaceBehind(WeUIComponent* widget)
{
    widget->m_Colour[0] = widget->m_Colour[1] = widget->m_Colour[2] = widget->m_Colour[3] = 1.0f;
    widget->SetFullScreen(true);
    widget->SetRect(0.0f, 0.0f, 1.0f, 1.0f);
    widget->SendToBack();
}
}  // namespace

const char* CMenuPhase::GetMenuSoundName(int32_t kind)
{
    switch (kind)
    {
    case SoundConfirm: return "Sounds.Menu.Click1";
    case SoundBack: return "Sounds.Menu.Click2";
    case SoundDenied: return "Sounds.Menu.Denied";
    case SoundKeyPress: return "Sounds.Menu.KeyPress";
    default: return "";
    }
}

void CMenuPhase::PlayMenuSound(int32_t kind)
{
    const char* name = GetMenuSoundName(kind);
    if (name[0] == 0)
        return;
    ++m_SoundsPlayed[kind];
    // The source plays on after the sound object is gone.
    WeSound sound(name, false);
    sound.Play(false);
}

void CMenuPhase::StartBackground()
{
    m_UsesMovie = g_Game.m_PlayMovies != 0 ? 1 : 0;
    if (m_MovieWidget != nullptr)
        return;
    WeUIComponent* made = nullptr;
    if (m_UsesMovie)
    {
        m_MovieWidget = g_UIMain.CreateMovie(MovieName, "Root");
        if (m_MovieWidget != nullptr)
        {
            // No sound: the menu music plays.
            m_MovieWidget->Open(".\\Movies\\menu.seq", 0);
            made = m_MovieWidget;
        }
    }
    else if (m_PictureWidget == nullptr)
    {
        if (s_BackgroundTexture == nullptr)
        {
            BeginBusy();
            s_BackgroundTexture = g_TextureManager.GetTexture("Ingame.Misc.MenuBackground", false, 0, true);
            EndBusy();
        }
        m_PictureWidget = g_UIMain.CreatePicture(PictureName, "Root");
        if (m_PictureWidget != nullptr)
        {
            m_PictureWidget->m_Texture = s_BackgroundTexture;
            made = m_PictureWidget;
        }
    }
    if (made != nullptr)
        PlaceBehind(made);
}

void CMenuPhase::RemoveBackground()
{
    g_UIMain.RemoveComponent(MovieName);
    g_UIMain.RemoveComponent(PictureName);
    m_MovieWidget = nullptr;
    m_PictureWidget = nullptr;
}

void CMenuPhase::Enter()
{
    StartBackground();
    if (m_MovieWidget != nullptr)
        m_MovieWidget->Play(1);
    // Opaque black over everything, fading out at once: the background fades in from black.
    static const float& fadeSpeed = GetConfigFloat("UI.Fade.BackgroundMovie", 2.0f);
    WeUIColorFrame* fader = g_UIMain.CreateColorFrame(FaderName, "Root");
    if (fader != nullptr)
    {
        fader->m_Colour[0] = fader->m_Colour[1] = fader->m_Colour[2] = 0.0f;
        fader->m_Colour[3] = 1.0f;
        fader->SetFadeSpeed(fadeSpeed);
        g_UIMain.CloseComponent(FaderName, false);
    }
    g_UIMain.CreateLabel(VersionName, GetBuildVersion(), "Root", -1);
    g_Game.PlayMusic(1);
}

void CMenuPhase::Leave()
{
    RemoveBackground();
    g_UIMain.RemoveComponent(FaderName);
    g_UIMain.RemoveComponent(VersionName);
}

void CMenuPhase::Render()
{
    if (m_MovieWidget != nullptr)
        return;
    WeTexture* texture = m_PictureWidget != nullptr ? m_PictureWidget->m_Texture : nullptr;
    if (texture == nullptr)
        texture = g_TextureManager.m_DefaultBlack;
    g_Canvas.DrawQuad(0, 0, g_ScreenSize.width, g_ScreenSize.height, 0xFFFFFFFF, texture, 0);
}
