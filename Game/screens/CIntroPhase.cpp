#include "Game/screens/CIntroPhase.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeMovieTextureRenderer.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIPicture.h"
#include "Game/screens/CIntroMovie.h"
#include "Game/screens/EndApplicationPass.h"
#include "Game/shell/CGameGlobals.h"

CIntroPhase g_IntroPhase;

namespace
{
const WeString& IntroMovies()
{
    static const WeString& movies = GetConfigString("game.Intro.Movies", "");
    return movies;
}
const WeString& IntroImages()
{
    static const WeString& images = GetConfigString("game.Intro.Images", "");
    return images;
}
float FadeInSpeed()
{
    static const float& speed = GetConfigFloat("game.Intro.FadeInSpeed", 0.5f);
    return speed;
}
float FadeOutSpeed()
{
    static const float& speed = GetConfigFloat("game.Intro.FadeOutSpeed", 0.5f);
    return speed;
}

const char* const PictureName = "Intro_Picture";

// Bound before the entry function, as the intro's list is read by the first pass.
[[maybe_unused]] const bool g_IntroKeysBound = (IntroMovies(), IntroImages(), true);
}  // namespace

bool CIntroPhase::SkipRequested()
{
    return g_Input.m_Edges[57] != 0 || g_Input.m_Edges[1] != 0 || g_Input.m_Edges[WeInput::MouseButtonBase] != 0 ||
           g_Input.m_Edges[WeInput::JoystickButtonBase] != 0;
}

void CIntroPhase::Enter()
{
    m_Index = 0;
    g_UIShowCursor = 0;
}

void CIntroPhase::Leave()
{
    // A pass ended mid-movie (a window close) leaves nothing playing.
    g_IntroMovie.Close();
    g_UIMain.RemoveComponent(PictureName);
}

void CIntroPhase::StartNext()
{
    const bool movies = g_Game.m_PlayMovies != 0;
    const WeString name = m_Index >= 0 ? (movies ? IntroMovies() : IntroImages()).GetToken(',', m_Index) : WeString();
    if (name.IsEmpty())
    {
        // The end of the intro ends the first pass.
        EndApplicationPass();
        m_Index = -1;
        return;
    }
    if (movies)
    {
        g_IntroMovie.Start(WeString("Movies\\") + name + ".seq");
    }
    else
    {
        WeTexture* texture = g_TextureManager.GetTexture(WeString("Ingame.Misc.") + name, false, 0, true);
        if (texture != nullptr)
            texture->SetMinimumQuality(2);
        WeUIPicture* picture = g_UIMain.CreatePicture(PictureName, "Root");
        if (picture != nullptr)
        {
            picture->m_Texture = texture;
            picture->SetFadeSpeed(FadeInSpeed());
            g_UIMain.ShowComponent(PictureName, false);
        }
    }
    ++m_Index;
}

void CIntroPhase::Update()
{
    if (m_Index < 0)
        return;
    const bool movies = g_Game.m_PlayMovies != 0;
    WeUIComponent* picture = nullptr;
    if (movies)
        g_IntroMovie.Update();
    else
        picture = g_UIMain.FindComponent(PictureName);

    if (m_Index == 0)
    {
        StartNext();
        return;
    }
    if (movies && !g_IntroMovie.m_Playing)
    {
        g_IntroMovie.Close();
        if (!g_RenderDevice.IsAppForeground())
            return;
        StartNext();
        return;
    }
    if (!movies && picture == nullptr)
    {
        StartNext();
        return;
    }
    if (SkipRequested())
    {
        if (movies)
            g_IntroMovie.Close();
        else
            g_UIMain.RemoveComponent(PictureName);
        StartNext();
        return;
    }
    if (movies)
        return;
    if (picture->m_Alpha > 0.999 && picture->m_FadeDirection != -1)
    {
        picture->SetFadeSpeed(FadeOutSpeed());
        g_UIMain.CloseComponent(PictureName, false);
    }
}

void CIntroPhase::Render()
{
    g_Canvas.DrawQuad(0, 0, g_ScreenSize.width, g_ScreenSize.height, 0xFF000000, nullptr, 0);
    if (m_Index <= 0 || !g_Game.m_PlayMovies || !g_IntroMovie.m_Opened || g_IntroMovie.GetRenderer() == nullptr)
        return;
    // Before its first frame the movie has no texture.
    IDirect3DBaseTexture9* frame = g_IntroMovie.GetRenderer()->GetTexture();
    if (frame == nullptr)
        return;
    g_Canvas.DrawD3DTexture(g_IntroMovie.m_X, g_IntroMovie.m_Y, g_IntroMovie.m_Width, g_IntroMovie.m_Height, 0.0f, 0.0f,
                            1.0f, 1.0f, 0xFFFFFFFF, static_cast<IDirect3DTexture9*>(frame), 1);
}
