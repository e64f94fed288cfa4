#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class WeUIComponent;
class WeUIRect;

// A resizable frame of nine skin parts: corners keep their skin size in reference pixels, edges stretch
// along one axis and the background along both. Sizes are not clamped: a frame smaller than its corners
// gets edges of negative size.
class WeUINinePartRect
{
public:
    WeUINinePartRect(WeUIComponent* owner, const WeString& baseName, float x, float y, float width, float height);
    virtual ~WeUINinePartRect();
    WeUINinePartRect(const WeUINinePartRect&) = delete;
    WeUINinePartRect& operator=(const WeUINinePartRect&) = delete;

    virtual void SetRect(float x, float y, float width, float height);
    void LayoutParts();
    void UpdatePixelRect();
    void Draw();

    int32_t m_PixelX = 0;
    int32_t m_PixelY = 0;
    int32_t m_PixelWidth = 0;
    int32_t m_PixelHeight = 0;
    float m_X = 0.0f;
    float m_Y = 0.0f;
    float m_Width = 0.0f;
    float m_Height = 0.0f;
    WeUIRect* m_TopLeft = nullptr;
    WeUIRect* m_Top = nullptr;
    WeUIRect* m_TopRight = nullptr;
    WeUIRect* m_Left = nullptr;
    WeUIRect* m_Background = nullptr;
    WeUIRect* m_Right = nullptr;
    WeUIRect* m_BottomLeft = nullptr;
    WeUIRect* m_Bottom = nullptr;
    WeUIRect* m_BottomRight = nullptr;
};
