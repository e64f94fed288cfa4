#pragma once
#include <cstdint>

#include "Engine/ui/WeUIComponent.h"

class WeMovieTextureRenderer;

// Shows the current frame of a movie played into a texture; takes no mouse events. Without a frame it draws
// nothing, its children included.
class WeUIMovie : public WeUIComponent
{
public:
    WeUIMovie(WeUIComponent* parent, const WeString& name, float x, float y, float width, float height);
    ~WeUIMovie() override;

    // With sound when withSound is not zero. False when there is no renderer or it cannot open the file.
    bool Open(const WeString& fileName, int32_t withSound);
    // Loops when loop is not zero.
    void Play(int32_t loop);
    void Update() override;
    void Render() override;

    WeMovieTextureRenderer* GetRenderer() const { return m_Renderer; }

    WeMovieTextureRenderer* m_Renderer = nullptr;
};
