#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"
#include "Platform/gfx/D3D9.h"

class VideoPlayer;
class WeMovieSound;
class WeTexture;

// Plays a movie file into one texture that the UI draws, with its sound on an OpenAL source of its own.
// The player decodes on its own thread; this object uploads the newest frame on the main thread (in
// Update, or at the first GetTexture after a new frame), since graphics calls belong there. Every
// renderer is registered with the render device, which stops them around a device reset and closes
// them all at shutdown.
class WeMovieTextureRenderer
{
public:
    WeMovieTextureRenderer();
    virtual ~WeMovieTextureRenderer();
    WeMovieTextureRenderer(const WeMovieTextureRenderer&) = delete;
    WeMovieTextureRenderer& operator=(const WeMovieTextureRenderer&) = delete;

    // Relative names are found in the executable's folder, absolute ones as they are. useVmr9 is
    // accepted for the callers' sake and changes nothing. False (and closed) when the file is missing,
    // damaged or the texture cannot be made. The movie stands stopped at its start: Play runs it.
    bool Open(const WeString& name, bool withSound, bool useVmr9);
    void Close();
    void Play(bool loop);
    // Waits until the decoder has stopped.
    void Stop();
    bool IsPlaying() const { return m_Playing != 0; }
    // Once a frame: runs a stopped movie again (unless the device is lost), handles the end (a looping
    // movie starts over, any other stops), uploads the newest frame and feeds the sound.
    void Update();
    // The texture with the newest frame; null before the first frame and while the device is lost.
    IDirect3DBaseTexture9* GetTexture();
    bool GetVideoSize(int& width, int& height);

    void OnLostDevice();
    void OnResetDevice();

    // Copies one frame (rows of width * 4 bytes, X8R8G8B8, top row first) into the texture; false, the
    // texture untouched, when its size is not the texture's.
    bool CopyFrame(const uint8_t* pixels, int32_t width, int32_t height);

    // Whether the render device's list holds this renderer.
    bool IsRegistered();

    // For tools and tests: the player, the sound (null without a source) and the frames uploaded since Open.
    VideoPlayer* GetPlayer() const { return m_Player; }
    WeMovieSound* GetSound() const;
    WeTexture* GetTextureObject() const { return m_Texture; }
    uint32_t GetUploadCount() const { return m_Uploads; }

    WeString m_Name;
    uint8_t m_WithSound = 0;
    uint8_t m_Playing = 0;
    uint8_t m_Loop = 0;

private:
    bool CreateTexture();
    void ClearTexture();
    void UploadNewest();
    // The player was just (re)started: the sound waits for this run's first frame.
    void MarkRunStart();
    void RestartLoop();

    VideoPlayer* m_Player = nullptr;
    WeMovieSound* m_Sound = nullptr;
    WeTexture* m_Texture = nullptr;
    uint8_t m_Dynamic = 0;
    uint32_t m_Serial = 0;     // of the frame in the texture
    uint32_t m_Newest = 0;     // of the newest frame the player published
    uint32_t m_RunSerial = 0;  // of the newest frame when the current run started
    uint32_t m_Uploads = 0;
};
