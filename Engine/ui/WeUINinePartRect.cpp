#include "Engine/ui/WeUINinePartRect.h"

#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIRect.h"

namespace
{

// A skin part's size in reference pixels as layout fractions.
float PartWidth(const WeUIRect* r)
{
    return float(r->m_Normal.width) / 1024.0f;
}

float PartHeight(const WeUIRect* r)
{
    return float(r->m_Normal.height) / 768.0f;
}

}  // namespace

WeUINinePartRect::WeUINinePartRect(WeUIComponent* owner, const WeString& baseName, float x, float y, float width,
                                   float height)
{
    auto make = [&](const char* part) { return new WeUIRect(owner, baseName + part, 0, 0, 0, 0, false); };
    m_TopLeft = make("TopLeft");
    m_Top = make("Top");
    m_TopRight = make("TopRight");
    m_Left = make("Left");
    m_Background = make("Background");
    m_Right = make("Right");
    m_BottomLeft = make("BottomLeft");
    m_Bottom = make("Bottom");
    m_BottomRight = make("BottomRight");
    WeUINinePartRect::SetRect(x, y, width, height);
}

WeUINinePartRect::~WeUINinePartRect()
{
    for (WeUIRect* r :
         {m_TopLeft, m_Top, m_TopRight, m_Left, m_Background, m_Right, m_BottomLeft, m_Bottom, m_BottomRight})
        delete r;
}

void WeUINinePartRect::SetRect(float x, float y, float width, float height)
{
    m_X = x;
    m_Y = y;
    m_Width = width;
    m_Height = height;
    LayoutParts();
    UpdatePixelRect();
}

void WeUINinePartRect::LayoutParts()
{
    const float X = m_X, Y = m_Y, W = m_Width, H = m_Height;
    const float tlw = PartWidth(m_TopLeft), tlh = PartHeight(m_TopLeft);
    const float trw = PartWidth(m_TopRight), trh = PartHeight(m_TopRight);
    const float blw = PartWidth(m_BottomLeft), blh = PartHeight(m_BottomLeft);
    const float brw = PartWidth(m_BottomRight), brh = PartHeight(m_BottomRight);
    const float lw = PartWidth(m_Left), rw = PartWidth(m_Right);
    const float th = PartHeight(m_Top), bh = PartHeight(m_Bottom);
    m_TopLeft->SetRect(X, Y, tlw, tlh);
    m_Top->SetRect(X + tlw, Y, W - tlw - trw, th);
    m_TopRight->SetRect(X + W - trw, Y, trw, trh);
    m_Left->SetRect(X, Y + tlh, lw, H - tlh - blh);
    m_Background->SetRect(X + lw, Y + th, W - lw - rw, H - th - bh);
    m_Right->SetRect(X + W - rw, Y + trh, rw, H - trh - brh);
    m_BottomLeft->SetRect(X, Y + H - blh, blw, blh);
    m_Bottom->SetRect(X + blw, Y + H - bh, W - blw - brw, bh);
    m_BottomRight->SetRect(X + W - brw, Y + H - brh, brw, brh);
}

void WeUINinePartRect::UpdatePixelRect()
{
    m_PixelX = g_UIMain.ToPixelX(m_X);
    m_PixelY = g_UIMain.ToPixelY(m_Y);
    m_PixelWidth = g_UIMain.ToPixelX(m_X + m_Width) - m_PixelX;
    m_PixelHeight = g_UIMain.ToPixelY(m_Y + m_Height) - m_PixelY;
}

void WeUINinePartRect::Draw()
{
    for (WeUIRect* r :
         {m_TopLeft, m_Top, m_TopRight, m_Left, m_Background, m_Right, m_BottomLeft, m_Bottom, m_BottomRight})
        r->Draw();
}
