#include "Engine/ui/WeUIScrollBar.h"

#include "Engine/ui/WeUIButton.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIRect.h"

WeUIScrollBar::WeUIScrollBar(WeUIComponent* parent, const WeString& name, bool vertical, float x, float y, float width,
                             float height)
    : WeUIComponent(parent, name), m_Vertical(vertical ? 1 : 0)
{
    const char* axis = vertical ? "V" : "H";
    WeString prefix = WeString(axis) + "ScrollBar";
    m_Segment = new WeUIRect(this, prefix + "Segment", 0, 0, 0, 0, false);
    m_FirstButton = g_UIMain.CreateSkinButton(name + (vertical ? "ButtonUp" : "ButtonLeft"), WeString(""), name,
                                              prefix + (vertical ? "UpButton" : "LeftButton"));
    m_SecondButton = g_UIMain.CreateSkinButton(name + (vertical ? "ButtonDown" : "ButtonRight"), WeString(""), name,
                                               prefix + (vertical ? "DownButton" : "RightButton"));
    m_Thumb = g_UIMain.CreateSkinButton(name + "ButtonThumb", WeString(""), name, prefix + "Thumb");
    m_FirstButton->m_OnMouseUp = OnFirstButtonUp;
    m_SecondButton->m_OnMouseUp = OnSecondButtonUp;
    m_Thumb->m_OnMouseDown = OnThumbDown;
    m_Thumb->m_OnMouseUp = OnThumbUp;
    m_Thumb->m_OnMouseMove = OnThumbMove;
    // The bar hears the thumb's moves too: the wheel and the last coordinate for track clicks.
    m_Thumb->m_BubbleMouseMove = 1;
    SetRect(x, y, width, height);
}

WeUIScrollBar::~WeUIScrollBar()
{
    delete m_Segment;
}

float WeUIScrollBar::SegmentLength() const
{
    float length = m_Vertical ? m_Height : m_Width;
    return length - m_FirstLength - m_SecondLength;
}

void WeUIScrollBar::SetRect(float x, float y, float width, float height)
{
    if (m_Vertical)
    {
        m_FirstLength = float(g_UIMain.GetTextureMapEntry(WeString("VScrollBarUpButton_Normal")).height) / 768.0f;
        m_SecondLength = float(g_UIMain.GetTextureMapEntry(WeString("VScrollBarDownButton_Normal")).height) / 768.0f;
        m_ThumbLength = float(g_UIMain.GetTextureMapEntry(WeString("VScrollBarThumb_Normal")).height) / 768.0f;
        m_Segment->SetRect(0, m_FirstLength, width, height - m_FirstLength - m_SecondLength);
        m_FirstButton->SetRect(0, 0, width, m_FirstLength);
        m_SecondButton->SetRect(0, height - m_SecondLength, width, m_SecondLength);
        m_Thumb->SetRect(0, m_FirstLength, width, m_ThumbLength);
    }
    else
    {
        m_FirstLength = float(g_UIMain.GetTextureMapEntry(WeString("HScrollBarLeftButton_Normal")).width) / 1024.0f;
        m_SecondLength = float(g_UIMain.GetTextureMapEntry(WeString("HScrollBarRightButton_Normal")).width) / 1024.0f;
        m_ThumbLength = float(g_UIMain.GetTextureMapEntry(WeString("HScrollBarThumb_Normal")).width) / 1024.0f;
        m_Segment->SetRect(m_FirstLength, 0, width - m_FirstLength - m_SecondLength, height);
        m_FirstButton->SetRect(0, 0, m_FirstLength, height);
        m_SecondButton->SetRect(width - m_SecondLength, 0, m_SecondLength, height);
        m_Thumb->SetRect(m_FirstLength, 0, m_ThumbLength, height);
    }
    WeUIComponent::SetRect(x, y, width, height);
    // A resize keeps the thumb where the position says rather than back at the start.
    SetPosition(m_Position);
}

