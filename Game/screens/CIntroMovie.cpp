#include "Game/screens/CIntroMovie.h"

#include "Engine/render/WeMovieTextureRenderer.h"
#include "Engine/render/WeRenderDevice.h"

CIntroMovie g_IntroMovie;

// The intro closes its movie whenever it ends; at exit the render device is gone, so nothing is deleted here.
CIntroMovie::~CIntroMovie() = default;

bool CIntroMovie::Open(const WeString& path)
{
    if (m_Opened)
        return true;
    m_Renderer = new WeMovieTextureRenderer();
    m_Opened = m_Renderer->Open(path, true, true) ? 1 : 0;
    if (!m_Opened)
    {
        // Only Close deletes an opened renderer: a failed one goes at once.
        delete m_Renderer;
        m_Renderer = nullptr;
    }
    return m_Opened != 0;
}

void CIntroMovie::Place(int32_t videoWidth, int32_t videoHeight, int32_t screenWidth, int32_t screenHeight)
{
    const float ratio = static_cast<float>(videoWidth) / static_cast<float>(videoHeight);
    const float screenRatio = static_cast<float>(screenWidth) / static_cast<float>(screenHeight);
    if (ratio > screenRatio)
    {
        m_Width = screenWidth;
        m_Height = static_cast<int32_t>(static_cast<float>(screenWidth) / ratio);
        m_X = 0;
        m_Y = (screenHeight - m_Height) / 2;
    }
    else
    {
        m_Height = screenHeight;
        m_Width = static_cast<int32_t>(static_cast<float>(screenHeight) * ratio);
        m_Y = 0;
        m_X = (screenWidth - m_Width) / 2;
    }
}

bool CIntroMovie::Start(const WeString& path)
{
    m_Playing = 0;
    if (!Open(path))
        return false;
    m_Renderer->Play(false);
    int32_t width = 0;
    int32_t height = 0;
    if (!m_Renderer->GetVideoSize(width, height) || width <= 0 || height <= 0 || g_ScreenSize.width <= 0 ||
        g_ScreenSize.height <= 0)
        return false;
    Place(width, height, g_ScreenSize.width, g_ScreenSize.height);
    m_Playing = 1;
    return true;
}

void CIntroMovie::Update()
{
    if (!m_Opened)
        return;
    m_Renderer->Update();
    m_Playing = m_Renderer->IsPlaying() ? 1 : 0;
}

void CIntroMovie::Close()
{
    if (!m_Opened)
        return;
    m_Opened = 0;
    m_Playing = 0;
    delete m_Renderer;
    m_Renderer = nullptr;
}
