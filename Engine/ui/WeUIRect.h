#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"
#include "Engine/ui/WeUITextureMapEntry.h"

class WeTexture;
class WeUIComponent;

// Queues one skin part stretched over a screen rectangle, tinted with an RGBA colour of 0..1 channels.
void DrawTextureMapEntry(int32_t x, int32_t y, int32_t width, int32_t height, const WeUITextureMapEntry& entry,
                         const float rgba[4], WeTexture* texture);

// One part of the skin placed on a widget, relative to its owner, tinted with the owner's colours. A
// multi-state rect carries the "_Normal", "_Over" and "_Clicked" parts and cross-fades them with the owner's
// hover and press ramps.
class WeUIRect
{
public:
    WeUIRect(WeUIComponent* owner, const WeString& skinName, float x, float y, float width, float height,
             bool multiState);
    virtual ~WeUIRect() = default;
    WeUIRect(const WeUIRect&) = delete;
    WeUIRect& operator=(const WeUIRect&) = delete;

    void SetRect(float x, float y, float width, float height);
    void UpdatePixelRect();
    void SetPixelRect(int32_t x, int32_t y, int32_t width, int32_t height);
    void Draw();

    WeUIComponent* m_Owner = nullptr;
    uint8_t m_MultiState = 0;
    WeTexture* m_Texture = nullptr;
    float m_X = 0.0f;
    float m_Y = 0.0f;
    float m_Width = 0.0f;
    float m_Height = 0.0f;
    int32_t m_PixelX = 0;
    int32_t m_PixelY = 0;
    int32_t m_PixelWidth = 0;
    int32_t m_PixelHeight = 0;
    int32_t m_DrawX = 0;
    int32_t m_DrawY = 0;
    int32_t m_DrawWidth = 0;
    int32_t m_DrawHeight = 0;
    WeUITextureMapEntry m_Normal;
    WeUITextureMapEntry m_Over;
    WeUITextureMapEntry m_Clicked;
};
