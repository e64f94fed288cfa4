#include "Game/screens/CBuyScreenPhase.h"

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/ui/WeUIMain.h"
#include "Game/screens/EndApplicationPass.h"
#include "Game/shell/CGameGlobals.h"

CBuyScreenPhase g_BuyScreenPhase;

void CBuyScreenPhase::Enter()
{
    m_TimeLeft = ShowSeconds;
    g_UIShowCursor = 0;
    // The start-up loads the poster; a run that began elsewhere (a demo's first phase) loads it here.
    if (m_Picture == nullptr)
        m_Picture = g_TextureManager.GetTexture("Ingame.Misc.BuyScreen", false, 0, true);
}

void CBuyScreenPhase::Update()
{
    m_TimeLeft -= g_Timer.m_FrameDeltaF;
    // Whatever the input: the poster ends the program's last pass.
    if (m_TimeLeft <= 0.0f)
        EndApplicationPass();
}

void CBuyScreenPhase::Render()
{
    // The picture keeps its shape: the bars beside it are the screen's own black, not the menu's last frame.
    g_Canvas.DrawQuad(0, 0, g_ScreenSize.width, g_ScreenSize.height, 0xFF000000, nullptr, 0);
    // A picture without a size would scale by infinity: nothing more is drawn.
    if (m_Picture == nullptr || m_Picture->GetWidth() <= 0 || m_Picture->GetHeight() <= 0)
        return;
    const float screenW = static_cast<float>(g_ScreenSize.width);
    const float screenH = static_cast<float>(g_ScreenSize.height);
    const float pictureW = static_cast<float>(m_Picture->GetWidth());
    const float pictureH = static_cast<float>(m_Picture->GetHeight());
    const float scaleW = screenW / pictureW;
    const float scaleH = screenH / pictureH;
    const float scale = scaleW < scaleH ? scaleW : scaleH;
    const int32_t w = static_cast<int32_t>(pictureW * scale);
    const int32_t h = static_cast<int32_t>(pictureH * scale);
    g_Canvas.DrawQuad((g_ScreenSize.width - w) / 2, (g_ScreenSize.height - h) / 2, w, h, 0xFFFFFFFF, m_Picture, 0);
}
