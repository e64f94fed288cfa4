#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class WeFont;
class WeUIComponent;

// Format flags of a widget text, as the font lays it into its box.
enum WeUITextFormat : int32_t
{
    WeUITextCentreX = 0x01,
    WeUITextRight = 0x02,
    WeUITextCentreY = 0x04,
    WeUITextBottom = 0x08,
    WeUITextWrap = 0x10,
};

// Packs a colour of 0..1 channels into ARGB bytes: 1 or more is 255, 0 or less is 0, else rounded.
uint32_t WeUIPackArgb(float r, float g, float b, float a);

// The text a widget shows (caption, label, cell): placed in fractions relative to its owner, sized and faced
// through the UI manager's font table, faded with the owner's effective alpha, queued on the canvas. Owners
// write the plain fields directly; after a size or face change they call UpdateFont, after a box change
// SetRect (or UpdatePixelRect when the screen mapping changed).
class WeUIText
{
public:
    WeUIText(WeUIComponent* owner, const WeString& text, float x, float y, float width, float height);
    virtual ~WeUIText() = default;
    WeUIText(const WeUIText&) = delete;
    WeUIText& operator=(const WeUIText&) = delete;

    void SetRect(float x, float y, float width, float height);
    void SetOffsetX(float offsetX);
    // Colour and offset of the shadow; whether it is drawn stays with m_Shadow.
    void SetShadow(float r, float g, float b, float a, float dx, float dy);
    void UpdateFont();
    void UpdatePixelRect();
    // The size the text needs in layout fractions; with the wrap flag the text gains its line breaks.
    void GetExtent(float* width, float* height);
    void Draw();

    WeUIComponent* m_Owner = nullptr;
    WeString m_Text;
    WeString m_Face;
    int32_t m_Size = 14;
    float m_Colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float m_OutlineColour[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    uint8_t m_Outline = 0;
    int32_t m_Format = WeUITextCentreX | WeUITextCentreY;
    WeFont* m_Font = nullptr;
    float m_X = 0.0f;
    float m_Y = 0.0f;
    float m_Width = 0.0f;
    float m_Height = 0.0f;
    int32_t m_PixelX = 0;
    int32_t m_PixelY = 0;
    int32_t m_PixelWidth = 0;
    int32_t m_PixelHeight = 0;
    int32_t m_OffsetPixelY = 0;
    int32_t m_OffsetPixelX = 0;
    float m_OffsetY = 0.0f;
    float m_OffsetX = 0.0f;
    int32_t m_DrawX = 0;
    int32_t m_DrawY = 0;
    int32_t m_DrawWidth = 0;
    int32_t m_DrawHeight = 0;
    int32_t m_ShadowDrawX = 0;
    int32_t m_ShadowDrawY = 0;
    int32_t m_ShadowDrawWidth = 0;
    int32_t m_ShadowDrawHeight = 0;
    uint8_t m_Shadow = 0;
    float m_ShadowColour[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float m_ShadowDX = 0.0f;
    float m_ShadowDY = 0.0f;
    int32_t m_ShadowPixelDX = 0;
    int32_t m_ShadowPixelDY = 0;
};
