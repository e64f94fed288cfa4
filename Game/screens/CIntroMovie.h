#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class WeMovieTextureRenderer;

// The intro's movie: a movie texture renderer played once with sound, and the screen rectangle that keeps
// the video's aspect (letterboxed or pillarboxed).
class CIntroMovie
{
public:
    CIntroMovie() = default;
    ~CIntroMovie();
    CIntroMovie(const CIntroMovie&) = delete;
    CIntroMovie& operator=(const CIntroMovie&) = delete;

    // True when open; a file that cannot be opened leaves no renderer behind.
    bool Open(const WeString& path);
    // Opens, plays without looping and places the video on the screen; false when it has no size.
    bool Start(const WeString& path);
    void Update();
    void Close();

    // The rectangle of a video of that size on a screen of that size: full width when the video is wider
    // than the screen, else full height, centred.
    void Place(int32_t videoWidth, int32_t videoHeight, int32_t screenWidth, int32_t screenHeight);

    WeMovieTextureRenderer* GetRenderer() const { return m_Renderer; }

    uint8_t m_Playing = 0;
    uint8_t m_Opened = 0;
    int32_t m_X = 0;
    int32_t m_Y = 0;
    int32_t m_Width = 0;
    int32_t m_Height = 0;
    WeMovieTextureRenderer* m_Renderer = nullptr;
};

extern CIntroMovie g_IntroMovie;
