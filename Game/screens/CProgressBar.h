#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class WeTexture;

// The loading bar of the race loading screen and the shipyard: an empty bar, the filled part with a glow
// at its end, and a percentage (or a text of its own once full) under it. Placed in fractions of the
// screen; the atlas is addressed in its pixels.
class CProgressBar
{
public:
    // One quad of the bar: screen pixels and the atlas rectangle in atlas pixels.
    struct Quad
    {
        int32_t x, y, w, h;
        float u0, v0, u1, v1;
    };

    CProgressBar(bool noTexture, bool showText);
    virtual ~CProgressBar();
    CProgressBar(const CProgressBar&) = delete;
    CProgressBar& operator=(const CProgressBar&) = delete;

    void Draw();

    // The quads Draw puts down on a screen of that size, in drawing order; returns how many (at most 3).
    int32_t GetQuads(int32_t screenWidth, int32_t screenHeight, Quad out[3]) const;
    // The text under the bar: the own text once full (when asked for), else "<LOADING>: <n>%".
    WeString GetText() const;
    // A colour of four 0..1 floats packed as ARGB, each channel clamped and rounded, NaN as 0.
    static uint32_t PackColor(const float rgba[4]);

    WeTexture* m_Atlas = nullptr;
    int32_t m_ShowText = 0;
    int32_t m_NoTexture = 0;
    float m_X = 0.25f;
    float m_Y = 0.8f;
    float m_Width = 0.5f;
    float m_Height = 0.042f;
    uint32_t m_BarColor = 0xFFFFFFFF;
    uint32_t m_TextColor = 0xFFFFFFFF;
    float m_Value = 0.0f;
    uint8_t m_ShowOwnTextWhenDone = 0;
    WeString m_Text;
};
