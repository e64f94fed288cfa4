#include "Engine/ui/WeUIMovie.h"

#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeMovieTextureRenderer.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIText.h"

WeUIMovie::WeUIMovie(WeUIComponent* parent, const WeString& name, float x, float y, float width, float height)
    : WeUIComponent(parent, name)
{
    m_Renderer = new WeMovieTextureRenderer();
    SetRect(x, y, width, height);
    m_InputEnabled = 0;
}

WeUIMovie::~WeUIMovie()
{
    delete m_Renderer;
}

bool WeUIMovie::Open(const WeString& fileName, int32_t withSound)
{
    // Without a renderer nothing plays: that is no success.
    if (m_Renderer == nullptr)
        return false;
    m_Renderer->Close();
    return m_Renderer->Open(fileName, withSound != 0, false);
}

void WeUIMovie::Play(int32_t loop)
{
    if (m_Renderer != nullptr)
        m_Renderer->Play(loop != 0);
}

void WeUIMovie::Update()
{
    if (m_Renderer != nullptr)
        m_Renderer->Update();
    WeUIComponent::Update();
}

void WeUIMovie::Render()
{
    if (!g_UIMain.ShouldDraw(this) || m_Renderer == nullptr)
        return;
    IDirect3DBaseTexture9* frame = m_Renderer->GetTexture();
    if (frame == nullptr)
        return;
    g_Canvas.DrawD3DTexture(
        GetScreenX(), GetScreenY(), m_PixelWidth, m_PixelHeight, 0.0f, 0.0f, 1.0f, 1.0f,
        WeUIPackArgb(m_EffectiveColour[0], m_EffectiveColour[1], m_EffectiveColour[2], m_EffectiveColour[3]),
        static_cast<IDirect3DTexture9*>(frame), 1);
    WeUIComponent::Render();
}
