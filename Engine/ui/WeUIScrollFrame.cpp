#include "Engine/ui/WeUIScrollFrame.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/ui/WeUIHScrollBar.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIVScrollBar.h"

WeUIScrollFrame::WeUIScrollFrame(WeUIComponent* parent, const WeString& name, float x, float y, float width,
                                 float height)
    : WeUIComponent(parent, name)
{
    m_BubbleMouseUp = 1;
    m_BubbleKeyDown = 1;
    // The frame consumes the wheel: the list around it must not scroll as well.
    m_BubbleMouseWheel = 0;
    m_VScrollWidth = g_UIMain.FullScreenToLayoutW(
        float(g_UIMain.GetTextureMapEntry(WeString("VScrollBarDownButton_Normal")).width) / 1024.0f);
    m_HScrollHeight = g_UIMain.FullScreenToLayoutH(
        float(g_UIMain.GetTextureMapEntry(WeString("HScrollBarLeftButton_Normal")).height) / 768.0f);
    m_ViewX = x;
    m_ViewY = y;
    m_ViewWidth = width;
    m_ViewHeight = height;
    m_VScroll = new WeUIVScrollBar(parent, name + "$VScroll", 0, 0, 0, 0);
    m_HScroll = new WeUIHScrollBar(parent, name + "$HScroll", 0, 0, 0, 0);
    m_VScroll->m_Visible = 0;
    m_HScroll->m_Visible = 0;
    PlaceBars();
    WeUIComponent::SetRect(0, 0, 0, 0);
}

void WeUIScrollFrame::UpdateViewPixels()
{
    m_ViewPixelX = g_UIMain.ToPixelX(m_ViewX);
    m_ViewPixelY = g_UIMain.ToPixelY(m_ViewY);
    m_ViewPixelWidth = g_UIMain.ToPixelX(m_ViewX + m_ViewWidth) - m_ViewPixelX;
    m_ViewPixelHeight = g_UIMain.ToPixelY(m_ViewY + m_ViewHeight) - m_ViewPixelY;
}

void WeUIScrollFrame::PlaceBars()
{
    // The bars sit at the view's right and bottom edges, wherever the view lies in the parent.
    float right = m_ViewX + m_ViewWidth - m_VScrollWidth;
    float bottom = m_ViewY + m_ViewHeight - m_HScrollHeight;
    bool vertical = m_VScroll->m_Visible != 0;
    bool horizontal = m_HScroll->m_Visible != 0;
    if (vertical && horizontal)
    {
        m_VScroll->SetRect(right, m_ViewY, m_VScrollWidth, m_ViewHeight - m_HScrollHeight);
        m_HScroll->SetRect(m_ViewX, bottom, m_ViewWidth - m_VScrollWidth, m_HScrollHeight);
    }
    else if (horizontal)
    {
        // Alone, the horizontal bar hangs directly below the view.
        m_VScroll->SetRect(right, m_ViewY, m_VScrollWidth, m_ViewHeight);
        m_HScroll->SetRect(m_ViewX, m_ViewY + m_ViewHeight, m_ViewWidth - m_VScrollWidth, m_HScrollHeight);
    }
    else
    {
        m_VScroll->SetRect(right, m_ViewY, m_VScrollWidth, m_ViewHeight);
        m_HScroll->SetRect(m_ViewX, bottom, m_ViewWidth, m_HScrollHeight);
    }
}

void WeUIScrollFrame::SetView(float x, float y, float width, float height)
{
    m_ViewX = x;
    m_ViewY = y;
    m_ViewWidth = width;
    m_ViewHeight = height;
    UpdateViewPixels();
    PlaceBars();
}

void WeUIScrollFrame::ShowBars()
{
    m_HScroll->m_Visible = m_Width > m_ViewWidth + 0.001f ? 1 : 0;
    m_VScroll->m_Visible = m_Height > m_ViewHeight + 0.001f ? 1 : 0;
    PlaceBars();
    m_HScroll->SetPosition(0.0f);
    m_VScroll->SetPosition(0.0f);
    UpdateLayout();
}

void WeUIScrollFrame::SetContentWidth(float width)
{
    m_Width = width;
    ShowBars();
}

void WeUIScrollFrame::SetContentHeight(float height)
{
    m_Height = height;
    ShowBars();
}

void WeUIScrollFrame::UpdateLayout()
{
    UpdateViewPixels();
    WeUIComponent::UpdateLayout();
}

int32_t WeUIScrollFrame::ParentScreenX()
{
    return m_Parent != nullptr ? m_Parent->GetScreenX() : g_UIMain.ToScreenX(0);
}

int32_t WeUIScrollFrame::ParentScreenY()
{
    return m_Parent != nullptr ? m_Parent->GetScreenY() : g_UIMain.ToScreenY(0);
}

int32_t WeUIScrollFrame::GetScreenX()
{
    int32_t x = WeUIComponent::GetScreenX() + m_ViewPixelX;
    if (m_HScroll->m_Visible)
        x -= int32_t(float(m_PixelWidth - m_ViewPixelWidth) * m_HScroll->GetPosition());
    return x;
}

int32_t WeUIScrollFrame::GetScreenY()
{
    int32_t y = WeUIComponent::GetScreenY() + m_ViewPixelY;
    if (m_VScroll->m_Visible)
        y -= int32_t(float(m_PixelHeight - m_ViewPixelHeight) * m_VScroll->GetPosition());
    return y;
}

bool WeUIScrollFrame::HitTest(int32_t x, int32_t y)
{
    int32_t left = ParentScreenX() + m_ViewPixelX;
    int32_t top = ParentScreenY() + m_ViewPixelY;
    return m_InputEnabled && x >= left && x <= left + m_ViewPixelWidth && y >= top && y <= top + m_ViewPixelHeight;
}

void WeUIScrollFrame::Render()
{
    if (!g_UIMain.ShouldDraw(this))
        return;
    // What was queued before lies outside the clip; what the children queue is clipped to the view.
    g_Canvas.Flush();
    int32_t left = ParentScreenX() + m_ViewPixelX;
    int32_t top = ParentScreenY() + m_ViewPixelY;
    g_RenderDevice.SetScissorRect(left, top, left + m_ViewPixelWidth, top + m_ViewPixelHeight);
    WeUIComponent::Render();
    g_Canvas.Flush();
    g_RenderDevice.DisableScissor();
}

int32_t WeUIScrollFrame::OnMouseMove(int32_t x, int32_t y, int32_t z)
{
    if (z > 0)
        m_VScroll->ScrollUp(WheelStep);
    else if (z < 0)
        m_VScroll->ScrollDown(WheelStep);
    return WeUIComponent::OnMouseMove(x, y, z);
}

void WeUIScrollFrame::OnMouseWheel(int32_t delta)
{
    if (!m_WheelFactorRead)
    {
        m_WheelFactor = GetConfigFloat(WeString("game.Input.MouseWheelFactor"), 0.001f);
        m_WheelFactorRead = 1;
    }
    if (delta > 0)
        m_VScroll->ScrollUp(float(delta) * m_WheelFactor);
    else if (delta < 0)
        m_VScroll->ScrollDown(float(-delta) * m_WheelFactor);
    WeUIComponent::OnMouseWheel(delta);
}
