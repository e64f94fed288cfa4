#include "Game/shell/HudText.h"

#include <algorithm>
#include <cmath>

#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/ui/WeFont.h"
#include "Game/shell/COneShotSounds.h"

namespace
{

int32_t ToPixel(float fraction, int32_t size)
{
    float v = fraction * float(size);
    if (!(v > -1.0e6f && v < 1.0e6f))
        return -1000000;
    return int32_t(v);
}

}  // namespace

void DrawHudText(const WeString& text, WeFont* font, float x, float y, uint32_t colour, int32_t format)
{
    if (font == nullptr)
        return;
    g_Canvas.DrawTextShadowed(font, text, ToPixel(x, g_ScreenSize.width), ToPixel(y, g_ScreenSize.height), 0, 0, colour,
                              0, format, 1.0f);
}

void FormatRaceTime(WeString& out, float seconds, char separator)
{
    // A time no clock reaches (about 31 years) is held there rather than overflowing the minutes.
    constexpr double Longest = 1.0e9;
    int64_t minutes = 0, wholeSeconds = 0, hundredths = 0;
    if (std::isfinite(seconds) && seconds > 0.0f)
    {
        double s = std::min(double(seconds), Longest);
        double whole = std::floor(s);
        minutes = int64_t(whole) / 60;
        wholeSeconds = int64_t(whole) % 60;
        hundredths = int64_t((s - whole) * 1000.0) / 10;
    }
    out.AppendInt(int32_t(minutes), 2);
    out.AppendChar(separator);
    out.AppendInt(int32_t(wholeSeconds), 2);
    out.AppendChar(separator);
    out.AppendInt(int32_t(hundredths), 2);
}

void PlayHeadLightSound()
{
    PlayOneShotSound("Sounds.Tuber.HeadLight");
}
