#include "Engine/render/WeMovieTextureRenderer.h"

#include <cstring>
#include <string>

#include "Engine/foundation/WeExeFolder.h"
#include "Engine/foundation/WeLock.h"
#include "Engine/render/WeMovieSound.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Platform/system/SysPath.h"
#include "Platform/video/VideoPlayer.h"

namespace
{

void LostStep(WeMovieTextureRenderer* movie)
{
    movie->OnLostDevice();
}

void ResetStep(WeMovieTextureRenderer* movie)
{
    movie->OnResetDevice();
}

void CloseStep(WeMovieTextureRenderer* movie)
{
    movie->Close();
}

// Movie names in data are relative to the game's folder, wherever it was started from.
std::string ResolveName(const WeString& name)
{
    std::string text = name.c_str();
    if (text.empty() || text[0] == '/')
        return text;
    return SysPath::Join(GetExeFolder().c_str(), text);
}

}  // namespace

WeMovieTextureRenderer::WeMovieTextureRenderer()
{
    WeLock lock(g_RenderDevice.GetMovieLock());
    g_RenderDevice.m_MovieLostStep = LostStep;
    g_RenderDevice.m_MovieResetStep = ResetStep;
    g_RenderDevice.m_MovieCloseStep = CloseStep;
    g_RenderDevice.GetMovies().PushBack(this);
}

WeMovieTextureRenderer::~WeMovieTextureRenderer()
{
    Close();
    delete m_Player;
    delete m_Sound;
    WeLock lock(g_RenderDevice.GetMovieLock());
    WeList<WeMovieTextureRenderer*>& movies = g_RenderDevice.GetMovies();
    if (movies.Contains(this))
        movies.RemoveCurrent();
}

bool WeMovieTextureRenderer::IsRegistered()
{
    WeLock lock(g_RenderDevice.GetMovieLock());
    return g_RenderDevice.GetMovies().Contains(this);
}

WeMovieSound* WeMovieTextureRenderer::GetSound() const
{
    return m_Sound != nullptr && m_Sound->HasSource() ? m_Sound : nullptr;
}

bool WeMovieTextureRenderer::Open(const WeString& name, bool withSound, bool useVmr9)
{
    (void)useVmr9;
    Close();
    m_Name = name;
    m_WithSound = withSound ? 1 : 0;
    if (m_Player == nullptr)
        m_Player = new VideoPlayer();
    if (m_Sound == nullptr)
        m_Sound = new WeMovieSound();
    // Without a context nothing could play the sound: the track is left undecoded.
    bool sound = withSound && WeMovieSound::ContextAvailable();
    if (!m_Player->Open(ResolveName(name), sound))
    {
        Close();
        return false;
    }
    if (!CreateTexture())
    {
        Close();
        return false;
    }
    if (sound && m_Player->HasSound() && m_Sound->Create())
        m_Player->SetSink(m_Sound);
    else
        m_Player->SetSink(nullptr);
    return true;
}

void WeMovieTextureRenderer::Close()
{
    if (m_Player != nullptr)
    {
        m_Player->Close();
        m_Player->SetSink(nullptr);
    }
    if (m_Sound != nullptr)
        m_Sound->Destroy();
    delete m_Texture;
    m_Texture = nullptr;
    m_Dynamic = 0;
    m_Playing = 0;
    m_Serial = 0;
    m_Newest = 0;
    m_RunSerial = 0;
    m_Uploads = 0;
}

bool WeMovieTextureRenderer::CreateTexture()
{
    if (m_Texture == nullptr)
    {
        int32_t width = m_Player->Width();
        int32_t height = m_Player->Height();
        D3DCAPS9 caps{};
        g_RenderDevice.GetCaps(&caps);
        m_Dynamic = (caps.Caps2 & D3DCAPS2_DYNAMICTEXTURES) != 0 ? 1 : 0;
        if (m_Dynamic)
            m_Texture = g_TextureManager.CreateTexture(width, height, D3DFMT_X8R8G8B8, D3DUSAGE_DYNAMIC,
                                                       D3DPOOL_DEFAULT, 1, false);
        if (m_Texture == nullptr)
        {
            m_Dynamic = 0;
            m_Texture = g_TextureManager.CreateTexture(width, height, D3DFMT_X8R8G8B8, 0, D3DPOOL_MANAGED, 1, false);
        }
    }
    else if (m_Texture->GetD3DTexture() == nullptr)
    {
        m_Texture->OnResetDevice();
    }
    if (m_Texture == nullptr || m_Texture->GetD3DTexture() == nullptr)
        return false;
    ClearTexture();
    return true;
}

