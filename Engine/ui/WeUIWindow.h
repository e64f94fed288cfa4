#pragma once
#include <cstdint>

#include "Engine/ui/WeUIComponent.h"

class WeUINinePartRect;
class WeUIRect;
class WeUIText;

// The container screens build their menus in: a nine-part "Window" frame (or one plain skin part) and a
// title tab with a caption above the top edge, at the left or the right end. The tab lies outside the
// window's rectangle, so it takes no mouse events.
class WeUIWindow : public WeUIComponent
{
public:
    WeUIWindow(WeUIComponent* parent, const WeString& name, const WeString& caption, float x, float y, float width,
               float height, float titleWidth, float titleHeight, bool plainBackground, const WeString& backgroundSkin);
    ~WeUIWindow() override;

    void SetRect(float x, float y, float width, float height) override;
    void LayoutTree() override;
    void UpdateLayout() override;
    void Render() override;
    // Places the title tab, the caption and the background; owners call it after changing m_TitleAtRight.
    void LayoutTitle();

    WeUIText* m_Caption = nullptr;
    WeUIRect* m_Background = nullptr;
    WeUIRect* m_TitleBar = nullptr;
    WeUINinePartRect* m_Frame = nullptr;
    uint8_t m_PlainBackground = 0;
    uint8_t m_ShowTitle = 1;
    float m_TitleWidth = 0.0f;
    float m_TitleHeight = 0.0f;
    uint8_t m_TitleAtRight = 0;
};
