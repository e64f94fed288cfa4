#include "Engine/ui/WeUIWindow.h"

#include "Engine/render/WeCanvas.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUINinePartRect.h"
#include "Engine/ui/WeUIRect.h"
#include "Engine/ui/WeUIText.h"

WeUIWindow::WeUIWindow(WeUIComponent* parent, const WeString& name, const WeString& caption, float x, float y,
                       float width, float height, float titleWidth, float titleHeight, bool plainBackground,
                       const WeString& backgroundSkin)
    : WeUIComponent(parent, name), m_PlainBackground(plainBackground ? 1 : 0), m_TitleWidth(titleWidth),
      m_TitleHeight(titleHeight)
{
    m_TitleBar = new WeUIRect(this, WeString("Titlebar"), 0, 0, 0, 0, false);
    if (plainBackground)
        m_Background = new WeUIRect(this, backgroundSkin, 0, 0, 0, 0, false);
    else
        m_Frame = new WeUINinePartRect(this, WeString("Window"), 0, 0, 0, 0);
    m_Caption = new WeUIText(this, caption, 0, 0, 0, 0);
    SetRect(x, y, width, height);
}

WeUIWindow::~WeUIWindow()
{
    delete m_Caption;
    delete m_TitleBar;
    delete m_Background;
    delete m_Frame;
}

void WeUIWindow::LayoutTitle()
{
    float titleX = m_TitleAtRight ? m_Width - m_TitleWidth : 0.0f;
    m_TitleBar->SetRect(titleX, -m_TitleHeight, m_TitleWidth, m_TitleHeight);
    m_Caption->SetRect(titleX, -m_TitleHeight, m_TitleWidth, m_TitleHeight);
    if (m_Background != nullptr)
        m_Background->SetRect(0, 0, m_Width, m_Height);
    if (m_Frame != nullptr)
        m_Frame->SetRect(0, 0, m_Width, m_Height);
}

void WeUIWindow::SetRect(float x, float y, float width, float height)
{
    WeUIComponent::SetRect(x, y, width, height);
    LayoutTitle();
}

void WeUIWindow::LayoutTree()
{
    LayoutTitle();
    WeUIComponent::LayoutTree();
}

void WeUIWindow::UpdateLayout()
{
    WeUIComponent::UpdateLayout();
    m_TitleBar->UpdatePixelRect();
    m_Caption->UpdatePixelRect();
    if (m_Background != nullptr)
        m_Background->UpdatePixelRect();
    if (m_Frame != nullptr)
        m_Frame->UpdatePixelRect();
}

void WeUIWindow::Render()
{
    if (!g_UIMain.ShouldDraw(this))
        return;
    // Everything queued so far, texts included, lies under this window.
    g_Canvas.Flush();
    if (m_ShowTitle)
    {
        m_TitleBar->Draw();
        m_Caption->Draw();
    }
    if (m_Background != nullptr)
        m_Background->Draw();
    if (m_Frame != nullptr)
        m_Frame->Draw();
    WeUIComponent::Render();
}
