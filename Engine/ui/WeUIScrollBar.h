#pragma once
#include <cstdint>

#include "Engine/ui/WeUIComponent.h"

class WeUIRect;

// What the horizontal and the vertical scroll bar share: a position of 0..1 moved by two arrow buttons, a
// draggable thumb, clicks on the track and the wheel motion that rides on mouse moves. One body serves both
// axes; the subclasses only name their parts.
class WeUIScrollBar : public WeUIComponent
{
public:
    static constexpr float Step = 0.1f;

    ~WeUIScrollBar() override;

    void SetRect(float x, float y, float width, float height) override;
    void UpdateLayout() override;
    void Render() override;
    int32_t OnMouseMove(int32_t x, int32_t y, int32_t z) override;
    // A click on the track: a step towards the click.
    int32_t OnMouseUp(int32_t button) override;

    // Clamped to 0..1; moves the thumb. Does not call the change callback.
    void SetPosition(float position);
    float GetPosition() const { return m_Position; }

    WeUIRect* m_Segment = nullptr;
    WeUIComponent* m_FirstButton = nullptr;
    WeUIComponent* m_SecondButton = nullptr;
    WeUIComponent* m_Thumb = nullptr;
    float m_Position = 0.0f;
    int32_t m_DragRange = 0;
    int32_t m_DragStartCoordinate = 0;
    int32_t m_LastMouseCoordinate = 0;
    float m_DragStartPosition = 0.0f;
    uint8_t m_Dragging = 0;
    // Called after every change the user makes (buttons, track, drag), never after SetPosition.
    WeUISenderCallback m_OnChange = nullptr;

protected:
    WeUIScrollBar(WeUIComponent* parent, const WeString& name, bool vertical, float x, float y, float width,
                  float height);

private:
    int32_t CallChange();
    float SegmentLength() const;
    static int32_t OnFirstButtonUp(int32_t button, WeUIComponent* sender);
    static int32_t OnSecondButtonUp(int32_t button, WeUIComponent* sender);
    static int32_t OnThumbDown(int32_t button, WeUIComponent* sender);
    static int32_t OnThumbUp(int32_t button, WeUIComponent* sender);
    static int32_t OnThumbMove(int32_t x, int32_t y, int32_t z, WeUIComponent* sender);

    uint8_t m_Vertical = 0;
    // Skin lengths along the axis, layout fractions: first button, second button, thumb.
    float m_FirstLength = 0.0f;
    float m_SecondLength = 0.0f;
    float m_ThumbLength = 0.0f;
};