void WeMovieTextureRenderer::ClearTexture()
{
    void* bits = nullptr;
    int32_t total = 0;
    int32_t pitch = 0;
    if (m_Texture->Lock(&bits, &total, &pitch))
    {
        std::memset(bits, 0, size_t(total));
        m_Texture->Unlock();
    }
}

bool WeMovieTextureRenderer::CopyFrame(const uint8_t* pixels, int32_t width, int32_t height)
{
    // The texture has the size the movie reported at its opening; a frame of any other size would read or
    // write past one of the two.
    if (pixels == nullptr || m_Texture == nullptr || m_Texture->GetD3DTexture() == nullptr || width <= 0 ||
        height <= 0 || width != m_Texture->GetWidth() || height != m_Texture->GetHeight())
        return false;
    void* bits = nullptr;
    int32_t total = 0;
    int32_t pitch = 0;
    if (!m_Texture->Lock(&bits, &total, &pitch))
        return false;
    const size_t row = size_t(width) * 4;
    if (pitch < int32_t(row))
    {
        m_Texture->Unlock();
        return false;
    }
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(static_cast<uint8_t*>(bits) + size_t(y) * size_t(pitch), pixels + size_t(y) * row, row);
    m_Texture->Unlock();
    ++m_Uploads;
    return true;
}

void WeMovieTextureRenderer::UploadNewest()
{
    if (m_Player == nullptr || !m_Player->IsOpen())
        return;
    uint32_t serial = 0;
    const uint8_t* pixels = m_Player->TakeNewestFrame(&serial);
    if (pixels == nullptr)
        return;
    m_Newest = serial;
    if (serial != m_Serial && CopyFrame(pixels, m_Player->Width(), m_Player->Height()))
        m_Serial = serial;
}

void WeMovieTextureRenderer::MarkRunStart()
{
    UploadNewest();
    m_RunSerial = m_Newest;
}

void WeMovieTextureRenderer::Play(bool loop)
{
    if (m_Player == nullptr || !m_Player->IsOpen())
        return;
    m_Loop = loop ? 1 : 0;
    if (!m_Player->IsRunning())
    {
        MarkRunStart();
        m_Player->Run();
    }
    m_Playing = 1;
}

void WeMovieTextureRenderer::Stop()
{
    if (m_Player == nullptr || !m_Player->IsOpen())
        return;
    m_Player->Stop();
    m_Sound->Drop(false);
    m_Playing = 0;
}

void WeMovieTextureRenderer::RestartLoop()
{
    // Stopped first, so that no sound of the old run can arrive after the queue was dropped.
    m_Player->Stop();
    m_Sound->Drop(true);
    if (m_Player->Rewind())
    {
        MarkRunStart();
        m_Player->Run();
    }
    else
    {
        m_Playing = 0;
    }
}

void WeMovieTextureRenderer::Update()
{
    if (m_Player == nullptr || !m_Player->IsOpen())
        return;
    if (g_RenderDevice.m_Lost)
    {
        Stop();
    }
    else if (!m_Playing)
    {
        MarkRunStart();
        m_Player->Run();
        m_Playing = 1;
    }
    if (m_Player->TakeCompletion())
    {
        if (m_Loop)
            RestartLoop();
        else
            Stop();
    }
    UploadNewest();
    if (m_Playing)
        m_Sound->Update(m_Newest != m_RunSerial, m_Player->Position());
}

IDirect3DBaseTexture9* WeMovieTextureRenderer::GetTexture()
{
    UploadNewest();
    if (m_Texture == nullptr || m_Uploads == 0)
        return nullptr;
    return m_Texture->GetD3DTexture();
}

bool WeMovieTextureRenderer::GetVideoSize(int& width, int& height)
{
    if (m_Player == nullptr || !m_Player->IsOpen())
        return false;
    width = m_Player->Width();
    height = m_Player->Height();
    return true;
}

void WeMovieTextureRenderer::OnLostDevice()
{
    Stop();
    // A managed texture keeps its pixels through the reset.
    if (m_Texture != nullptr && m_Dynamic)
        m_Texture->OnLostDevice();
}

void WeMovieTextureRenderer::OnResetDevice()
{
    if (m_Texture == nullptr || m_Texture->GetD3DTexture() != nullptr)
        return;
    m_Texture->OnResetDevice();
    if (m_Texture->GetD3DTexture() != nullptr)
    {
        ClearTexture();
        // The frame it held is uploaded again.
        m_Serial = 0;
    }
}
