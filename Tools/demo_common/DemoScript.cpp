#include "Tools/demo_common/DemoScript.h"

#include <SDL.h>

#include <algorithm>
#include <string>

#include "Engine/render/WeRenderDevice.h"
#include "Engine/ui/WeUIComponent.h"
#include "Engine/ui/WeUIMain.h"
#include "Platform/window/WinUser.h"

void DemoScript::ToClient(int x, int y, int* cx, int* cy) const
{
    RECT client = {};
    GetClientRect(m_Window, &client);
    int cw = client.right - client.left, ch = client.bottom - client.top;
    *cx = g_ScreenSize.width > 0 && cw > 0 ? x * cw / g_ScreenSize.width : x;
    *cy = g_ScreenSize.height > 0 && ch > 0 ? y * ch / g_ScreenSize.height : y;
}

unsigned DemoScript::Id() const
{
    return SDL_GetWindowID(reinterpret_cast<SDL_Window*>(m_Window));
}

void DemoScript::PushMove(int x, int y)
{
    SDL_Event e = {};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = Id();
    ToClient(x, y, &e.motion.x, &e.motion.y);
    SDL_PushEvent(&e);
}

void DemoScript::PushButton(bool down, int x, int y)
{
    SDL_Event e = {};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = Id();
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    ToClient(x, y, &e.button.x, &e.button.y);
    SDL_PushEvent(&e);
}

void DemoScript::PushWheel(int notches)
{
    SDL_Event e = {};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = Id();
    e.wheel.y = notches;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    SDL_PushEvent(&e);
}

void DemoScript::PushText(const char* text)
{
    SDL_Event e = {};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = Id();
    SDL_strlcpy(e.text.text, text, sizeof(e.text.text));
    SDL_PushEvent(&e);
}

void DemoScript::PushKey(bool down, int scancode)
{
    const SDL_Scancode code = static_cast<SDL_Scancode>(scancode);
    SDL_Event e = {};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = Id();
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = code;
    e.key.keysym.sym = SDL_GetKeyFromScancode(code);
    SDL_PushEvent(&e);
}

bool DemoScript::Centre(const char* name, int* x, int* y)
{
    WeUIComponent* c = g_UIMain.FindComponent(WeString(name));
    if (c == nullptr)
        return false;
    *x = c->GetScreenX() + c->m_PixelWidth / 2;
    *y = c->GetScreenY() + c->m_PixelHeight / 2;
    return true;
}

void DemoScript::Click(int frame, const char* name)
{
    std::string n = name;
    m_Steps.push_back({frame, [this, n]
                       {
                           int x = 0, y = 0;
                           if (Centre(n.c_str(), &x, &y))
                           {
                               PushMove(x, y);
                               PushButton(true, x, y);
                           }
                       }});
    m_Steps.push_back({frame + 3, [this, n]
                       {
                           int x = 0, y = 0;
                           if (Centre(n.c_str(), &x, &y))
                               PushButton(false, x, y);
                       }});
}

void DemoScript::WheelOver(int frame, const char* name, int notches)
{
    std::string n = name;
    m_Steps.push_back({frame, [this, n, notches]
                       {
                           int x = 0, y = 0;
                           if (Centre(n.c_str(), &x, &y))
                               PushMove(x, y);
                           PushWheel(notches);
                       }});
}

void DemoScript::TypeText(int frame, const char* text)
{
    std::string t = text;
    m_Steps.push_back({frame, [this, t] { PushText(t.c_str()); }});
}

void DemoScript::Key(int frame, int scancode)
{
    KeyDown(frame, scancode);
    KeyUp(frame + 3, scancode);
}

void DemoScript::KeyDown(int frame, int scancode)
{
    m_Steps.push_back({frame, [this, scancode] { PushKey(true, scancode); }});
}

void DemoScript::KeyUp(int frame, int scancode)
{
    m_Steps.push_back({frame, [this, scancode] { PushKey(false, scancode); }});
}

void DemoScript::At(int frame, std::function<void()> act)
{
    m_Steps.push_back({frame, std::move(act)});
}

void DemoScript::Run(int frame)
{
    // A step may add steps: walk by index.
    for (size_t i = 0; i < m_Steps.size(); ++i)
        if (m_Steps[i].frame == frame)
        {
            std::function<void()> act = m_Steps[i].act;
            act();
        }
}

int DemoScript::LastFrame() const
{
    int last = 0;
    for (const Step& s : m_Steps)
        last = std::max(last, s.frame);
    return last;
}