void WeUIScrollBar::UpdateLayout()
{
    WeUIComponent::UpdateLayout();
    m_Segment->UpdatePixelRect();
    m_DragRange = m_Vertical ? m_Segment->m_PixelHeight - m_Thumb->m_PixelHeight
                             : m_Segment->m_PixelWidth - m_Thumb->m_PixelWidth;
}

void WeUIScrollBar::Render()
{
    if (!g_UIMain.ShouldDraw(this))
        return;
    m_Segment->Draw();
    WeUIComponent::Render();
}

void WeUIScrollBar::SetPosition(float position)
{
    // NaN fails both comparisons and ends at 0.
    if (!(position > 0.0f))
        position = 0.0f;
    if (position > 1.0f)
        position = 1.0f;
    m_Position = position;
    float along = m_FirstLength + (SegmentLength() - m_ThumbLength) * position;
    if (m_Vertical)
        m_Thumb->SetRect(m_Thumb->m_X, along, m_Thumb->m_Width, m_Thumb->m_Height);
    else
        m_Thumb->SetRect(along, m_Thumb->m_Y, m_Thumb->m_Width, m_Thumb->m_Height);
}

int32_t WeUIScrollBar::OnMouseMove(int32_t x, int32_t y, int32_t z)
{
    if (z > 0)
        SetPosition(m_Position - Step);
    else if (z < 0)
        SetPosition(m_Position + Step);
    m_LastMouseCoordinate = m_Vertical ? y : x;
    return m_OnMouseMove != nullptr ? m_OnMouseMove(x, y, z, this) : 0;
}

int32_t WeUIScrollBar::OnMouseUp(int32_t button)
{
    (void)button;
    int32_t thumb = m_Vertical ? m_Thumb->GetScreenY() : m_Thumb->GetScreenX();
    SetPosition(m_LastMouseCoordinate < thumb ? m_Position - Step : m_Position + Step);
    return CallChange();
}

int32_t WeUIScrollBar::CallChange()
{
    return m_OnChange != nullptr ? m_OnChange(this) : 0;
}

int32_t WeUIScrollBar::OnFirstButtonUp(int32_t button, WeUIComponent* sender)
{
    (void)button;
    auto* bar = static_cast<WeUIScrollBar*>(sender->m_Parent);
    bar->SetPosition(bar->m_Position - Step);
    return bar->CallChange();
}

int32_t WeUIScrollBar::OnSecondButtonUp(int32_t button, WeUIComponent* sender)
{
    (void)button;
    auto* bar = static_cast<WeUIScrollBar*>(sender->m_Parent);
    bar->SetPosition(bar->m_Position + Step);
    return bar->CallChange();
}

int32_t WeUIScrollBar::OnThumbDown(int32_t button, WeUIComponent* sender)
{
    (void)button;
    static_cast<WeUIScrollBar*>(sender->m_Parent)->m_Dragging = 1;
    return 0;
}

int32_t WeUIScrollBar::OnThumbUp(int32_t button, WeUIComponent* sender)
{
    (void)button;
    auto* bar = static_cast<WeUIScrollBar*>(sender->m_Parent);
    bar->m_Dragging = 0;
    return bar->CallChange();
}

int32_t WeUIScrollBar::OnThumbMove(int32_t x, int32_t y, int32_t z, WeUIComponent* sender)
{
    (void)z;
    auto* bar = static_cast<WeUIScrollBar*>(sender->m_Parent);
    int32_t coordinate = bar->m_Vertical ? y : x;
    if (!bar->m_Dragging)
    {
        bar->m_DragStartPosition = bar->m_Position;
        bar->m_DragStartCoordinate = coordinate;
        return 0;
    }
    // A thumb as long as the track has nowhere to go.
    if (bar->m_DragRange <= 0)
        return 0;
    bar->SetPosition(bar->m_DragStartPosition +
                     float(coordinate - bar->m_DragStartCoordinate) / float(bar->m_DragRange));
    return bar->CallChange();
}
