#include "Game/screens/CProgressBar.h"

#include <cmath>

#include "Engine/foundation/WeLocalization.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/ui/WeFont.h"
#include "Game/shell/CGameGlobals.h"
#include "Platform/math/D3DXCOLOR.h"

namespace
{
// The atlas: the empty bar, the full bar and the glow, in its pixels; a bar is 448 pixels long, of which
// the first and last 8 are its rounded ends.
constexpr float BarLength = 448.0f;
constexpr float FillLength = 432.0f;
constexpr float FillStart = 8.0f;
constexpr float GlowWidth = 32.0f;
constexpr float GlowHeight = 64.0f;

float Sanitised(float value)
{
    return std::isnan(value) ? 0.0f : value;
}
}  // namespace

CProgressBar::CProgressBar(bool noTexture, bool showText) : m_ShowText(showText ? 1 : 0), m_NoTexture(noTexture ? 1 : 0)
{
    if (!noTexture)
    {
        m_Atlas = g_TextureManager.GetTexture("Ingame.Atlases.ProgressBar", false, 0, true);
        if (m_Atlas != nullptr)
            m_Atlas->SetMinimumQuality(2);
    }
}

CProgressBar::~CProgressBar() = default;

uint32_t CProgressBar::PackColor(const float rgba[4])
{
    return static_cast<uint32_t>(D3DXCOLOR(rgba[0], rgba[1], rgba[2], rgba[3]));
}

int32_t CProgressBar::GetQuads(int32_t screenWidth, int32_t screenHeight, Quad out[3]) const
{
    const int32_t left = static_cast<int32_t>(static_cast<float>(screenWidth) * m_X);
    const int32_t top = static_cast<int32_t>(static_cast<float>(screenHeight) * m_Y);
    const int32_t width = static_cast<int32_t>(static_cast<float>(screenWidth) * m_Width);
    const int32_t height = static_cast<int32_t>(static_cast<float>(screenHeight) * m_Height);
    const float k = static_cast<float>(width) / BarLength;
    const float value = Sanitised(m_Value);

    int32_t count = 0;
    if (value >= 1.0f)
    {
        out[count++] = {left, top, width, height, 0.0f, 0.0f, BarLength, 32.0f};
        return count;
    }
    out[count++] = {left, top, width, height, 0.0f, 36.0f, BarLength, 68.0f};
    if (value > 0.0f)
    {
        const float l = value * FillLength + FillStart;
        const int32_t filled = static_cast<int32_t>(l * k);
        out[count++] = {left, top, filled, height, 0.0f, 0.0f, l, 32.0f};
        // The glow is sized in reference pixels and centred on the end of the filled part.
        const int32_t glowW = static_cast<int32_t>(GlowWidth * static_cast<float>(screenWidth) / 1024.0f);
        const int32_t glowH = static_cast<int32_t>(GlowHeight * static_cast<float>(screenHeight) / 768.0f);
        out[count++] = {
            left + filled - glowW / 2, top + height / 2 - glowH / 2, glowW, glowH, 480.0f, 0.0f, 512.0f, GlowHeight};
    }
    return count;
}

WeString CProgressBar::GetText() const
{
    const float value = Sanitised(m_Value);
    if (m_ShowOwnTextWhenDone && value >= 1.0f)
        return m_Text;
    const float clamped = value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
    WeString text = g_Localization.GetText("UI: LOADING");
    text += ": ";
    text.AppendInt(static_cast<int32_t>(100.0f * clamped));
    text += "%";
    return text;
}

void CProgressBar::Draw()
{
    const int32_t screenWidth = g_ScreenSize.width;
    const int32_t screenHeight = g_ScreenSize.height;
    if (!m_NoTexture && m_Atlas != nullptr && m_Atlas->GetWidth() > 0 && m_Atlas->GetHeight() > 0)
    {
        const float texelU = 1.0f / static_cast<float>(m_Atlas->GetWidth());
        const float texelV = 1.0f / static_cast<float>(m_Atlas->GetHeight());
        Quad quads[3];
        const int32_t count = GetQuads(screenWidth, screenHeight, quads);
        for (int32_t i = 0; i < count; ++i)
        {
            const Quad& q = quads[i];
            g_Canvas.DrawQuadUV(q.x, q.y, q.w, q.h, q.u0 * texelU, q.v0 * texelV, q.u1 * texelU, q.v1 * texelV,
                                m_BarColor, m_Atlas, 0);
        }
    }
    if (m_ShowText)
    {
        const int32_t left = static_cast<int32_t>(static_cast<float>(screenWidth) * m_X);
        const int32_t width = static_cast<int32_t>(static_cast<float>(screenWidth) * m_Width);
        const int32_t textY = static_cast<int32_t>(static_cast<float>(screenHeight) * (m_Y + m_Height / 2.0f - 0.007f));
        g_Canvas.DrawText(g_Game.m_Font12, GetText(), left, textY, width, 0, m_TextColor, 1, 1.0f);
    }
}
