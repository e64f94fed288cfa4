#pragma once
#include <cstdint>

#include "Engine/ui/WeUIComponent.h"

class WeUIHScrollBar;
class WeUIVScrollBar;

// A container whose children lie on a content area that may be larger than its view: it clips their drawing
// to the view and shifts them by the positions of its two bars. The bars are siblings of the frame (in its
// parent), so they do not scroll themselves; a bar is shown only while its axis has more content than view.
// The frame's own rectangle is the content: at (0, 0), as large as the content.
class WeUIScrollFrame : public WeUIComponent
{
public:
    static constexpr float WheelStep = 0.1f;

    WeUIScrollFrame(WeUIComponent* parent, const WeString& name, float x, float y, float width, float height);

    void SetView(float x, float y, float width, float height);
    void SetContentWidth(float width);
    void SetContentHeight(float height);

    void UpdateLayout() override;
    int32_t GetScreenX() override;
    int32_t GetScreenY() override;
    bool HitTest(int32_t x, int32_t y) override;
    void Render() override;
    int32_t OnMouseMove(int32_t x, int32_t y, int32_t z) override;
    void OnMouseWheel(int32_t delta) override;

    WeUIVScrollBar* m_VScroll = nullptr;
    WeUIHScrollBar* m_HScroll = nullptr;
    float m_VScrollWidth = 0.0f;
    float m_HScrollHeight = 0.0f;
    float m_ViewX = 0.0f;
    float m_ViewY = 0.0f;
    float m_ViewWidth = 0.0f;
    float m_ViewHeight = 0.0f;
    int32_t m_ViewPixelX = 0;
    int32_t m_ViewPixelY = 0;
    int32_t m_ViewPixelWidth = 0;
    int32_t m_ViewPixelHeight = 0;

private:
    void UpdateViewPixels();
    void ShowBars();
    void PlaceBars();
    int32_t ParentScreenX();
    int32_t ParentScreenY();

    // "game.Input.MouseWheelFactor", read at the first wheel event.
    float m_WheelFactor = 0.0f;
    uint8_t m_WheelFactorRead = 0;
};
