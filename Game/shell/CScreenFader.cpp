#include "Game/shell/CScreenFader.h"

#include <cmath>

#include "Engine/foundation/WeString.h"
#include "Engine/ui/WeUIColorFrame.h"
#include "Engine/ui/WeUIComponent.h"
#include "Engine/ui/WeUIMain.h"

const char* const g_FaderElementName = "CFadingPhase_UIFader";
CScreenFader g_ScreenFader;

namespace
{
// The engine's fade speed is a rate per second; a fade of no length covers the screen at once.
constexpr float InstantFadeRate = 1.0e6f;
}  // namespace

CScreenFader::Callback CScreenFader::FadeTo(Callback callback, float seconds, float red, float green, float blue,
                                            float alpha)
{
    // Queued fade-ins start only once nothing fades out: a closing frame would hold this one back.
    g_UIMain.DestroyFadingOut();
    const WeString name(g_FaderElementName);
    WeUIComponent* frame = g_UIMain.FindComponent(name);
    if (frame == nullptr)
    {
        frame = g_UIMain.CreateColorFrame(name, WeString("Root"));
        if (frame != nullptr)
        {
            frame->m_TopMost = 1;
            frame->SetRect(0.0f, 0.0f, 1.0f, 1.0f);
            frame->SetFullScreen(true);
        }
    }
    if (frame != nullptr)
    {
        frame->m_Colour[0] = red;
        frame->m_Colour[1] = green;
        frame->m_Colour[2] = blue;
        frame->m_Colour[3] = alpha;
        const bool timed = std::isfinite(seconds) && seconds > 0.0f;
        frame->SetFadeSpeed(timed ? std::fmin(1.0f / seconds, InstantFadeRate) : InstantFadeRate);
        g_UIMain.ShowComponent(name, false);
        g_UIMain.SetModal(name);
    }
    m_State = FadingIn;
    g_UIInputEnabled = 0;
    m_Callback = callback;
    return callback;
}

void CScreenFader::Update()
{
    const WeString name(g_FaderElementName);
    WeUIComponent* frame = g_UIMain.FindComponent(name);
    if (frame == nullptr)
    {
        if (m_State != Idle)
            g_UIInputEnabled = 1;
        m_State = Idle;
        return;
    }
    if (m_State != FadingIn)
        return;
    frame->BringToFront();
    if (frame->m_FadeDirection == 1)
        return;
    g_UIMain.CloseComponent(name, false);
    // The callback may start a new fade: it must find the state and the stored callback already settled, so
    // that its fade stands and this callback never runs twice.
    const Callback callback = m_Callback;
    m_Callback = nullptr;
    m_State = Done;
    if (callback != nullptr)
        callback();
}
